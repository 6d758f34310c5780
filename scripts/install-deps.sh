#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing the program needs.
# Quiet and quick when everything is already present; uses sudo when not run as root.
set -euo pipefail

packages=(
    build-essential cmake pkg-config clang-format clang-tidy git
    clang libclang-rt-14-dev
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
    libqt6sql6-sqlite libqt6sql6-psql qt6-svg-dev libqt6svg6 libgl-dev
    libsqlite3-dev sqlite3 libdeflate-dev libharfbuzz-dev
    fonts-liberation fonts-dejavu-core fonts-droid-fallback fonts-symbola fonts-urw-base35
    poppler-utils libpoppler-qt6-dev unrtf qpdf
    libchm-dev fp-utils
    xdg-utils
    librsvg2-bin desktop-file-utils appstream
    python3 python3-reportlab
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then
    as_root=()
else
    as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
