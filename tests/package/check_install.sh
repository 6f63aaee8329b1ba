#!/usr/bin/env bash
# The package's file list: installs the built tree under a temporary root with the package's
# prefix (/usr, what cpack puts into the .deb) and compares the files with the expected list; then
# checks that the desktop entry starts the launcher, names the icon, and that each launcher points
# at its program. Skipped (77) when the client or the server is not built in this tree.
set -euo pipefail
build=$1
for program in "$build/app/DorvaneProvider.exe" "$build/server/DorvaneServer"; do
  if [ ! -x "$program" ]; then
    echo "skipped: $program is not built"
    exit 77
  fi
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null

expected="./usr/bin/dorvane-provider
./usr/bin/dorvane-server
./usr/lib/dorvane/DorvaneProvider.exe
./usr/lib/dorvane/DorvaneServer
./usr/share/applications/dorvane-provider.desktop
./usr/share/doc/dorvane-provider/Dorvane.ini.example
./usr/share/icons/hicolor/scalable/apps/dorvane-provider.svg"
actual=$(cd "$stage" && find . \( -type f -o -type l \) | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
  echo "installed files differ from the package's list:"
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi

fail() { echo "$1"; exit 1; }
desktop="$stage/usr/share/applications/dorvane-provider.desktop"
grep -qx 'Type=Application' "$desktop" || fail "desktop entry: no Type=Application"
grep -qx 'Exec=dorvane-provider' "$desktop" || fail "desktop entry: Exec is not the launcher"
grep -qx 'Icon=dorvane-provider' "$desktop" || fail "desktop entry: Icon is not the installed icon"
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$desktop"; fi
grep -q '<svg' "$stage/usr/share/icons/hicolor/scalable/apps/dorvane-provider.svg" || fail "icon is not an SVG"

for pair in dorvane-provider:DorvaneProvider.exe dorvane-server:DorvaneServer; do
  launcher="$stage/usr/bin/${pair%%:*}"
  [ -x "$launcher" ] || fail "$launcher is not executable"
  sh -n "$launcher" || fail "$launcher is not a valid shell script"
  grep -q "/../lib/dorvane/${pair#*:}\"" "$launcher" || fail "$launcher does not start ${pair#*:}"
  [ -x "$stage/usr/bin/../lib/dorvane/${pair#*:}" ] || fail "${pair#*:} missing beside the launcher"
done
grep -q '^\[Client\]' "$stage/usr/share/doc/dorvane-provider/Dorvane.ini.example" || fail "example ini has no [Client]"
echo "package files: OK"
