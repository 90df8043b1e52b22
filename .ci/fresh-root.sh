#!/usr/bin/env bash
# Runs a command of this repository on a fresh Debian system: makes a minimal root of the given
# release with debootstrap in a temporary folder, clones the repository into it, mounts what
# the tests need (/proc, /dev with /dev/pts, /sys) and runs the command there as root. The root
# is unmounted and removed when the script ends, whatever happened.
# Usage: .ci/fresh-root.sh RELEASE [command...]   (default command: scripts/test.sh)
# The Debian mirror is the one this machine's apt sources name.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
release="${1:?usage: .ci/fresh-root.sh RELEASE [command...]}"
shift
command=("$@")
((${#command[@]})) || command=(scripts/test.sh)

# The first Debian archive URI in the machine's apt sources (deb822 or one-line format),
# leaving out the security archive.
mirror_from_apt_sources() {
  local files=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources)
  local f uri
  for f in "${files[@]}"; do
    [ -r "$f" ] || continue
    while read -r uri; do
      case "$uri" in
        *security*) ;;
        http://*/debian | https://*/debian | http://*/debian/ | https://*/debian/) echo "$uri"; return 0 ;;
      esac
    done < <(sed -n -e 's/^URIs:[[:space:]]*//p' -e 's/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]\+\).*/\2/p' "$f" |
             tr ' ' '\n')
  done
  return 1
}
mirror="$(mirror_from_apt_sources)" || { echo "fresh-root: no Debian mirror in the apt sources" >&2; exit 1; }

root="$(mktemp -d /var/tmp/taviron-root-"$release".XXXXXX)"
chmod 0755 "$root" # it is the fresh system's /, which every user must be able to enter
cleanup() {
  local rc=$?
  # Unmount everything below the root, deepest first, before removing it.
  local m
  for m in $(awk -v r="$root" '$2 == r || index($2, r "/") == 1 {print $2}' /proc/mounts | sort -r); do
    umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true
  done
  if awk -v r="$root" 'index($2, r) == 1 {found=1} END {exit !found}' /proc/mounts; then
    echo "fresh-root: $root is still mounted; left in place" >&2
  else
    rm -rf --one-file-system "$root"
  fi
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

seconds() { date +%s; }
start=$(seconds)
echo "fresh-root: debootstrap $release into $root"
debootstrap --variant=minbase "$release" "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
  { tail -20 "$root.debootstrap.log" >&2; rm -f "$root.debootstrap.log"; exit 1; }
rm -f "$root.debootstrap.log"
echo "fresh-root: base system in $(($(seconds) - start)) s"

# A clean clone of the committed state, owned by root like everything in the fresh system.
git clone -q --no-local "$here" "$root/src"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
# As in any chroot: packages installed there start no services.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod +x "$root/usr/sbin/policy-rc.d"

# The mounts live in a mount namespace of their own: they cannot reach the machine's and they
# go away with the last process in it, however the run ends.
run_start=$(seconds)
status=0
unshare --mount --propagation private /bin/bash -euc '
  root=$1; shift
  mount -t proc proc "$root/proc"
  mount --rbind /sys "$root/sys"
  mount --rbind /dev "$root/dev"
  exec chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 TERM=dumb CI="${CI:-}" /bin/bash -c "cd /src && \"\$@\"" bash "$@"
' bash "$root" "${command[@]}" || status=$?
echo "fresh-root: '${command[*]}' on $release ended with $status after $(($(seconds) - run_start)) s" \
     "($(($(seconds) - start)) s in all)"
exit "$status"
