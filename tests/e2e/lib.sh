# The common part of the end-to-end runs: a data folder, the simulator on a
# pseudo-terminal, the station started with "Brivola" and a replay script.
# Sourced by the run scripts; they set `linvar`, `sim` and `script` first.

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

# Records from..to with no units.
empty_records() {
    local r
    for ((r = $1; r <= $2; r++)); do
        record "" "" "" "" "" "" 50 2 90 ""
    done
}

# The name file and comms.txt of a station polling COM 1 at 9600 baud.
station_files() {
    printf ' SysSetup.txt\r\n' >"$work/SetFname.txt"
    printf '1,9600,0\r\n' >"$work/comms.txt"
}

# start_sim ARGS...: linvar-sim on a new pseudo-terminal; sets `pty`.
start_sim() {
    "$sim" "$@" --pty >"$work/sim.out" 2>"$work/sim.err" &
    sim_pid=$!
    pty=
    local i
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
}

# run_station SECONDS: the station on the simulator's line with the script; sets `rc`.
run_station() {
    QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} LINVAR_NO_DIALOGS=1 \
        timeout "$1" "$linvar" Brivola --data-dir "$work" --com "1=$pty" --replay "$script" \
        >"$work/linvar.out" 2>"$work/linvar.err"
    rc=$?
}

# finish: what went wrong, or that every expectation held; exits with `rc`.
finish() {
    if [ "$rc" -ne 0 ]; then
        echo "e2e: linvar ended with $rc" >&2
        grep -v "This plugin does not support" "$work/linvar.err" >&2
        echo "--- linvar-sim:" >&2
        grep -v "^linvar-sim: demo unit" "$work/sim.err" | tail -n 30 >&2
    else
        echo "e2e: every expectation held"
    fi
    exit "$rc"
}
