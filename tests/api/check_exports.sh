#!/usr/bin/env bash
# The dynamic symbols that libkelcmd.so defines must be exactly the non-dialog exports of the export
# list plus the documented extras: every one present, nothing of the library's insides leaking.
set -euo pipefail
library=$1
all_exports=$2
extras="KEB_MapPort KEB_GetLastSystemError"

defined=$(nm -D --defined-only "$library" | awk '$2 ~ /^[TWDBRV]$/ {print $3}' | sort -u)
expected=$( (grep -v 'Dlg$' "$all_exports"; printf '%s\n' $extras) | sort -u)

leaked=$(comm -23 <(echo "$defined") <(echo "$expected") | grep -v -E '^(_init|_fini|_edata|_end|__bss_start)$' || true)
missing=$(comm -13 <(echo "$defined") <(echo "$expected") || true)

status=0
if [ -n "$leaked" ]; then echo "exported but not in the export list:"; echo "$leaked"; status=1; fi
if [ -n "$missing" ]; then echo "in the export list but not exported:"; echo "$missing"; status=1; fi
[ $status -eq 0 ] && echo "exports match ($(echo "$defined" | wc -l) symbols)"
exit $status
