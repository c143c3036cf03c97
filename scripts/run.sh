#!/usr/bin/env bash
# Builds the program and starts it. On first use it creates a local installation with an empty
# register (the first start then asks for the organisation's name). With --demo it starts on a
# demo installation with a filled register instead.
#   FXASSET_HOME   where installations live (default ~/.local/share/fxasset)
set -euo pipefail
cd "$(dirname "$0")/.."
# Only what starting needs: the program and the companion (with the installed files).
scripts/setup.sh fxasset fxasset-admin

home="${FXASSET_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/fxasset}"
name="default"
init_args=()
if [ "${1:-}" = "--demo" ]; then
    name="demo"
    init_args=(--demo)
fi
app="$home/$name"
admin=build/tools/fxasset-admin
if [ ! -f "$app/data/gdzc.qsk" ]; then
    "$admin" init "$app" "${init_args[@]}"
else
    # Point the installation key at this installation (default and demo share one key).
    "$admin" register "$app"
fi
cd "$app"
exec "$OLDPWD/build/src/fxasset"
