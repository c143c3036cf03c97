#!/usr/bin/env bash
# Starts a private PostgreSQL server for one test run and prints the connection string the
# tests read from FX_TEST_PG. The cluster lives in a new temporary folder and listens only on a
# Unix socket there; under root it runs as an unprivileged user. A throwaway cluster, so it does
# not flush to the disk (fsync=off); the benchmarks start theirs with the defaults
# (scripts/testserver.sh --durable: fsync on, as a real server runs). Every role is trusted on
# the socket except fx_password, which must give its password (scram-sha-256): the tests of the
# server password sign in as that role. Stop it with
#   scripts/testserver.sh stop FOLDER
set -euo pipefail

pg_bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n1)
if [ -z "$pg_bin" ]; then
    echo "PostgreSQL server binaries not found (package postgresql)" >&2
    exit 1
fi

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u "$owner" -- "$@"
    else
        "$@"
    fi
}

owner=$(id -un)
if [ "$(id -u)" -eq 0 ]; then
    owner=postgres
    id -u "$owner" >/dev/null 2>&1 || useradd --system --no-create-home "$owner"
fi

if [ "${1:-}" = "stop" ]; then
    dir=$2
    as_owner "$pg_bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$dir"
    exit 0
fi

flush="-c fsync=off"
if [ "${1:-}" = "--durable" ]; then
    flush=""
fi

dir=$(mktemp -d /tmp/fx-pg.XXXXXX)
chmod 755 "$dir"
[ "$(id -u)" -eq 0 ] && chown "$owner" "$dir"
as_owner "$pg_bin/initdb" -D "$dir/data" -U fx -A trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1
# The first line that fits a connection decides, so the password line comes before the trust.
cat >"$dir/data/pg_hba.conf" <<'HBA'
local   all   fx_password   scram-sha-256
local   all   all           trust
HBA
[ "$(id -u)" -eq 0 ] && chown "$owner" "$dir/data/pg_hba.conf"
as_owner "$pg_bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
    -o "-c listen_addresses='' -k $dir -c max_connections=200 $flush" start >/dev/null
echo "$dir"
