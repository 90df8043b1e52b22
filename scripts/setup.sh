#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the tools need (only those missing),
# then configures and builds. Works on Debian 12 and Debian 13.
# Usage: scripts/setup.sh [build-dir] [extra cmake arguments...]
#        scripts/setup.sh --list [extra cmake arguments...]     the packages those arguments need
#        scripts/setup.sh --install [extra cmake arguments...]  install them, build nothing
# -DTAVIRON_BENCH_PEERS=ON among the cmake arguments adds the other INI libraries the INI
# benchmark compares against; nothing else needs them.
set -euo pipefail
cd "$(dirname "$0")/.."

release=""
[ -r /etc/os-release ] && release="$(. /etc/os-release && echo "${VERSION_ID:-}")"

packages=(
  cmake ninja-build g++ clang libclang-rt-dev           # compilers and build
  qt6-base-dev qt6-tools-dev libgl-dev                   # Qt 6: widgets, UI loader, network, print
  qt6-translations-l10n                                  # Qt's own dialogs in German
  cups printer-driver-cups-pdf                           # a real print queue for the print tests
  libcups2-dev                                           # print jobs followed in their queue
  libmosquitto-dev                                       # taviron publish: the MQTT client
  mosquitto mosquitto-clients openssl                    # publish tests: a real broker, its TLS
  libgtest-dev                                           # tests
  xvfb xdotool imagemagick poppler-utils                 # real-window checks, PDF checks
)
# The OpenGL config package that UI Tools needs is a package of its own on Debian 12 only;
# Debian 13's qt6-base-dev carries it.
[ "$release" = 12 ] && packages+=(libqt6opengl6-dev)

mode=build
case "${1:-}" in
  --list) mode=list; shift ;;
  --install) mode=install; shift ;;
esac
build="build"
if [ "$mode" = build ]; then
  build="${1:-build}"
  shift || true
fi
for arg in "$@"; do
  [ "$arg" = -DTAVIRON_BENCH_PEERS=ON ] && packages+=(libinih-dev libsimpleini-dev)
done

if [ "$mode" = list ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

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
[ "$mode" = install ] && exit 0

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
# TAVIRON_TARGETS limits the build to the named targets (the fuzz run builds only its own).
cmake --build "$build" -j"$(nproc)" ${TAVIRON_TARGETS:+--target $TAVIRON_TARGETS}
