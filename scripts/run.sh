#!/usr/bin/env bash
# Sets everything up, builds, and starts the tool. Arguments go to the tool
# (a language word such as DEUTSCH, or --port DEVICE). Without --port the
# tool talks to the unit simulator, started here and stopped with the tool.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build}

args=("$@")
named_port=no
for a in "$@"; do
  case "$a" in --port|--port=*) named_port=yes ;; esac
done

if [ "$named_port" = no ]; then
  coproc SIM { exec "$BUILD_DIR/zentrova-sim"; }
  sim_pid=$SIM_PID
  trap 'kill "$sim_pid" 2>/dev/null || true' EXIT
  if ! read -r -t 10 -u "${SIM[0]}" device; then
    echo "The unit simulator did not start." >&2
    exit 1
  fi
  echo "Talking to the unit simulator on $device"
  args+=(--port "$device")
fi

"$BUILD_DIR/zentrova" "${args[@]}"
