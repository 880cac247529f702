# The tests that run the program as another user, or preload a library into
# it, pass wherever the checkout lies: here the test scripts and the build's
# outputs sit below a private folder (mode 0700, as mktemp -d makes one)
# whose path holds a space, with TMPDIR naming another private folder whose
# path holds one too, and the current folder elsewhere.
E2E=$(cd "$(dirname "$0")" && pwd)
source "$E2E/common.sh"
only_on linux
[[ $(id -u) -eq 0 ]] || skip "needs root to run the program as another user"

PRIVATE="$WORK/private home"
mkdir -m 700 "$PRIVATE" "$WORK/private tmp"
CHECKOUT="$PRIVATE/trueext checkout"
mkdir -p "$CHECKOUT/tests" "$CHECKOUT/build/fakes"
cp -r "$E2E" "$CHECKOUT/tests/e2e"
cp -r "$STAND_IN_DIR" "$CHECKOUT/build/fakes/complete"
cp -r "$STAND_IN_MISSING_DIR" "$CHECKOUT/build/fakes/missing"
cp "$BUILD_DIR"/fakes/*.so "$CHECKOUT/build/fakes/"
cp "$TOOL" "$CHECKOUT/build/trueext"
for name in libtrueext-ident.so trueext.magic trueext-common.magic trueext.mgc trueext-common.mgc; do
  if [[ -e "$BUILD_DIR/$name" ]]; then
    cp -p "$BUILD_DIR/$name" "$CHECKOUT/build/"
  fi
done

for test in access_times_kept no_thread_to_be_had rename_swapped_entry; do
  status=0
  (
    cd /
    TMPDIR="$WORK/private tmp" TOOL="$CHECKOUT/build/trueext" BUILD_DIR="$CHECKOUT/build" \
      STAND_IN_DIR="$CHECKOUT/build/fakes/complete" \
      STAND_IN_MISSING_DIR="$CHECKOUT/build/fakes/missing" \
      bash "$CHECKOUT/tests/e2e/$test.sh"
  ) > "$WORK/$test.log" 2>&1 || status=$?
  case $status in
    0) ;;
    77) echo "$test: $(grep '^skipped:' "$WORK/$test.log")" ;;
    *)
      echo "$test failed from a private checkout:" >&2
      cat "$WORK/$test.log" >&2
      exit 1
      ;;
  esac
done
