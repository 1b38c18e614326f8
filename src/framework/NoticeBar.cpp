#include "framework/NoticeBar.h"

#include "framework/LiteralLabel.h"

namespace vorlane::framework {

TNoticeBar::TNoticeBar(const std::string& Text) : Gtk::Box(Gtk::Orientation::HORIZONTAL, 6) {
  add_css_class("notice-bar");
  set_margin_start(6);
  set_margin_end(6);
  set_margin_top(2);
  set_margin_bottom(2);
  FLabel.set_use_markup(false);
  FLabel.set_use_underline(false);
  FLabel.set_xalign(0);
  FLabel.set_hexpand(true);
  FLabel.set_ellipsize(Pango::EllipsizeMode::END);
  SetText(Text);
  append(FLabel);
  FClose.set_icon_name("window-close-symbolic");
  FClose.set_has_frame(false);
  FClose.set_tooltip_text("关闭");
  FClose.signal_clicked().connect([this] { Dismiss(); });
  append(FClose);
}

void TNoticeBar::SetText(const std::string& Text) { FLabel.set_text(LiteralLabel(Text)); }

void TNoticeBar::AddButton(const std::string& Caption, std::function<void()> Action) {
  auto Button = std::make_unique<Gtk::Button>(Caption);
  Button->signal_clicked().connect([this, Action = std::move(Action)] { Finish(Action); });
  insert_child_after(*Button, FButtons.empty() ? static_cast<Gtk::Widget&>(FLabel) : *FButtons.back());
  FButtons.push_back(std::move(Button));
}

bool TNoticeBar::Press(const std::string& Caption) {
  for (auto& Button : FButtons)
    if (std::string(Button->get_label()) == Caption) {
      g_signal_emit_by_name(Button->gobj(), "clicked");
      return true;
    }
  return false;
}

void TNoticeBar::Dismiss() { Finish(OnDismissed); }

void TNoticeBar::Finish(const std::function<void()>& Action) {
  if (FClosed) return;
  FClosed = true;
  set_visible(false);
  // Copies: the owner may let go of the bar in OnClosed.
  auto Run = Action;
  auto Closed = OnClosed;
  if (Closed) Closed();
  if (Run) Run();
}

}  // namespace vorlane::framework
