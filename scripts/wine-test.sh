#!/usr/bin/env bash
# Runs a Windows test program under wine for ctest. Qt's test log does not
# reach a redirected stdout there, so the log is written to a file and shown.
set -u
program=$1
shift
case "$(basename "$program")" in
    tst_*) ;;
    *) exec wine "$program" "$@" ;;
esac
log=$(mktemp --suffix=.txt)
trap 'rm -f "$log"' EXIT
wine "$program" "$@" -o "Z:${log//\//\\},txt"
status=$?
cat "$log"
exit $status
