#!/usr/bin/env bash
# End to end: one family's detail window of the station against linvar-sim over a
# pseudo-terminal, steered by a replay script.
#
#   tests/e2e/detail.sh FAMILY LINVAR LINVAR_SIM [SCRIPT]
#
# FAMILY names the script detail-FAMILY.txt. Its "#!" lines give the installation (the
# set-up's first records, the rest empty), the simulator's options and the requests the
# script must put on the line; the script opens a unit, changes a setting, confirms and
# reads it back. The run then checks that each change went over the line exactly once.
# SCRIPT (screenshots, for instance) runs on the same installation. Exits 0 only when
# every expectation held.

set -u

here=$(cd "$(dirname "$0")" && pwd)
usage="usage: detail.sh FAMILY LINVAR LINVAR_SIM [SCRIPT]"
family=${1:?$usage}
linvar=${2:?$usage}
sim=${3:?$usage}
installation=$here/detail-$family.txt
script=${4:-$installation}

. "$here/lib.sh"

if [ ! -f "$installation" ]; then
    echo "e2e: no family '$family' (no $installation); $usage" >&2
    exit 2
fi

#   #! record FIELD...   one set-up record (ten fields, shell quoting)
#   #! empty FROM TO     records with no units
#   #! sim OPTION VALUE  an option of linvar-sim
#   #! sent REQUEST      a request that must go over the line once
records() {
    local kind rest
    while read -r kind rest; do
        case $kind in
        record) eval "record $rest" ;;
        empty) eval "empty_records $rest" ;;
        esac
    done < <(sed -n 's/^#! //p' "$installation")
}
models=()
sent=()
while read -r kind a b; do
    case $kind in
    sim) models+=("$a" "$b") ;;
    sent) sent+=("$a") ;;
    esac
done < <(sed -n 's/^#! //p' "$installation")

{
    records
    n=$(records | awk 'END { print NR / 10 }')
    empty_records $((n + 1)) 44
    printf '0,0,1\r\n'
} >"$work/SysSetup.txt"
station_files

start_sim --setup "$work/SysSetup.txt" "${models[@]}" --verbose
run_station 150

if [ "$rc" -eq 0 ] && [ "$script" = "$here/detail-$family.txt" ]; then
    for request in "${sent[@]}"; do
        n=$(grep -cF "$request" "$work/sim.err")
        if [ "$n" -ne 1 ]; then
            echo "e2e: expected one $request on the line, saw $n" >&2
            rc=1
        fi
    done
fi

finish
