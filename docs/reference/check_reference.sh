#!/usr/bin/env bash
# The built reference documents every export of both libraries: each name of the export list and
# the extras appears in the index of documented functions.
# usage: check_reference.sh HTML_DIR EXPORT_LIST EXTRA...
set -euo pipefail
html=$1
list=$2
shift 2
documented=$(sed -n 's/.*<li>\([A-Za-z0-9_]*\)()&#160;.*/\1/p' "$html"/globals_func*.html | sort -u)
expected=$( (grep -v '^#' "$list"; printf '%s\n' "$@") | sort -u)
missing=$(comm -13 <(echo "$documented") <(echo "$expected"))
if [ -n "$missing" ]; then
  echo "not in the reference:"
  echo "$missing"
  exit 1
fi
echo "all $(echo "$expected" | wc -l) exports documented"
