#!/bin/sh
# Checks what scripts/release makes, on the last commit of a checkout:
#   check_release.sh build <source dir> <folder>
#       makes a release into <folder>
#   check_release.sh lint <source dir> <folder>
#       Debian's checker on its package: no error, no warning, and no remark
#       but those kept on purpose (the README names them, with why)
#   check_release.sh again <source dir> <folder> <second folder>
#       makes a second release, later and elsewhere, and compares the two:
#       the same SHA256SUMS, byte for byte; what differs is shown by
#       diffoscope. LISTORA_TEST_SKIP_REPRODUCIBLE=1 skips it (status 77) for
#       a quick local run, never when CI is true.
set -u
skip() {
    printf 'SKIP: %s\n' "$1"
    exit 77
}

# Remarks of lintian's that are kept: its English spelling checks reading
# French words ("dont", "exemple", and "ment", the end of "élément" cut off
# at its accent); and no fortified call, though built with
# -D_FORTIFY_SOURCE=2: the programs call none of the checked functions.
# Tag and words, as
# lintian prints them after "I: listora: ".
kept_remarks='typo-in-manual-page dont don'"'"'t
typo-in-manual-page exemple example
spelling-error-in-binary ment meant
hardening-no-fortify-functions'

case "$1" in
build)
    source_dir=$2 folder=$3
    git -C "$source_dir" rev-parse --verify HEAD >/dev/null 2>&1 || skip "not a git checkout"
    rm -rf "$folder"
    # The commit released, so that the second release is of the same one
    # even if a commit is made while the tests run.
    mkdir -p "$(dirname "$folder")"
    git -C "$source_dir" rev-parse --verify HEAD >"$folder.commit" || exit 1
    LISTORA_RELEASE_COMMIT=$(cat "$folder.commit")
    export LISTORA_RELEASE_COMMIT
    exec "$source_dir/scripts/release" "$folder"
    ;;
lint)
    source_dir=$2 folder=$3
    git -C "$source_dir" rev-parse --verify HEAD >/dev/null 2>&1 || skip "not a git checkout"
    set -- "$folder"/*.deb
    [ -f "$1" ] || { echo "FAIL: no package in $folder" >&2; exit 1; }
    lintian --fail-on error,warning --display-info --pedantic "$1" >"$folder.lintian" 2>&1
    status=$?
    cat "$folder.lintian"
    [ $status -eq 0 ] || { echo "FAIL: lintian found errors or warnings" >&2; exit 1; }
    unexpected=$(grep -E '^[EWIPX]: ' "$folder.lintian" | sed -E 's/^[A-Z]: [^ ]+ //; s/ \[.*\]$//' |
        sort -u | grep -vxF "$kept_remarks")
    [ -z "$unexpected" ] || { printf 'FAIL: remarks not kept on purpose:\n%s\n' "$unexpected" >&2; exit 1; }
    echo "lintian: no error, no warning, only the remarks kept on purpose"
    ;;
again)
    source_dir=$2 first=$3 second=$4
    if [ "${LISTORA_TEST_SKIP_REPRODUCIBLE:-0}" = 1 ] && [ "${CI:-}" != true ]; then
        skip "LISTORA_TEST_SKIP_REPRODUCIBLE=1"
    fi
    [ -f "$first/SHA256SUMS" ] || { echo "FAIL: no first release in $first" >&2; exit 1; }
    [ -f "$first.commit" ] || { echo "FAIL: no commit recorded in $first.commit" >&2; exit 1; }
    rm -rf "$second"
    LISTORA_RELEASE_COMMIT=$(cat "$first.commit") "$source_dir/scripts/release" "$second" || exit 1
    if cmp -s "$first/SHA256SUMS" "$second/SHA256SUMS"; then
        echo "Two releases, the same bytes:"
        cat "$second/SHA256SUMS"
        exit 0
    fi
    echo "FAIL: the two releases differ" >&2
    diff "$first/SHA256SUMS" "$second/SHA256SUMS" >&2
    for artefact in "$first"/*; do
        name=$(basename "$artefact")
        [ "$name" = SHA256SUMS ] && continue
        if ! cmp -s "$artefact" "$second/$name"; then
            diffoscope "$artefact" "$second/$name" >&2
        fi
    done
    exit 1
    ;;
*)
    echo "usage: check_release.sh build|lint|again ..." >&2
    exit 2
    ;;
esac
