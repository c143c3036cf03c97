#!/usr/bin/env bash
# Makes the program's icon in the sizes a desktop asks for (dist/icons/hicolor/NxN/apps) from
# dist/icons/fxasset.svg. The PNGs are committed; run this again after changing the picture.
# Needs ImageMagick (convert).
set -euo pipefail
cd "$(dirname "$0")/.."
svg=dist/icons/fxasset.svg
for size in 16 22 24 32 48 64 128 256; do
    dir="dist/icons/hicolor/${size}x${size}/apps"
    mkdir -p "$dir"
    convert -background none -density 384 "$svg" -resize "${size}x${size}" \
        -strip "PNG32:$dir/cn.yunshan.fxasset.png"
done
mkdir -p dist/icons/hicolor/scalable/apps
cp "$svg" dist/icons/hicolor/scalable/apps/cn.yunshan.fxasset.svg
