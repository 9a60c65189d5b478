#!/usr/bin/env bash
# Checks what dpkg-buildpackage made in a folder: the binary package's fields and files, lintian on
# the source and binary packages (no error, no warning), and the hardening of every program in the
# package: each feature that Debian's hardening (DEB_BUILD_MAINT_OPTIONS=hardening=+all) has on
# this release and architecture, and the C++ library's bounds checks (_GLIBCXX_ASSERTIONS).
#   check-package.sh FOLDER LOG    FOLDER holds the .changes, the .deb and its -dbgsym package;
#                                  LOG is dpkg-buildpackage's output
# Needs lintian, blhc, devscripts (hardening-check), binutils for the package's architecture
# (readelf) and dpkg-dev.
#
# The evidence, feature by feature:
#   - every compiler and linker run of the build had the release's flags: blhc, Debian's checker
#     of build logs (PIE left to the program's own header: GCC builds it by default, so dpkg
#     passes no flag for it on Debian 12 and blhc 0.13 reports every link);
#   - the program is position-independent, its relocations read-only and bound at start, it calls
#     the stack protector's check: hardening-check;
#   - stack clash protection and control-flow protection: GCC's record of the options it compiled
#     with (DW_AT_producer, in the debug information that the -dbgsym package holds), as stack
#     clash protection adds code only to functions with large or variable frames; and on arm64
#     the program's GNU property note, which the linker keeps only when every object it links
#     has BTI and PAC (on amd64, Debian 13's C library startup files have no IBT and SHSTK, so
#     no program there has that note);
#   - _FORTIFY_SOURCE: hardening-check finds a checked call (__memcpy_chk, ...) only where the
#     compiler knows a buffer's size; where the program has no such call (its copies are the C++
#     library's, of sizes known at run time), "only unprotected functions found" is what every
#     program like it gets, and blhc's check of every compiler run is the evidence;
#   - _GLIBCXX_ASSERTIONS: the program calls the C++ library's assertion handler.
set -euo pipefail
folder=$1
log=$2
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
one() { # the one file matching a pattern in the folder
    local found=("$folder"/$1)
    [ ${#found[@]} -eq 1 ] && [ -f "${found[0]}" ] || fail "expected one $1 in $folder"
    echo "${found[0]}"
}
changes=$(one 'mirovane_*.changes')
deb=$(one 'mirovane_*.deb')
dbgsym=$(one 'mirovane-dbgsym_*deb')
version=$(dpkg-deb --field "$deb" Version)
architecture=$(dpkg-deb --field "$deb" Architecture)

echo "== $(basename "$deb")"
dpkg-deb --field "$deb" Package Version Architecture Section Depends
depends=$(dpkg-deb --field "$deb" Depends)
for expected in "fonts-liberation2 | fonts-liberation" libc6 libqt6widgets6; do
    [[ "$depends" == *"$expected"* ]] || fail "the package does not depend on $expected"
done
[ "$(dpkg-deb --field "$deb" Section)" = utils ] || fail "the package is not in section utils"
contents=$(dpkg-deb --contents "$deb")
for expected in \
    ./usr/bin/mirovane \
    ./usr/share/applications/net.mirovane.Mirovane.desktop \
    ./usr/share/metainfo/net.mirovane.Mirovane.metainfo.xml \
    ./usr/share/icons/hicolor/256x256/apps/net.mirovane.Mirovane.png \
    ./usr/share/icons/hicolor/scalable/apps/net.mirovane.Mirovane.svg \
    ./usr/share/doc/mirovane/copyright \
    ./usr/share/doc/mirovane/changelog.gz \
    ./usr/share/man/man1/mirovane.1.gz; do
    grep -q " $expected\$" <<<"$contents" || fail "the package does not hold $expected"
done

echo "== lintian"
lintian --fail-on error,warning --display-info --pedantic "$changes"

echo "== the build's flags (blhc)"
blhc --all --ignore-flag=-fPIE --ignore-flag=-pie "$log"
echo "every compiler and linker run had the release's hardening flags"

echo "== hardening ($architecture)"
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb --extract "$deb" "$unpacked/deb"
dpkg-deb --extract "$dbgsym" "$unpacked/dbgsym"
readelf=readelf
gnu_type=$(dpkg-architecture -a"$architecture" -qDEB_HOST_GNU_TYPE 2>/dev/null)
command -v "$gnu_type-readelf" >/dev/null && readelf=$gnu_type-readelf
features=$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-architecture -a"$architecture" \
    -c dpkg-buildflags --query-features hardening 2>/dev/null |
    awk '/^Feature:/ { feature = $2 } /^Enabled: yes/ { print feature }')
echo "Debian's hardening here: $(echo $features)"
mapfile -t programs < <(find "$unpacked/deb" -type f -exec sh -c \
    'head -c 4 "$1" | grep -q "^.ELF"' sh {} \; -print | sort)
[ ${#programs[@]} -gt 0 ] || fail "no program in the package"
# Per program, on its report, compiler options and notes, set in the loop below.
expect() { # FEATURE DESCRIPTION TEST...
    local feature=$1 description=$2
    shift 2
    if ! grep -qx "$feature" <<<"$features"; then
        echo "    ($description: not in this release's hardening)"
    elif "$@"; then
        echo "    ok: $description"
    else
        fail "$name: $description missing"
    fi
}
says() { grep -q "^ $1: yes" <<<"$report"; }
compiled_with() { grep -q -- " $1" <<<"$producer"; }
noted() { grep -q "$1" <<<"$notes"; }
for program in "${programs[@]}"; do
    name=${program#"$unpacked/deb"}
    report=$(hardening-check --verbose "$program" || true)
    echo "$name:"
    tail -n +2 <<<"$report" | sed 's/^/    /'
    build_id=$("$readelf" --notes "$program" | awk '/Build ID:/ { print $3 }')
    debug=$unpacked/dbgsym/usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug
    [ -f "$debug" ] || fail "$name: no debug information in the -dbgsym package"
    producer=$("$readelf" --debug-dump=info "$debug" 2>/dev/null | grep -m 1 DW_AT_producer || true)
    notes=$("$readelf" --notes "$program")
    expect pie "position-independent" says "Position Independent Executable"
    expect relro "read-only relocations" says "Read-only relocations"
    expect bindnow "immediate binding" says "Immediate binding"
    expect stackprotectorstrong "stack protector (strong)" \
        eval 'says "Stack protected" && compiled_with -fstack-protector-strong'
    expect fortify "_FORTIFY_SOURCE (blhc above)" eval 'says "Fortify Source functions" ||
        grep -q "^ Fortify Source functions: no, only unprotected functions found" <<<"$report"'
    expect stackclash "stack clash protection" compiled_with -fstack-clash-protection
    case "$architecture" in
        amd64)
            expect branch "control-flow protection (-fcf-protection)" compiled_with -fcf-protection
            # The linker marks the program for IBT and SHSTK only when every object it links has
            # them, and Debian 13's C library startup files (Scrt1.o, crti.o, crtn.o) do not:
            # no program of Debian 13 is marked, and the mark is reported, not required.
            if grep -qx branch <<<"$features"; then
                if noted "x86 feature: IBT, SHSTK"; then
                    echo "    ok: marked for IBT and SHSTK"
                else
                    echo "    (not marked for IBT and SHSTK: the C library's startup files are not)"
                fi
            fi
            ;;
        arm64) expect branch "branch protection (BTI, PAC)" \
            eval 'compiled_with -mbranch-protection=standard && noted "AArch64 feature: BTI, PAC"' ;;
    esac
    symbols=$("$readelf" --dyn-syms --wide "$program")
    if grep -q __glibcxx_assert_fail <<<"$symbols"; then
        echo "    ok: the C++ library's assertions"
    else
        fail "$name: the C++ library's assertions missing"
    fi
done
echo "The package $version for $architecture as expected: lintian clean, hardened"
