# Prepares the wine prefix the Windows tests share: created once (the slow
# part, some seconds), then its server is kept running between the tests so
# that each start of a program takes well under a second.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix to prepare}"
: "${WINE:?WINE must name the wine loader of the build (wine or wine64)}"
: "${WINEARCH:?WINEARCH must be win32 or win64}"
export WINEPREFIX WINEARCH WINEDEBUG=-all WINELOADER=$WINE
# No .NET or HTML engine is needed; without this wine offers to fetch them.
export WINEDLLOVERRIDES="mscoree,mshtml="

if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  "$WINE" wineboot -i < /dev/null
fi
# The server ends by itself once no program has used it for a minute. Its
# output must not hold the test's pipes open.
wineserver -p60 < /dev/null > /dev/null 2>&1 || true
"$WINE" cmd /c exit 0 < /dev/null > /dev/null 2>&1
