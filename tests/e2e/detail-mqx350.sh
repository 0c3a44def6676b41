#!/usr/bin/env bash
# End to end: the MQX-350 detail window of the station against linvar-sim over a
# pseudo-terminal, steered by a replay script.
#
#   tests/e2e/detail-mqx350.sh LINVAR LINVAR_SIM [SCRIPT]
#
# The installation: link 1 with an MQX-350L at the LOCAL end (1100) and an MQX-350 at
# the DISTANT end (0150). The default script opens the DISTANT modem, changes its Tx
# frequency, confirms, and reads it back; the run then checks that the command went
# over the line. Exits 0 only when every expectation held.

set -u

here=$(cd "$(dirname "$0")" && pwd)
linvar=${1:?usage: detail-mqx350.sh LINVAR LINVAR_SIM [SCRIPT]}
sim=${2:?usage: detail-mqx350.sh LINVAR LINVAR_SIM [SCRIPT]}
script=${3:-$here/detail-mqx350.txt}

. "$here/lib.sh"

{
    record 1100 "" "" "" LYON-1 "An MQX-350L here, an MQX-350 there." 50 2 90 ""
    record 0150 "" "" "" LYON-1 "" 50 2 90 ""
    empty_records 3 44
    printf '0,0,1\r\n'
} >"$work/SysSetup.txt"
station_files

start_sim --setup "$work/SysSetup.txt" --model 1100=351 --model 0150=350 --verbose
run_station 150

if [ "$rc" -eq 0 ] && [ "$script" = "$here/detail-mqx350.txt" ]; then
    # The change went over the line to the DISTANT unit, once.
    n=$(grep -c '<0150/TFQ=0071\.0000' "$work/sim.err")
    if [ "$n" -ne 1 ]; then
        echo "e2e: expected one TFQ=0071.0000 to 0150 on the line, saw $n" >&2
        rc=1
    fi
fi

finish
