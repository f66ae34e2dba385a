#!/usr/bin/env bash
# Installs what is missing, builds, and starts Nutrilo on the shipped database. The
# working directory is the user's data folder; on the first run it receives the shipped
# database and default picture, which later runs never overwrite.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/install.sh
data="${XDG_DATA_HOME:-$HOME/.local/share}/Nutrilo"
mkdir -p "$data"
for f in alimenti.mdb default.jpg; do
    [ -e "$data/$f" ] || cp "$root/build/shipped/$f" "$data/$f"
done
cd "$data"
exec "$root/build/src/app/nutrilo"
