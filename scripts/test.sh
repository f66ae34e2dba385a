#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (without a display). The tests of
# the store, the datasets, the planner's saving and the conflicts run twice: on a database
# file and on a private PostgreSQL server started here and stopped at the end. Among the
# tests, test_package builds the Debian package and fails on any lintian error or warning.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install.sh
source scripts/test-server.sh
trap stop_test_server EXIT
start_test_server
# With a server started, a server run that finds none fails instead of skipping.
export NUTRILO_TEST_REQUIRE_SERVER=1
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
