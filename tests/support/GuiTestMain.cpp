// Entry of the window tests: GTK first, then the tests.

#include <gtest/gtest.h>

#include "tests/support/GuiHarness.h"

int main(int argc, char** argv) {
  telvanta::test::InitGtk(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
