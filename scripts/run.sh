#!/usr/bin/env bash
# Sets everything up, builds, and starts the tool. Arguments go to the tool
# (a language word such as DEUTSCH, or --port DEVICE).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
exec "${BUILD_DIR:-build}/zentrova" "$@"
