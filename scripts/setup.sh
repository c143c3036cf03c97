#!/usr/bin/env bash
# Installs the Debian packages the program needs (only those missing), then configures and
# builds it in build/: the targets named as arguments, or everything without any. Used by
# run.sh and test.sh; safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-qpa-plugins qt6-translations-l10n
    libsqlcipher-dev libxlsxwriter-dev
    libgtest-dev libbenchmark-dev
    fonts-arphic-uming fonts-arphic-ukai fonts-wqy-zenhei fonts-dejavu-core
    poppler-utils
    clang-format dpkg-dev appstream
    libzint-dev zbar-tools
    libsodium-dev
    libzip-dev libfreexl-dev libicu-dev
    postgresql libpq-dev
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
fi

build_type="${FX_BUILD_TYPE:-RelWithDebInfo}"
cmake -S . -B build -DCMAKE_BUILD_TYPE="$build_type" ${FX_CMAKE_ARGS:-} >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build build -j"$(nproc)" "${targets[@]}"
