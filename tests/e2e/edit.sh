#!/usr/bin/env bash
# End to end: link edit in the station started with "Brivola" against linvar-sim over a
# pseudo-terminal. The simulator serves a unit that the station's set-up does not have
# yet; the replay script adds its address in link edit, leaves edit mode and expects the
# unit to be polled.
#
#   tests/e2e/edit.sh LINVAR LINVAR_SIM [SCRIPT]
#
# Exits with the station's exit code: 0 only when every expectation of the script held.

set -u

here=$(cd "$(dirname "$0")" && pwd)
linvar=${1:?usage: edit.sh LINVAR LINVAR_SIM [SCRIPT]}
sim=${2:?usage: edit.sh LINVAR LINVAR_SIM [SCRIPT]}
script=${3:-$here/edit-link.txt}

. "$here/lib.sh"

# Link 1 is the traffic modem 1 of switch 1 (at 1000, with its redundant modem 2100);
# link 3 uses the block addressing ("52") counted from its LOCAL modem 0400; link 12's
# LOCAL modem 3250 exists only on the bus (link 12 is on switch 2, which is off).
setup() {
    local link12=$1
    record 1100 "" "" "" LONDON-1 "Switched link, NOC desk 2." 50 2 90 ""
    record 0150 "" "" "" LONDON-1 Log 50 2 90 1
    record "" "" "" "" "" "" 50 2 90 ""
    record "" "" "" "" "" "" 50 2 90 ""
    record 0400 "" 0402 "" ROME-3 "Block addressed link." 50 2 52 ""
    record 0404 "" "" "" ROME-3 "" 50 2 90 ""
    empty_records 7 22
    record "$link12" "" "" "" DUBLIN-12 "" 50 2 90 ""
    record "" "" "" "" DUBLIN-12 "" 50 2 90 ""
    empty_records 25 40
    record 1000 "" "" "" SWITCH-1 "" 50 2 90 ""
    record 2100 "" "" "" SPARE-1 "" 50 2 90 ""
    record "" "" "" "" "" "" 50 2 90 ""
    record "" "" "" "" "" "" 50 2 90 ""
    printf '0,0,1\r\n'
}
setup "" >"$work/SysSetup.txt"
setup 3250 >"$work/sim-setup.txt"
station_files

start_sim --setup "$work/sim-setup.txt"
run_station 100
finish
