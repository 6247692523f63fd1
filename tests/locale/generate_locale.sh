#!/bin/bash
# Generates a locale into a folder of the build tree, for tests that run under it through
# LOCPATH: the machine needs only the locale sources (package 'locales'), not root.
# Usage: generate_locale.sh DIR NAME CHARMAP   (e.g. build/locale pt_BR UTF-8)
set -euo pipefail
dir=$1 name=$2 charmap=$3
locale_name=$name.$charmap
out=$dir/$locale_name

if [ ! -f "$out/LC_NUMERIC" ]; then
    if ! command -v localedef >/dev/null; then
        echo "localedef is missing: install the package 'locales' (make deps)" >&2
        exit 1
    fi
    mkdir -p "$dir"
    tmp=$(mktemp -d "$dir/.generating.XXXXXX")
    trap 'rm -rf "$tmp"' EXIT
    # Exit status 1 is a warning about the locale sources; the files are written all the same.
    rc=0
    localedef -i "$name" -f "$charmap" "$tmp/$locale_name" || rc=$?
    if [ "$rc" -gt 1 ] || [ ! -f "$tmp/$locale_name/LC_NUMERIC" ]; then
        echo "localedef could not generate $locale_name (status $rc)" >&2
        exit 1
    fi
    # Another run may have finished first; its copy is as good as this one.
    mv -T "$tmp/$locale_name" "$out" 2>/dev/null || [ -f "$out/LC_NUMERIC" ]
fi

# The locale must load from there, or the tests would quietly run under "C".
problems=$(LOCPATH=$dir LC_ALL=$locale_name locale 2>&1 >/dev/null || true)
if [ -n "$problems" ]; then
    echo "$locale_name does not load from $dir: $problems" >&2
    exit 1
fi
echo "$locale_name ready in $dir"
