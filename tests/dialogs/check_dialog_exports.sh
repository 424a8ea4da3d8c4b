#!/usr/bin/env bash
# The dynamic symbols of libkelcmd-dialogs.so are exactly the dialog exports of its list, all in
# node KELCMD_DIALOGS_1; the list holds only dialog exports of the full export list; the public
# header declares exactly the listed functions.
set -euo pipefail
library=$1
implemented=$2
all_exports=$3
header=$4

symbols=$(nm -D --defined-only "$library" | awk '$2 ~ /^[TWDBRVuiA]$/ {print $3}')
public=$(echo "$symbols" | sed -n 's/@@\?KELCMD_DIALOGS_1$//p' | sort -u)
other=$(echo "$symbols" | grep -v -E '@@?KELCMD_DIALOGS_1$' |
        grep -v -E '^(KELCMD_DIALOGS_1|_init|_fini|_edata|_end|__bss_start)$' || true)
expected=$(sort -u "$implemented")
declared=$(grep -o -E '\b(MP|KEB)_[A-Za-z0-9_]+Dlg\(' "$header" | tr -d '(' | sort -u)

status=0
report() { if [ -n "$2" ]; then echo "$1"; echo "$2"; status=1; fi; }
report "exported but not listed:" "$(comm -23 <(echo "$public") <(echo "$expected"))"
report "listed but not exported:" "$(comm -13 <(echo "$public") <(echo "$expected"))"
report "visible outside KELCMD_DIALOGS_1:" "$other"
report "listed but not a dialog export of the export list:" \
  "$(comm -23 <(echo "$expected") <(grep 'Dlg$' "$all_exports" | sort -u))"
report "declared in the header but not listed:" "$(comm -23 <(echo "$declared") <(echo "$expected"))"
report "listed but not declared in the header:" "$(comm -13 <(echo "$declared") <(echo "$expected"))"
[ $status -eq 0 ] && echo "dialog exports match ($(echo "$public" | wc -l) public)"
exit $status
