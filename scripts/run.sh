#!/usr/bin/env bash
# Installs what is missing, builds, and starts Nutrilo on the shipped database through
# the same launcher that the installed program uses: the working directory is the
# user's data folder, which receives the shipped database and default picture on the
# first run and is never overwritten later.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/install.sh
NUTRILO_PROGRAM="$root/build/src/app/nutrilo" NUTRILO_SHIPPED="$root/build/shipped" \
    exec "$root/data/desktop/nutrilo.sh"
