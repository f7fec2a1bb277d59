# Shared by scripts/run and scripts/test: packages, a Wine home, an X display.
# shellcheck shell=bash

PACKAGES=(cmake ninja-build g++ pkg-config mingw-w64 g++-mingw-w64-x86-64-posix wine wine64 xvfb
    openbox x11-utils xdotool imagemagick icoutils liblnk-utils desktop-file-utils googletest
    libgtest-dev libglib2.0-dev libglib2.0-bin dbus gvfs gvfs-daemons clang-format python3)

# Installs whatever of PACKAGES is missing (we run as root on Debian 12).
ensure_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

build_presets() {
    local preset
    for preset in "$@"; do
        cmake --preset "$preset" >/dev/null
        cmake --build --preset "$preset"
    done
}

# Wine takes the Windows USERNAME from USER and the program expects its Linux home at
# /home/USERNAME with the prefix .wine inside: USER, HOME and WINEPREFIX must agree.
use_wine_home() {
    export USER="$1" LOGNAME="$1" HOME="/home/$1"
    export WINEPREFIX="$HOME/.wine" WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    mkdir -p "$HOME/.local/share/applications" "$HOME/.local/share/icons"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Creating Wine prefix $WINEPREFIX ..."
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
}

# Starts Xvfb and openbox (on bare Xvfb every window hide waits for a window manager);
# sets DISPLAY and XVFB_PID/OPENBOX_PID.
start_display() {
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    XVFB_PID=$!
    local number
    read -r number <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$number"
    # Openbox takes Alt+Space for its own window menu; without that binding the key reaches the
    # program, whose window menu the tests open.
    OPENBOX_RC=$(mktemp --suffix=.xml)
    sed '/<keybind key="A-space">/,/<\/keybind>/d' /etc/xdg/openbox/rc.xml >"$OPENBOX_RC"
    openbox --config-file "$OPENBOX_RC" >/dev/null 2>&1 &
    OPENBOX_PID=$!
    sleep 1
}

stop_display() {
    [ -n "${OPENBOX_PID:-}" ] && kill "$OPENBOX_PID" 2>/dev/null || true
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
    [ -n "${OPENBOX_RC:-}" ] && rm -f "$OPENBOX_RC" || true
}
