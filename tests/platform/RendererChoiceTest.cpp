#include "platform/RendererChoice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

using namespace vorlane::platform;

namespace {

// The variable's value for the test's length, and its old value back afterwards.
class ScopedEnv {
public:
  ScopedEnv(const char* Name, const char* Value) : FName(Name) {
    if (const char* Old = std::getenv(Name)) FOld = Old;
    if (Value)
      setenv(Name, Value, 1);
    else
      unsetenv(Name);
  }
  ~ScopedEnv() {
    if (FOld)
      setenv(FName, FOld->c_str(), 1);
    else
      unsetenv(FName);
  }

private:
  const char* FName;
  std::optional<std::string> FOld;
};

}  // namespace

TEST(RendererChoice, OnlyARenderNodeOrNvidiaCountsAsAGpu) {
  struct Case {
    std::vector<const char*> Devices;
    bool Gpu;
  } Cases[] = {
      {{}, false},
      {{"dri/card0"}, false},  // display only, as simpledrm in a virtual machine
      {{"dri/card0", "dri/renderD128"}, true},
      {{"nvidiactl"}, true},
  };
  for (const auto& C : Cases) {
    auto Root = std::filesystem::temp_directory_path() / "vorlane-renderer-test";
    std::filesystem::remove_all(Root);
    std::filesystem::create_directories(Root);
    for (const char* Device : C.Devices) {
      std::filesystem::create_directories((Root / Device).parent_path());
      std::ofstream(Root / Device).put('\0');
    }
    EXPECT_EQ(HasRenderingGpu(Root), C.Gpu) << (C.Devices.empty() ? "none" : C.Devices.back());
    std::filesystem::remove_all(Root);
  }
}

TEST(RendererChoice, SoftwareGlMeansCairoUnlessTheUserChose) {
  {
    ScopedEnv Renderer("GSK_RENDERER", nullptr), Software("LIBGL_ALWAYS_SOFTWARE", "1");
    ASSERT_TRUE(OpenGlIsSoftware());
    ChooseWindowRenderer(OpenGlIsSoftware());
    EXPECT_STREQ(std::getenv("GSK_RENDERER"), "cairo");
  }
  {
    ScopedEnv Renderer("GSK_RENDERER", nullptr);
    ChooseWindowRenderer(false);
    EXPECT_EQ(std::getenv("GSK_RENDERER"), nullptr);
  }
  ScopedEnv Renderer("GSK_RENDERER", "gl");
  ChooseWindowRenderer(true);
  EXPECT_STREQ(std::getenv("GSK_RENDERER"), "gl");
}
