#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on the built-in
# endpoint simulator. Without a display it runs the command-line demo instead.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh build
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    echo "Starting 墨枫 on the built-in simulator; 导入关键词 offers docs/sample-keywords.txt"
    exec build/ui/app/mofeng --demo --keyword-file docs/sample-keywords.txt "$@"
fi
echo "No display found: running the command-line demo instead (mofeng-cli query --demo)."
exec build/cli/mofeng-cli query --demo docs/sample-keywords.txt
