#!/usr/bin/env bash
# Starts the simulated sensor on TCP port 10001 and the program connected to it.
# On a first run (no PanelSettings.cfg beside the program) a settings file is
# written that selects TCP/IP 127.0.0.1:10001; existing settings are kept.
set -u
build="${1:-build}"
bin="$build/bin"
port="${C3_SIM_PORT:-10001}"
settings="$bin/PanelSettings.cfg"

if [ ! -f "$settings" ]; then
    printf '%s\r\n' \
        '[GENERAL INFO]' \
        'FILE TYPE: = "Panel Settings"' \
        'SCOPE VERSION: = "CHROMIK3 Scope V4.3"' \
        'PANEL ID: = "SIMULATED SENSOR"' \
        '' \
        '[IP ADDRESSES]' \
        'LIST ITEMS = 1' \
        'IP ADDR 1 = "127.0.0.1"' \
        '' \
        '[COMMUNICATION SETTINGS]' \
        'COMPROTOCOL = 1' \
        'COMPORT = 1' \
        'BAUDRATE = 4' \
        'IP ADRESS = "127.0.0.1"' \
        "PORT NUMBER = \"$port\"" \
        '' > "$settings"
    echo "wrote $settings (TCP/IP 127.0.0.1:$port)"
fi

log="$(mktemp -t chromik3-sim.XXXXXX)"
"$bin/chromik3-sim" --tcp "$port" >"$log" 2>&1 </dev/null &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null; rm -f "$log"' EXIT
for _ in $(seq 1 50); do
    grep -q listening "$log" && break
    kill -0 $sim 2>/dev/null || break
    sleep 0.1
done
if kill -0 $sim 2>/dev/null; then
    head -n 1 "$log"
else
    echo "the simulated sensor did not start (is port $port in use?):"
    cat "$log"
fi
"$bin/chromik3-scope"
