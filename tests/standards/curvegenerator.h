#pragma once

// Builds synthetic force-extension curves with known answers: a material's
// stress against strain, laid down in pieces, then turned into the readings
// of a specimen with an optional toe, irregular spacing and the simulator's
// noise (whole counts of 1000/32768 lbf and 4/65535 in, with ±2 and ±1 counts
// of uniform noise).

#include <cmath>
#include <functional>
#include <random>
#include <vector>

struct Readings {
    std::vector<double> force;
    std::vector<double> extension;
};

class CurveGenerator {
public:
    // A piece of the curve: strain and stress at t in (0, 1].
    using Piece = std::function<std::pair<double, double>(double t)>;

    explicit CurveGenerator(unsigned seed = 1) : m_random(seed) {}

    // `points` points along the piece, evenly spaced in t or, when
    // `irregular`, with steps that vary from 0.3 to 1.7 times the mean.
    CurveGenerator& add(const Piece& piece, int points, bool irregular = false) {
        std::uniform_real_distribution<double> step(0.3, 1.7);
        std::vector<double> steps(static_cast<std::size_t>(points), 1.0);
        double total = 0.0;
        for (double& s : steps)
            total += s = irregular ? step(m_random) : 1.0;
        double t = 0.0;
        for (const double s : steps) {
            t += s / total;
            const auto [strain, stress] = piece(std::min(t, 1.0));
            m_strain.push_back(strain);
            m_stress.push_back(stress);
        }
        return *this;
    }
    // A straight line from the last point to (strain, stress).
    CurveGenerator& line(double strain, double stress, int points, bool irregular = false) {
        const double s0 = m_strain.back(), f0 = m_stress.back();
        return add(
            [=](double t) {
                return std::pair{s0 + t * (strain - s0), f0 + t * (stress - f0)};
            },
            points, irregular);
    }
    double lastStrain() const { return m_strain.back(); }

    // The readings of a specimen of `area` and `gauge` whose straight part
    // has the slope `modulus`, with a toe that takes up `toe` inches before
    // the straight part's line meets zero force.
    Readings readings(double area, double gauge, double modulus, double toe, bool noisy) {
        Readings r;
        const double k = modulus * area / gauge;
        for (int i = 0; toe > 0.0 && i < 10; ++i) {
            const double x = toe * i / 10.0;
            r.extension.push_back(x);
            r.force.push_back(k * x * x / (4.0 * toe));
        }
        for (std::size_t i = 0; i < m_strain.size(); ++i) {
            const double x = m_strain[i] * gauge + toe;
            r.extension.push_back(x);
            r.force.push_back(x < 2.0 * toe ? k * x * x / (4.0 * toe) : m_stress[i] * area);
        }
        if (noisy) {
            std::uniform_int_distribution<int> forceNoise(-2, 2), extensionNoise(-1, 1);
            const double lbf = 1000.0 / 32768.0, inch = 4.0 / 65535.0;
            for (std::size_t i = 0; i < r.force.size(); ++i) {
                r.force[i] = (std::round(r.force[i] / lbf) + forceNoise(m_random)) * lbf;
                r.extension[i] =
                    (std::round(r.extension[i] / inch) + extensionNoise(m_random)) * inch;
            }
        }
        return r;
    }

private:
    std::vector<double> m_strain{0.0};
    std::vector<double> m_stress{0.0};
    std::mt19937 m_random;
};
