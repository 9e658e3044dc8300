#!/usr/bin/env bash
# no_screen_test.sh PROGRAM: fails when PROGRAM needs a curses library or holds
# a screen function (windows, the error window, the keyboard, text output on
# the screen image). Such a tool would start to depend on a terminal it never
# shows, and its output could be swallowed by a screen that is not there.
set -u
program=${1:?program}
[ -x "$program" ] || { echo "FAIL: $program was not built" >&2; exit 1; }

failed=0

# The libraries the loader would map, read from the program itself (ldd
# follows them; readelf names the ones the program asks for directly).
libraries=$( { ldd "$program"; readelf -d "$program" | grep NEEDED; } 2>&1)
if grep -Ei 'libn?cursesw?|libtinfo|libpanel|libform|libmenu' <<<"$libraries"; then
    echo "FAIL: $program needs a terminal library" >&2
    failed=1
fi

# Screen functions, defined or wanted: the toolkit's names as the screens
# call them.
screen_symbols='^(OpenWindow|CloseWindow|ShowError|ShowErrorF|ShowErrorWithReason|ConfirmBox|GetKey|ReadKey|PutText|PutTextF|EditText|PickFile|PrintScreen|AddHotKey)\('
found=$(nm -C "$program" | sed -E 's/^[0-9a-f ]+ [A-Za-z] //' | grep -E "$screen_symbols" | sort -u)
if [ -n "$found" ]; then
    echo "FAIL: $program holds screen functions:" >&2
    echo "$found" >&2
    failed=1
fi

# The ncurses entry points themselves, should the library ever be linked in
# statically.
if nm "$program" | grep -Ew '(initscr|newterm|wgetch|endwin)'; then
    echo "FAIL: $program holds curses functions" >&2
    failed=1
fi

[ $failed -eq 0 ] && echo "PASS: $program holds no screen code"
exit $failed
