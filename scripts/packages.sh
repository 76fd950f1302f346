# Installs the Debian packages the build needs, when any is missing (with sudo unless root).
KAPRED_PACKAGES=(
    build-essential cmake ninja-build pkg-config git
    libsqlite3-dev libsodium-dev libcli11-dev nlohmann-json3-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-qpa-plugins adwaita-icon-theme fonts-dejavu-core xvfb xauth
    poppler-utils qt6-translations-l10n
    dpkg-dev file appstream desktop-file-utils lintian librsvg2-bin
)

install_packages() {
    local missing=()
    local package
    for package in "${KAPRED_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ "${#missing[@]}" -eq 0 ]; then
        return 0
    fi
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    echo "Instalando paquetes: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

# New build trees use Ninja, which starts at once and keeps both cores busy; a tree made earlier
# with another generator keeps it.
export CMAKE_GENERATOR="${CMAKE_GENERATOR:-Ninja}"
