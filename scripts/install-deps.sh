#!/bin/bash
# Installs everything the project needs on a fresh Debian 12 machine. As root it installs what
# is missing; as any other user it names what is missing and the command that installs it.
set -euo pipefail

packages=(
    build-essential cmake clang libclang-rt-14-dev
    googletest libgtest-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine64 fonts-wine xvfb xauth x11-utils x11vnc iproute2
    xdotool locales-all
    imagemagick librsvg2-bin fonts-dejavu-core python3
    nsis zip
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

if ((EUID != 0)); then
    {
        echo "install-deps.sh: these packages are missing: ${missing[*]}"
        echo "Installing them needs root. Run:"
        echo
        echo "    sudo apt-get update"
        echo "    sudo apt-get install -y --no-install-recommends ${missing[*]}"
        echo
        echo "then run this command again."
    } >&2
    exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends "${missing[@]}"
