#include "framework/AppIcons.h"

#include <gtkmm/icontheme.h>

#include <algorithm>

#include "Resources.h"

namespace vorlane::framework {

namespace {
constexpr const char* IconResourcePath = "/org/vorlane/Vorlane/icons";
}

void RegisterAppIcons(const Glib::RefPtr<Gdk::Display>& Display) {
  if (!Display) return;
  resources::EnsureRegistered();
  auto Theme = Gtk::IconTheme::get_for_display(Display);
  // The theme keeps its own list of paths: asking it keeps this free of state of our own.
  auto Paths = Theme->get_resource_path();
  if (std::find(Paths.begin(), Paths.end(), IconResourcePath) == Paths.end())
    Theme->add_resource_path(IconResourcePath);
}

}  // namespace vorlane::framework
