#pragma once
// Which of GTK's renderers draws the windows. GTK draws with OpenGL by default; on a
// machine without a GPU that is Mesa's software rasterizer, which compiles machine code
// for every new kind of drawing it meets. The first frame of the main window took
// 0.15-0.4 s that way, against 20 ms with GTK's cairo renderer, and every first
// request waited behind it.
#include <filesystem>

namespace vorlane::platform {

// Whether the machine has a GPU that can render: a DRM render node, or NVIDIA's own
// device. A display-only device (a "card" without a render node, as simpledrm gives
// virtual machines) does not count.
bool HasRenderingGpu(const std::filesystem::path& DevRoot = "/dev");

// Before GTK starts: picks the cairo renderer when OpenGL could only be software (no GPU,
// or LIBGL_ALWAYS_SOFTWARE set), unless the user chose a renderer with GSK_RENDERER.
void ChooseWindowRenderer();

}  // namespace vorlane::platform
