#!/usr/bin/env bash
# End to end: the alarm journal, the Alarms window and the status export of the station
# against linvar-sim over a pseudo-terminal (installation and script: alarms.txt), with a
# real Prometheus server scraping it: its query API must report the red unit. Exits 0
# only when every expectation held.
#
#   tests/e2e/alarms.sh LINVAR LINVAR_SIM [SCRIPT]

. "$(dirname "$0")/lib.sh" alarms.txt "$@"
status_port=$(free_port)
start_station 120
problems=()
if [ "$script" = "$installation" ]; then
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
    pids+=($!)
    # promtool reads what the station serves.
    for ((i = 0; i < 100; i++)); do
        get /metrics >"$work/metrics.txt" && grep -q 'address="0350"' "$work/metrics.txt" && break
        sleep 0.2
    done
    if ! promtool check metrics <"$work/metrics.txt" >"$work/promtool.out" 2>&1; then
        problems+=("promtool check metrics failed: $(cat "$work/promtool.out")")
    else
        # Prometheus scraped the station: the red unit, and only it, is there.
        for ((i = 0; i < 60; i++)); do
            answer=$(python3 -c "import urllib.request,urllib.parse,sys; print(urllib.request.urlopen('http://127.0.0.1:$prom_port/api/v1/query?query=' + urllib.parse.quote('linvar_unit_state==3')).read().decode())" 2>/dev/null)
            python3 -c 'import json,sys; r=json.loads(sys.argv[1])["data"]["result"]; sys.exit(0 if [m for m in r if m["metric"].get("address")=="0350" and m["metric"].get("link")=="3" and m["metric"].get("end")=="DISTANT"] and len(r)==1 else 1)' "$answer" 2>/dev/null && break
            sleep 0.25
        done
        [ "$i" -lt 60 ] || problems+=("Prometheus did not report the red unit: $answer $(tail -n 20 "$work/prometheus.log")")
    fi
fi
wait "$station_pid"
rc=$?
if [ "$rc" -eq 0 ] && [ "$script" = "$installation" ]; then
    # The journal of the day holds the fault, the lost communication and the acknowledgement.
    journal=$(cat "$work"/Alarms-*.csv)
    for want in ",State,3,DISTANT,Modem 1,0350,PARIS-3,,Fault," \
        ",State,4,DISTANT,Modem 1,0450,PARIS-4,,No communication," ",Acknowledged,4,DISTANT,"; do
        [[ "$journal" == *"$want"* ]] || problems+=("the alarm journal lacks '$want': $journal")
    done
fi
finish "${problems[@]}"
