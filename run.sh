#!/usr/bin/env bash
# Set-up and entry point: ./run.sh demo | ./run.sh test | ./run.sh bench | ./run.sh sanitize
# Installs any missing Debian package (as root), configures, builds and runs.
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake ninja-build g++ pkg-config git
          qtbase5-dev qttools5-dev qttools5-dev-tools libqt5svg5-dev qttranslations5-l10n
          libyaml-cpp-dev libyaml-dev libqcustomplot-dev libgraphviz-dev zlib1g-dev iproute2)
BUILD_DIR=${BUILD_DIR:-build}

install_missing_packages() {
    local missing=()
    for package in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Builds the given targets, or everything when none are given.
configure_and_build() {
    local launcher=()
    command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" -DBUILD_TESTING=ON "${launcher[@]}"
    local targets=()
    for target in "$@"; do
        targets+=(--target "$target")
    done
    cmake --build "$BUILD_DIR" --parallel "$(nproc)" "${targets[@]}"
}

# The framework stand-in's threads under a sanitizer ("address" or "thread"): a build of its own
# with only the stand-in and its thread stress test.
check_under_sanitizer() {
    local launcher=()
    command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    local dir="$BUILD_DIR-$1"
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORBODEV_SANITIZER="$1" "${launcher[@]}"
    cmake --build "$dir" --parallel "$(nproc)"
    (cd "$dir" && ctest --output-on-failure)
}

case "${1:-}" in
    test)
        install_missing_packages
        configure_and_build
        (cd "$BUILD_DIR" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)")
        check_under_sanitizer address
        check_under_sanitizer thread
        ;;
    sanitize)
        install_missing_packages
        check_under_sanitizer address
        check_under_sanitizer thread
        ;;
    demo)
        install_missing_packages
        configure_and_build dozerozozu-demo
        if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
            mkdir -p "$BUILD_DIR/screenshots"
            QT_QPA_PLATFORM=offscreen "$BUILD_DIR/host/dozerozozu-demo" --screenshots "$BUILD_DIR/screenshots"
            # Once more as a user who chose Russian in the demo's settings sees it, on a system
            # whose own language is C: the saved choice, not the system's, decides.
            russian_data=$(mktemp -d)
            mkdir -p "$russian_data/dozerozozu-demo"
            printf 'demo:\n  language: ru\n' > "$russian_data/dozerozozu-demo/demo-settings.yaml"
            env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG=C XDG_DATA_HOME="$russian_data" QT_QPA_PLATFORM=offscreen \
                "$BUILD_DIR/host/dozerozozu-demo" --screenshots "$BUILD_DIR/screenshots/ru"
            rm -rf "$russian_data"
        else
            "$BUILD_DIR/host/dozerozozu-demo"
        fi
        ;;
    bench)
        install_missing_packages
        configure_and_build
        cmake --build "$BUILD_DIR" --target benchmarks
        ;;
    *)
        echo "usage: $0 demo|test|bench|sanitize" >&2
        exit 2
        ;;
esac
