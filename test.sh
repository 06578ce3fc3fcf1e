#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest.
source "$(dirname "${BASH_SOURCE[0]}")/scripts-common.sh"
hv_install
hv_build -DHV_BUILD_TESTS=ON
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
ctest --test-dir "$HV_BUILD" --output-on-failure --parallel "$(nproc)" --timeout 300 ||
  hv_fail "some tests failed"
if [ -x "$HV_ROOT/tests/fuzz/run.sh" ]; then
  "$HV_ROOT/tests/fuzz/run.sh" || hv_fail "a fuzz target failed"
fi
echo "All tests passed."
