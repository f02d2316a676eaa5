// Every test here needs the application (fonts, palette, image plug-ins): one is made before
// the first test, on the offscreen platform whatever display the machine has.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/qt/gui_application.h"

namespace {

class OffscreenApplication : public ::testing::Environment {
 public:
  void SetUp() override {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ASSERT_TRUE(qz::start_gui_application(nullptr));
  }
};

[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new OffscreenApplication());

}  // namespace
