# At a console the run ends with the shell's "pause", which waits for one
# key; without one (every other test) it never waits.
source "$(dirname "$0")/common.sh"

put doc '%%PDF-1.4'
python3 - "$WINE" "$BIN/trueext.exe" "$WDIR" > "$WORK/console" <<'PY'
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
time.sleep(0.5)
os.write(fd, b"q")
_, status = os.waitpid(pid, 0)
# wine draws the console with terminal escapes; keep the text only.
text = re.sub(rb"\x1b\[[0-9;?]*[A-Za-z]", b"", out).decode()
sys.stdout.write(f"{text.strip()}\nstatus {os.waitstatus_to_exitcode(status)}\n")
PY
# The report line comes first, then the shell's prompt, in its own words.
grep -q 'doc\.pdf' "$WORK/console"
expect_eq "$(tail -n 1 "$WORK/console")" 'status 0'
expect_eq "$(grep -c 'Press any key' "$WORK/console")" 1
expect_names doc.pdf
