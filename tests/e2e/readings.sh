#!/usr/bin/env bash
# End to end: the readings pass of the station against linvar-sim over a pseudo-terminal.
# A fade injected on modem 1100 pulls its Eb/No below the warning level of the readings
# settings; the replay script (readings.txt) sees the alarm come and go, while this script
# reads the export: the reading's gauge in /metrics (checked by promtool), the alarm in
# /alarms and the history as CSV from /readings. The script opens the Trends window on the
# fading unit and pictures it ("@WORK@" in the script is the run's folder; LINVAR_SHOTS
# names a folder to keep the picture in). Exits 0 only when every expectation held.
#
#   tests/e2e/readings.sh LINVAR LINVAR_SIM [SCRIPT]

. "$(dirname "$0")/lib.sh" readings.txt "$@"
own=$script
sed "s#@WORK@#$work#g" "$own" >"$work/script.txt"
script=$work/script.txt
printf 'interval = 5s\r\nwarning ebno_db < 6 for 2\r\n' >"$work/Readings.cfg"
status_port=$(free_port)
start_station 120

problems=()
gauge='linvar_reading{address="1100",link="1",end="LOCAL",reading="ebno_db"} '
seen_gauge=0 seen_alarm=0 seen_csv=0
for ((i = 0; i < 240 && (seen_gauge == 0 || seen_alarm == 0 || seen_csv == 0); i++)); do
    if [ "$seen_gauge" = 0 ] && get /metrics >"$work/metrics.txt" && grep -qF "$gauge" "$work/metrics.txt"; then
        seen_gauge=1
        promtool check metrics <"$work/metrics.txt" >"$work/promtool.out" 2>&1 ||
            problems+=("promtool check metrics: $(cat "$work/promtool.out")")
    fi
    get /alarms | grep -q '"state":"Warning"' && seen_alarm=1
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
    [[ "$journal" == *"$want"* ]] || problems+=("the alarm journal lacks '$want': $journal")
done
[ -s "$work/Readings.sqlite" ] || problems+=("no Readings.sqlite in the data folder")
if [ "$own" = "$installation" ]; then
    # A picture of a chart with lines in it is well over a blank window's size.
    size=$(stat -c %s "$work/trends.png" 2>/dev/null || echo 0)
    [ "$size" -gt 20000 ] || problems+=("the Trends window's picture is missing or blank ($size bytes)")
    [ -z "${LINVAR_SHOTS:-}" ] || cp "$work/trends.png" "$LINVAR_SHOTS/trends-e2e.png"
fi
finish "${problems[@]}"
