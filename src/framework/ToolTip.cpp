#include "framework/ToolTip.h"

#include "framework/LiteralLabel.h"

#include <gtkmm/label.h>
#include <gtkmm/tooltip.h>

namespace vorlane::framework {

namespace {

void ShowOnOneLine(const Glib::RefPtr<Gtk::Tooltip>& Tip, const Glib::ustring& Text) {
  // The tip owns the label once set.
  auto* Label = Gtk::make_managed<Gtk::Label>(Text);
  Label->set_wrap(false);
  Label->set_single_line_mode(true);
  Tip->set_custom(*Label);
}

}  // namespace

void SetOneLineToolTip(Gtk::Widget& W, const std::string& Text) {
  W.set_has_tooltip(true);
  W.signal_query_tooltip().connect(
      [Shown = LiteralLabel(Text)](int, int, bool, const Glib::RefPtr<Gtk::Tooltip>& Tip) {
        ShowOnOneLine(Tip, Shown);
        return true;
      },
      false);
}

void ShowToolTipOnOneLine(Gtk::Widget& W) {
  W.set_has_tooltip(true);
  W.signal_query_tooltip().connect(
      [&W](int, int, bool, const Glib::RefPtr<Gtk::Tooltip>& Tip) {
        Glib::ustring Text = W.get_tooltip_text();
        if (Text.empty()) return false;
        ShowOnOneLine(Tip, Text);
        return true;
      },
      false);
}

}  // namespace vorlane::framework
