#!/usr/bin/env bash
# Builds the Debian package (Release, no tests) in build/pkg, installs it
# into a temporary root and checks what it installs: the desktop entry, the
# AppStream metadata, the icons, the manual page, the shell completions and
# the package's dependencies, and lintian finds neither errors nor warnings.
# Prints the package's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" package
build=${MT_PACKAGE_BUILD:-$root/build/pkg}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMT_TESTS=OFF -DMT_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
(cd "$build" && cpack >/dev/null)
deb=$(ls "$build"/middletext_*.deb)

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
id=org.middletext.MiddleText
desktop-file-validate "$stage/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$stage/usr/share/metainfo/$id.metainfo.xml" >/dev/null
for f in bin/middletext lib/$(gcc -print-multiarch)/middletext/middletext-window.so share/man/man1/middletext.1.gz share/icons/hicolor/scalable/apps/$id.svg \
         share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/$id.png \
         share/bash-completion/completions/middletext share/zsh/vendor-completions/_middletext \
         share/fish/vendor_completions.d/middletext.fish; do
  [ -s "$stage/usr/$f" ] || { echo "package: /usr/$f missing" >&2; exit 1; }
done
bash -c "source '$stage/usr/share/bash-completion/completions/middletext' && complete -p middletext" >/dev/null
# The installed program finds its window module from any folder: the window
# starts (and runs until the time-out ends it), the command line runs.
(cd / && QT_QPA_PLATFORM=offscreen timeout 3 "$stage/usr/bin/middletext" >/dev/null 2>&1) && status=0 || status=$?
[ "$status" = 124 ] || { echo "package: the installed window did not start (status $status)" >&2; exit 1; }
(cd / && "$stage/usr/bin/middletext" --version >/dev/null) || { echo "package: the installed command line failed" >&2; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libcurl4 ca-certificates fonts-wqy-microhei; do
  grep -q "$p" <<<"$depends" || { echo "package: $p missing from Depends: $depends" >&2; exit 1; }
done
for f in copyright changelog.gz; do
  [ -s "$stage/usr/share/doc/middletext/$f" ] || { echo "package: /usr/share/doc/middletext/$f missing" >&2; exit 1; }
done
# lintian warns when it runs as root; that line is not about the package.
lintian --fail-on error,warning --display-info "$deb" 2>&1 | { grep -v '^running with root privileges' || true; } >&2
echo "$deb"
