#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what an installed
# copy needs: the program, the simulated sensor, the command-line tool (its
# version, no widgets, identifying the simulator), the desktop entry and the
# icon in their standard places; the desktop entry valid; and the installed
# program, started from its menu command, taking its settings from the
# user's configuration directory and connecting to the installed simulator,
# while writing nothing into the prefix.
#   scripts/check-install.sh [BUILD_DIR]
set -u
build="$(cd "${1:-build}" && pwd)"
work="$(mktemp -d -t chromik3-install.XXXXXX)"
prefix="$work/prefix"
sim_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; fail "cmake --install"; }

for f in bin/chromik3-scope bin/chromik3-sim bin/chromik3-cli; do
    [ -x "$prefix/$f" ] || fail "$f missing or not executable"
done
for f in share/applications/chromik3-scope.desktop \
         share/icons/hicolor/scalable/apps/chromik3-scope.svg \
         share/doc/chromik3-scope/README.md; do
    [ -s "$prefix/$f" ] || fail "$f missing"
done
desktop="$prefix/share/applications/chromik3-scope.desktop"
grep -qx 'Exec=chromik3-scope' "$desktop" || fail "desktop entry does not start chromik3-scope"
grep -qx 'Icon=chromik3-scope' "$desktop" || fail "desktop entry names another icon"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop entry not valid"
fi
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/chromik3-scope.svg" || fail "icon is no SVG"

# The command-line tool runs and needs no widgets.
"$prefix/bin/chromik3-cli" --version | grep -q '^chromik3-cli 4\.3' || fail "chromik3-cli --version"
if ldd "$prefix/bin/chromik3-cli" | grep -Eq 'Qt6(Widgets|Gui|PrintSupport)|qcustomplot'; then
    fail "chromik3-cli links widgets: $(ldd "$prefix/bin/chromik3-cli" | grep -i qt)"
fi

# The Debian package from the same rules: its files and dependencies.
if command -v cpack >/dev/null && command -v dpkg-deb >/dev/null; then
    (cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) ||
        { cat "$work/cpack.log"; fail "cpack"; }
    deb="$(ls "$work"/package/chromik3-scope_*.deb 2>/dev/null | head -1)"
    [ -n "$deb" ] || fail "no package built"
    contents="$(dpkg-deb -c "$deb")"
    for f in ./usr/bin/chromik3-scope ./usr/bin/chromik3-sim ./usr/bin/chromik3-cli \
             ./usr/share/applications/chromik3-scope.desktop \
             ./usr/share/icons/hicolor/scalable/apps/chromik3-scope.svg; do
        grep -q " $f\$" <<<"$contents" || fail "package lacks $f"
    done
    depends="$(dpkg-deb -f "$deb" Depends)"
    for p in libqt6widgets6 libqt6serialport6 libqt6network6 libqt6printsupport6 \
             libqcustomplot2.1-qt6 qt6-qpa-plugins; do
        grep -qw "$p" <<<"$depends" || fail "package does not depend on $p"
    done
fi

# The installed program against the installed simulator.
ctl_port=$((20000 + RANDOM % 20000))
"$prefix/bin/chromik3-sim" --tcp 0 --control "$ctl_port" >"$work/sim.log" 2>&1 </dev/null &
sim_pid=$!
port=""
for _ in $(seq 1 50); do
    port="$(sed -n 's/.*127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/sim.log" | head -1)"
    [ -n "$port" ] && break
    sleep 0.1
done
[ -n "$port" ] || { cat "$work/sim.log"; fail "simulator did not start"; }

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
config="$XDG_CONFIG_HOME/chromik3-scope"
mkdir -p "$config"
printf '%s\r\n' '[GENERAL INFO]' 'FILE TYPE: = "Panel Settings"' \
    'SCOPE VERSION: = "CHROMIK3 Scope V4.3"' '' '[COMMUNICATION SETTINGS]' \
    'COMPROTOCOL = 1' 'COMPORT = 1' 'BAUDRATE = 4' 'IP ADRESS = "127.0.0.1"' \
    "PORT NUMBER = \"$port\"" '' >"$config/PanelSettings.cfg"
before="$(cd "$prefix" && find . | sort)"

PATH="$prefix/bin:$PATH" QT_QPA_PLATFORM=offscreen chromik3-scope >"$work/app.log" 2>&1 &
app_pid=$!
connected=""
for _ in $(seq 1 100); do
    # Identification (order 7) and the parameter read (order 2) have arrived.
    got="$(printf 'received\n' | timeout 2 bash -c "exec 3<>/dev/tcp/127.0.0.1/$ctl_port; cat >&3; timeout 1 cat <&3" 2>/dev/null)"
    if grep -q '^7 ' <<<"$got" && grep -q '^2 ' <<<"$got"; then
        connected=yes
        break
    fi
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
[ -n "$connected" ] || { cat "$work/app.log"; fail "installed program did not connect to the installed simulator"; }
kill "$app_pid"
wait "$app_pid" 2>/dev/null
app_pid=""
# The installed tool against the same simulator, once the program has let go.
ident="$(PATH="$prefix/bin:$PATH" chromik3-cli ident --tcp "127.0.0.1:$port" 2>&1)" ||
    fail "installed chromik3-cli did not identify the simulator: $ident"
grep -q '^SERIAL NUMBER: ' <<<"$ident" || fail "chromik3-cli ident printed: $ident"
after="$(cd "$prefix" && find . | sort)"
[ "$before" = "$after" ] || fail "the program wrote into the prefix: $(diff <(echo "$before") <(echo "$after"))"
echo "install check passed: $prefix holds the program, the simulator, the command-line tool, the desktop entry and the icon; the installed program read $config/PanelSettings.cfg and connected to the installed simulator on port $port, and the installed tool identified it"
