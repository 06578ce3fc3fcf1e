#!/usr/bin/env bash
# Installs what is missing, builds, runs the fuzz targets for a bounded time,
# and runs every test through CTest.
source "$(dirname "${BASH_SOURCE[0]}")/scripts-common.sh"
hv_install
hv_build -DHV_BUILD_TESTS=ON
"$HV_ROOT/tests/fuzz/run.sh" || hv_fail "a fuzz target failed"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
ctest --test-dir "$HV_BUILD" --output-on-failure --parallel "$(nproc)" --timeout 300 ||
  hv_fail "some tests failed"
