#include "platform/RendererChoice.h"

#include <cstdlib>
#include <string>
#include <system_error>
#include <unistd.h>

namespace vorlane::platform {

namespace {

bool Usable(const std::filesystem::path& Device) { return access(Device.c_str(), R_OK | W_OK) == 0; }

bool Set(const char* Name) {
  const char* Value = std::getenv(Name);
  return Value && *Value && std::string(Value) != "0";
}

}  // namespace

bool HasRenderingGpu(const std::filesystem::path& DevRoot) {
  if (Usable(DevRoot / "nvidiactl")) return true;
  std::error_code Error;
  for (std::filesystem::directory_iterator It(DevRoot / "dri", Error), End; !Error && It != End;
       It.increment(Error))
    if (It->path().filename().string().starts_with("renderD") && Usable(It->path())) return true;
  return false;
}

bool OpenGlIsSoftware() { return Set("LIBGL_ALWAYS_SOFTWARE") || !HasRenderingGpu(); }

void ChooseWindowRenderer(bool SoftwareGl) {
  if (SoftwareGl) setenv("GSK_RENDERER", "cairo", 0);
}

}  // namespace vorlane::platform
