#!/usr/bin/env bash
# Installs the Debian package into a scratch root with dpkg, then starts the program the way the
# desktop does, from the installed desktop entry's Exec line, under Xvfb, and reads 32.00 and
# -17.78 from its window through AT-SPI, as a screen reader would.
#   check-installed-deb.sh DEB_DIR E2E_DIR APP_ID
set -euo pipefail
debs=("$1"/*.deb)
e2e=$2
app_id=$3
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: expected one .deb in $1"; exit 1; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
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
"$e2e/with_xvfb.py" dbus-run-session -- "$e2e/screen_reader_view.py" "${command[@]}"
