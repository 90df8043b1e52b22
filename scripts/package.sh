#!/usr/bin/env bash
# Builds the Debian package of the program from a build folder (the program and the simulated
# sensor only) and checks what it holds: its control data names the Qt 6 libraries and the
# package of the CUPS print plugin, and its contents put the programs, their data, the desktop
# entry and the icon where they belong.
# It builds in a folder of its own (configured for the prefix /usr), so the build folder the
# tests use keeps its own configuration.
# Usage: scripts/package.sh [package-build-dir]   (default: build-package; the .deb lands there)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-package}"
for tool in dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "package: $tool is missing (package dpkg-dev)" >&2; exit 2; }
done

# Installed under /usr (the program finds its data folder beside its own, whatever the prefix).
TAVIRON_TARGETS="TavironScope taviron-sim taviron taviron_resources" scripts/setup.sh "$build" \
  -DCMAKE_INSTALL_PREFIX=/usr
rm -f "$build"/taviron-scope_*.deb
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || { cat "$build/cpack.log" >&2; exit 1; }
deb=$(ls "$build"/taviron-scope_*.deb)
echo "package: $deb"
dpkg-deb --info "$deb"

fail=0
depends=$(dpkg-deb --field "$deb" Depends)
named=$(sed 's/ *([^)]*)//g; s/ *| */\n/g; s/, */\n/g' <<<"$depends" | sort -u)
# The linked Qt libraries and the packages of the plugins Qt loads: the CUPS print plugin and
# the X11 platform plugin, whichever package ships them on this release.
plugins=$(dpkg -S '*/qt6/plugins/printsupport/libcupsprintersupport.so' \
                  '*/qt6/plugins/platforms/libqxcb.so' | sed 's/[:,].*//' | sort -u)
for need in libqt6widgets6 libqt6gui6 libqt6core6 libqt6network6 \
            libqt6printsupport6 libqt6uitools6 libc6 libstdc++6 $plugins; do
  # Debian 13 names some of the libraries with a t64 suffix.
  grep -qxE "${need//+/\\+}(t64)?" <<<"$named" ||
    { echo "package: Depends does not name $need: $depends" >&2; fail=1; }
done
contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for path in ./usr/bin/TavironScope ./usr/bin/taviron-sim ./usr/bin/taviron \
            ./usr/share/taviron-scope/Tavironv10.uir ./usr/share/taviron-scope/logoHV.bmp \
            ./usr/share/taviron-scope/language_eng.lwl ./usr/share/taviron-scope/language_ger.lwl \
            ./usr/share/taviron-scope/taviron-scope.png \
            ./usr/share/applications/taviron-scope.desktop \
            ./usr/share/icons/hicolor/48x48/apps/taviron-scope.png \
            ./usr/share/icons/hicolor/256x256/apps/taviron-scope.png \
            ./usr/share/icons/hicolor/scalable/apps/taviron-scope.svg \
            ./usr/share/man/man1/TavironScope.1.gz ./usr/share/man/man1/taviron-sim.1.gz \
            ./usr/share/man/man1/taviron.1.gz \
            ./usr/lib/systemd/system/taviron-publish@.service \
            ./usr/lib/sysusers.d/taviron-scope.conf \
            ./usr/share/doc/taviron-scope/examples/publish.conf; do
  grep -qxF "$path" <<<"$contents" || { echo "package: $path is missing" >&2; fail=1; }
done
# Nothing of the build or the tests in it.
if grep -E 'test_|bench_|fuzz_|/build/|\.a$|\.h$' <<<"$contents"; then
  echo "package: holds files of the build or the tests" >&2
  fail=1
fi
# The desktop entry starts the installed program by name and shows the installed icon.
entry=$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/applications/taviron-scope.desktop)
grep -qx 'Exec=TavironScope' <<<"$entry" && grep -qx 'Icon=taviron-scope' <<<"$entry" ||
  { echo "package: the desktop entry does not start TavironScope with its icon" >&2; fail=1; }
# The plant link's unit starts the packaged taviron with a press's settings file, and systemd
# finds nothing wrong in it (checked for an instance, with the package unpacked as the root).
unit=$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/lib/systemd/system/taviron-publish@.service)
grep -qx 'ExecStart=/usr/bin/taviron publish --config /etc/taviron/publish/%i.conf' <<<"$unit" ||
  { echo "package: the service unit does not start /usr/bin/taviron publish --config" >&2; fail=1; }
dpkg-deb --ctrl-tarfile "$deb" | tar -tf - | grep -qx './postinst' ||
  { echo "package: no postinst to make the service's user" >&2; fail=1; }
if command -v systemd-analyze >/dev/null && [ -d /usr/lib/systemd/system ]; then
  # The unit's targets and slices come from this system; the manual page is checked above.
  root=$(mktemp -d)
  dpkg-deb -x "$deb" "$root"
  cp -n /usr/lib/systemd/system/*.target /usr/lib/systemd/system/*.slice \
     "$root/usr/lib/systemd/system/" 2>/dev/null || true
  systemd-analyze verify --man=no --root="$root" taviron-publish@press4.service \
      >"$build/unit-verify.log" 2>&1 || echo "systemd-analyze verify failed" >>"$build/unit-verify.log"
  cat "$build/unit-verify.log"
  grep -q . "$build/unit-verify.log" &&
    { echo "package: systemd-analyze verify complains about the service unit" >&2; fail=1; }
  rm -rf "$root"
else
  echo "package: systemd-analyze is not installed; the service unit was not verified"
fi
if command -v lintian >/dev/null; then
  # Lintian's errors fail the package; its warnings are shown. The program has no licence text
  # or change log of its own yet, so their absence is left out.
  lintian --suppress-tags no-copyright-file,no-changelog "$deb" | tee "$build/lintian.log" || true
  if grep -q '^E:' "$build/lintian.log"; then fail=1; fi
fi
((fail == 0)) || { echo "package: FAILED" >&2; exit 1; }
echo "package: control data and contents as they should be"
