# Names this run created are not examined again should the enumeration
# yield them a second time: one extension per run.
source "$(dirname "$0")/common.sh"

python3 - "$DIR" <<'PY'
import sys
for i in range(1000):
    open(f"{sys.argv[1]}/f{i:04}.bin", "wb").write(b"%PDF-1.4\n")
PY

run_tool "$WDIR"
expect_eq "$(ls "$DIR" | grep -c '\.bin\.pdf$')" 1000
expect_eq "$(ls "$DIR" | grep -c '\.pdf\.pdf')" 0
expect_eq "$(grep -c $'\r$' "$WORK/out")" 1000
