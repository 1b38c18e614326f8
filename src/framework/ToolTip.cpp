#include "framework/ToolTip.h"

#include "framework/LiteralLabel.h"

#include <gtkmm/label.h>
#include <gtkmm/tooltip.h>

namespace vorlane::framework {

void SetOneLineToolTip(Gtk::Widget& W, const std::string& Text) {
  W.set_has_tooltip(true);
  W.signal_query_tooltip().connect(
      [Shown = LiteralLabel(Text)](int, int, bool, const Glib::RefPtr<Gtk::Tooltip>& Tip) {
        // The tip owns the label once set.
        auto* Label = Gtk::make_managed<Gtk::Label>(Shown);
        Label->set_wrap(false);
        Label->set_single_line_mode(true);
        Tip->set_custom(*Label);
        return true;
      },
      false);
}

}  // namespace vorlane::framework
