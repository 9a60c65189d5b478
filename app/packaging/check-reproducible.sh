#!/usr/bin/env bash
# Builds the Debian package twice, from two copies of the source tree, as a packager would with
# the README's commands, and checks that the two packages are the same, byte for byte. The copies
# differ in everything that must not matter: the folder, its filesystem (tmpfs for the second
# when /dev/shm is one), the files' modification times, the time of the build, the umask and the
# time zone. Each copy holds the tree as it is, changes and new files included, committed in a
# repository of its own with the date of the tree's last commit, as a fresh clone would have it.
# Where the packages differ, diffoscope shows where when it is installed; dpkg-deb and tar's
# listings otherwise. Also checks that the package dates its files with that commit's time.
#   check-reproducible.sh SOURCE_DIR WORK_DIR [CMAKE_DIR [PRESET]]
# CMAKE_DIR holds the cmake and cpack to use, when not those on the PATH (empty: those); PRESET
# is the configure preset to build with ("default" unless given; "linux-arm64" for arm64's
# package). Needs git. Builds only what the package holds (BUILD_TESTING=OFF): about a minute on
# two idle cores.
set -euo pipefail
source_dir=$(cd "$1" && pwd)
work=$2
[ -z "${3:-}" ] || PATH=$3:$PATH
preset=${4:-default}

rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)
second_parent=$work
if [ -d /dev/shm ] && [ -w /dev/shm ] &&
    [ "$(stat -f -c %T /dev/shm)" != "$(stat -f -c %T "$work")" ]; then
    second_parent=/dev/shm
fi
second_root=$(mktemp -d "$second_parent/mirovane-reproducible.XXXXXX")
trap 'rm -rf "$second_root"' EXIT
first=$work/first/mirovane
second=$second_root/a/longer/folder/for/the/second/copy

# The date of the last commit, or any fixed one in a tree without commits.
epoch=$(git -C "$source_dir" log -1 --format=%ct 2>/dev/null || echo 1796601600)
mapfile -d '' listed < <(git -C "$source_dir" ls-files -z --cached --others --exclude-standard)
files=()
for file in "${listed[@]}"; do
    if [ -e "$source_dir/$file" ] || [ -L "$source_dir/$file" ]; then
        files+=("$file")
    fi
done

# copy DESTINATION UMASK [FILE_TIME]: the tree's files, created under UMASK as a checkout creates
# them, modified at FILE_TIME (a time past: ninja would build again and again with files modified
# in the future) or now, committed with the date of the last commit.
copy() {
    (
        umask "$2"
        mkdir -p "$1"
        tar -C "$source_dir" --null --no-recursion -cf - "${files[@]}" |
            tar -C "$1" --no-same-permissions --no-same-owner --touch -xf -
        if [ -n "${3:-}" ]; then
            find "$1" -exec touch -h -d "$3" {} +
        fi
        cd "$1"
        git init --quiet
        git add --all
        GIT_AUTHOR_DATE=@$epoch GIT_COMMITTER_DATE=@$epoch git -c user.name=mirovane \
            -c user.email=developers@mirovane.net -c commit.gpgsign=false \
            commit --quiet --no-verify --message "The tree to package"
    )
}

# build COPY UMASK TZ LOG: the README's commands, only what the package needs.
build() {
    echo "== Building the package in $1 (umask $2, TZ=$3, on $(stat -f -c %T "$1"))"
    local status=0
    (
        cd "$1" && umask "$2" && export TZ=$3 && unset SOURCE_DATE_EPOCH &&
            cmake --preset "$preset" -DBUILD_TESTING=OFF &&
            cmake --build --preset "$preset" &&
            cd "build/$preset" && cpack -G DEB
    ) >"$4" 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
        tail -n 40 "$4"
        echo "FAIL: the build in $1 failed; its log is $4"
        exit 1
    fi
}

copy "$first" 022
copy "$second" 077 "2001-02-03 04:05:06"
build "$first" 022 UTC0 "$work/first.log"
build "$second" 027 JST-9 "$work/second.log"
# The one package each build made, whatever its version and architecture.
package() {
    local found=("$1/build/$preset"/mirovane_*.deb)
    if [ ${#found[@]} -ne 1 ] || [ ! -f "${found[0]}" ]; then
        echo "FAIL: expected one package in $1/build/$preset" >&2
        exit 1
    fi
    echo "${found[0]}"
}
a=$(package "$first")
b=$(package "$second")
if [ "$(basename "$a")" != "$(basename "$b")" ]; then
    echo "FAIL: the two builds named their packages $(basename "$a") and $(basename "$b")"
    exit 1
fi
cp "$b" "$work/second.deb"
sha256sum "$a" "$b"

if ! cmp -s "$a" "$b"; then
    echo "FAIL: two builds of the same tree gave two different packages"
    if command -v diffoscope >/dev/null; then
        timeout 600 diffoscope --text - "$a" "$b" || true
    else
        echo "(diffoscope, when installed, shows where they differ; here the listings only)"
        diff <(dpkg-deb --info "$a") <(dpkg-deb --info "$b") || true
        diff <(dpkg-deb --fsys-tarfile "$a" | tar -tv --full-time) \
             <(dpkg-deb --fsys-tarfile "$b" | tar -tv --full-time) || true
        diff <(dpkg-deb --ctrl-tarfile "$a" | tar -tv --full-time) \
             <(dpkg-deb --ctrl-tarfile "$b" | tar -tv --full-time) || true
        diff <(ar tv "$a") <(ar tv "$b") || true
        diff <(dpkg-deb --info "$a" md5sums) <(dpkg-deb --info "$b" md5sums) || true
    fi
    exit 1
fi

# Every file of the package dated with the commit.
expected=$(TZ=UTC0 date -d "@$epoch" '+%Y-%m-%d %H:%M:%S')
if dpkg-deb --fsys-tarfile "$a" | TZ=UTC0 tar -tv --full-time | grep -v -F " $expected "; then
    echo "FAIL: the files above are not dated $expected, the time of the last commit"
    exit 1
fi
echo "The same package from both builds, its files dated $expected"
