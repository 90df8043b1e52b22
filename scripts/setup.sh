#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the tools need (only those missing),
# then configures and builds. Usage: scripts/setup.sh [build-dir] [extra cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ clang libclang-rt-dev           # compilers and build
  qt6-base-dev qt6-tools-dev qt6-serialport-dev libgl-dev # Qt 6: widgets, UI loader, serial, print
  libqt6opengl6-dev                                      # Qt 6 OpenGL config, needed by UI Tools
  qt6-translations-l10n                                  # Qt's own dialogs in German
  cups printer-driver-cups-pdf                           # a real print queue for the print tests
  libcups2-dev                                           # print jobs followed in their queue
  libgtest-dev libbenchmark-dev                          # tests and benchmarks
  libinih-dev libsimpleini-dev                           # INI peers, benchmarks only
  xvfb xdotool imagemagick poppler-utils                 # real-window checks, PDF checks
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build="${1:-build}"
shift || true
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
# TAVIRON_TARGETS limits the build to the named targets (the fuzz run builds only its own).
cmake --build "$build" -j"$(nproc)" ${TAVIRON_TARGETS:+--target $TAVIRON_TARGETS}
