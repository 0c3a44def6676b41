#!/usr/bin/env bash
# End to end: one family's detail window of the station against linvar-sim over a
# pseudo-terminal, steered by a replay script.
#
#   tests/e2e/detail.sh FAMILY LINVAR LINVAR_SIM [SCRIPT]
#
# FAMILY is mqx310, mqx330, mqx350, mqx370, vorn, pld or switch. Each has its
# installation below and its default script detail-FAMILY.txt, which opens a unit,
# changes a setting, confirms and reads it back; the run then checks that each change
# went over the line exactly once. Exits 0 only when every expectation held.

set -u

here=$(cd "$(dirname "$0")" && pwd)
usage="usage: detail.sh FAMILY LINVAR LINVAR_SIM [SCRIPT]"
family=${1:?$usage}
linvar=${2:?$usage}
sim=${3:?$usage}
script=${4:-$here/detail-$family.txt}

. "$here/lib.sh"

# Per family: the set-up's first records (the rest are empty), the simulator's models
# and the requests the default script must put on the line.
case $family in
mqx310)
    # An MQX-310 at both ends of link 1.
    records() {
        record 1100 "" "" "" NARVIK-1 "MQX-310 modems at both ends." 50 2 90 ""
        record 0150 "" "" "" NARVIK-1 "" 50 2 90 ""
    }
    models=(--model 1100=310 --model 0150=310)
    sent=('<0150/TDR=128.000')
    ;;
mqx330)
    # Link 1: turbo MQX-330T at both ends; link 2: an MQX-330R demodulator at LOCAL.
    records() {
        record 1100 "" "" "" BERGEN-1 "MQX-330T modems at both ends." 50 2 90 ""
        record 0150 "" "" "" BERGEN-1 "" 50 2 90 ""
        record 2100 "" "" "" TROMSO-2 "A receive-only demodulator." 50 2 90 ""
        record "" "" "" "" TROMSO-2 "" 50 2 90 ""
    }
    models=(--model 1100=331 --identity 1100=5330110000
        --model 0150=331 --identity 0150=2330110000
        --model 2100=331 --identity 2100=5330120000)
    sent=('<0150/TDR=0128.000')
    ;;
mqx350)
    # An MQX-350L at LOCAL, an MQX-350 at DISTANT.
    records() {
        record 1100 "" "" "" LYON-1 "An MQX-350L here, an MQX-350 there." 50 2 90 ""
        record 0150 "" "" "" LYON-1 "" 50 2 90 ""
    }
    models=(--model 1100=351 --model 0150=350)
    sent=('<0150/TFQ=0071.0000')
    ;;
mqx370)
    # An MQX-370 at LOCAL, an MQX-370L at DISTANT, both with drop and insert.
    records() {
        record 0370 "" "" "" OSLO-1 "An MQX-370 here, an MQX-370L there." 50 2 90 ""
        record 0371 "" "" "" OSLO-1 "" 50 2 90 ""
    }
    models=(--model 0370=370 --model 0371=371)
    sent=('<0371/ODH=3500' '<0371/DNI=123456100000')
    ;;
vorn)
    # A 1:1 VORN pair at LOCAL (0111 on line), one VORN at DISTANT; the up frequency
    # entered off the grid goes over rounded.
    records() {
        record 1100 "" 0111 0112 LISBON-1 "A transceiver pair here, one VORN there." 50 2 90 ""
        record 0150 "" 0151 "" LISBON-1 "" 50 2 90 ""
    }
    models=(--model 0111=VORN --model 0112=VORN --model 0151=VORN)
    sent=('<0151/UFQ=5927.0')
    ;;
pld)
    # An LNB PLD at LOCAL, a PLD at DISTANT.
    records() {
        record 1100 "" 0111 "" PORTO-1 "An LNB PLD here, a PLD there." 50 2 90 ""
        record 0150 "" 0151 "" PORTO-1 "" 50 2 90 ""
    }
    models=(--model 0111=PLD-LNB --model 0151=PLD)
    sent=('<0151/UFQ=14249.0')
    ;;
switch)
    # Link 1's LOCAL modem 1100 is traffic modem 1 of switch 1, a TRV-420 at 1000.
    records() {
        record 1100 "" "" "" LYON-1 "Traffic modem 1 of switch 1." 50 2 90 ""
        record "" "" "" "" LYON-1 "" 50 2 90 ""
        empty_records 3 40
        record 1000 "" "" "" SWITCH-1 "" 50 2 90 ""
    }
    models=(--model 1000=420 --model 1100=350)
    sent=('<1000/BKH=42' '<1000/ACT=1100000000')
    ;;
*)
    echo "e2e: no family '$family'; $usage" >&2
    exit 2
    ;;
esac

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
