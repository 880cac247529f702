# A folder of hundreds of files, where the renames may run on a thread of
# their own while later files are examined: every file gets exactly one line,
# each line tells what is on disk, no file is renamed twice although the new
# names come up in the enumeration, and a taken name is never replaced. Run
# on every processor the machine has, and on one, where the renames are done
# in place.
source "$(dirname "$0")/common.sh"

# Long names, so that the folder takes the system several reads to list and
# names made by renames turn up in later reads.
L=$(printf 'long-name-%.0s' {1..8})

fill() {
  rm -rf "$DIR"; mkdir "$DIR"
  local i
  for ((i = 0; i < 150; i++)); do
    put "${L}p$i" '%%PDF-1.4 built-in row'
    put "${L}d$i" 'for the library'
  done
  # Taken names: the file keeps its name, the other file its content.
  for ((i = 0; i < 40; i++)); do
    put "t$i" '%%PDF-1.4 wants a taken name'
    put "t$i.pdf" 'someone else'
    make_read_only "t$i.pdf"
  done
}

want_lines() {
  local i
  for ((i = 0; i < 150; i++)); do
    printf '%sp%d\t%sp%d.pdf\n%sd%d\t%sd%d.png[B]\n' "$L" "$i" "$L" "$i" "$L" "$i" "$L" "$i"
  done
  for ((i = 0; i < 40; i++)); do
    printf 't%d\tt%d Rename failed...\nt%d.pdf\tt%d.pdf Open failed...\n' "$i" "$i" "$i" "$i"
  done
}

check_run() {
  expect_lines "$(want_lines)"$'\n'
  expect_eq "$(line_count)" 380
  local i
  for ((i = 0; i < 150; i++)); do
    [[ -f "$DIR/${L}p$i.pdf" && -f "$DIR/${L}d$i.png" && ! -e "$DIR/${L}p$i" && ! -e "$DIR/${L}d$i" ]]
  done
  for ((i = 0; i < 40; i++)); do
    expect_eq "$(cat "$DIR/t$i")" '%PDF-1.4 wants a taken name'
    expect_eq "$(cat "$DIR/t$i.pdf")" 'someone else'
  done
  expect_eq "$(ls "$DIR" | wc -l)" 380
}

export TRUEEXT_FAKE_COUNT=1 TRUEEXT_FAKE_EXT=png
fill
run_tool "$NDIR"
check_run

if [[ $PLATFORM == linux ]] && command -v taskset > /dev/null; then
  fill
  PROGRAM_COMMAND=(taskset -c 0 "${PROGRAM_COMMAND[@]}")
  run_tool "$NDIR"
  check_run
fi
