#!/usr/bin/env bash
# Checks of what ships: install_test.sh CHECK BUILD_DIR SOURCE_DIR
#   layout             `cmake --install` into a scratch DESTDIR lays out the
#                      programs, pages and README, each program runs --help,
#                      and the uninstall script removes exactly that
#   man-pages          every page renders at 80 columns without a warning
#   help-matches-pages each program's --help and its page name the same options
#   systemd-units      the nightly backup's example units pass systemd-analyze
#                      verify (where systemd is there)
#   package            the Debian package builds and holds the same files;
#                      as root it also installs, kovasw runs from PATH, and
#                      removing it leaves nothing behind
set -u
check=${1:?check}
build=$(cd "${2:?build dir}" && pwd)
source_dir=$(cd "${3:?source dir}" && pwd)
scratch=$(mktemp -d /tmp/kova-install-test.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

programs=()
for p in kovasw kova-link kova-sim kova-config; do
    [ -x "$build/$p" ] && programs+=("$p")
done
for p in kovasw kova-link kova-sim; do
    [ -x "$build/$p" ] || fail "$p was not built"
done

# The files an install under PREFIX must hold, one per line, sorted.
expected_files() {
    local prefix=$1
    {
        for p in "${programs[@]}"; do
            echo "$prefix/bin/$p"
            echo "$prefix/share/man/man1/$p.1"
        done
        echo "$prefix/share/doc/kovasw/README.md"
        for unit in kova-backup.service kova-backup.timer kova-backup.default; do
            echo "$prefix/share/doc/kovasw/examples/$unit"
        done
    } | sort
}

# The long options a text names: --word tokens, roff's \- read as -. Every
# program takes --help, whether or not its usage text lists it.
options_in() { sed 's/\\-/-/g' | grep -oE -- '--[a-z][a-z0-9-]*' | grep -vx -- --help | sort -u; }

case "$check" in
layout)
    DESTDIR="$scratch/root" cmake --install "$build" --prefix /usr/local >"$scratch/log" 2>&1 ||
        { cat "$scratch/log"; fail "cmake --install failed"; }
    actual=$(cd "$scratch/root" && find . -type f | sed 's|^\.||' | sort)
    [ "$actual" = "$(expected_files /usr/local)" ] ||
        fail "installed files differ:"$'\n'"$(diff <(expected_files /usr/local) <(echo "$actual"))"
    for p in "${programs[@]}"; do
        "$scratch/root/usr/local/bin/$p" --help >"$scratch/help" 2>&1 || fail "installed $p --help failed"
        grep -qi usage "$scratch/help" || fail "installed $p --help printed no usage"
    done
    # Uninstalling removes exactly what was installed, and our doc folder.
    bash "$source_dir/scripts/uninstall.sh" "$build/install_manifest.txt" "$scratch/root" >/dev/null ||
        fail "uninstall failed"
    left=$(cd "$scratch/root" && find . -type f -o -type d -name kovasw)
    [ -z "$left" ] || fail "left after uninstall: $left"
    ;;
man-pages)
    command -v man >/dev/null || fail "man is not installed (package man-db)"
    for p in "${programs[@]}"; do
        page="$source_dir/man/$p.1"
        [ -f "$page" ] || fail "no manual page for $p"
        MANWIDTH=80 man --warnings -E UTF-8 -l "$page" >"$scratch/out" 2>"$scratch/err"
        [ -s "$scratch/err" ] && { cat "$scratch/err"; fail "$p.1 renders with warnings"; }
        grep -q "^NAME" "$scratch/out" || fail "$p.1 rendered without a NAME section"
        for section in SYNOPSIS DESCRIPTION OPTIONS FILES "EXIT STATUS" EXAMPLES; do
            grep -q "^$section" "$scratch/out" || fail "$p.1 has no $section section"
        done
        grep -q dialout "$scratch/out" || fail "$p.1 does not name the dialout group"
    done
    ;;
help-matches-pages)
    for p in "${programs[@]}"; do
        from_help=$("$build/$p" --help 2>&1 | options_in)
        from_page=$(options_in <"$source_dir/man/$p.1")
        [ "$from_help" = "$from_page" ] ||
            fail "$p: options of --help (<) and of $p.1 (>) differ:"$'\n'"$(diff <(echo "$from_help") <(echo "$from_page"))"
    done
    ;;
systemd-units)
    # The example units as installed, checked by systemd itself against the
    # installed program and page.
    command -v systemd-analyze >/dev/null || { echo "no systemd-analyze: not tried"; echo "ok: $check"; exit 0; }
    DESTDIR="$scratch/root" cmake --install "$build" --prefix /usr >"$scratch/log" 2>&1 ||
        { cat "$scratch/log"; fail "cmake --install failed"; }
    examples="$scratch/root/usr/share/doc/kovasw/examples"
    mkdir "$scratch/units"
    for unit in kova-backup.service kova-backup.timer; do
        sed "s|/usr/bin/kova-config|$scratch/root/usr/bin/kova-config|" "$examples/$unit" >"$scratch/units/$unit"
    done
    grep -q '^ExecStart=.* --history .*backup ' "$scratch/units/kova-backup.service" || fail "the service runs no backup --history"
    grep -q '^EnvironmentFile=/etc/default/kova-backup$' "$scratch/units/kova-backup.service" || fail "the service reads no /etc/default/kova-backup"
    grep -q '^KOVA_BACKUP_LIST=' "$examples/kova-backup.default" || fail "the environment file sets no list"
    MANPATH="$scratch/root/usr/share/man" systemd-analyze verify "$scratch/units/kova-backup.service" \
        "$scratch/units/kova-backup.timer" >"$scratch/out" 2>&1 || { cat "$scratch/out"; fail "systemd-analyze verify"; }
    [ -s "$scratch/out" ] && { cat "$scratch/out"; fail "systemd-analyze verify warned"; }
    ;;
package)
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/log" 2>&1 ||
        { cat "$scratch/log"; fail "cpack failed"; }
    deb=$(ls "$scratch"/kovasw_*.deb 2>/dev/null | head -1)
    [ -n "$deb" ] || fail "no kovasw_*.deb built"
    actual=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\.||' | sort)
    [ "$actual" = "$(expected_files /usr)" ] ||
        fail "package files differ:"$'\n'"$(diff <(expected_files /usr) <(echo "$actual"))"
    depends=$(dpkg-deb --field "$deb" Depends)
    echo "$depends" | grep -q libncursesw || fail "Depends names no ncurses library: $depends"
    [ "$(dpkg-deb --field "$deb" Suggests)" = cups-client ] || fail "cups-client is not suggested"
    echo "$depends" | grep -q cups && fail "cups-client must not be a hard dependency"
    # As root, and unless a kovasw package is there already: install it,
    # run it from PATH, remove it.
    if [ "$(id -u)" -ne 0 ]; then echo "not root: package install not tried"; echo "ok: $check"; exit 0; fi
    if dpkg -s kovasw >/dev/null 2>&1; then echo "kovasw is installed already: left alone"; echo "ok: $check"; exit 0; fi
    trap 'dpkg -r kovasw >/dev/null 2>&1; rm -rf "$scratch"' EXIT
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >"$scratch/apt" 2>&1 ||
        { cat "$scratch/apt"; fail "apt-get install of the package failed"; }
    [ "$(command -v kovasw)" = /usr/bin/kovasw ] || fail "kovasw is not on PATH after install"
    (cd "$scratch" && env -u KOVA_BUILD_DIR kovasw --version) | grep -q '^kovasw ' || fail "kovasw --version from PATH"
    MANWIDTH=80 man kovasw >/dev/null 2>&1 || fail "man kovasw after install"
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -q kovasw >"$scratch/apt" 2>&1 ||
        { cat "$scratch/apt"; fail "apt-get remove failed"; }
    [ -e /usr/bin/kovasw ] && fail "/usr/bin/kovasw left after remove"
    [ -e /usr/share/doc/kovasw ] && fail "/usr/share/doc/kovasw left after remove"
    ;;
*)
    fail "unknown check $check"
    ;;
esac
echo "ok: $check"
