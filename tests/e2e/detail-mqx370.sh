#!/usr/bin/env bash
# End to end: the MQX-370 family detail window of the station against linvar-sim over a
# pseudo-terminal, steered by a replay script.
#
#   tests/e2e/detail-mqx370.sh LINVAR LINVAR_SIM [SCRIPT]
#
# The installation: link 1 with an MQX-370 at the LOCAL end (0370) and an MQX-370L at
# the DISTANT end (0371), both with drop and insert. The default script opens the
# DISTANT modem, changes its BUC current limit and a drop timeslot, confirms, and reads
# them back; the run then checks that both commands went over the line. Exits 0 only
# when every expectation held.

set -u

here=$(cd "$(dirname "$0")" && pwd)
linvar=${1:?usage: detail-mqx370.sh LINVAR LINVAR_SIM [SCRIPT]}
sim=${2:?usage: detail-mqx370.sh LINVAR LINVAR_SIM [SCRIPT]}
script=${3:-$here/detail-mqx370.txt}

. "$here/lib.sh"

{
    record 0370 "" "" "" OSLO-1 "An MQX-370 here, an MQX-370L there." 50 2 90 ""
    record 0371 "" "" "" OSLO-1 "" 50 2 90 ""
    empty_records 3 44
    printf '0,0,1\r\n'
} >"$work/SysSetup.txt"
station_files

start_sim --setup "$work/SysSetup.txt" --model 0370=370 --model 0371=371 --verbose
run_station 150

if [ "$rc" -eq 0 ] && [ "$script" = "$here/detail-mqx370.txt" ]; then
    # Both changes went over the line to the DISTANT unit, once each.
    for request in '<0371/ODH=3500' '<0371/DNI=123456100000'; do
        n=$(grep -c "$request" "$work/sim.err")
        if [ "$n" -ne 1 ]; then
            echo "e2e: expected one $request on the line, saw $n" >&2
            rc=1
        fi
    done
fi

finish
