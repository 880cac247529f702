#!/bin/sh
# Speed of the identification library against `file -b --extension`; see
# engine_speed.py. Usage: bench/engine_speed.sh [BUILD_DIR] [more options]
here=$(dirname "$0")
build=${1:-$here/../build}
[ $# -gt 0 ] && shift
exec /usr/bin/python3 "$here/engine_speed.py" --build "$build" "$@"
