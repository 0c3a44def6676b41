#!/usr/bin/env bash
# End to end: the station started with "Brivola" polls linvar-sim over a pseudo-terminal
# and a replay script checks what the operator would see.
#
#   tests/e2e/run.sh LINVAR LINVAR_SIM [SCRIPT]
#
# The installation (written below): link 1 healthy; link 2 whose DISTANT modem 0350 has a
# Tx fault (the simulator's demo faults, --demo); link 3 whose DISTANT modem 0450 is
# silent; link 4 whose LOCAL modem 1700 answers 2 s late, so that a double-click can land
# while a reply is awaited. Exits with the station's exit code: 0 only when every
# expectation of the script held.

set -u

here=$(cd "$(dirname "$0")" && pwd)
linvar=${1:?usage: run.sh LINVAR LINVAR_SIM [SCRIPT]}
sim=${2:?usage: run.sh LINVAR LINVAR_SIM [SCRIPT]}
script=${3:-$here/station.txt}

. "$here/lib.sh"

{
    record 1100 "" 0111 "" LONDON-1 "Healthy link." 50 2 90 ""
    record 0150 "" 0151 "" LONDON-1 "" 50 2 90 ""
    record 1300 "" "" "" MADRID-2 "The DISTANT modem reports a Tx fault." 50 2 90 ""
    record 0350 "" "" "" MADRID-2 "" 50 2 90 ""
    record 1400 "" "" "" ROME-3 "The DISTANT modem does not answer." 50 2 90 ""
    record 0450 "" "" "" ROME-3 "" 50 1 90 ""
    record 1700 "" "" "" OSLO-4 "The LOCAL modem answers late." 50 9 90 ""
    record 0750 "" "" "" OSLO-4 "" 50 2 90 ""
    empty_records 9 44
    printf '0,0,1\r\n'
} >"$work/SysSetup.txt"
station_files

start_sim --setup "$work/SysSetup.txt" --demo --inject 0450=silence --inject 1700=late:2000
run_station 100
finish
