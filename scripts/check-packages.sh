#!/usr/bin/env bash
# Checks that the set-up's package list brings in every Debian package the build reads, so a
# fresh machine cannot miss one that happens to be installed here. It traces a configure run
# in a new build folder, takes the headers the compiler read and the libraries the linker was
# given from the named build folders, keeps the files under /usr, finds the package of each
# (dpkg -S) and fails, naming package and file, when that package is neither in the list, nor
# among what the list depends on (recursively, recommends left out: scripts/setup.sh installs
# without them), nor part of every Debian system (priority required or essential).
# Usage: scripts/check-packages.sh [build-folder...]   (the folders scripts/test.sh built)
# TAVIRON_CHECK_WITHOUT="PACKAGE..." leaves packages out of the list (to see the check fail).
set -euo pipefail
cd "$(dirname "$0")/.."
here="$PWD"

# Packages that configure looks at when they are there and goes on without when they are not
# (a fresh system without them configures and builds: CI proves it in fresh roots). Only the
# configure run may read them; a header or library of theirs in the build is a fault like any.
optional=(
  pkgconf pkgconf-bin libpkgconf3 pkg-config # pkg-config, which Qt's config asks for xkbcommon
  libegl-dev libegl1-mesa-dev                 # Qt's config looks for EGL
  libglu1-mesa-dev                            # CMake's OpenGL module looks for GLU
  libgmock-dev                                # GTest's config adds the GMock targets it finds
  locales                                     # the C library's locale aliases
  # CMake's X11 module looks for every X11 extension library; the tests use only Xlib.
  libice-dev libsm-dev libxt-dev libxext-dev libxft-dev libxrender-dev libxfixes-dev
  libxcomposite-dev libxss-dev libxi-dev libxrandr-dev libxinerama-dev libxcursor-dev
  libxdamage-dev libxtst-dev libxv-dev libxmu-dev libxpm-dev libxaw7-dev libxkbfile-dev
  libxres-dev libxdmcp-dev libxau-dev libxkbcommon-dev libxshmfence-dev libfontconfig-dev
  libfontconfig1-dev libfreetype-dev libfreetype6-dev
)

for tool in strace ninja dpkg apt-cache; do
  command -v "$tool" >/dev/null || { echo "check-packages: $tool is missing" >&2; exit 2; }
done
for dir in "$@"; do
  [ -f "$dir/build.ninja" ] || { echo "check-packages: $dir is no build folder" >&2; exit 2; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The packages apt brings in for a list, without architecture: every name in the recursive
# dependency listing (each alternative and each package providing a virtual one included).
closure_of() {
  # shellcheck disable=SC2046
  apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
    --no-replaces --no-enhances $(cat "$1") 2>/dev/null |
    sed -e 's/^ *|\?[A-Za-z-]*: *//' -e 's/^ *//' -e 's/[<>]//g' -e 's/:.*//' | grep -v '^$' || true
}
# Every Debian system has the packages of priority required (what debootstrap installs first).
dpkg-query -W -f='${Package} ${Priority} ${Essential}\n' |
  awk '$2 == "required" || $3 == "yes" {print $1}' | sort -u >"$work/base"
printf '%s\n' "${optional[@]}" | sort -u >"$work/optional"

# Files under /usr (and the merged /lib, /bin) that exist as regular files.
keep_system_files() {
  while read -r f; do
    case "$f" in /usr/local/*) continue ;; /usr/* | /lib/* | /lib64/* | /bin/* | /sbin/*) ;; *) continue ;; esac
    if [ -f "$f" ]; then echo "$f"; fi
  done
}

# The absolute paths a traced configure touched. A pkg-config process looks through every .pc
# file of the machine whatever it is asked, so of it only its own program counts.
files_of_trace() {
  awk '
    { pid = $1 }
    / execve\("/ && / = 0$/ { match($0, /execve\("[^"]*"/); exe[pid] = substr($0, RSTART + 8, RLENGTH - 9)
                             print exe[pid]; next }
    exe[pid] ~ /pkg-?conf(ig)?$/ { next }
    { s = $0; while (match(s, /"\/[^"]*"/)) { print substr(s, RSTART + 1, RLENGTH - 2); s = substr(s, RSTART + RLENGTH) } }
  ' "$1" | sort -u | keep_system_files
}

# "packages<TAB>file" for each file that packages own (several for a shared file), without
# architecture. dpkg is asked once for all files, then once more for those it knows under
# another name (the /usr merge, symbolic links).
dpkg_search() {
  { xargs -r -d '\n' dpkg -S 2>/dev/null || true; } | { grep -v '^diversion' || true; } |
    awk '{ i = index($0, ": /"); if (i) print substr($0, 1, i - 1) "\t" substr($0, i + 2) }' |
    sed 's/:[a-z0-9]*\(,\|\t\)/\1/g'
}
owners_of() {
  local f
  cat >"$work/owners.in"
  dpkg_search <"$work/owners.in" >"$work/owners.1"
  cut -f2 "$work/owners.1" | sort -u >"$work/owners.known"
  sort -u "$work/owners.in" | comm -23 - "$work/owners.known" | while read -r f; do
    printf '%s\t%s\n' "$(readlink -f "$f")" "$f"
    if [ "${f#/usr}" != "$f" ]; then printf '%s\t%s\n' "${f#/usr}" "$f"; fi
  done | sort -u >"$work/owners.alt"
  cut -f1 "$work/owners.alt" | dpkg_search >"$work/owners.2"
  cat "$work/owners.1"
  awk -F'\t' 'NR == FNR { orig[$1] = orig[$1] ? orig[$1] "\n" $2 : $2; next }
    ($2 in orig) { n = split(orig[$2], o, "\n"); for (i = 1; i <= n; i++) print $1 "\t" o[i] }' \
    "$work/owners.alt" "$work/owners.2"
}

# Prints "package<TAB>file" for the first file of each package that is not brought in.
# $1: packages brought in; $2: owners of configure files; $3: owners of build files.
not_brought_in() {
  awk -F'\t' -v optional="$work/optional" '
    BEGIN { while ((getline name < optional) > 0) opt[name] = 1 }
    FILENAME == ARGV[1] { have[$1] = 1; next }
    { n = split($1, p, /, */); ok = 0
      for (i = 1; i <= n; i++) if ((p[i] in have) || (FILENAME == ARGV[2] && (p[i] in opt))) ok = 1
      if (!ok && !(p[1] in seen)) { seen[p[1]] = 1; print p[1] "\t" $2 } }' "$@"
}

failed=0
# The configuration the program and the tests build in, and the one of the INI benchmark
# against the other INI libraries, each with the list the set-up installs for it.
for config in "" "-DTAVIRON_BENCH_PEERS=ON"; do
  name="${config:-tests and program}"
  name="${name#-D}"
  scripts/setup.sh --install $config >/dev/null # configure needs them
  scripts/setup.sh --list $config | grep -vxF -f <(printf '%s\n' ${TAVIRON_CHECK_WITHOUT:-} -) >"$work/list"
  { cat "$work/list" "$work/base"; closure_of "$work/list"; } | sort -u >"$work/have"

  rm -rf "$work/build"
  if ! strace -f -qq -s 4096 -e trace=%file,execve -e signal=none -o "$work/trace" \
      cmake -S "$here" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $config \
      >"$work/configure.log" 2>&1; then
    cat "$work/configure.log" >&2
    echo "check-packages: configure ($name) failed" >&2
    exit 1
  fi
  files_of_trace "$work/trace" | owners_of >"$work/configure.owners"

  # Headers the compiler read and libraries named on link lines, in the folders built without
  # the INI peers (those are all the folders the tests build).
  : >"$work/built"
  if [ -z "$config" ]; then
    for dir in "$@"; do
      ninja -C "$dir" -t deps 2>/dev/null | awk '/^    \//{print $1}'
      grep -o '/usr/lib/[^ ;:]*\.\(so\|a\)\(\.[0-9.]*\)\?' "$dir/build.ninja" || true
    done | sort -u | keep_system_files >"$work/built"
  fi
  owners_of <"$work/built" >"$work/build.owners"

  missing=$(not_brought_in "$work/have" "$work/configure.owners" "$work/build.owners")
  echo "check-packages ($name): configure read $(wc -l <"$work/configure.owners") files of" \
       "$(cut -f1 "$work/configure.owners" | sort -u | wc -l) packages; the build" \
       "$(wc -l <"$work/build.owners") files of $(cut -f1 "$work/build.owners" | sort -u | wc -l) packages"
  if [ -n "$missing" ]; then
    failed=1
    while IFS=$'\t' read -r pkg file; do
      echo "check-packages ($name): package $pkg is not brought in by scripts/setup.sh's list," \
           "but the build reads $file"
    done <<<"$missing"
  fi
done
if ((failed)); then
  echo "check-packages: FAILED: add the packages above to scripts/setup.sh" >&2
  exit 1
fi
echo "check-packages: every package the build reads comes with scripts/setup.sh's list"
