#!/usr/bin/env bash
# kelbus-sim end to end: kelcmd talks to the simulated units through the pseudo-terminal's link.
# usage: kelbus_sim_test.sh KELBUS_SIM KELCMD CASE
#   (CASE: demo, frames, faults, latency, rates, paths, link)
# Every wait is bounded; a server left running is ended when the script exits.
set -euo pipefail
sim=$1
kelcmd=$2
case_name=$3

dir=$(mktemp -d)
pid=""
cleanup() {
    if [ -n "$pid" ]; then kill -KILL "$pid" 2>/dev/null || true; fi
    [ -n "${KEEP:-}" ] && echo "kept $dir" || rm -rf "$dir"
}
trap cleanup EXIT
link=$dir/ttyKEL0
failures=0

fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

# Starts the server with the link and the given options; waits up to 10 s for it to print the
# slave's path, which it does once the link is there and it is ready for signals.
start_sim() {
    rm -f "$dir/sim.out"  # not the last server's path
    "$sim" --link "$link" "$@" </dev/null >"$dir/sim.out" 2>"$dir/sim.err" &
    pid=$!
    for _ in $(seq 200); do
        [ -s "$dir/sim.out" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    local slave_path
    slave_path=$(head -n 1 "$dir/sim.out" 2>/dev/null || true)
    if [ -z "$slave_path" ] || [ "$(readlink "$link")" != "$slave_path" ]; then
        cat "$dir/sim.err"
        fail "kelbus-sim did not link $link to its slave '$slave_path'"
        exit 1
    fi
}

# Stops the server with a signal (TERM by default): it must end by itself within 5 s, with
# status 0, and take its link with it.
stop_sim() {
    local signal=${1:-TERM}
    kill -"$signal" "$pid"
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    if kill -0 "$pid" 2>/dev/null; then
        fail "kelbus-sim still runs 5 s after SIG$signal"
        return
    fi
    local status=0
    wait "$pid" || status=$?
    pid=""
    [ "$status" -eq 0 ] || fail "kelbus-sim ended with status $status after SIG$signal"
    [ ! -e "$link" ] && [ ! -L "$link" ] || fail "the link is still there after SIG$signal"
}

run_kelcmd() {
    KELCMD_PORTS="Com1=$link" timeout 60 "$kelcmd" --port Com1 "$@" </dev/null 2>&1 || true
}

expect() {  # expect TEXT PATTERN WHAT
    grep -Eq -- "$2" <<<"$1" || fail "$3: no match for '$2' in:"$'\n'"$1"
}

case "$case_name" in
demo)
    start_sim --units 1-3 --speed 20 --paced
    out=$(run_kelcmd demo)
    expect "$out" "Move to 20000 qc +ok" "demo"
    expect "$out" "position 20000 qc" "demo"
    if grep -q "regulation on (mode 2) *FAILED" <<<"$out"; then fail "demo: $out"; fi
    stop_sim TERM
    ;;
frames)
    # ReadPosition of unit 1: dest 1, length word 0000, sender 0, code 0x30, CRC 37 00. The
    # server saw exactly those bytes on the tty, and the host exactly what the server sent: one
    # request, one acknowledge, one answer and the result, once each.
    start_sim --units 1 --trace
    out=$(run_kelcmd --trace ReadPosition)
    expect "$out" "Com1 >> 01 00 00 00 30 37 00$" "request on the host"
    expect "$out" "Com1 == OK \([0-9]+ ms\)$" "result on the host"
    expect "$out" "^ReadPosition: OK" "answer on the host"
    acknowledge=$(sed -n 's/^.* << \([0-9A-F][0-9A-F]\) (ACK)$/\1/p' <<<"$out")
    answer=$(sed -n 's/^.* << \([0-9A-F ]*[0-9A-F]\) ([0-9]* ms)$/\1/p' <<<"$out")
    [ "$(grep -c ' >> \| << \| == ' <<<"$out")" -eq 4 ] || fail "not one line per event: $out"
    stop_sim TERM
    trace=$(cat "$dir/sim.out")
    expect "$trace" "^request 01 00 00 00 30 37 00$" "request on the tty"
    replies=$(sed -n 's/^reply *//p' <<<"$trace" | paste -sd ' ')
    [ -n "$answer" ] && [ "$replies" = "$acknowledge $answer" ] ||
        fail "the tty carried '$replies', the host took acknowledge '$acknowledge' and '$answer'"
    if grep -q "^noise" <<<"$trace"; then fail "stray bytes on the tty: $trace"; fi
    ;;
faults)
    # Each fault on every frame, and the failure the host reports; units 1-3 and 7 exist, 5 not.
    while read -r fault slave expected; do
        if [ "$fault" = none ]; then start_sim --units 1-3,7; else start_sim --units 1-3,7 --fault "$fault"; fi
        out=$(run_kelcmd --slave "$slave" ReadPosition)
        expect "$out" "$expected" "--fault $fault, slave $slave"
        stop_sim INT
    done <<'TABLE'
none          7  ReadPosition: OK
none          5  failed: XMT_ERR_TACK
silent:1      1  failed: XMT_ERR_TACK
nak:1         2  failed: XMT_ERR_CRC
bad-crc:1     3  failed: RCV_ERR_CRC
cut-answer:1:4  1  failed: RCV_ERR_T1
cut-answer:1:4  2  the unit may have executed it$
lost-ack:1    3  ReadPosition: OK
TABLE
    # Nothing came back: the unit cannot have run the command.
    start_sim --units 1 --fault silent:1
    out=$(run_kelcmd MoveRelative 100 40)
    expect "$out" "failed: XMT_ERR_TACK" "silent unit"
    if grep -q "may have executed" <<<"$out"; then fail "silent unit: $out"; fi
    stop_sim INT
    ;;
latency)
    # A USB adapter's receive buffering with the default latency timer: the scan still finds
    # every unit, and an exchange still succeeds.
    start_sim --units 1-3,7,127 --latency-timer 16
    out=$(run_kelcmd scan)
    expect "$out" "^5 units answer" "scan behind a 16 ms latency timer"
    out=$(run_kelcmd MoveRelative 100 1000)
    expect "$out" "^MoveRelative: OK" "a move behind a 16 ms latency timer"
    stop_sim TERM
    ;;
rates)
    # Rates outside the Bxxx table reach the simulator through termios2, and it paces its bytes
    # at them: at 4000 baud the acknowledge and answer of a ReadPosition alone take 33 ms.
    start_sim --units 1 --paced
    for baud in 250000 31250; do
        out=$(run_kelcmd --baud "$baud" ReadPosition)
        expect "$out" "^ReadPosition: OK" "ReadPosition at $baud baud"
    done
    out=$(run_kelcmd --baud 4000 --trace ReadPosition)
    ms=$(sed -n 's/^.* == OK (\([0-9]*\) ms)$/\1/p' <<<"$out")
    [ -n "$ms" ] && [ "$ms" -ge 30 ] || fail "the simulator did not pace at 4000 baud: $out"
    stop_sim TERM
    ;;
paths)
    # An adapter's /dev/serial/by-id/ link, longer than a port name may be, given directly as
    # the port or as the device, with device options too.
    start_sim --units 1-3
    by_id=$dir/serial/by-id/usb-FTDI_FT232R_USB_UART_A10KXYZ-if00-port0
    mkdir -p "$dir/serial/by-id" && ln -s "$link" "$by_id"
    for option in --port --device; do
        for device in "$by_id" "$by_id?lines=keep"; do
            out=$(KELCMD_PORTS= timeout 60 "$kelcmd" "$option" "$device" --slave 3 ReadPosition \
                </dev/null 2>&1 || true)
            expect "$out" "^ReadPosition: OK" "kelcmd $option $device"
        done
    done
    stop_sim TERM
    ;;
link)
    # A link left behind by a killed server is taken over; any other file is left alone.
    ln -s /nonexistent "$link"
    start_sim  # fails unless the link now leads to the slave
    stop_sim TERM
    echo "keep" >"$link"
    status=0
    timeout 10 "$sim" --link "$link" >/dev/null 2>"$dir/sim.err" || status=$?
    [ "$status" -eq 1 ] || fail "kelbus-sim took over a regular file (status $status)"
    [ "$(cat "$link")" = keep ] || fail "kelbus-sim changed a regular file"
    ;;
*)
    echo "unknown case $case_name"
    exit 2
    ;;
esac

[ "$failures" -eq 0 ] || exit 1
echo "kelbus-sim $case_name: passed"
