#!/bin/sh
# Starts Nutrilo in the user's data folder. The first run creates the folder and gives it
# the shipped database and default picture; later runs never overwrite them, so the
# people, menus and foods stay. The program and the shipped files are found beside this
# script (../libexec/nutrilo and ../share/nutrilo) unless NUTRILO_PROGRAM and
# NUTRILO_SHIPPED name them.
set -eu
here=$(dirname "$(readlink -f "$0")")
program=${NUTRILO_PROGRAM:-$here/../libexec/nutrilo/nutrilo}
shipped=${NUTRILO_SHIPPED:-$here/../share/nutrilo}
data="${XDG_DATA_HOME:-$HOME/.local/share}/Nutrilo"
mkdir -p "$data"
for f in alimenti.mdb default.jpg; do
    if [ ! -e "$data/$f" ]; then
        cp "$shipped/$f" "$data/$f.new"
        mv "$data/$f.new" "$data/$f"
    fi
done
cd "$data"
exec "$program"
