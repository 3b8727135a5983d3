# Shared set-up of run.sh and test.sh: installs the Debian packages the build needs.
# Sourced, not run. Skips apt-get when every package is already installed.

# qt6-translations-l10n puts Qt's own dialogs in the user's language; qt6-l10n-tools (lrelease)
# compiles the program's own translation of the texts Qt's lacks. libeigen3-dev and
# libboost-dev serve as independent references in tests only, libproj-dev as the benchmarks'
# yardstick only; xvfb runs the program in a real window for its screenshot test, x11-utils
# (xprop) reads the captions the window manager is given, and libxtst-dev drives the grid's
# pointer test with real input. fusefat, exfat-fuse, dosfstools and exfatprogs mount FAT and
# exFAT images through FUSE, as a desktop mounts USB sticks, for the tests that write onto them.
ZENTROVA_PACKAGES=(g++ cmake make libgtest-dev libgmock-dev libbenchmark-dev locales
                   qt6-base-dev qt6-qpa-plugins libqt6test6 qt6-translations-l10n qt6-l10n-tools
                   fonts-ipafont-gothic poppler-utils clang libclang-rt-14-dev libeigen3-dev
                   libboost-dev libproj-dev xvfb xauth x11-utils libxtst-dev
                   fusefat exfat-fuse dosfstools exfatprogs)

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

# The locales the tests run under: one with a decimal comma, so that the tests can prove numbers
# in files ignore it, and the Japanese one of the program's users.
zentrova_generate_test_locale() {
    local name missing=()
    for name in de_DE ja_JP; do
        locale -a 2>/dev/null | grep -qix "$name\.utf-\?8" || missing+=("$name")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        for name in "${missing[@]}"; do
            echo "Generating the $name.UTF-8 locale"
            localedef -i "$name" -f UTF-8 "$name.UTF-8"
        done
    else
        echo "The tests need the ${missing[*]} UTF-8 locales. Run:" >&2
        for name in "${missing[@]}"; do
            echo "  sudo localedef -i $name -f UTF-8 $name.UTF-8" >&2
        done
        return 1
    fi
}
