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

# One end record: Mod1 Mod2 Tr1 Tr2 IdText InfoText DelayText TimeoutText AddrSpec PairFlag,
# one field a line, CR LF as the station writes them.
record() {
    local f
    for f in "$@"; do
        printf '%s\r\n' "$f"
    done
}
{
    record 1100 "" 0111 "" LONDON-1 "Healthy link." 50 2 90 ""
    record 0150 "" 0151 "" LONDON-1 "" 50 2 90 ""
    record 1300 "" "" "" MADRID-2 "The DISTANT modem reports a Tx fault." 50 2 90 ""
    record 0350 "" "" "" MADRID-2 "" 50 2 90 ""
    record 1400 "" "" "" ROME-3 "The DISTANT modem does not answer." 50 2 90 ""
    record 0450 "" "" "" ROME-3 "" 50 1 90 ""
    record 1700 "" "" "" OSLO-4 "The LOCAL modem answers late." 50 9 90 ""
    record 0750 "" "" "" OSLO-4 "" 50 2 90 ""
    for ((r = 9; r <= 44; r++)); do
        record "" "" "" "" "" "" 50 2 90 ""
    done
    printf '0,0,1\r\n'
} >"$work/SysSetup.txt"
printf ' SysSetup.txt\r\n' >"$work/SetFname.txt"
printf '1,9600,0\r\n' >"$work/comms.txt"

"$sim" --setup "$work/SysSetup.txt" --pty --demo --inject 0450=silence \
    --inject 1700=late:2000 >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!

pty=
for ((i = 0; i < 200; i++)); do
    pty=$(head -n 1 "$work/sim.out" 2>/dev/null)
    [ -n "$pty" ] && break
    if ! kill -0 "$sim_pid" 2>/dev/null; then
        break
    fi
    sleep 0.05
done
if [ -z "$pty" ]; then
    echo "e2e: linvar-sim did not start" >&2
    cat "$work/sim.err" >&2
    exit 1
fi

QT_QPA_PLATFORM=offscreen LINVAR_NO_DIALOGS=1 \
    timeout 100 "$linvar" Brivola --data-dir "$work" --com "1=$pty" --replay "$script" \
    >"$work/linvar.out" 2>"$work/linvar.err"
rc=$?

if [ "$rc" -ne 0 ]; then
    echo "e2e: linvar ended with $rc" >&2
    grep -v "This plugin does not support" "$work/linvar.err" >&2
    echo "--- linvar-sim:" >&2
    grep -v "^linvar-sim: demo unit" "$work/sim.err" | tail -n 20 >&2
else
    echo "e2e: every expectation held"
fi
exit "$rc"
