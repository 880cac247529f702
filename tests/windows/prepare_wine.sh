# Prepares the wine prefix the Windows tests share: created once (the slow
# part, some seconds), then its server is kept running between the tests so
# that each start of a program takes well under a second.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix to prepare}"
export WINEPREFIX WINEDEBUG=-all WINEARCH=win32
# No .NET or HTML engine is needed; without this wine offers to fetch them.
export WINEDLLOVERRIDES="mscoree,mshtml="

if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  wineboot -i
fi
# The server ends by itself once no program has used it for a minute. Its
# output must not hold the test's pipes open.
wineserver -p60 < /dev/null > /dev/null 2>&1 || true
wine cmd /c exit 0 < /dev/null > /dev/null 2>&1
