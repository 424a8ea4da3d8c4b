#!/usr/bin/env bash
# The dynamic symbols of libkelcmd.so: the public node KELCMD_1 holds exactly the non-dialog exports
# of the export list plus the documented extras; the private node KELCMD_PRIVATE_1 holds only C++
# entry points of namespace kelcmd (for the dialogs library); nothing else is visible.
set -euo pipefail
library=$1
all_exports=$2
extras="KEB_MapPort KEB_GetLastSystemError KEB_GetResultText KEB_GetLastOutcome"

symbols=$(nm -D --defined-only "$library" | awk '$2 ~ /^[TWDBRVuiA]$/ {print $3}')
public=$(echo "$symbols" | sed -n 's/@@\?KELCMD_1$//p' | sort -u)
private=$(echo "$symbols" | sed -n 's/@@\?KELCMD_PRIVATE_1$//p' | c++filt | sort -u)
other=$(echo "$symbols" | grep -v -E '@@?KELCMD_(PRIVATE_)?1$' |
        grep -v -E '^(KELCMD_1|KELCMD_PRIVATE_1|_init|_fini|_edata|_end|__bss_start)$' || true)
expected=$( (grep -v 'Dlg$' "$all_exports"; printf '%s\n' $extras) | sort -u)

leaked=$(comm -23 <(echo "$public") <(echo "$expected") || true)
missing=$(comm -13 <(echo "$public") <(echo "$expected") || true)
foreign=$(echo "$private" | grep -v -E '^((typeinfo|typeinfo name|vtable|non-virtual thunk) (for|to) )?kelcmd::' || true)

status=0
if [ -n "$leaked" ]; then echo "public but not in the export list:"; echo "$leaked"; status=1; fi
if [ -n "$missing" ]; then echo "in the export list but not exported:"; echo "$missing"; status=1; fi
if [ -n "$foreign" ]; then echo "private node holds more than kelcmd's C++ entry points:"; echo "$foreign"; status=1; fi
if [ -n "$other" ]; then echo "visible outside both version nodes:"; echo "$other"; status=1; fi
[ $status -eq 0 ] && echo "exports match ($(echo "$public" | wc -l) public, $(echo "$private" | wc -l) private)"
exit $status
