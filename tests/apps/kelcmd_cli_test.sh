#!/usr/bin/env bash
# kelcmd as a newcomer meets it: exit codes, which stream a message goes to, what it says, and
# that bad input ends in a message rather than an abort. Usage: kelcmd_cli_test.sh KELCMD
set -u
kelcmd=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KELCMD_PORTS=
passed=0
failed=0

# run [ENV=VALUE ...] -- ARGUMENTS: runs kelcmd, keeping its exit code and both streams.
run() {
    local environment=()
    while [ "$1" != "--" ]; do environment+=("$1"); shift; done
    shift
    env "${environment[@]}" "$kelcmd" "$@" >"$work/out" 2>"$work/err"
    status=$?
    last="kelcmd $*"
}

# expect EXIT STREAM PATTERN: the last run ended with EXIT and STREAM (out or err) has a line
# matching the extended regular expression PATTERN.
expect() {
    if [ "$status" -eq "$1" ] && grep -Eq -- "$3" "$work/$2"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $last: wanted exit $1 and /$3/ on std$2; got exit $status"
        sed 's/^/  out: /' "$work/out" | head -n 20
        sed 's/^/  err: /' "$work/err" | head -n 20
    fi
}

# refute STREAM PATTERN: no line of STREAM of the last run matches.
refute() {
    if grep -Eq -- "$2" "$work/$1"; then
        failed=$((failed + 1))
        echo "FAILED: $last: std$1 has /$2/"
    else
        passed=$((passed + 1))
    fi
}

mkdir "$work/folder.kbc"
ln -s /dev/zero "$work/zero.kbc"
: >"$work/empty.kbc"
: >"$work/empty.usp"
printf '\177ELF\002\001\001\000garbage' >"$work/random.ccs"
printf '\023kbcFileVersion_0.90\000\000' >"$work/older.kbc"
printf '\023rdaFileVersion_1.7x\000\000\000\000' >"$work/longer.rda"
echo "not a directory" >"$work/file"

# Options: help, version, unknown options, values out of range; usage errors on stderr.
run -- --help;                    expect 0 out '^  scan \[FIRST-LAST\]'
run -- -h;                        expect 0 out '^usage: kelcmd '
run -- --version;                 expect 0 out '^kelcmd [0-9.]+ \(KelCommunication Version 1\.60 Rev 0\)$'
run --;                           expect 2 err '^usage: kelcmd '
refute out .
run -- --foo ReadPosition;        expect 2 err "^kelcmd: unknown option '--foo'"
run -- --slave 300 ReadPosition;  expect 2 err "^kelcmd: --slave: '300' is not an address from 1 to 255"
run -- --timeout;                 expect 2 err '^kelcmd: option --timeout needs a value'
run -- --slave=2 ReadPosition;    expect 0 out '^ReadPosition: OK'
run -- frobnicate;                expect 2 err "^kelcmd: unknown command 'frobnicate' \(kelcmd commands"
run -- --baud 0 ReadPosition;     expect 2 err "^kelcmd: --baud: '0' is not a baud rate from 1 to 4000000"
run -- --baud 12345 ReadPosition; expect 0 out '^ReadPosition: OK'

# Command names: any case; a near miss is answered with the nearest name.
run -- readposition;              expect 0 out '^ReadPosition: OK'
run -- SCAN 1-1;                  expect 0 out '^1 unit answers$'
run -- MoveAbsolut 1000 5000;     expect 2 err "^kelcmd: unknown command 'MoveAbsolut' \(did you mean MoveAbsolute\?"
run -- rn-batch x.kbc;            expect 2 err "did you mean run-batch\?"

# Arguments: named with their range; extra ones refused.
run -- MoveAbsolute 1000 lots;    expect 2 err "timeout: 'lots' is not a whole number from 0 to 4294967295"
run -- MoveAbsolute 1000 5000 7;  expect 2 err "extra argument '7'"
run -- demo now;                  expect 2 err "demo takes no arguments \(extra argument 'now'\)"
run -- send 300 200;              expect 2 err "^kelcmd: send: DEST '300' is not a number from 0 to 255"
run -- send 1 200 256;            expect 2 err "^kelcmd: send: data byte '256' is not a number from 0 to 255$"
expect 2 err '^usage: kelcmd send DEST MTYPE'
run -- record --samples 3000 "$work/rec"
expect 0 err '^kelcmd: record: the unit records at most 1000 samples per vector, not 3000$'
run -- record --samples;          expect 2 err '^kelcmd: record: --samples needs a value$'
expect 2 err '^usage: kelcmd record '
run -- scan 0-200;                expect 2 err "'0-200' is not a unit address or range"
run -- record --samples 0 out;    expect 2 err "--samples: '0' is not a number from 1 to 65535"

# The bus scan: global options after the command, no progress line into a pipe.
run -- scan --device sim:1-3,7;   expect 0 out '^unit   7: command set V 1\.71, library V 1\.60, hardware Rev\. 1\.0A Var\. B'
expect 0 out '^4 units answer$'
refute out 'asking address'
run -- scan 4-6;                  expect 1 err '^kelcmd: no unit answers at addresses 4 to 6$'

# Group addresses never answer: no value is shown.
run -- --slave 200 ReadPosition;  expect 1 err 'ReadPosition was sent to group address 200, but group addresses do not answer'
refute out 'positionIs'
run -- --slave 200 ClearError;    expect 0 out 'sent to group address 200'
run -- --slave 130 params;        expect 2 err 'group addresses \(128 to 255\) do not answer'

# Files that are no files of the format.
for command in show run-batch; do
    run -- $command "$work/folder.kbc"; expect 1 err 'folder.kbc: is a directory$'
done
run -- show "$work/zero.kbc";     expect 1 err 'zero.kbc: is not a regular file$'
run -- show "$work/empty.kbc";    expect 1 err 'empty.kbc is not a batch file: empty file$'
run -- show "$work/empty.usp";    expect 1 err 'empty.usp is not a structure definition file: empty file$'
run -- show "$work/random.ccs";   expect 1 err 'is not a customer command set file: it does not start with a version text$'
run -- show "$work/older.kbc";    expect 1 err 'is not a batch file: File Version is too old! \(kbcFileVersion_0\.90\)$'
run -- show "$work/longer.rda";   expect 1 err 'is not a recorded data file: File Version is too old! \(rdaFileVersion_1\.7x\)$'
run -- show "$work/missing.kbc";  expect 1 err 'missing.kbc: No such file or directory$'

# Device texts that the library skips or cannot open are named.
run KELCMD_PORTS=Com1=sim:1-3,7 -- ReadPosition
expect 0 err "^kelcmd: warning: KELCMD_PORTS entry '7' is ignored"
expect 0 out '^ReadPosition: OK'
run -- --device sim:1-3,x ReadPosition
expect 1 err "^kelcmd: cannot open Com1 \(sim:1-3,x\): 'x' is not an option"
run KELCMD_PORTS=Com1=sim:2 -- --slave 2 demo
expect 0 out '^Port Com1 \(sim:2\), slave 2$'

# A recording whose output cannot be written fails before the unit moves.
run -- record "$work/file/out";   expect 1 err "cannot write .*/file/out\.rda: Not a directory"
refute out 'MoveRelative|SetupRecorder'

# Traces: request, acknowledge, answer and result with times and durations on stdout, one JSON
# object for each in the trace file.
run -- --trace MoveAbsoluteInfo 1000 5000
expect 0 out '^  [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3} Com1 >> 01 EC 05 00 24 00 00 03 E8 00 6B 86$'
expect 0 out '^  [0-9:.]+ Com1 << [0-9A-F]{2} \(ACK\)$'
expect 0 out '^  [0-9:.]+ Com1 << 00 EC 05 01 24 .* \([0-9]+ ms\)$'
expect 0 out '^  [0-9:.]+ Com1 == OK \([0-9]+ ms\)$'
run -- --slave 9 --trace-file "$work/trace.jsonl" ReadPosition
cp "$work/trace.jsonl" "$work/out"
expect 1 out '^\{"time":"[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9:.]+Z","port":"Com1","event":"request","direction":"out","bytes":"09 00 00 00 30 9E A1","duration_ms":[0-9]+,"result":0,"text":"OK"\}$'
expect 1 out '^\{"time":"[^"]+","port":"Com1","event":"timeout","direction":"in","bytes":"","duration_ms":[0-9]+,"result":17,"text":"XMT_ERR_TACK'
expect 1 out '^\{"time":"[^"]+","port":"Com1","event":"result","direction":"","bytes":"","duration_ms":[0-9]+,"result":17,"text":"XMT_ERR_TACK / Timeout while waiting for ACK! \(KEL is switched off!\)","refused":false,"unit_error":0,"warning":0\}$'
run -- --trace-file "$work/file/trace.jsonl" ReadPosition
expect 1 err 'cannot write the trace file .*: Not a directory'

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
