#!/usr/bin/env bash
# Compares the dynamic symbols that libkelcmd.so defines with the export list: nothing outside the
# list (and the documented extras) may leak, and every name in the expected list must be there.
set -euo pipefail
library=$1
all_exports=$2
expected=$3
extras="KEB_MapPort"

defined=$(nm -D --defined-only "$library" | awk '$2 ~ /^[TWDBRV]$/ {print $3}' | sort -u)
allowed=$( (grep -v 'Dlg$' "$all_exports"; printf '%s\n' $extras) | sort -u)

leaked=$(comm -23 <(echo "$defined") <(echo "$allowed") | grep -v -E '^(_init|_fini|_edata|_end|__bss_start)$' || true)
missing=$(comm -13 <(echo "$defined") <(grep -v '^#' "$expected" | sed '/^$/d' | sort -u) || true)

status=0
if [ -n "$leaked" ]; then echo "exported but not in the export list:"; echo "$leaked"; status=1; fi
if [ -n "$missing" ]; then echo "expected but not exported:"; echo "$missing"; status=1; fi
[ $status -eq 0 ] && echo "exports match ($(echo "$defined" | wc -l) symbols)"
exit $status
