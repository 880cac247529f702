#!/usr/bin/env bash
# Usage: man_page.sh PAGE SOURCE_FOLDER...
# The manual page renders without a groff warning, and its ENVIRONMENT
# section names every variable that the code in SOURCE_FOLDERs reads.
set -euo pipefail
page=$1
shift

command -v man > /dev/null || { echo "skipped: man is not installed"; exit 77; }

warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 > /dev/null)
if [[ -n $warnings ]]; then
  echo "man --warnings -l $page:" >&2
  echo "$warnings" >&2
  exit 1
fi

environment=$(sed -n '/^\.SH ENVIRONMENT/,/^\.SH /p' "$page")
status=0
for name in $(grep -rhoE 'getenv\("[A-Za-z_][A-Za-z0-9_]*"\)' "$@" | sed -E 's/.*\("(.*)"\)/\1/' | sort -u); do
  if ! grep -qx "\.B $name" <<< "$environment"; then
    echo "$page: ENVIRONMENT does not name $name, which the program reads" >&2
    status=1
  fi
done
exit $status
