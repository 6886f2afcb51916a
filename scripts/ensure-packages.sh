#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when any is missing.
set -euo pipefail

# The install test reads the menu entries, the file types and the icons with desktop-file-utils,
# shared-mime-info and libxml2-utils; librsvg2-bin draws the icon's pictures; the fuzz harnesses
# need clang with its libFuzzer and sanitizer runtimes (libclang-rt-dev) and llvm's symbolizer;
# zlib gives the checksum of a saved project; postgresql and Qt's SQL drivers serve the external
# selectors' and the results' tests a real database.
packages=(g++ cmake ninja-build qt6-base-dev qt6-base-dev-tools libqt6svg6 libsqlite3-dev zlib1g-dev libgl-dev libxml2-utils python3
    libhunspell-dev hunspell-en-us poppler-utils pkgconf
    desktop-file-utils shared-mime-info librsvg2-bin dpkg-dev clang libclang-rt-dev llvm ccache git
    libcpp-httplib-dev chromium chromium-driver python3-selenium lintian appstream
    postgresql libqt6sql6-psql libqt6sql6-sqlite)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
