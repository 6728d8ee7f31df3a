#!/bin/sh
# Writes the package's changelog, compressed as Debian wants it (gzip -9n, no
# name or date inside): a native package's changelog, one entry for the
# version, listing the subjects of the commits that made it, newest first,
# dated by the last commit. Outside a git checkout (a tarball), the entry only
# names the version, dated by SOURCE_DATE_EPOCH or else now.
# The file is replaced only when its bytes change, so that an unchanged tree
# installs the same file.
# Usage: changelog.sh <source dir> <version> <maintainer> <output.gz>
set -eu
source_dir=$1 version=$2 maintainer=$3 output=$4
scratch="$output.tmp"

in_checkout() {
    top=$(git -C "$source_dir" rev-parse --show-toplevel 2>/dev/null) &&
        [ "$(cd "$top" && pwd -P)" = "$(cd "$source_dir" && pwd -P)" ]
}

if command -v git >/dev/null 2>&1 && in_checkout; then
    epoch=$(git -C "$source_dir" log -1 --format=%ct)
    # The first-parent line is the history as main took it: each merged
    # branch by its merge's subject, each direct commit by its own.
    changes=$(git -C "$source_dir" log --first-parent --format=%s)
else
    epoch=${SOURCE_DATE_EPOCH:-$(date +%s)}
    changes="Version $version."
fi

{
    printf 'listora (%s) unstable; urgency=medium\n\n' "$version"
    # One item a change, wrapped within 80 columns.
    printf '%s\n' "$changes" | while IFS= read -r subject; do
        printf '%s\n' "$subject" | fold -s -w 74 | sed -e 's/ *$//' -e '1s/^/  * /' -e '2,$s/^/    /'
    done
    printf '\n -- %s  %s\n' "$maintainer" "$(LC_ALL=C date -u -R -d "@$epoch")"
} | gzip -9n >"$scratch"

if cmp -s "$scratch" "$output"; then
    rm -f "$scratch"
else
    mv "$scratch" "$output"
fi
