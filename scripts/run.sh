#!/usr/bin/env bash
# Installs what is missing, builds, registers the meter and strip-chart modules, starts the
# bundled station simulator on a pseudo-terminal and the console against it (its COM2 points
# at the simulator). Without a display the console runs in a virtual X server.
# Extra arguments go to the simulator (for example: --mode stall:3, --paced, --log).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"

rundir=$(mktemp -d "${TMPDIR:-/tmp}/brisora.XXXXXX")
link="$rundir/com2"
sim_pid=""
cleanup() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
    rm -rf "$rundir"
}
trap cleanup EXIT INT TERM

# The simulator reads commands (such as "mode silent") from a FIFO kept open here, so that
# its fault modes can be switched from another terminal: echo "mode silent" > $rundir/control
mkfifo "$rundir/control"
exec 3<>"$rundir/control"
# Its own session, so that Ctrl-C reaches the console side first and the simulator is ended
# by the clean-up below.
setsid build/bin/station-sim --link "$link" "$@" <&3 >"$rundir/sim.out" &
sim_pid=$!
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done
[ -e "$link" ] || { echo "The station simulator did not start" >&2; exit 1; }
echo "Station simulator on $(head -n1 "$rundir/sim.out") (COM2 -> $link)."
echo "Switch its fault mode with: echo 'mode silent' > $rundir/control"

build/bin/brisora-regsvr build/bin/GAUGEKIT.so build/bin/TRAZOPLOT.so
build/bin/Brisora --setup

export BRISORA_COM2="$link"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: the console runs in a virtual X server (xvfb-run)."
    xvfb-run -a -s "-screen 0 1600x1000x24" build/bin/Brisora
else
    build/bin/Brisora
fi
