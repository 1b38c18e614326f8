#pragma once
// Tool tips on one line. GTK 4.8 sizes a tool tip at its narrowest, which breaks Chinese
// text after every character; these tips are labels that never wrap.
#include <gtkmm/widget.h>

#include <string>

namespace vorlane::framework {

// Shows Text (taken literally, see LiteralLabel) as W's tool tip, on one line.
void SetOneLineToolTip(Gtk::Widget& W, const std::string& Text);

// Shows W's own tool-tip text (set_tooltip_text, plain text), whatever it is when the tip
// comes up, on one line; no tip while it is empty.
void ShowToolTipOnOneLine(Gtk::Widget& W);

}  // namespace vorlane::framework
