#!/usr/bin/env bash
# End to end: the MQX-350 detail window of the station against linvar-sim over a
# pseudo-terminal, steered by a replay script.
#
#   tests/e2e/detail-350.sh LINVAR LINVAR_SIM [SCRIPT]
#
# The installation: link 1 with an MQX-350L at the LOCAL end (1100) and an MQX-350 at
# the DISTANT end (0150). The default script opens the DISTANT modem, changes its Tx
# frequency, confirms, and reads it back; the run then checks that the command went
# over the line. Exits 0 only when every expectation held.

set -u

here=$(cd "$(dirname "$0")" && pwd)
linvar=${1:?usage: detail-350.sh LINVAR LINVAR_SIM [SCRIPT]}
sim=${2:?usage: detail-350.sh LINVAR LINVAR_SIM [SCRIPT]}
script=${3:-$here/detail-350.txt}

work=$(mktemp -d "${TMPDIR:-/tmp}/linvar-e2e.XXXXXX")
sim_pid=
cleanup() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null
        wait "$sim_pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# One end record, one field a line: Mod1 Mod2 Tr1 Tr2 IdText InfoText DelayText
# TimeoutText AddrSpec PairFlag.
record() {
    local f
    for f in "$@"; do
        printf '%s\r\n' "$f"
    done
}
{
    record 1100 "" "" "" LYON-1 "An MQX-350L here, an MQX-350 there." 50 2 90 ""
    record 0150 "" "" "" LYON-1 "" 50 2 90 ""
    for ((r = 3; r <= 44; r++)); do
        record "" "" "" "" "" "" 50 2 90 ""
    done
    printf '0,0,1\r\n'
} >"$work/SysSetup.txt"
printf ' SysSetup.txt\r\n' >"$work/SetFname.txt"
printf '1,9600,0\r\n' >"$work/comms.txt"

"$sim" --setup "$work/SysSetup.txt" --pty --model 1100=351 --model 0150=350 --verbose \
    >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!

pty=
for ((i = 0; i < 200; i++)); do
    pty=$(head -n 1 "$work/sim.out" 2>/dev/null)
    [ -n "$pty" ] && break
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.05
done
if [ -z "$pty" ]; then
    echo "e2e: linvar-sim did not start" >&2
    cat "$work/sim.err" >&2
    exit 1
fi

QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} LINVAR_NO_DIALOGS=1 \
    timeout 150 "$linvar" Brivola --data-dir "$work" --com "1=$pty" --replay "$script" \
    >"$work/linvar.out" 2>"$work/linvar.err"
rc=$?

if [ "$rc" -eq 0 ] && [ "$script" = "$here/detail-350.txt" ]; then
    # The change went over the line to the DISTANT unit, once.
    n=$(grep -c '<0150/TFQ=0071\.0000' "$work/sim.err")
    if [ "$n" -ne 1 ]; then
        echo "e2e: expected one TFQ=0071.0000 to 0150 on the line, saw $n" >&2
        rc=1
    fi
fi

if [ "$rc" -ne 0 ]; then
    echo "e2e: linvar ended with $rc" >&2
    grep -v "This plugin does not support" "$work/linvar.err" >&2
    echo "--- linvar-sim:" >&2
    tail -n 30 "$work/sim.err" >&2
else
    echo "e2e: every expectation held"
fi
exit "$rc"
