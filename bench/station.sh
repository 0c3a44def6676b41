#!/usr/bin/env bash
# The station polling a full installation served by linvar-sim: CPU, memory, the first
# request after start, the request pace and how late the 50 ms ticks run.
#
#   bench/station.sh [BUILD_DIR] [SECONDS]     (defaults: build, 30)
#   STATUS_EXPORT=1 bench/station.sh ...       the same with --status-port, /metrics
#                                              fetched once a second as a scraper would
#
# The installation: 20 links with Modem 1, Modem 2, Transceiver 1 and Transceiver 2 at
# both ends, both switches and their redundant modems (164 units), DelayText 50,
# TimeoutText 2, served with zero latency. The station is started with "Brivola" on the
# offscreen platform; a replay script of one wait ends it after the measurement.

set -u

build=${1:-build}
seconds=${2:-30}
settle=5 # start-up is left out of the CPU and pace figures
linvar=$build/linvar
sim=$build/linvar-sim
for exe in "$linvar" "$sim"; do
    if [ ! -x "$exe" ]; then
        echo "station.sh: $exe not found; build first (cmake --build $build)" >&2
        exit 2
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/linvar-bench.XXXXXX")
sim_pid=
linvar_pid=
cleanup() {
    [ -n "$linvar_pid" ] && kill "$linvar_pid" 2>/dev/null
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

now_us() { echo "${EPOCHREALTIME/./}"; }
sleep_until_us() {
    local left=$(($1 - $(now_us)))
    if ((left > 0)); then
        sleep "$((left / 1000000)).$(printf '%06d' $((left % 1000000)))"
    fi
}
wakeups() { # context switches of all the process's threads: how often it woke up
    cat /proc/"$1"/task/*/status 2>/dev/null |
        awk '/^(non)?voluntary_ctxt_switches:/ { n += $2 } END { print n + 0 }'
}
run_ns() { # time on a CPU of all the process's threads, in ns, as the scheduler counts it
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ n += $1 } END { printf "%.0f", n }'
}
cpu_ticks() { # utime + stime of a process, in clock ticks
    local stat
    stat=$(<"/proc/$1/stat") || return 1
    stat=${stat##*) } # the name may hold blanks; fields count from the state on
    local -a f=($stat)
    echo $((f[11] + f[12]))
}

# The set-up: record r, slot s at address "rrss"; the switches and redundant modems use
# Modem 1 only.
{
    for ((r = 1; r <= 44; r++)); do
        rr=$(printf '%02d' "$r")
        if ((r <= 40)); then
            addrs=("${rr}01" "${rr}02" "${rr}03" "${rr}04")
            id="LINK-$(((r + 1) / 2))"
        else
            addrs=("${rr}01" "" "" "")
            id=$([ $((r % 2)) = 1 ] && echo "SWITCH" || echo "REDUNDANT")
        fi
        printf '%s\r\n' "${addrs[@]}" "$id" "" 50 2 90 ""
    done
    printf '0,0,1\r\n'
} >"$work/SysSetup.txt"
printf ' SysSetup.txt\r\n' >"$work/SetFname.txt"
printf '1,9600,0\r\n' >"$work/comms.txt"
printf 'wait %d\nquit\n' $(((settle + seconds + 1) * 1000)) >"$work/run.txt"

# Every request the simulator reads, stamped on arrival.
"$sim" --setup "$work/SysSetup.txt" --pty --latency 0 --verbose >"$work/sim.out" \
    2> >(while IFS= read -r line; do echo "${EPOCHREALTIME/./} $line"; done >"$work/trace") &
sim_pid=$!
pty=
for ((i = 0; i < 200 && ${#pty} == 0; i++)); do
    sleep 0.05
    pty=$(head -n 1 "$work/sim.out" 2>/dev/null)
done
if [ -z "$pty" ]; then
    echo "station.sh: linvar-sim did not start" >&2
    exit 1
fi

export_args=()
if [ "${STATUS_EXPORT:-0}" = 1 ]; then
    status_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    export_args=(--status-port "$status_port")
fi
t0=$(now_us)
QT_QPA_PLATFORM=offscreen LINVAR_NO_DIALOGS=1 LINVAR_TICK_STATS="$work/ticks" \
    "$linvar" Brivola --data-dir "$work" --com "1=$pty" --replay "$work/run.txt" \
    "${export_args[@]}" >"$work/linvar.out" 2>"$work/linvar.err" &
linvar_pid=$!

from=$((t0 + settle * 1000000))
to=$((from + seconds * 1000000))
sleep_until_us "$from"
wake_from=$(wakeups "$linvar_pid")
ns_from=$(run_ns "$linvar_pid")
cpu_from=$(cpu_ticks "$linvar_pid") || {
    echo "station.sh: linvar ended early" >&2
    cat "$work/linvar.err" >&2
    exit 1
}
if [ "${STATUS_EXPORT:-0}" = 1 ]; then
    # A scraper: /metrics once a second, each fetch timed.
    while (($(now_us) < to - 1000000)); do
        curl -s -o /dev/null -w '%{time_total}\n' "http://127.0.0.1:$status_port/metrics" \
            >>"$work/scrapes" 2>/dev/null
        sleep 1
    done
fi
sleep_until_us "$to"
cpu_to=$(cpu_ticks "$linvar_pid")
ns_to=$(run_ns "$linvar_pid")
wake_to=$(wakeups "$linvar_pid")
cpu_total=$cpu_to
hwm_kb=$(awk '/^VmHWM:/ {print $2}' "/proc/$linvar_pid/status")
wait "$linvar_pid"
linvar_rc=$?
linvar_pid=

hz=$(getconf CLK_TCK)
# Requests are counted by their closing CR: a read may hold part of one, or more.
read -r first_us requests units < <(awk -v from="$from" -v to="$to" '
    $2 == "in" {
        if (first == "") first = $1
        if ($1 >= from && $1 < to) {
            n += gsub(/\[cr\]/, "")
            line = $0
            while (match(line, /<[0-9][0-9][0-9][0-9]\//)) {
                asked[substr(line, RSTART + 1, 4)] = 1
                line = substr(line, RSTART + RLENGTH)
            }
        }
    }
    END { for (a in asked) u++; print (first == "" ? -1 : first), n + 0, u + 0 }' "$work/trace")

# The scheduler's run time is exact; utime + stime are sampled at the clock tick, which
# at half a percent is a count of a few dozen samples (kept as a cross-check).
cpu_pct=$(awk -v n="$((ns_to - ns_from))" -v s="$seconds" 'BEGIN { printf "%.2f", n / 1e9 / s * 100 }')
tick_pct=$(awk -v t="$((cpu_to - cpu_from))" -v hz="$hz" -v s="$seconds" \
    'BEGIN { printf "%.2f", t / hz / s * 100 }')
start_cpu=$(awk -v t="$cpu_total" -v hz="$hz" 'BEGIN { printf "%.2f", t / hz }')
first_ms=$(awk -v f="$first_us" -v t0="$t0" 'BEGIN { printf "%.0f", f < 0 ? -1 : (f - t0) / 1000 }')
rate=$(awk -v n="$requests" -v s="$seconds" 'BEGIN { printf "%.2f", n / s }')
pace=$(awk -v r="$rate" 'BEGIN { printf "%.0f", r / 10 * 100 }')
p99=$(awk '$1 == "p99_ms" { print $2 }' "$work/ticks" 2>/dev/null)
p50=$(awk '$1 == "p50_ms" { print $2 }' "$work/ticks" 2>/dev/null)
late_max=$(awk '$1 == "max_ms" { print $2 }' "$work/ticks" 2>/dev/null)
ticks=$(awk '$1 == "ticks" { print $2 }' "$work/ticks" 2>/dev/null)

printf '\nlinvar Brivola, 164 units (20 links x 8, 2 switches, 2 redundant modems), %d s after %d s\n' \
    "$seconds" "$settle"
printf '%-34s %14s   %s\n' "measure" "value" "target"
printf '%-34s %14s   %s\n' "CPU while polling (% of one core)" "$cpu_pct" "< 0.5"
printf '%-34s %14s   %s\n' "  the same from clock-tick samples" "$tick_pct" ""
printf '%-34s %14s   %s\n' "CPU time since start (s)" "$start_cpu" ""
printf '%-34s %14s   %s\n' "wake-ups per second (all threads)" \
    "$(awk -v n="$((wake_to - wake_from))" -v s="$seconds" 'BEGIN { printf "%.0f", n / s }')" ""
printf '%-34s %14s   %s\n' "peak resident (VmHWM, MB)" "$(awk -v k="$hwm_kb" 'BEGIN { printf "%.1f", k / 1024 }')" "< 80"
printf '%-34s %14s   %s\n' "first request after start (ms)" "$first_ms" "< 1000"
printf '%-34s %14s   %s\n' "requests per second" "$rate" "10 (one per two ticks)"
printf '%-34s %14s   %s\n' "pace of the theoretical (%)" "$pace" "100"
printf '%-34s %14s   %s\n' "units asked" "$units" "164"
printf '%-34s %14s   %s\n' "tick lateness p50 (ms)" "${p50:-?}" ""
printf '%-34s %14s   %s\n' "tick lateness p99 (ms)" "${p99:-?}" "< 10"
printf '%-34s %14s   %s\n' "tick lateness max (ms)" "${late_max:-?}" ""
printf '%-34s %14s   %s\n' "ticks measured" "${ticks:-?}" ""
if [ -s "$work/scrapes" ]; then
    sort -n "$work/scrapes" | awk '{ t[NR] = $1 * 1000 } END {
        printf "%-34s %14.2f   %s\n", "/metrics response p50 (ms)", t[int((NR + 1) / 2)], ""
        printf "%-34s %14.2f   %s\n", "/metrics response max (ms)", t[NR], ""
        printf "%-34s %14d   %s\n", "/metrics fetches", NR, "" }'
fi
if [ "$linvar_rc" -ne 0 ]; then
    echo "station.sh: linvar ended with $linvar_rc" >&2
    grep -v "This plugin does not support" "$work/linvar.err" >&2
fi
