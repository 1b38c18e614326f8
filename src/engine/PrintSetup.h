#pragma once
// The print settings and page setup that stand in for the old engine's own: one pair,
// shared by every engine a factory makes, changed by page setup and print, used by print
// and preview.
#include "engine/GObjectPtr.h"

#include <gtk/gtk.h>
#include <memory>

namespace vorlane::engine {

struct PrintSetup {
  GObjectPtr<GtkPrintSettings> Settings;
  GObjectPtr<GtkPageSetup> PageSetup;
};

}  // namespace vorlane::engine
