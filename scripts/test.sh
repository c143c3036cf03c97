#!/usr/bin/env bash
# Builds the program and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
# The server engine's tests run on a private PostgreSQL server, stopped whatever the outcome.
pg_dir=$(scripts/testserver.sh)
trap 'scripts/testserver.sh stop "$pg_dir"' EXIT
export FX_TEST_PG="host=$pg_dir user=fx dbname=postgres"
ctest --test-dir build --output-on-failure -j"$(nproc)" "$@"
