#!/usr/bin/env bash
# Fails when a committed generated file no longer matches its table: the
# control-request headers, the runtime's signal property table and the device
# classes are all derived from tables under tools/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
python3 tools/codegen/control_requests.py --check
python3 tools/catalogue/generate_catalogue.py --check
python3 tools/catalogue/generate_devices.py --check
echo "generated files are up to date"
