#!/usr/bin/env bash
# End to end: the redundancy switch detail window of the station against linvar-sim over
# a pseudo-terminal, steered by a replay script.
#
#   tests/e2e/detail-switch.sh LINVAR LINVAR_SIM [SCRIPT]
#
# The installation: link 1 (its LOCAL modem 1100 is traffic modem 1) and switch 1, a
# TRV-420 at 1000. The default script opens the switch, changes the backup hold-off and
# sees it read back, then activates traffic modem 2; the run then checks that both
# commands went over the line. Exits 0 only when every expectation held.

set -u

here=$(cd "$(dirname "$0")" && pwd)
linvar=${1:?usage: detail-switch.sh LINVAR LINVAR_SIM [SCRIPT]}
sim=${2:?usage: detail-switch.sh LINVAR LINVAR_SIM [SCRIPT]}
script=${3:-$here/detail-switch.txt}

. "$here/lib.sh"

{
    record 1100 "" "" "" LYON-1 "Traffic modem 1 of switch 1." 50 2 90 ""
    record "" "" "" "" LYON-1 "" 50 2 90 ""
    empty_records 3 40
    record 1000 "" "" "" SWITCH-1 "" 50 2 90 ""
    empty_records 42 44
    printf '0,0,1\r\n'
} >"$work/SysSetup.txt"
station_files

start_sim --setup "$work/SysSetup.txt" --model 1000=420 --model 1100=350 --verbose
run_station 150

if [ "$rc" -eq 0 ] && [ "$script" = "$here/detail-switch.txt" ]; then
    for command in 'BKH=42' 'ACT=1100000000'; do
        n=$(grep -c "<1000/$command" "$work/sim.err")
        if [ "$n" -ne 1 ]; then
            echo "e2e: expected one $command to 1000 on the line, saw $n" >&2
            rc=1
        fi
    done
fi

finish
