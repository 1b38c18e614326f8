#pragma once
// How the windows and the pages are drawn on a machine without a GPU. There OpenGL is
// Mesa's software rasterizer, which compiles machine code for every new kind of drawing
// it meets: GTK's OpenGL renderer took 0.15-0.4 s over the main window's first frame
// (cairo: 20 ms), and WebKit's GPU compositing 0.1-0.4 s over a page's first frame after
// its load (WebKit's own CPU drawing: 15-30 ms).
#include <filesystem>

namespace vorlane::platform {

// Whether the machine has a GPU that can render: a DRM render node, or NVIDIA's own
// device. A display-only device (a "card" without a render node, as simpledrm gives
// virtual machines) does not count.
bool HasRenderingGpu(const std::filesystem::path& DevRoot = "/dev");

// Whether OpenGL could only be software here: no GPU, or LIBGL_ALWAYS_SOFTWARE set.
bool OpenGlIsSoftware();

// Before GTK starts: GTK's cairo renderer when OpenGL is software, unless the user chose
// a renderer with GSK_RENDERER.
void ChooseWindowRenderer(bool SoftwareGl);

}  // namespace vorlane::platform
