#!/usr/bin/env bash
# End to end: the readings pass of the station against linvar-sim over a pseudo-terminal.
# A fade injected on modem 1100 pulls its Eb/No below the warning level of the readings
# settings; the replay script sees the alarm come and go, while this script reads the
# export: the reading's gauge in /metrics (checked by promtool), the alarm in /alarms
# and the history as CSV from /readings. The script opens the Trends window on the fading
# unit and pictures it ("@WORK@" in the script is the run's folder; LINVAR_SHOTS names a
# folder to keep the picture in). Exits 0 only when every expectation held.
#
#   tests/e2e/readings.sh LINVAR LINVAR_SIM [SCRIPT]

set -u

here=$(cd "$(dirname "$0")" && pwd)
linvar=${1:?usage: readings.sh LINVAR LINVAR_SIM [SCRIPT]}
sim=${2:?usage: readings.sh LINVAR LINVAR_SIM [SCRIPT]}
script=${3:-$here/readings.txt}

. "$here/lib.sh"

{
    record 1100 "" 0111 "" LONDON-1 "" 50 2 90 ""
    record 0150 "" 0151 "" LONDON-1 "" 50 2 90 ""
    empty_records 3 44
    printf '0,0,0\r\n'
} >"$work/SysSetup.txt"
station_files
sed "s#@WORK@#$work#g" "$script" >"$work/script.txt"
printf 'interval = 5s\r\nwarning ebno_db < 6 for 2\r\n' >"$work/Readings.cfg"

start_sim --setup "$work/SysSetup.txt" --model 1100=350 --model 0150=370 --model 0111=VORN \
    --model 0151=PLD --inject 1100=fade:60
status_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} LINVAR_NO_DIALOGS=1 \
    timeout 120 "$linvar" Brivola --data-dir "$work" --com "1=$pty" --replay "$work/script.txt" \
    --status-port "$status_port" >"$work/linvar.out" 2>"$work/linvar.err" &
station_pid=$!

get() {
    python3 -c "import urllib.request,sys; sys.stdout.write(urllib.request.urlopen('http://127.0.0.1:$status_port' + sys.argv[1]).read().decode())" "$1" 2>/dev/null
}

problems=()
gauge='linvar_reading{address="1100",link="1",end="LOCAL",reading="ebno_db"} '
seen_gauge=0 seen_alarm=0 seen_csv=0
for ((i = 0; i < 240 && (seen_gauge == 0 || seen_alarm == 0 || seen_csv == 0); i++)); do
    if [ "$seen_gauge" = 0 ] && get /metrics >"$work/metrics.txt" && grep -qF "$gauge" "$work/metrics.txt"; then
        seen_gauge=1
        promtool check metrics <"$work/metrics.txt" >"$work/promtool.out" 2>&1 ||
            problems+=("promtool check metrics: $(cat "$work/promtool.out")")
    fi
    if [ "$seen_alarm" = 0 ] && get /alarms >"$work/alarms.json" && grep -q '"state":"Warning"' "$work/alarms.json"; then
        seen_alarm=1
    fi
    if [ "$seen_csv" = 0 ] && get "/readings?address=1100&reading=ebno_db&from=0" >"$work/readings.csv" &&
        [ "$(grep -c ',1100,1,LOCAL,ebno_db,' "$work/readings.csv")" -ge 3 ]; then
        seen_csv=1
    fi
    sleep 0.25
done
[ "$seen_gauge" = 1 ] || problems+=("no Eb/No gauge of 1100 in /metrics")
[ "$seen_alarm" = 1 ] || problems+=("no warning in /alarms")
[ "$seen_csv" = 1 ] || problems+=("fewer than three Eb/No readings of 1100 from /readings")
head -n 1 "$work/readings.csv" | grep -qx 'time_utc,address,link,end,reading,value,unit' ||
    problems+=("the CSV's header is $(head -n 1 "$work/readings.csv")")

wait "$station_pid"
rc=$?
journal=$(cat "$work"/Alarms-*.csv 2>/dev/null)
for want in ",Reading,1,LOCAL,Modem 1,1100,LONDON-1,No fault,Warning,Eb/No low " \
    ",Reading,1,LOCAL,Modem 1,1100,LONDON-1,Warning,No fault,Eb/No back "; do
    [[ "$journal" == *"$want"* ]] || problems+=("the alarm journal lacks '$want'")
done
[ -s "$work/Readings.sqlite" ] || problems+=("no Readings.sqlite in the data folder")
if [ "$script" = "$here/readings.txt" ]; then
    # A picture of a chart with lines in it is well over a blank window's size.
    size=$(stat -c %s "$work/trends.png" 2>/dev/null || echo 0)
    [ "$size" -gt 20000 ] || problems+=("the Trends window's picture is missing or blank ($size bytes)")
    [ -z "${LINVAR_SHOTS:-}" ] || cp "$work/trends.png" "$LINVAR_SHOTS/trends-e2e.png"
fi
if [ "${#problems[@]}" -gt 0 ]; then
    printf 'e2e: %s\n' "${problems[@]}" >&2
    echo "$journal" >&2
    [ "$rc" -ne 0 ] || rc=1
fi
finish
