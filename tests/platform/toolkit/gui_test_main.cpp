// main() of the GUI tests: the application is started once, before the first test, and only
// when tests run (listing them needs no display).
#include <gtest/gtest.h>

#include "platform/toolkit/toolkit.h"

namespace {

class ToolkitEnvironment : public testing::Environment {
 public:
  void SetUp() override { StartToolkit(); }
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // Death tests run in a fresh process, never in a fork of one with the application's threads.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  testing::AddGlobalTestEnvironment(new ToolkitEnvironment);
  return RUN_ALL_TESTS();
}
