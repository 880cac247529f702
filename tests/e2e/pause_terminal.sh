# At a terminal (a console on Windows) the run ends by waiting for one key;
# without one it never waits (every other test runs without one and would hang).
source "$(dirname "$0")/common.sh"

put doc '%%PDF-1.4'
python3 - "${PROGRAM_COMMAND[@]}" "$NDIR" > "$WORK/pty" <<'PY'
import os, pty, re, select, sys, time

pid, fd = pty.fork()
if pid == 0:
    os.execvp(sys.argv[1], sys.argv[1:])

def read_until(text, seconds=20):
    seen, deadline = b"", time.time() + seconds
    while text not in seen and time.time() < deadline:
        if select.select([fd], [], [], 0.2)[0]:
            try:
                seen += os.read(fd, 4096)
            except OSError:
                break
    return seen

out = read_until(b"continue")
# Still waiting for the key: the process has not ended.
assert os.waitpid(pid, os.WNOHANG) == (0, 0), "did not wait for a key"
time.sleep(0.5)  # let the program switch the terminal to single keys
os.write(fd, b"q")
out += read_until(b"\0", 5)  # all that comes until the terminal closes
_, status = os.waitpid(pid, 0)
# wine draws its console with terminal escapes; keep the text only.
text = re.sub(rb"\x1b\[[0-9;?]*[A-Za-z]|\x1b\][^\x07]*\x07", b"", out).decode()
sys.stdout.write(text.replace("\r\n", "\n"))
# Then the exit status, on a line of its own.
sys.stdout.write(f"\nstatus {os.waitstatus_to_exitcode(status)}\n")
PY
if [[ $PLATFORM == windows ]]; then
  # The shell's "pause", in its own words, after the report line (whose tab
  # wine draws as a cursor move).
  grep -q '^doc.*doc\.pdf' "$WORK/pty"
  expect_eq "$(grep -c 'Press any key' "$WORK/pty")" 1
  expect_eq "$(tail -n 1 "$WORK/pty")" 'status 0'
else
  expect_eq "$(cat "$WORK/pty")" 'doc	doc.pdf
Press any key to continue . . . 

status 0'
fi
expect_names doc.pdf
