#!/usr/bin/python3
"""Writes conversions.txt: reference values of the raw-reading conversions and
of the hardness number, worked out here with numpy's single precision apart
from the program's own code. Run it from any folder; it rewrites the table
beside it. Deterministic: the same table every run.

Needs numpy (Debian: python3-numpy). Table layout: a comment line, then
whitespace-separated numbers:
  calibrations C, then C lines: ratio (single, 9 digits) and offset
  loads 65536, then one line per raw load 0..65535: for each calibration the
  English load in steps of 0.2 lbf and the metric load in whole newtons
  displacements D, then D lines: d0 l0 d l calibration, the English
  displacement in steps of 0.0001 inch and the metric one in steps of 0.002 mm
  hardness H, then H lines: calibration, hardness number, point count N and
  N pairs of raw load and raw displacement
"""

import functools
import math
import os
import random

import numpy as np

f32 = np.float32
ENGLISH, METRIC = 1, 2

# Ratio 1 without offset, then three odd load cells and zero offsets.
CALIBRATIONS = [
    (f32(1.0), 0),
    (f32(3.906 / 2.713), -1234),
    (f32(3.906 / 4.417), 87),
    (f32(3.906 / 3.333), 5),
]


def single(value):
    """Rounds a double to the nearest single, as a Python float (a double)."""
    return float(f32(value))


@functools.lru_cache(maxsize=None)
def load(raw, units, ratio, offset):
    m = abs(raw - 32768 - offset)
    x = single(float(m * 1000) / 32768.0 * float(ratio))
    if units == METRIC:
        v = math.floor(single(x * 4.44822167) + 0.5)
    else:
        v = math.floor(x * 5 + 0.5) / 5
    if raw - offset > 32768:
        v = -v
    return single(v)


def displacement(d0, l0, d, l, units, ratio, offset):
    f = single((load(l, ENGLISH, ratio, offset) - load(l0, ENGLISH, ratio, offset)) * 0.00001)
    t = single(float(d0 - d) / 65535.0 * 4.0)
    x = single(abs(t) - abs(f))
    if units == METRIC:
        v = math.floor(single(x * 25.4) * 500 + 0.5) / 500
    else:
        v = math.floor(x * 10000 + 0.5) / 10000
    if d0 > d:
        v = -v
    return single(v)


def hardness_slope(points, ratio, offset):
    """The unrounded hardness number; points: (raw load, raw displacement)
    pairs, point 1 the reference. None without both marks."""
    l0, d0 = points[0]
    inches = [f32(displacement(d0, l0, d, l, ENGLISH, ratio, offset)) for l, d in points]
    start = next((i for i, x in enumerate(inches) if x >= f32(0.005)), None)
    end = next((i for i, x in enumerate(inches) if x >= f32(0.015)), None)
    if start is None or end is None or end <= start:
        return None
    sx = sy = sxx = sxy = f32(0.0)
    for i in range(start, end + 1):
        x = inches[i]
        y = f32(load(points[i][0], ENGLISH, ratio, offset))
        sx, sy, sxx, sxy = sx + x, sy + y, sxx + x * x, sxy + x * y
    n = float(end - start + 1)
    x, y = float(sx), float(sy)
    return (n * float(sxy) - y * x) / (n * float(sxx) - x * x) / 500


def steps(value, per_unit):
    scaled = round(value * per_unit)
    assert single(scaled / per_unit) == value
    return scaled


def near_half(value, within):
    """Whether value lies within `within` of a half: where a slip in the last
    bits of single precision turns the rounding the other way."""
    return abs(value - math.floor(value) - 0.5) < within


def unrounded_steps(d0, l0, d, l, ratio, offset):
    """The displacement in English and metric steps before rounding."""
    f = single((load(l, ENGLISH, ratio, offset) - load(l0, ENGLISH, ratio, offset)) * 0.00001)
    x = single(abs(single(float(d0 - d) / 65535.0 * 4.0)) - abs(f))
    return x * 10000, single(x * 25.4) * 500


def displacement_rows(rng, count, boundary_share):
    """Pairs whose reference point carries load: a third keep the displacement
    (the frame's deflection alone, often a half step), a third move a little,
    a third anywhere. Most are drawn again until one of their values lies at
    a rounding boundary."""
    rows = []
    while len(rows) < count:
        kind = len(rows) % 3
        c = rng.randrange(len(CALIBRATIONS))
        ratio, offset = CALIBRATIONS[c]
        d0, l0, l = rng.randrange(65536), rng.randrange(65536), rng.randrange(65536)
        if kind == 0:
            d = d0
        elif kind == 1:
            d = min(65535, max(0, d0 + rng.randrange(-60, 61)))
        else:
            d = rng.randrange(65536)
        if len(rows) < count * boundary_share and not any(
                near_half(q, 0.01) for q in unrounded_steps(d0, l0, d, l, ratio, offset)):
            continue
        rows.append((d0, l0, d, l, c,
                     steps(displacement(d0, l0, d, l, ENGLISH, ratio, offset), 10000),
                     steps(displacement(d0, l0, d, l, METRIC, ratio, offset), 500)))
    return rows


def raw_load_for(lbf, ratio, offset):
    """A raw load reading whose English load is `lbf`, or None."""
    m = round(lbf / (1000 / 32768 * float(ratio)))
    for raw in range(32768 + offset - m - 3, 32768 + offset - m + 4):
        if load(raw, ENGLISH, ratio, offset) == single(lbf):
            return raw
    return None


def raw_displacement_for(inches, d0, l0, l, ratio, offset):
    """A raw displacement reading at `inches` from the reference point under
    raw load l, or None."""
    f = (load(l, ENGLISH, ratio, offset) - load(l0, ENGLISH, ratio, offset)) * 0.00001
    d = d0 + round((inches + f) * 65535 / 4)
    for raw in range(d - 3, d + 4):
        if displacement(d0, l0, raw, l, ENGLISH, ratio, offset) == single(inches):
            return raw
    return None


def hardness_cases(rng, count):
    """Tests whose points between the marks lie exactly on a line of slope
    500 (k + 1/2) lbf per inch: every 0.0008 inch the load rises by
    0.2 (2k + 1) lbf, so in exact arithmetic the number is a half and only
    the single-precision details decide which way it rounds."""
    cases = []
    while len(cases) < count:
        c = rng.randrange(len(CALIBRATIONS))
        ratio, offset = CALIBRATIONS[c]
        k = rng.randrange(5, 60)
        base = 0.2 * rng.randrange(0, 50)
        l0 = raw_load_for(base, ratio, offset)
        d0 = rng.randrange(1000, 60000)
        points, n = [(l0, d0)], 0
        while n * 8 <= 160:
            n += rng.randrange(0, 3)
            l = raw_load_for(round(base + 0.2 * (2 * k + 1) * n, 1), ratio, offset)
            d = None if l is None else raw_displacement_for(n * 8 / 10000, d0, l0, l, ratio,
                                                             offset)
            if d is None:
                break
            points.append((l, d))
        else:
            number = hardness_slope(points, ratio, offset)
            assert abs(number - k - 0.5) < 0.01
            cases.append((c, round(number), points))  # halves to even
    return cases


def marked_cases(rng, count):
    """Tests with points exactly at the two marks, 0.005 and 0.015 inch, among
    points every 0.0005 inch whose loads rise unevenly, so that the number
    depends on which points the marks take in."""
    cases = []
    while len(cases) < count:
        c = rng.randrange(len(CALIBRATIONS))
        ratio, offset = CALIBRATIONS[c]
        lbf = 0.2 * rng.randrange(0, 50)
        l0, d0 = raw_load_for(lbf, ratio, offset), rng.randrange(1000, 60000)
        points = [(l0, d0)]
        for n in range(1, 40):
            lbf = round(lbf + 0.2 * rng.randrange(0, 100), 1)
            l = raw_load_for(lbf, ratio, offset)
            d = None if l is None else raw_displacement_for(n * 5 / 10000, d0, l0, l, ratio,
                                                             offset)
            if d is None:
                break
            points.append((l, d))
        else:
            cases.append((c, round(hardness_slope(points, ratio, offset)), points))
    return cases


def main():
    rng = random.Random(20261206)
    lines = ["# Made by conversions.py beside this file; see its notes for the layout.",
             "calibrations %d" % len(CALIBRATIONS)]
    lines += ["%.9g %d" % (float(r), o) for r, o in CALIBRATIONS]
    lines.append("loads 65536")
    for raw in range(65536):
        values = []
        for ratio, offset in CALIBRATIONS:
            values.append(steps(load(raw, ENGLISH, ratio, offset), 5))
            values.append(steps(load(raw, METRIC, ratio, offset), 1))
        lines.append(" ".join(map(str, values)))
    rows = displacement_rows(rng, 6000, 0.8)
    lines.append("displacements %d" % len(rows))
    lines += [" ".join(map(str, row)) for row in rows]
    cases = hardness_cases(rng, 40) + marked_cases(rng, 10)
    lines.append("hardness %d" % len(cases))
    for c, number, points in cases:
        flat = " ".join("%d %d" % p for p in points)
        lines.append("%d %d %d %s" % (c, number, len(points), flat))
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "conversions.txt"), "w") as out:
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
