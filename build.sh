#!/bin/sh
# Installs what is missing on a Debian or Ubuntu machine, builds the project,
# then starts the program (./build.sh run) or runs every test headless
# (./build.sh test).
set -eu
cd "$(dirname "$0")"

mode=${1:-}
case "$mode" in
run) extra="fonts-wqy-microhei" ;;
test) extra="socat fonts-wqy-microhei" ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac

missing=""
# qt6-tools-dev and qt6-l10n-tools: lupdate and lrelease, which build the
# translations into the program; libkissfft-dev, found by pkg-config: the FFT
# of the plotter's spectrum.
for package in cmake make g++ pkg-config qt6-base-dev qt6-serialport-dev qt6-tools-dev \
    qt6-l10n-tools libkissfft-dev $extra; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" \
        || missing="$missing $package"
done
if [ -n "$missing" ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update
    # shellcheck disable=SC2086 # one word per package
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --parallel "$(nproc)"

case "$mode" in
run) exec build/software/smartcar-debug-assistant ;;
test) cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure ;;
esac
