#!/usr/bin/env bash
# End to end: the MQX-330 family's detail window of the station against linvar-sim over
# a pseudo-terminal, steered by a replay script.
#
#   tests/e2e/detail-mqx330.sh LINVAR LINVAR_SIM [SCRIPT]
#
# The installation: link 1 with a turbo MQX-330T at the LOCAL end (1100) and an
# MQX-330T at the DISTANT end (0150); link 2 with an MQX-330R DEMOD at the LOCAL end
# (2100). The default script opens the DISTANT modem, changes its Tx data rate,
# confirms, and reads it back; the run then checks that the command went over the line.
# Exits 0 only when every expectation held.

set -u

here=$(cd "$(dirname "$0")" && pwd)
linvar=${1:?usage: detail-mqx330.sh LINVAR LINVAR_SIM [SCRIPT]}
sim=${2:?usage: detail-mqx330.sh LINVAR LINVAR_SIM [SCRIPT]}
script=${3:-$here/detail-mqx330.txt}

. "$here/lib.sh"

{
    record 1100 "" "" "" BERGEN-1 "MQX-330T modems at both ends." 50 2 90 ""
    record 0150 "" "" "" BERGEN-1 "" 50 2 90 ""
    record 2100 "" "" "" TROMSO-2 "A receive-only demodulator." 50 2 90 ""
    record "" "" "" "" TROMSO-2 "" 50 2 90 ""
    empty_records 5 44
    printf '0,0,1\r\n'
} >"$work/SysSetup.txt"
station_files

start_sim --setup "$work/SysSetup.txt" --model 1100=331 --identity 1100=5330110000 \
    --model 0150=331 --identity 0150=2330110000 \
    --model 2100=331 --identity 2100=5330120000 --verbose
run_station 150

if [ "$rc" -eq 0 ] && [ "$script" = "$here/detail-mqx330.txt" ]; then
    # The change went over the line to the DISTANT unit, once.
    n=$(grep -c '<0150/TDR=0128\.000' "$work/sim.err")
    if [ "$n" -ne 1 ]; then
        echo "e2e: expected one TDR=0128.000 to 0150 on the line, saw $n" >&2
        rc=1
    fi
fi

finish
