#!/bin/sh
# The desktop integration: the desktop entry and the AppStream metadata pass their
# validators, the launcher fills the working folder once and never overwrites it, and
# `cmake --install` puts every file in place.
# Usage: desktop_test.sh <source folder> <build folder>
set -eu
src=$1
build=$2
fail() { echo "FAIL: $*"; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

desktop-file-validate "$src/data/desktop/it.nutrilo.Nutrilo.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$src/data/desktop/it.nutrilo.Nutrilo.metainfo.xml" ||
    fail "AppStream metadata"
# AppStream takes web addresses only: each screenshot is the homepage followed by the path
# of a picture in the source tree, which must exist and have the size the metadata gives.
shots=0
for image in $(sed -n 's|.*<image type="source" width="\([0-9]*\)" height="\([0-9]*\)">https://www.nutrilo.it/\([^<]*\)</image>.*|\1x\2:\3|p' \
    "$src/data/desktop/it.nutrilo.Nutrilo.metainfo.xml"); do
    size=${image%%:*}
    path=${image#*:}
    [ -f "$src/$path" ] || fail "screenshot $path not in the source tree"
    set -- $(od -An -tu1 -j16 -N8 "$src/$path")
    [ "$(($1 * 16777216 + $2 * 65536 + $3 * 256 + $4))x$(($5 * 16777216 + $6 * 65536 + $7 * 256 + $8))" = "$size" ] ||
        fail "screenshot $path is not $size"
    shots=$((shots + 1))
done
[ "$shots" -eq "$(grep -c '<image' "$src/data/desktop/it.nutrilo.Nutrilo.metainfo.xml")" ] ||
    fail "a screenshot is not a picture of the source tree"
[ "$shots" -gt 0 ] || fail "no screenshots"

# The launcher, with a program that reports where it runs.
mkdir -p "$scratch/shipped"
echo database > "$scratch/shipped/alimenti.mdb"
echo picture > "$scratch/shipped/default.jpg"
printf '#!/bin/sh\npwd > "%s/ran-in"\n' "$scratch" > "$scratch/program"
chmod +x "$scratch/program"
run() {
    XDG_DATA_HOME="$scratch/home" NUTRILO_PROGRAM="$scratch/program" \
        NUTRILO_SHIPPED="$scratch/shipped" "$src/data/desktop/nutrilo.sh"
}
umask 022
run
[ "$(cat "$scratch/ran-in")" = "$scratch/home/Nutrilo" ] || fail "working folder"
[ "$(cat "$scratch/home/Nutrilo/alimenti.mdb")" = database ] || fail "first run copies"
# The patients' data is for the user alone, whatever the umask.
[ "$(stat -c %a "$scratch/home/Nutrilo")" = 700 ] || fail "working folder not private"
for f in alimenti.mdb default.jpg; do
    [ "$(stat -c %a "$scratch/home/Nutrilo/$f")" = 600 ] || fail "$f not private"
done
chmod 755 "$scratch/home/Nutrilo"
run
[ "$(stat -c %a "$scratch/home/Nutrilo")" = 700 ] || fail "open working folder not tightened"
echo "my people" > "$scratch/home/Nutrilo/alimenti.mdb"
rm "$scratch/home/Nutrilo/default.jpg"
run
[ "$(cat "$scratch/home/Nutrilo/alimenti.mdb")" = "my people" ] || fail "database overwritten"
[ "$(cat "$scratch/home/Nutrilo/default.jpg")" = picture ] || fail "missing picture not restored"

# The installed tree.
cmake --install "$build" --prefix "$scratch/usr" > /dev/null || fail "cmake --install"
for f in bin/nutrilo bin/nutrilo-db libexec/nutrilo/nutrilo share/nutrilo/alimenti.mdb \
    share/nutrilo/default.jpg share/nutrilo/pictures/salva.png share/nutrilo/help/index.html \
    share/applications/it.nutrilo.Nutrilo.desktop share/metainfo/it.nutrilo.Nutrilo.metainfo.xml \
    share/icons/hicolor/scalable/apps/it.nutrilo.Nutrilo.svg \
    share/icons/hicolor/48x48/apps/it.nutrilo.Nutrilo.png \
    share/icons/hicolor/256x256/apps/it.nutrilo.Nutrilo.png; do
    [ -e "$scratch/usr/$f" ] || fail "not installed: $f"
done
[ -x "$scratch/usr/bin/nutrilo" ] || fail "launcher not executable"
echo "PASS: desktop integration"
