// Entry point of the in-process window tests: no modal UI may block a test, so
// a responder that records and cancels everything is installed for the whole run.
#include <gtest/gtest.h>
#include "tests/support/harness.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  ScriptedResponder fallback;  // tests install their own on top of it
  return RUN_ALL_TESTS();
}
