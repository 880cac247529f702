# Names this run created are not examined again when the enumeration yields
# them a second time, as ext4 does in large folders: one extension per run.
source "$(dirname "$0")/common.sh"

python3 - "$DIR" <<'PY'
import sys
for i in range(5000):
    open(f"{sys.argv[1]}/f{i:05}.bin", "wb").write(b"%PDF-1.4\n")
PY

run_tool "$NDIR"
expect_eq "$(ls "$DIR" | grep -c '\.bin\.pdf$')" 5000
expect_eq "$(ls "$DIR" | grep -c '\.pdf\.pdf')" 0
expect_eq "$(line_count)" 5000
