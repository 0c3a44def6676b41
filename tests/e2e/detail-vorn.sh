#!/usr/bin/env bash
# End to end: the VORN transceiver window of the station against linvar-sim over a
# pseudo-terminal, steered by a replay script.
#
#   tests/e2e/detail-vorn.sh LINVAR LINVAR_SIM [SCRIPT]
#
# The installation: link 1 with a 1:1 pair of VORN transceivers at the LOCAL end (0111
# on line, 0112) and one VORN at the DISTANT end (0151). The default script opens the
# DISTANT transceiver, enters an up frequency off the grid, confirms, and reads the
# rounded value back; the run then checks that the command went over the line once.
# Exits 0 only when every expectation held.

set -u

here=$(cd "$(dirname "$0")" && pwd)
linvar=${1:?usage: detail-vorn.sh LINVAR LINVAR_SIM [SCRIPT]}
sim=${2:?usage: detail-vorn.sh LINVAR LINVAR_SIM [SCRIPT]}
script=${3:-$here/detail-vorn.txt}

. "$here/lib.sh"

{
    record 1100 "" 0111 0112 LISBON-1 "A transceiver pair here, one VORN there." 50 2 90 ""
    record 0150 "" 0151 "" LISBON-1 "" 50 2 90 ""
    empty_records 3 44
    printf '0,0,1\r\n'
} >"$work/SysSetup.txt"
station_files

start_sim --setup "$work/SysSetup.txt" --model 0111=VORN --model 0112=VORN --model 0151=VORN \
    --verbose
run_station 150

if [ "$rc" -eq 0 ] && [ "$script" = "$here/detail-vorn.txt" ]; then
    # The rounded value went over the line to the DISTANT unit, once.
    n=$(grep -c '<0151/UFQ=5927\.0' "$work/sim.err")
    if [ "$n" -ne 1 ]; then
        echo "e2e: expected one UFQ=5927.0 to 0151 on the line, saw $n" >&2
        rc=1
    fi
fi

finish
