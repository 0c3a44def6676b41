#!/usr/bin/env bash
# End to end: the MQX-310 detail window of the station against linvar-sim over a
# pseudo-terminal, steered by a replay script.
#
#   tests/e2e/detail-mqx310.sh LINVAR LINVAR_SIM [SCRIPT]
#
# The installation: link 1 with an MQX-310 at the LOCAL end (1100) and another at the
# DISTANT end (0150). The default script opens the DISTANT modem, changes its Tx data
# rate, confirms, and reads it back; the run then checks that the command went over the
# line. Exits 0 only when every expectation held.

set -u

here=$(cd "$(dirname "$0")" && pwd)
linvar=${1:?usage: detail-mqx310.sh LINVAR LINVAR_SIM [SCRIPT]}
sim=${2:?usage: detail-mqx310.sh LINVAR LINVAR_SIM [SCRIPT]}
script=${3:-$here/detail-mqx310.txt}

. "$here/lib.sh"

{
    record 1100 "" "" "" NARVIK-1 "MQX-310 modems at both ends." 50 2 90 ""
    record 0150 "" "" "" NARVIK-1 "" 50 2 90 ""
    empty_records 3 44
    printf '0,0,1\r\n'
} >"$work/SysSetup.txt"
station_files

start_sim --setup "$work/SysSetup.txt" --model 1100=310 --model 0150=310 --verbose
run_station 150

if [ "$rc" -eq 0 ] && [ "$script" = "$here/detail-mqx310.txt" ]; then
    # The change went over the line to the DISTANT unit, once, in seven characters.
    n=$(grep -c '<0150/TDR=128\.000' "$work/sim.err")
    if [ "$n" -ne 1 ]; then
        echo "e2e: expected one TDR=128.000 to 0150 on the line, saw $n" >&2
        rc=1
    fi
fi

finish
