#include <gtest/gtest.h>

#include <filesystem>

#include "tests/common/TestEnv.h"

int main(int argc, char** argv) {
  hv::test::UseFreshHome();
  ::testing::InitGoogleTest(&argc, argv);
  int rc = RUN_ALL_TESTS();
  std::error_code ec;
  std::filesystem::remove_all(std::getenv("HOME"), ec);
  return rc;
}
