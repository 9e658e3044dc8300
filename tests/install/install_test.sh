#!/usr/bin/env bash
# Checks of what ships: install_test.sh CHECK BUILD_DIR SOURCE_DIR
#   layout             `cmake --install` into a scratch DESTDIR lays out the
#                      programs, pages and README, each program runs --help,
#                      and the uninstall script removes exactly that
#   man-pages          every page renders at 80 columns without a warning
#   help-matches-pages each program's --help and its page name the same options
#   systemd-units      the nightly backup's example units, installed under any
#                      prefix, name the kova-config installed there, run it
#                      as an unprivileged user and pass systemd-analyze
#                      verify (where systemd is there)
#   completion         the installed bash completion completes commands,
#                      options, link kinds and .KOV files
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

examples="kova-backup.service kova-backup.timer kova-backup.default kova-backup.sysusers
          kova-backup.rules.yml plant.list"

# The files an install under PREFIX must hold, one per line, sorted.
expected_files() {
    local prefix=$1
    {
        for p in "${programs[@]}"; do
            echo "$prefix/bin/$p"
            echo "$prefix/share/man/man1/$p.1"
            echo "$prefix/share/bash-completion/completions/$p"
        done
        echo "$prefix/share/doc/kovasw/README.md"
        for example in $examples; do
            echo "$prefix/share/doc/kovasw/examples/$example"
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
    # Installed under a prefix of its own the service names the kova-config
    # installed there; systemd itself checks the units against it.
    prefix="$scratch/prefix"
    cmake --install "$build" --prefix "$prefix" >"$scratch/log" 2>&1 ||
        { cat "$scratch/log"; fail "cmake --install failed"; }
    examples_dir="$prefix/share/doc/kovasw/examples"
    service="$examples_dir/kova-backup.service"
    grep -qx "ExecStart=$prefix/bin/kova-config .* --history .*backup .*" "$service" ||
        fail "the service does not run $prefix/bin/kova-config backup --history: $(grep ExecStart "$service")"
    grep -q '^EnvironmentFile=/etc/default/kova-backup$' "$service" || fail "the service reads no /etc/default/kova-backup"
    grep -q '^KOVA_BACKUP_LIST=' "$examples_dir/kova-backup.default" || fail "the environment file sets no list"
    # Not root: a user of its own, in dialout, with its state directory.
    grep -qx 'User=kova-backup' "$service" || fail "the service runs as no user of its own"
    grep -qx 'SupplementaryGroups=dialout' "$service" || fail "the service is not in the dialout group"
    grep -qx 'StateDirectory=kova-backup' "$service" || fail "the service has no state directory"
    grep -qx 'u kova-backup - .*' "$examples_dir/kova-backup.sysusers" || fail "no sysusers line makes the user"
    grep -qx 'm kova-backup dialout' "$examples_dir/kova-backup.sysusers" || fail "sysusers does not put the user in dialout"
    # The same install under /usr/local and /usr (the package's) names those.
    for p in /usr/local /usr; do
        DESTDIR="$scratch/root$p" cmake --install "$build" --prefix "$p" >"$scratch/log" 2>&1 ||
            { cat "$scratch/log"; fail "cmake --install --prefix $p failed"; }
        grep -q "^ExecStart=$p/bin/kova-config " "$scratch/root$p$p/share/doc/kovasw/examples/kova-backup.service" ||
            fail "installed under $p the service does not name $p/bin/kova-config"
    done
    command -v systemd-analyze >/dev/null || { echo "no systemd-analyze: units not verified"; echo "ok: $check"; exit 0; }
    MANPATH="$prefix/share/man" systemd-analyze verify "$service" "$examples_dir/kova-backup.timer" \
        >"$scratch/out" 2>&1 || { cat "$scratch/out"; fail "systemd-analyze verify"; }
    [ -s "$scratch/out" ] && { cat "$scratch/out"; fail "systemd-analyze verify warned"; }
    ;;
completion)
    DESTDIR="$scratch/root" cmake --install "$build" --prefix /usr >"$scratch/log" 2>&1 ||
        { cat "$scratch/log"; fail "cmake --install failed"; }
    completions="$scratch/root/usr/share/bash-completion/completions"
    # What bash offers for the words typed, the cursor after the last one,
    # with the installed programs first on PATH (as after an install).
    complete_line() {
        (cd "$scratch/work" && PATH="$scratch/root/usr/bin:$PATH" bash --norc --noprofile -c '
            program=$1; shift
            source "$0/$program"
            COMP_WORDS=("$program" "$@"); COMP_CWORD=$#
            COMP_LINE="${COMP_WORDS[*]}"; COMP_POINT=${#COMP_LINE}
            _kova "$program" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
            printf "%s\n" "${COMPREPLY[@]}" | sort | paste -sd " " -' "$completions" "$@")
    }
    mkdir -p "$scratch/work/configs"
    touch "$scratch/work/LINE3.KOV" "$scratch/work/north.kov" "$scratch/work/notes.txt" "$scratch/work/KOVASW.STP"
    expect() {
        local want=$1; shift
        local got; got=$(complete_line "$@")
        [ "$got" = "$want" ] || fail "completing '$*': got '$got', want '$want'"
    }
    expect "fetch" kova-config fe
    expect "diff" kova-config --type tcp --host h d
    expect "ascii" kova-link --type as
    expect "ascii gateway netnet rtu symax tcp" kova-config --type ""
    expect "--input --interval" kova-link --in
    expect "LINE3.KOV configs/ north.kov" kova-config --setup KOVASW.STP fetch ""
    expect "KOVASW.STP configs/" kova-config --setup ""
    expect "--version" kovasw --v
    expect "--pty" kova-sim --pt
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
