#!/bin/sh
# Starts Nutrilo in the user's data folder. The first run creates the folder and gives it
# the shipped database and default picture; later runs never overwrite them, so the
# people, menus and foods stay. The folder and what is copied into it hold patients'
# health data: they are for the user alone (0700 and 0600), whatever the umask. The program and the shipped files are found beside this
# script (../libexec/nutrilo and ../share/nutrilo) unless NUTRILO_PROGRAM and
# NUTRILO_SHIPPED name them.
set -eu
here=$(dirname "$(readlink -f "$0")")
program=${NUTRILO_PROGRAM:-$here/../libexec/nutrilo/nutrilo}
shipped=${NUTRILO_SHIPPED:-$here/../share/nutrilo}
data="${XDG_DATA_HOME:-$HOME/.local/share}/Nutrilo"
(umask 077 && mkdir -p "$data")
chmod go= "$data" 2>/dev/null || true
for f in alimenti.mdb default.jpg; do
    if [ ! -e "$data/$f" ]; then
        (umask 077 && cp "$shipped/$f" "$data/$f.new")
        chmod 600 "$data/$f.new"
        mv "$data/$f.new" "$data/$f"
    fi
done
cd "$data"
exec "$program"
