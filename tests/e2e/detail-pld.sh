#!/usr/bin/env bash
# End to end: the PLD transceiver window of the station against linvar-sim over a
# pseudo-terminal, steered by a replay script.
#
#   tests/e2e/detail-pld.sh LINVAR LINVAR_SIM [SCRIPT]
#
# The installation: link 1 with an LNB PLD at the LOCAL end (0111) and a PLD at the
# DISTANT end (0151). The default script opens the DISTANT transceiver, changes its up
# frequency, confirms the RF-off warning, and reads the new value back; the run then
# checks that the command went over the line once. Exits 0 only when every expectation
# held.

set -u

here=$(cd "$(dirname "$0")" && pwd)
linvar=${1:?usage: detail-pld.sh LINVAR LINVAR_SIM [SCRIPT]}
sim=${2:?usage: detail-pld.sh LINVAR LINVAR_SIM [SCRIPT]}
script=${3:-$here/detail-pld.txt}

. "$here/lib.sh"

{
    record 1100 "" 0111 "" PORTO-1 "An LNB PLD here, a PLD there." 50 2 90 ""
    record 0150 "" 0151 "" PORTO-1 "" 50 2 90 ""
    empty_records 3 44
    printf '0,0,1\r\n'
} >"$work/SysSetup.txt"
station_files

start_sim --setup "$work/SysSetup.txt" --model 0111=PLD-LNB --model 0151=PLD --verbose
run_station 150

if [ "$rc" -eq 0 ] && [ "$script" = "$here/detail-pld.txt" ]; then
    # The change went over the line to the DISTANT unit, once.
    n=$(grep -c '<0151/UFQ=14249\.0' "$work/sim.err")
    if [ "$n" -ne 1 ]; then
        echo "e2e: expected one UFQ=14249.0 to 0151 on the line, saw $n" >&2
        rc=1
    fi
fi

finish
