#!/bin/sh
# The Debian package: `cpack -G DEB` makes it, lintian finds no error and no warning in it,
# it carries what Debian wants beside the program (copyright, changelog, manual pages,
# lintian's overrides), and the version of the package, of its changelog, of its manual
# pages and of the newest release in the AppStream metadata is the project's.
# Usage: package_test.sh <source folder> <build folder> <version>
set -eu
src=$1
build=$2
version=$3
fail() { echo "FAIL: $*"; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# A package of its own in a scratch folder, so that a package in the build folder stays.
(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" > cpack.log 2>&1) ||
    { cat "$scratch/cpack.log"; fail "cpack"; }
deb=$(ls "$scratch"/out/nutrilo_*.deb)
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not $version"

# lintian, run as root by CI, says on stderr that it would rather not be; that is no tag.
status=0
lintian --fail-on error,warning --display-info --info "$deb" > "$scratch/lintian.log" 2>&1 ||
    status=$?
cat "$scratch/lintian.log"
[ "$status" -eq 0 ] || fail "lintian: errors or warnings"

dpkg-deb -x "$deb" "$scratch/tree"
doc=$scratch/tree/usr/share/doc/nutrilo
head -1 "$doc/copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "copyright is not machine-readable"
[ "$(gzip -dc "$doc/changelog.gz" | head -1 | sed -n 's/^nutrilo (\([^)]*\)).*/\1/p')" = "$version" ] ||
    fail "newest changelog entry is not $version"
for page in man1/nutrilo.1.gz man1/nutrilo-db.1.gz it/man1/nutrilo.1.gz it/man1/nutrilo-db.1.gz; do
    gzip -dc "$scratch/tree/usr/share/man/$page" | head -1 | grep -q "\"Nutrilo $version\"" ||
        fail "manual page $page does not name version $version"
done
grep -q '^nutrilo: package-contains-documentation-outside-usr-share-doc' \
    "$scratch/tree/usr/share/lintian/overrides/nutrilo" || fail "lintian overrides"
newest=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' \
    "$src/data/desktop/it.nutrilo.Nutrilo.metainfo.xml" | head -1)
[ "$newest" = "$version" ] || fail "newest AppStream release is $newest, not $version"
# The splash picture, which the user sees at every start, is drawn with the version.
grep -q "'versione $version'" "$src/data/pictures/make_pictures.sh" ||
    fail "the splash picture does not say versione $version"
echo "PASS: Debian package $(basename "$deb")"
