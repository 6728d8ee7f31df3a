#!/bin/sh
# Builds the Debian package of a built tree in a scratch folder, then checks
# its name, its control fields, where its files land (the licences among
# them), and the desktop metadata as the package installs it.
# Usage: check_deb.sh <cpack> <build dir> <version>
set -u
cpack=$1 build=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    printf 'FAIL: %s\n' "$1" >&2
    failures=$((failures + 1))
}

if ! "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/log" 2>&1; then
    cat "$work/log" >&2
    exit 1
fi
deb="$work/listora_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { fail "no $(basename "$deb") among: $(ls "$work")"; exit 1; }

[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version is not $version"
for field in Maintainer Section Description; do
    [ -n "$(dpkg-deb -f "$deb" $field)" ] || fail "no $field"
done
# The libraries come from shlibdeps (which drops those that others already
# pull in); Qt's windowing plugins are loaded at run time and named by hand.
depends=$(dpkg-deb -f "$deb" Depends)
for package in libc6 libqt6core6 libqt6widgets6 qt6-qpa-plugins; do
    case ", $depends," in
        *", $package "* | *", $package,"*) ;;
        *) fail "Depends lacks $package: $depends" ;;
    esac
done
recommends=$(dpkg-deb -f "$deb" Recommends)
for package in fonts-liberation qt6-wayland; do
    case ", $recommends," in
        *", $package,"*) ;;
        *) fail "Recommends lacks $package: $recommends" ;;
    esac
done

dpkg-deb -c "$deb" >"$work/contents"
grep -q '^-rwxr-xr-x root/root .* \./usr/bin/listora$' "$work/contents" || fail "no /usr/bin/listora"
grep -q '^-rw-r--r-- root/root .* \./usr/share/doc/listora/copyright$' "$work/contents" ||
    fail "no /usr/share/doc/listora/copyright"
grep -q '^-rwxr-xr-x root/root .* \./usr/bin/listora-verifier$' "$work/contents" ||
    fail "no /usr/bin/listora-verifier"
# The manual pages and the changelog compressed as Debian wants them.
for page in listora listora-verifier listora-cherche; do
    grep -q "^-rw-r--r-- root/root .* \./usr/share/man/man1/$page\.1\.gz\$" "$work/contents" ||
        fail "no $page manual page, compressed"
done
grep -q '^-rw-r--r-- root/root .* \./usr/share/doc/listora/changelog\.gz$' "$work/contents" ||
    fail "no /usr/share/doc/listora/changelog.gz"
grep -q '^-rwxr-xr-x root/root .* \./usr/bin/listora-cherche$' "$work/contents" ||
    fail "no /usr/bin/listora-cherche"
grep -q '^-rw-r--r-- root/root .* \./usr/share/bash-completion/completions/listora-cherche$' \
    "$work/contents" || fail "no Bash completion of listora-cherche"
grep -q '^-rw-r--r-- root/root .* \./usr/share/doc/listora/README\.md$' "$work/contents" ||
    fail "no README in /usr/share/doc/listora"
! grep -q ' \./usr/local/' "$work/contents" || fail "files under /usr/local"
dpkg-deb -x "$deb" "$work/root"
zcat "$work/root/usr/share/doc/listora/changelog.gz" | head -n 1 |
    grep -qx "listora ($version) unstable; urgency=medium" || fail "changelog does not start with $version"
# Debian's own checker: no error and no warning (its remarks are for the
# release's package, which scripts/release builds with Debian's flags).
lintian --fail-on error,warning "$deb" >"$work/lintian" 2>&1 ||
    { cat "$work/lintian" >&2; fail "lintian"; }

appstreamcli validate-tree --no-net --strict "$work/root" >&2 || fail "appstreamcli validate-tree"

[ $failures -eq 0 ] || { cat "$work/contents" >&2; exit 1; }
echo "$(basename "$deb"): Depends: $depends"
