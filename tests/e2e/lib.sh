# The common part of the end-to-end runs: the arguments, a data folder with the set-up
# that a replay script's "#!" lines give, the simulator on a pseudo-terminal and the
# station started with "Brivola" on it. A runner sources it as
#   . lib.sh INSTALLATION LINVAR LINVAR_SIM [SCRIPT]
# INSTALLATION is the replay script whose "#!" lines give the installation; SCRIPT
# (screenshots, for instance) runs on it instead and skips the "sent" checks.
#   #! record FIELD...   one set-up record (ten fields, shell quoting)
#   #! empty FROM TO     records with no units (the rest up to 44 are empty too)
#   #! flags A,B,C       the set-up's last line (0,0,1 if not given)
#   #! sim OPTION...     options of linvar-sim
#   #! sent REQUEST      a request that must go over the line exactly once

set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
usage="usage: ${0##*/} ${usage_family:-}LINVAR LINVAR_SIM [SCRIPT]"
installation=$here/$1
linvar=${2:?$usage}
sim=${3:?$usage}
script=${4:-$installation}
[ -f "$installation" ] || { echo "e2e: no $installation; $usage" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/linvar-e2e.XXXXXX")
pids=()
trap '[ "${#pids[@]}" -eq 0 ] || { kill "${pids[@]}"; wait "${pids[@]}"; } 2>/dev/null; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

# One end record, one field a line, CR LF as the station writes them.
record() { printf '%s\r\n' "$@"; }
empty_records() {
    local r
    for ((r = $1; r <= $2; r++)); do
        record "" "" "" "" "" "" 50 2 90 ""
    done
}

flags=0,0,1 records=0 sim_args=() sent=()
while read -r kind rest; do
    case $kind in
    record) eval "record $rest" && records=$((records + 1)) ;;
    empty) eval "empty_records $rest" && records=${rest##* } ;;
    flags) flags=$rest ;;
    sim) eval "sim_args+=($rest)" ;;
    sent) sent+=("$rest") ;;
    esac >>"$work/SysSetup.txt"
done < <(sed -n 's/^#! //p' "$installation")
{
    empty_records $((records + 1)) 44
    printf '%s\r\n' "$flags"
} >>"$work/SysSetup.txt"
printf ' SysSetup.txt\r\n' >"$work/SetFname.txt"
printf '1,9600,0\r\n' >"$work/comms.txt"

free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
status_port=
# get PATH: what the station's status export serves there.
get() {
    python3 -c "import urllib.request,sys; sys.stdout.write(urllib.request.urlopen('http://127.0.0.1:$status_port' + sys.argv[1]).read().decode())" "$1" 2>/dev/null
}

# linvar-sim on a new pseudo-terminal, telling what it reads; `pty` names it.
"$sim" --setup "$work/SysSetup.txt" "${sim_args[@]}" --verbose --pty >"$work/sim.out" \
    2>"$work/sim.err" &
pids+=($!)
for ((i = 0; i < 200; i++)); do
    pty=$(head -n 1 "$work/sim.out" 2>/dev/null)
    [ -n "$pty" ] || ! kill -0 "${pids[0]}" 2>/dev/null && break
    sleep 0.05
done
[ -n "$pty" ] || { echo "e2e: linvar-sim did not start" >&2; cat "$work/sim.err" >&2; exit 1; }

# start_station SECONDS: the station in the background with the script (and the status
# export on `status_port` if set); sets `station_pid`. run_station SECONDS: the same,
# waited for; sets `rc`.
start_station() {
    QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} LINVAR_NO_DIALOGS=1 \
        timeout "$1" "$linvar" Brivola --data-dir "$work" --com "1=$pty" --replay "$script" \
        ${status_port:+--status-port "$status_port"} >"$work/linvar.out" 2>"$work/linvar.err" &
    station_pid=$!
}
run_station() {
    start_station "$1"
    wait "$station_pid"
    rc=$?
}

# finish [PROBLEM...]: with the installation's own script, each "sent" request went over
# the line once; then what went wrong, or that every expectation held; exits with `rc`.
finish() {
    local request n
    if [ "$script" = "$installation" ]; then
        for request in "${sent[@]}"; do
            n=$(grep -cF "$request" "$work/sim.err")
            [ "$n" -eq 1 ] || set -- "$@" "expected one $request on the line, saw $n"
        done
    fi
    if [ "$#" -gt 0 ]; then
        printf 'e2e: %s\n' "$@" >&2
        [ "$rc" -ne 0 ] || rc=1
    fi
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
