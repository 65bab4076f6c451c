#!/usr/bin/env bash
# Installs what is missing, builds Torvik and starts it against the simulated
# testing machine, registered as serial port 1 for as long as Torvik runs.
# With --no-machine, starts Torvik with no testing machine at all: it runs on
# a copy of the operator's settings whose serial ports 1 to 4 lead nowhere
# (the stored calibration comes along; settings changed in that session are
# not kept). Any further arguments go to Torvik (a data file to open).
set -euo pipefail
cd "$(dirname "$0")/.."

machine=yes
if [ "${1:-}" = "--no-machine" ]; then
    machine=no
    shift
fi

./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target torvik torvik-sim

# Without a desktop session (a bare root console, say) Torvik runs on a
# virtual display so the command still works end to end.
launch=()
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run.sh: no display found; starting Torvik on a virtual X display (xvfb-run)" >&2
    launch=(xvfb-run -a -s "-screen 0 1280x1024x24")
fi

work=$(mktemp -d)
sim_pid=
cleanup() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

if [ "$machine" = no ]; then
    settings="${XDG_CONFIG_HOME:-$HOME/.config}/Torvik/Torvik.ini"
    mkdir -p "$work/Torvik"
    # Everything but the serial ports, then ports that lead nowhere.
    if [ -f "$settings" ]; then
        awk '/^\[/ { skip = ($0 == "[Ports]") } !skip' "$settings" >"$work/Torvik/Torvik.ini"
    fi
    {
        echo "[Ports]"
        for port in 1 2 3 4; do
            echo "Port%20$port=/nonexistent/torvik-port-$port"
        done
    } >>"$work/Torvik/Torvik.ini"
    XDG_CONFIG_HOME="$work" "${launch[@]}" ./build/bin/torvik "$@"
    exit
fi

# The simulator records its pseudo-terminal as port 1 before it prints the
# path, and removes the entry again when it ends.
./build/bin/torvik-sim --register 1 >"$work/sim.out" </dev/null &
sim_pid=$!
for _ in $(seq 50); do
    [ -s "$work/sim.out" ] && break
    sleep 0.1
done
if [ ! -s "$work/sim.out" ]; then
    echo "run.sh: the simulated machine did not start" >&2
    exit 1
fi
echo "Simulated testing machine on $(head -n 1 "$work/sim.out") (port 1)"
"${launch[@]}" ./build/bin/torvik "$@"
