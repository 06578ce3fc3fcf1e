#!/usr/bin/env bash
# Installs what is missing, builds, runs the fuzz targets for a bounded time,
# runs every test through CTest, then the whole-road, session, form and
# program-exit tests again with the address and undefined-behaviour
# sanitizers.
source "$(dirname "${BASH_SOURCE[0]}")/scripts-common.sh"
hv_install
hv_build -DHV_BUILD_TESTS=ON
"$HV_ROOT/tests/fuzz/run.sh" || hv_fail "a fuzz target failed"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
ctest --test-dir "$HV_BUILD" --output-on-failure --parallel "$(nproc)" --timeout 300 ||
  hv_fail "some tests failed"

# A sanitizer build of those tests only, at -O1 so that it builds quickly;
# any report (a use after free, a leak, undefined behaviour) fails its test.
san_build="$HV_ROOT/build-san"
cmake -S "$HV_ROOT" -B "$san_build" -G Ninja -DHV_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug \
  "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1" -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
  "-DHV_TESTS_ONLY=/forms/|^app/(MeasureRoad|Session)_test|^app/program/" >/dev/null ||
  hv_fail "configuring the sanitizer build failed"
cmake --build "$san_build" --parallel "$(nproc)" || hv_fail "the sanitizer build failed"
ASAN_OPTIONS="halt_on_error=1:detect_leaks=1" UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
  ctest --test-dir "$san_build" --output-on-failure --parallel "$(nproc)" --timeout 300 ||
  hv_fail "some tests failed with the sanitizers"
