#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Corvane needs.
# Skips apt-get entirely when everything is already there.
set -euo pipefail
PACKAGES=(
    build-essential cmake ninja-build ccache pkg-config git
    qtbase5-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools qt5-image-formats-plugins qttranslations5-l10n
    libqt5svg5-dev
    libxcb1-dev libasio-dev libssl-dev zlib1g-dev libjpeg-dev
    xvfb xauth x11-utils imagemagick desktop-file-utils
    fonts-wqy-microhei fonts-dejavu-core
    python3
    libcpp-httplib-dev libpugixml-dev onvif-tools iproute2 util-linux nodejs
    libgstrtspserver-1.0-dev libgstreamer1.0-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    gstreamer1.0-plugins-ugly gstreamer1.0-plugins-bad libavformat-dev libavcodec-dev libswscale-dev libavutil-dev ffmpeg
)
missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# The independent ONVIF client the tests drive the simulator with.
install_onvif_peer() {
    command -v npm >/dev/null || { $SUDO apt-get install -y -qq --no-install-recommends npm; }
    (cd "$(dirname "$0")/../tests/peers/onvif" && npm ci --no-audit --no-fund)
}
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if [ ${#missing[@]} -eq 0 ]; then
    echo "All build dependencies are installed."
    [ -d "$(dirname "$0")/../tests/peers/onvif/node_modules/onvif" ] || install_onvif_peer
    exit 0
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
install_onvif_peer
