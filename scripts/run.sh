#!/usr/bin/env bash
# Installs what is missing, builds, starts the bundled station simulator on a
# pseudo-terminal and points the console's COM2 at it.
#
# Until the console window lands, the console side is `brisora-link`, which polls the
# station once a second through the same frame server the console uses.
# Extra arguments go to the simulator (for example: --mode stall:3, --paced, --log).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)"

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

export BRISORA_COM2="$link"
build/bin/brisora-link --ticks 0
