# At a terminal the run ends by waiting for one key; without one it never
# waits (every other test runs without a terminal and would hang).
source "$(dirname "$0")/common.sh"

put doc '%%PDF-1.4'
python3 - "$TOOL" "$DIR" > "$WORK/pty" <<'PY'
import os, pty, select, sys, time

pid, fd = pty.fork()
if pid == 0:
    os.execv(sys.argv[1], [sys.argv[1], sys.argv[2]])

def read_until(text, seconds=20):
    seen, deadline = b"", time.time() + seconds
    while text not in seen and time.time() < deadline:
        if select.select([fd], [], [], 0.2)[0]:
            try:
                seen += os.read(fd, 4096)
            except OSError:
                break
    return seen

out = read_until(b"Press any key to continue . . . ")
# Still waiting for the key: the process has not ended.
assert os.waitpid(pid, os.WNOHANG) == (0, 0), "did not wait for a key"
time.sleep(0.5)  # let the tool switch the terminal to single keys
os.write(fd, b"q")
out += read_until(b"\n", 5)
_, status = os.waitpid(pid, 0)
sys.stdout.write(out.decode().replace("\r\n", "\n"))
sys.stdout.write(f"status {os.waitstatus_to_exitcode(status)}\n")
PY
expect_eq "$(cat "$WORK/pty")" 'doc	doc.pdf
Press any key to continue . . . 
status 0'
