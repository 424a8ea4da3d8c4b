#!/usr/bin/env bash
# A program's manual page renders and tells what its --help tells: every option and command, and
# the sections named on the command line.
# usage: check_man_page.sh PAGE PROGRAM [SECTION ...]
set -euo pipefail
page=$1
program=$2
shift 2
rendered=$(groff -t -man -Tascii -P-c -P-b -P-u "$page" 2>&1)
status=0
for section in NAME SYNOPSIS "$@"; do
  grep -q "^$section\$" <<<"$rendered" || { echo "$page: no section $section"; status=1; }
done
# The first word of every item of the help (options, commands, variables) is on the page.
for word in $("$program" --help | sed -n 's/^  \{1,4\}\([-A-Za-z0-9_][-A-Za-z0-9_,]*\).*/\1/p' | tr -d ,); do
  grep -qF -- "$word" <<<"$rendered" || { echo "$page: '$word' of --help is missing"; status=1; }
done
[ $status -eq 0 ] && echo "$page tells what $(basename "$program") --help tells"
exit $status
