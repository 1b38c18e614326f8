#pragma once
// The program's own icons, carried in its resources and found by name through the icon
// theme like any themed icon ("vorlane-favorites", "vorlane-folder" …).
#include <gdkmm/display.h>

namespace vorlane::framework {

// Makes the icons of the resource bundle visible to Display's icon theme. Once per
// display is enough; later calls change nothing.
void RegisterAppIcons(const Glib::RefPtr<Gdk::Display>& Display);

}  // namespace vorlane::framework
