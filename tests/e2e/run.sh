#!/usr/bin/env bash
# Runs the end-to-end scenarios against a staged program folder, on a private X server and a
# private session bus with the accessibility bus. Exit 77 (skipped) when no desktop can be had.
#   bash tests/e2e/run.sh build/Tarmin [scenario.py ...]
set -u
here="$(cd "$(dirname "$0")" && pwd)"
stage="$(cd "${1:?staged program folder}" && pwd)"
shift
scenarios=("$@")
[ ${#scenarios[@]} -eq 0 ] && scenarios=("$here"/scenario_*.py)
for tool in Xvfb dbus-run-session /usr/bin/python3; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: the end-to-end test needs $tool (Debian: xvfb, dbus-bin, python3-pyatspi)"
    exit 77
  fi
done
if ! /usr/bin/python3 -c 'import pyatspi' 2>/dev/null; then
  echo "SKIPPED: the end-to-end test needs python3-pyatspi"
  exit 77
fi
status=0
for s in "${scenarios[@]}"; do
  echo "== $(basename "$s")"
  dbus-run-session -- /usr/bin/python3 "$s" "$stage"
  rc=$?
  if [ $rc -eq 77 ]; then echo "SKIPPED: $(basename "$s")"; [ $status -eq 0 ] && status=77; continue; fi
  [ $rc -ne 0 ] && status=1
done
exit $status
