#!/usr/bin/env bash
# Removes exactly the files a `make install` wrote, as its install manifest
# lists them (without DESTDIR, which is given again here), then the folder of
# ours it left empty.
# Usage: scripts/uninstall.sh INSTALL_MANIFEST [DESTDIR]
set -eu
manifest=${1:?usage: uninstall.sh INSTALL_MANIFEST [DESTDIR]}
destdir=${2:-}
while IFS= read -r file || [ -n "$file" ]; do
    [ -n "$file" ] || continue
    target="$destdir$file"
    if [ -e "$target" ] || [ -L "$target" ]; then
        rm -f -- "$target"
        echo "removed $target"
    fi
done < "$manifest"
# The documentation folder is ours alone (examples/ inside it first); bin and
# man1 belong to everyone.
while IFS= read -r file || [ -n "$file" ]; do
    case "$file" in
        */doc/kovasw/*) dirname -- "$file" ;;
    esac
done < "$manifest" | sort -u -r | while IFS= read -r dir; do
    rmdir --ignore-fail-on-non-empty -- "$destdir$dir" 2>/dev/null || true
done
