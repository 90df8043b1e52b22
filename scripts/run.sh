#!/usr/bin/env bash
# Installs what is missing, builds, starts the simulated sensor on a pseudo-terminal mapped to
# COM1 and then the program, which connects to it with its default settings (RS232, COM1,
# 115200 baud). The simulated sensor ends when the program ends.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
bin="$PWD/build/bin"
"$bin/taviron-sim" --no-tcp --map-com 1 --map-file "$bin" --log "$bin/taviron-sim.log" &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do grep -qs '^COM1' "$bin/ComPorts.cfg" && break; sleep 0.1; done
cd "$bin"
./TavironScope
