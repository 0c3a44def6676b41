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

work=$(mktemp -d "${TMPDIR:-/tmp}/linvar-e2e-edit.XXXXXX")
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
# Link 1 is the traffic modem 1 of switch 1 (at 1000, with its redundant modem 2100);
# link 3 uses the block addressing ("52") counted from its LOCAL modem 0400; link 12's
# LOCAL modem 3250 exists only on the bus (link 12 is on switch 2, which is off).
setup() {
    local link12=$1 r
    record 1100 "" "" "" LONDON-1 "Switched link, NOC desk 2." 50 2 90 ""
    record 0150 "" "" "" LONDON-1 Log 50 2 90 1
    record "" "" "" "" "" "" 50 2 90 ""
    record "" "" "" "" "" "" 50 2 90 ""
    record 0400 "" 0402 "" ROME-3 "Block addressed link." 50 2 52 ""
    record 0404 "" "" "" ROME-3 "" 50 2 90 ""
    for ((r = 7; r <= 22; r++)); do
        record "" "" "" "" "" "" 50 2 90 ""
    done
    record "$link12" "" "" "" DUBLIN-12 "" 50 2 90 ""
    record "" "" "" "" DUBLIN-12 "" 50 2 90 ""
    for ((r = 25; r <= 40; r++)); do
        record "" "" "" "" "" "" 50 2 90 ""
    done
    record 1000 "" "" "" SWITCH-1 "" 50 2 90 ""
    record 2100 "" "" "" SPARE-1 "" 50 2 90 ""
    record "" "" "" "" "" "" 50 2 90 ""
    record "" "" "" "" "" "" 50 2 90 ""
    printf '0,0,1\r\n'
}
setup "" >"$work/SysSetup.txt"
setup 3250 >"$work/sim-setup.txt"
printf ' SysSetup.txt\r\n' >"$work/SetFname.txt"
printf '1,9600,0\r\n' >"$work/comms.txt"

"$sim" --setup "$work/sim-setup.txt" --pty >"$work/sim.out" 2>"$work/sim.err" &
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

QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} LINVAR_NO_DIALOGS=1 \
    timeout 100 "$linvar" Brivola --data-dir "$work" --com "1=$pty" --replay "$script" \
    >"$work/linvar.out" 2>"$work/linvar.err"
rc=$?

if [ "$rc" -ne 0 ]; then
    echo "e2e: linvar ended with $rc" >&2
    grep -v "This plugin does not support" "$work/linvar.err" >&2
    echo "--- linvar-sim:" >&2
    tail -n 20 "$work/sim.err" >&2
else
    echo "e2e: every expectation held"
fi
exit "$rc"
