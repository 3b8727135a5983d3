# Shared set-up of run.sh and test.sh: installs the Debian packages the build needs.
# Sourced, not run. Skips apt-get when every package is already installed.

# libeigen3-dev and libboost-dev serve as independent references in tests only, libproj-dev as the
# benchmarks' yardstick only; xvfb runs the program in a real window for its screenshot test.
ZENTROVA_PACKAGES=(g++ cmake make libgtest-dev libgmock-dev libbenchmark-dev locales
                   qt6-base-dev qt6-qpa-plugins libqt6test6 fonts-ipafont-gothic poppler-utils
                   clang libclang-rt-14-dev libeigen3-dev libboost-dev libproj-dev xvfb xauth libxtst-dev)

zentrova_missing_packages() {
    local pkg
    for pkg in "$@"; do
        dpkg -s "$pkg" 2>/dev/null | grep -q '^Status: install ok installed' || echo "$pkg"
    done
}

zentrova_install_packages() {
    local missing
    missing=$(zentrova_missing_packages "$@")
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing: $(echo $missing)"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -q && apt-get install -y -q --no-install-recommends $missing
    else
        echo "Missing packages. Run:" >&2
        echo "  sudo apt-get install -y $(echo $missing)" >&2
        return 1
    fi
}

# A locale with a decimal comma, so that the tests can prove numbers in files ignore it.
zentrova_generate_test_locale() {
    locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8' && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Generating the de_DE.UTF-8 locale"
        localedef -i de_DE -f UTF-8 de_DE.UTF-8
    else
        echo "The tests need the de_DE.UTF-8 locale. Run:" >&2
        echo "  sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8" >&2
        return 1
    fi
}
