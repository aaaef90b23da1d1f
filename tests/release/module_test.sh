#!/usr/bin/env bash
#   module_test.sh SOURCE_DIR     (the module: $LUMARO_WINDOWS_MODULE)
set -euo pipefail
if [ -z "${LUMARO_WINDOWS_MODULE:-}" ]; then
  echo "runs after the Windows build (LUMARO_WINDOWS_MODULE names its Lumaro.aip)"
  exit 77
fi
exec bash "$1/scripts/check-module.sh" "$LUMARO_WINDOWS_MODULE" "$1"
