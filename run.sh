#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on its sample data.
source "$(dirname "${BASH_SOURCE[0]}")/scripts-common.sh"
hv_install
hv_build -DHV_BUILD_TESTS=OFF
exe="$HV_BUILD/bin/halvardin"
[ -x "$exe" ] || hv_fail "the program was not built"
samples="$HV_BUILD/samples"
[ -f "$samples/FIELD1.FIT" ] || hv_fail "the sample images were not written"
cd "$samples"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: starting under a virtual X server (xvfb-run)."
  exec xvfb-run -a "$exe" "$@"
fi
exec "$exe" "$@"
