#!/bin/sh
# Checks that README.md shows each example file exactly as it is. In the README an example is the
# indented block that follows the first line naming the file in backticks and ending with a colon,
# such as "`examples/c/move.c`:".
# Usage: check_readme_examples.sh SOURCE_DIR FILE...   (FILE relative to SOURCE_DIR)
set -u
source_dir=$1
shift
readme="$source_dir/README.md"
failed=0
for file in "$@"; do
    shown=$(awk -v marker="\`$file\`" '
        !found && index($0, marker) && /:$/ { found = 1; next }
        found && !started && /^$/ { next }
        found && (/^    / || /^$/) { started = 1; lines[++n] = substr($0, 5); next }
        found && started { exit }
        END {
            while (n > 0 && lines[n] == "") n--
            for (i = 1; i <= n; i++) print lines[i]
            if (!found) exit 3
        }' "$readme")
    status=$?
    if [ "$status" -eq 3 ] || [ -z "$shown" ]; then
        echo "README.md does not show $file (no line naming \`$file\` and ending with ':')"
        failed=1
    elif ! printf '%s\n' "$shown" | diff -u "$source_dir/$file" - >/dev/null; then
        echo "README.md shows $file differently:"
        printf '%s\n' "$shown" | diff -u "$source_dir/$file" --label "$file" - --label README.md
        failed=1
    else
        echo "README.md shows $file as it is"
    fi
done
exit $failed
