#!/usr/bin/env bash
# Builds the benchmarks (Release) and prints this library's figures beside libmodbus's RTU master
# in one run: round trips per second and CPU per exchange on identical pseudo-terminal pairs,
# system calls per exchange (strace -c, the master's process only), measured against theoretical
# times on the paced simulated line, and the gap benchmark. Needs libmodbus-dev and strace.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${KELCMD_BENCH_BUILD:-build-bench}
./scripts/install-deps.sh bench

if ! pkg-config --exists libmodbus; then
    echo "bench-compare: libmodbus not found by pkg-config (apt-get install libmodbus-dev)" >&2
    exit 1
fi
cmake -S . -B "$build" -G Ninja -DKELCMD_BUILD_BENCH=ON -DKELCMD_BUILD_TESTS=OFF \
    -DKELCMD_BUILD_DIALOGS=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target bench_compare gap_bench >/dev/null
compare="$build/bench/bench_compare"

echo "== Machine"
echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(uname -r), load $(cut -d' ' -f1-3 /proc/loadavg)"
echo
"$compare"
echo

# System calls of COUNT round trips, setup included; the difference of two counts is per exchange.
syscalls() {
    local who=$1 count=$2 out
    out=$(mktemp)
    strace -c -U calls,name -o "$out" "$compare" --only "$who" "$count" >/dev/null
    awk '$2 != "syscall" && $2 != "total" && NF == 2 { print $2, $1 }' "$out"
    rm -f "$out"
}
if command -v strace >/dev/null; then
    echo "System calls per round trip on the pseudo-terminal (strace -c, 1000 round trips):"
    declare -A total
    for who in kelcmd kelcmd-rts modbus; do
        small=$(syscalls "$who" 200)
        large=$(syscalls "$who" 1200)
        breakdown=$(join -a2 -e0 -o 0,1.2,2.2 <(sort <<<"$small") <(sort <<<"$large") |
            awk '{ d = ($3 - $2) / 1000; if (d >= 0.05) printf "%s %.2f, ", $1, d }')
        total[$who]=$(join -a2 -e0 -o 0,1.2,2.2 <(sort <<<"$small") <(sort <<<"$large") |
            awk '{ s += $3 - $2 } END { printf "%.2f", s / 1000 }')
        printf "  %-11s %6s  (%s)\n" "$who" "${total[$who]}" "${breakdown%, }"
    done
    awk -v k="${total[kelcmd]}" -v m="${total[modbus]}" \
        'BEGIN { printf "  ratio kelcmd/libmodbus: %.2f\n", k / m }'
else
    echo "strace not found: no system call counts"
fi
echo

echo "== Gaps (overshoot of a requested gap, CPU per gap; CPU of a paced exchange at 19200)"
"$build/bench/gap_bench" --benchmark_counters_tabular=true 2>/dev/null
