#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing.
# Sourced by run.sh and test.sh.
# lrelease (qttools5-dev-tools) compiles the translations; qttools5-dev has
# its CMake package.
strata_packages=(cmake g++ make pkg-config qtbase5-dev libqt5svg5-dev libusb-1.0-0-dev
                 qttools5-dev-tools qttools5-dev)
# The update service unpacks with unzip and hands packages to xdg-open.
strata_packages+=(unzip xdg-utils)
# The tests also run the libusb backend against umockdev's mocked devices.
# The packaging test runs the desktop entry and metainfo validators.
strata_test_packages=(umockdev libumockdev-dev desktop-file-utils appstream)
# The update tests pack their archives with zip.
strata_test_packages+=(zip)
# The packaging test builds the Debian package (dpkg-dev) and runs lintian
# on it.
strata_test_packages+=(dpkg-dev lintian)
# The fit test measures the texts in the narrow family the panel falls back
# to and, for Japanese and Chinese, in a CJK font (it skips a language
# without one).
strata_test_packages+=(fonts-dejavu-extra fonts-noto-cjk)

# strata_ensure_deps [extra packages...]
strata_ensure_deps() {
    local missing=()
    for p in "${strata_packages[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}
