#!/usr/bin/env bash
# Fails when a committed generated file no longer matches its table: the
# control-request headers, the runtime's signal property table, the named
# signal IDs, the device classes, the configuration groups, configurators and
# value enumerations, the C and Java swerve state records, and the Java devices,
# requests, configs and status codes with their native tables are all derived
# from tables under tools/. Fails too when a signal number is written by hand
# outside those tables.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
python3 tools/codegen/control_requests.py --check
python3 tools/catalogue/generate_catalogue.py --check
python3 tools/catalogue/generate_devices.py --check
python3 tools/configs/generate_configs.py --check
python3 tools/jni/state_records.py --check
python3 tools/jni/java_devices.py --check
python3 tools/catalogue/check_signal_numbers.py
echo "generated files are up to date"
