#!/bin/sh
# Prints every package installed on this system as the continuation lines of a .buildinfo's
# Installed-Build-Depends field: " NAME (= VERSION)," sorted, the last without the comma, and
# NAME qualified by its architecture (NAME:arm64) where that is neither all nor this machine's.
# What tools/test-windows and a cross build of tools/package record of the root they built in.
#   app/packaging/installed-packages.sh
set -eu
native=$(dpkg --print-architecture)
dpkg-query -W -f='${db:Status-Abbrev} ${Package}:${Architecture} (= ${Version})\n' |
    sed -n 's/^ii  //p' | sed "s/:\(all\|$native\) (/ (/" | LC_ALL=C sort | sed 's/^/ /; $!s/$/,/'
