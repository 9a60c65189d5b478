#!/usr/bin/env bash
# Installs the Debian package into a scratch root with dpkg, then starts the program the way the
# desktop does, from the installed desktop entry's Exec line, under Xvfb, and reads 32.00 and
# -17.78 from its window through AT-SPI, as a screen reader would.
#   check-installed-deb.sh DEB_DIR E2E_DIR APP_ID
# A package for another architecture (cross-built) is installed all the same, and the program is
# started through the emulator that MIROVANE_EMULATOR names (e.g. "qemu-aarch64 -L /").
set -euo pipefail
debs=("$1"/*.deb)
e2e=$2
app_id=$3
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: expected one .deb in $1"; exit 1; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
# The scratch database takes the package's architecture as a foreign one when it is not this
# machine's, as `dpkg --add-architecture` does on a multiarch system.
architecture=$(dpkg-deb --field "${debs[0]}" Architecture)
if [ "$architecture" != all ] && [ "$architecture" != "$(dpkg --print-architecture)" ]; then
    dpkg --admindir="$root/var/lib/dpkg" --add-architecture "$architecture"
fi
# The scratch database knows no other package: the dependencies are the machine's own.
dpkg --instdir="$root" --admindir="$root/var/lib/dpkg" --log=/dev/null \
    --force-depends --force-not-root --force-bad-path -i "${debs[0]}"
dpkg --admindir="$root/var/lib/dpkg" --status mirovane | grep -q '^Status: install ok installed'

entry="$root/usr/share/applications/$app_id.desktop"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
read -r -a command <<<"${exec_line//%[fFuUick]/}"
export PATH="$root/usr/bin:$PATH"
[ "$(command -v "${command[0]}")" = "$root/usr/bin/mirovane" ] ||
    { echo "FAIL: Exec=$exec_line does not start the installed program"; exit 1; }
echo "Exec=$exec_line starts $root/usr/bin/mirovane"
if [ -n "${MIROVANE_EMULATOR:-}" ]; then
    read -r -a emulator <<<"$MIROVANE_EMULATOR"
    command=("${emulator[@]}" "$root/usr/bin/mirovane" "${command[@]:1}")
    echo "through $MIROVANE_EMULATOR"
fi
"$e2e/with_xvfb.py" dbus-run-session -- "$e2e/screen_reader_view.py" "${command[@]}"
