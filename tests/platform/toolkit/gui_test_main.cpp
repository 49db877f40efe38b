// main() of the GUI tests: the application is started once, before the first test, and only
// when tests run (listing them needs no display).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

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
  int result = RUN_ALL_TESTS();
  // End as the program does: at once, without tearing down the browser engine, whose teardown
  // at process exit can wait for its own threads without end.
  std::fflush(nullptr);
  ::_exit(result);
}
