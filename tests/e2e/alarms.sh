#!/usr/bin/env bash
# End to end: the alarm journal, the Alarms window and the status export of the station
# against linvar-sim over a pseudo-terminal, with a real Prometheus server scraping it.
#
#   tests/e2e/alarms.sh LINVAR LINVAR_SIM [SCRIPT]
#
# The installation: link 3 with a healthy LOCAL end and a DISTANT modem with a Tx fault
# (0350), link 4 whose DISTANT modem does not answer (0450). While the script runs,
# Prometheus scrapes /metrics; its query API must report the red unit. Exits 0 only
# when every expectation held.

set -u

here=$(cd "$(dirname "$0")" && pwd)
linvar=${1:?usage: alarms.sh LINVAR LINVAR_SIM [SCRIPT]}
sim=${2:?usage: alarms.sh LINVAR LINVAR_SIM [SCRIPT]}
script=${3:-$here/alarms.txt}

. "$here/lib.sh"

prom_pid=
stop_prometheus() {
    if [ -n "$prom_pid" ]; then
        kill "$prom_pid" 2>/dev/null
        wait "$prom_pid" 2>/dev/null
    fi
    cleanup
}
trap stop_prometheus EXIT

free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

{
    empty_records 1 4
    record 1300 "" 0311 "" PARIS-3 "" 50 2 90 ""
    record 0350 "" "" "" PARIS-3 "" 50 2 90 ""
    record 1400 "" 0411 "" PARIS-4 "" 50 2 90 ""
    record 0450 "" "" "" PARIS-4 "" 50 2 90 ""
    empty_records 9 44
    printf '0,0,0\r\n'
} >"$work/SysSetup.txt"
station_files

start_sim --setup "$work/SysSetup.txt" --demo
status_port=$(free_port)
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} LINVAR_NO_DIALOGS=1 \
    timeout 120 "$linvar" Brivola --data-dir "$work" --com "1=$pty" --replay "$script" \
    --status-port "$status_port" >"$work/linvar.out" 2>"$work/linvar.err" &
station_pid=$!

check_export=0
if [ "$script" = "$here/alarms.txt" ]; then
    check_export=1
    prom_port=$(free_port)
    mkdir -p "$work/prometheus"
    cat >"$work/prometheus.yml" <<YML
global:
  scrape_interval: 1s
  evaluation_interval: 1s
scrape_configs:
  - job_name: linvar
    static_configs:
      - targets: ["127.0.0.1:$status_port"]
YML
    prometheus --config.file="$work/prometheus.yml" --storage.tsdb.path="$work/prometheus" \
        --web.listen-address="127.0.0.1:$prom_port" >"$work/prometheus.log" 2>&1 &
    prom_pid=$!
fi

export_ok=1
if [ "$check_export" = 1 ]; then
    export_ok=0
    # promtool reads what the station serves.
    for ((i = 0; i < 100; i++)); do
        python3 -c "import urllib.request,sys; sys.stdout.write(urllib.request.urlopen('http://127.0.0.1:$status_port/metrics').read().decode())" \
            >"$work/metrics.txt" 2>/dev/null && grep -q 'address="0350"' "$work/metrics.txt" && break
        sleep 0.2
    done
    if ! promtool check metrics <"$work/metrics.txt" >"$work/promtool.out" 2>&1; then
        echo "e2e: promtool check metrics failed:" >&2
        cat "$work/promtool.out" >&2
    else
        # Prometheus scraped the station: the red unit is there.
        query='linvar_unit_state==3'
        for ((i = 0; i < 60; i++)); do
            answer=$(python3 -c "import urllib.request,urllib.parse,sys; print(urllib.request.urlopen('http://127.0.0.1:$prom_port/api/v1/query?query=' + urllib.parse.quote(sys.argv[1])).read().decode())" "$query" 2>/dev/null)
            if python3 -c 'import json,sys; r=json.loads(sys.argv[1])["data"]["result"]; sys.exit(0 if [m for m in r if m["metric"].get("address")=="0350" and m["metric"].get("link")=="3" and m["metric"].get("end")=="DISTANT"] and len(r)==1 else 1)' "$answer" 2>/dev/null; then
                export_ok=1
                break
            fi
            sleep 0.25
        done
        [ "$export_ok" = 1 ] || echo "e2e: Prometheus did not report the red unit: $answer" >&2
    fi
fi

wait "$station_pid"
rc=$?
if [ "$rc" -eq 0 ] && [ "$export_ok" != 1 ]; then
    tail -n 20 "$work/prometheus.log" >&2
    rc=1
fi
if [ "$rc" -eq 0 ] && [ "$check_export" = 1 ]; then
    # The journal of the day holds the fault, the lost communication and the acknowledgement.
    journal=$(cat "$work"/Alarms-*.csv)
    for want in ",State,3,DISTANT,Modem 1,0350,PARIS-3,,Fault," \
        ",State,4,DISTANT,Modem 1,0450,PARIS-4,,No communication," ",Acknowledged,4,DISTANT,"; do
        if [[ "$journal" != *"$want"* ]]; then
            echo "e2e: the alarm journal lacks '$want':" >&2
            echo "$journal" >&2
            rc=1
        fi
    done
fi

finish
