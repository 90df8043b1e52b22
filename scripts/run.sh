#!/usr/bin/env bash
# Installs what is missing, builds the program and the simulated sensor (nothing else), starts
# the simulated sensor on a pseudo-terminal mapped to COM1 and then the program, which connects
# to it with its default settings (RS232, COM1, 115200 baud). The simulated sensor ends when the
# program ends and takes its COM1 mapping out again; Ctrl-C or a TERM signal ends both.
# Usage: scripts/run.sh [build-dir]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set);" \
       "start it from a desktop session, or under xvfb-run" >&2
  exit 1
fi

build="${1:-build}"
TAVIRON_TARGETS="TavironScope taviron-sim taviron_resources" scripts/setup.sh "$build"
bin="$PWD/$build/bin"

sim_out="$(mktemp)"
sim="" program=""
end_both() {
  [ -n "$program" ] && kill -TERM "$program" 2>/dev/null
  [ -n "$sim" ] && kill -TERM "$sim" 2>/dev/null
  [ -n "$program" ] && wait "$program" 2>/dev/null
  [ -n "$sim" ] && wait "$sim" 2>/dev/null # it takes its COM1 line out of ComPorts.cfg
  rm -f "$sim_out"
  return 0
}
trap end_both EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The sensor's frame log stays off: while the program polls it would grow by tens of kB a second.
"$bin/taviron-sim" --no-tcp --map-com 1 --map-file "$bin" --quiet </dev/null >"$sim_out" &
sim=$!
for _ in $(seq 100); do
  grep -qs '^COM1 = ' "$sim_out" && break
  kill -0 "$sim" 2>/dev/null || { cat "$sim_out" >&2; echo "run.sh: the simulated sensor did not start" >&2; exit 1; }
  sleep 0.1
done
grep -qs '^COM1 = ' "$sim_out" || { echo "run.sh: the simulated sensor mapped no COM1" >&2; exit 1; }
cat "$sim_out"

cd "$bin"
# In the background, so that a signal to this script reaches the trap at once.
./TavironScope &
program=$!
status=0
wait "$program" || status=$?
program=""
exit "$status"
