#!/usr/bin/env bash
# Brings a Debian 12 machine up to what building and testing need: the apt packages below and the
# pinned dictionary sources. Idempotent: when everything is present it installs nothing.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    build-essential cmake pkg-config ca-certificates
    libsqlite3-dev sqlite3
    libgtest-dev libgmock-dev libbenchmark-dev
    nlohmann-json3-dev python3-jieba
    qt6-base-dev qt6-base-dev-tools libx11-dev
    fonts-noto-cjk fonts-babelstone-han qt6-translations-l10n
    xvfb xauth xdotool x11-utils imagemagick
    clang-14 libclang-rt-14-dev
)
mapfile -t extra < <(grep -v -E '^\s*(#|$)' scripts/packages-extra.txt)
packages+=("${extra[@]}")
command -v npm >/dev/null 2>&1 || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

scripts/fetch-data.sh
