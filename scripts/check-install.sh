#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what an installed
# copy needs: the program, the simulated sensor, the command-line tool (its
# version, no widgets, identifying the simulator), the desktop entry and the
# icon in their standard places; the desktop entry valid; the manual pages
# (made from each program's --help, rendering without warnings, with their
# DESCRIPTION and FILES), the machine-readable copyright file and the
# changelog; the Debian package's contents and the dependencies
# dpkg-shlibdeps found; and the installed program, started from its menu
# command, taking its settings from the user's configuration directory,
# connecting to the installed simulator and naming the user's documents
# folder for the user's files without making it before it is needed, while
# writing nothing into the prefix.
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

for f in bin/chromik3-scope bin/chromik3-sim bin/chromik3-cli bin/chromik3-gateway; do
    [ -x "$prefix/$f" ] || fail "$f missing or not executable"
done
doc=share/doc/chromik3-scope
man_pages="share/man/man1/chromik3-scope.1.gz share/man/man1/chromik3-cli.1.gz share/man/man1/chromik3-sim.1.gz share/man/man1/chromik3-gateway.1.gz"
for f in share/applications/chromik3-scope.desktop \
         share/icons/hicolor/scalable/apps/chromik3-scope.svg \
         $doc/README.md $doc/copyright $doc/changelog.gz $doc/examples/line.conf \
         lib/systemd/system/chromik3-gateway@.service lib/sysusers.d/chromik3.conf $man_pages; do
    [ -s "$prefix/$f" ] || fail "$f missing"
done
desktop="$prefix/share/applications/chromik3-scope.desktop"
grep -qx 'Exec=chromik3-scope' "$desktop" || fail "desktop entry does not start chromik3-scope"
grep -qx 'Icon=chromik3-scope' "$desktop" || fail "desktop entry names another icon"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop entry not valid"
fi
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/chromik3-scope.svg" || fail "icon is no SVG"

# Each manual page renders without a warning and has its name line, its
# options from --help, and the DESCRIPTION and FILES of packaging/man/.
for page in $man_pages; do
    program="$(basename "$page" .1.gz)"
    warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$prefix/$page" 2>&1 >/dev/null)"
    [ -z "$warnings" ] || fail "$page: $warnings"
    text="$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$prefix/$page" 2>/dev/null)"
    grep -Eq "^ *$program +- " <<<"$text" || fail "$page has no name line"
    for section in SYNOPSIS DESCRIPTION FILES "SEE ALSO"; do
        grep -q "^$section" <<<"$text" || fail "$page has no $section"
    done
    grep -q -- '--help' <<<"$text" || fail "$page lacks the options of --help"
done
grep -q 'Documents/CHROMIK3' <<<"$(zcat "$prefix/share/man/man1/chromik3-scope.1.gz")" ||
    fail "chromik3-scope(1) does not name the documents folder"

# The copyright file in Debian's machine-readable format; the changelog
# names the package's version.
head -1 "$prefix/$doc/copyright" |
    grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "copyright is not in the machine-readable format"
for field in Upstream-Name Files Copyright License; do
    grep -q "^$field: " "$prefix/$doc/copyright" || fail "copyright lacks $field"
done
zcat "$prefix/$doc/changelog.gz" | head -1 | grep -q '^chromik3-scope (4\.3\.0) ' ||
    fail "changelog does not start with version 4.3.0"

# The command-line tool runs and needs no widgets; the simulator tells its version.
"$prefix/bin/chromik3-cli" --version | grep -q '^chromik3-cli 4\.3' || fail "chromik3-cli --version"
"$prefix/bin/chromik3-sim" --version | grep -q '^chromik3-sim 4\.3' || fail "chromik3-sim --version"
"$prefix/bin/chromik3-gateway" --version | grep -q '^chromik3-gateway 4\.3' || fail "chromik3-gateway --version"
if command -v systemd-analyze >/dev/null; then
    systemd-analyze verify "$prefix/lib/systemd/system/chromik3-gateway@.service" 2>&1 |
        grep -v 'is not executable\|man chromik3-gateway' | grep -q . &&
        fail "the gateway's unit: $(systemd-analyze verify "$prefix/lib/systemd/system/chromik3-gateway@.service" 2>&1)"
fi
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
             ./usr/bin/chromik3-gateway ./usr/lib/systemd/system/chromik3-gateway@.service \
             ./usr/share/applications/chromik3-scope.desktop \
             ./usr/share/icons/hicolor/scalable/apps/chromik3-scope.svg \
             ./usr/$doc/copyright ./usr/$doc/changelog.gz \
             $(for m in $man_pages; do echo "./usr/$m"; done); do
        grep -q " $f\$" <<<"$contents" || fail "package lacks $f"
    done
    maintainer="$(dpkg-deb -f "$deb" Maintainer)"
    grep -Eq '^[^<]+ <[^@> ]+@[^> ]+>$' <<<"$maintainer" || fail "Maintainer is no name and address: $maintainer"
    # What the programs load, with versions (dpkg-shlibdeps), and the
    # platform plugins, which no loader sees; nothing they do not load.
    depends="$(dpkg-deb -f "$deb" Depends)"
    for p in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 \
             libqt6printsupport6 libqcustomplot2.1-qt6 libmosquitto1; do
        grep -Fq ", $p (>= " <<<", $depends" || fail "package does not depend on $p with a version: $depends"
    done
    grep -qw qt6-qpa-plugins <<<"$depends" || fail "package does not depend on qt6-qpa-plugins"
    if grep -qw libqt6network6 <<<"$depends" &&
        ! ldd "$prefix"/bin/chromik3-* | grep -q libQt6Network; then
        fail "package depends on libqt6network6, which no program loads"
    fi
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
kill "$app_pid" # closes the window as its close box does: the settings are saved
wait "$app_pid" 2>/dev/null
app_pid=""
# The user's files go to the documents folder, which nothing has needed yet.
documents="$HOME/Documents/CHROMIK3"
grep -q "^RECORDER FILE = \"$documents/RecordFile.dat\"" "$config/PanelSettings.cfg" ||
    fail "the record file is not in $documents: $(grep 'FILE = ' "$config/PanelSettings.cfg")"
grep -q "^PARAMETER FILE = \"$documents\"" "$config/PanelSettings.cfg" ||
    fail "parameter files do not start in $documents"
[ ! -e "$HOME/Documents" ] || fail "$HOME/Documents was made before a file was saved"
# The installed tool against the same simulator, once the program has let go.
ident="$(PATH="$prefix/bin:$PATH" chromik3-cli ident --tcp "127.0.0.1:$port" 2>&1)" ||
    fail "installed chromik3-cli did not identify the simulator: $ident"
grep -q '^SERIAL NUMBER: ' <<<"$ident" || fail "chromik3-cli ident printed: $ident"
after="$(cd "$prefix" && find . | sort)"
[ "$before" = "$after" ] || fail "the program wrote into the prefix: $(diff <(echo "$before") <(echo "$after"))"
echo "install check passed: $prefix holds the program, the simulator, the command-line tool, their manual pages, the desktop entry, the icon, the copyright file and the changelog; the installed program read $config/PanelSettings.cfg, connected to the installed simulator on port $port and keeps the user's files in $documents; the installed tool identified the simulator"
