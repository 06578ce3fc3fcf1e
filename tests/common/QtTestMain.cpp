#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "platform/qt/Application.h"
#include "tests/common/TestEnv.h"

int main(int argc, char** argv) {
  hv::test::UseFreshHome();
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  hv::Application app(argc, argv);
  int rc = RUN_ALL_TESTS();
  std::error_code ec;
  std::filesystem::remove_all(std::getenv("HOME"), ec);
  return rc;
}
