// Test main for widget and engine tests: a temporary home, then GTK and gtkmm.
#include "support/TempHome.h"
#include "support/TestLocale.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <gtkmm/init.h>
#include <gtk/gtk.h>
#include <cstdio>

int main(int argc, char** argv) {
  vorlane::test::TempHome Home;
  testing::InitGoogleMock(&argc, argv);
  if (!vorlane::test::TestLocaleAvailable()) return 1;
  if (!gtk_init_check()) {
    std::fprintf(stderr, "no display: run the tests through 'make test'\n");
    return 1;
  }
  Gtk::init_gtkmm_internals();
  return RUN_ALL_TESTS();
}
