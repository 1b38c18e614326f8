#include "shell/U_FrmAbout.h"

#include <gtkmm/eventcontrollerkey.h>

#include <algorithm>

namespace vorlane::shell {
namespace {

constexpr int PanelLeft = 8, PanelTop = 8, PanelWidth = 281, PanelHeight = 161;
constexpr int LabelGap = 4;
constexpr int WrapLeft = 144;  // the word-wrapped contact line starts here

bool Overlap(const TLabelBox& A, const TLabelBox& B) {
  if (A.Width <= 0 || A.Height <= 0 || B.Width <= 0 || B.Height <= 0) return false;
  return A.X < B.X + B.Width && B.X < A.X + A.Width && A.Y < B.Y + B.Height && B.Y < A.Y + A.Height;
}

}  // namespace

void PlaceLabels(std::vector<TLabelBox>& Boxes, int RightEdge, int Gap) {
  for (size_t I = 0; I < Boxes.size(); ++I) {
    TLabelBox& Box = Boxes[I];
    const int WishedX = Box.X;
    // Each step moves the box right or down past one earlier box, so this ends.
    for (bool Moved = true; Moved;) {
      Moved = false;
      for (size_t J = 0; J < I; ++J) {
        if (!Overlap(Box, Boxes[J])) continue;
        int PushedX = Boxes[J].X + Boxes[J].Width + Gap;
        if (PushedX + Box.Width <= RightEdge) {
          Box.X = PushedX;
        } else {
          Box.X = WishedX;
          Box.Y = Boxes[J].Y + Boxes[J].Height + Gap;
        }
        Moved = true;
      }
    }
  }
}

TAboutBox::TAboutBox(Gtk::Window& Owner) {
  set_title("About");
  set_name("AboutBox");
  add_css_class("vorlane-about");
  set_modal(true);
  set_transient_for(Owner);
  set_destroy_with_parent(true);
  set_resizable(false);

  Panel1.set_name("Panel1");
  Panel1.add_css_class("about-panel");
  Panel1.set_size_request(PanelWidth, PanelHeight);
  ProgramIcon.set_name("ProgramIcon");
  ProgramIcon.set_from_icon_name("web-browser");
  ProgramIcon.set_size_request(41, 33);
  ProgramIcon.set_pixel_size(33);
  Panel1.put(ProgramIcon, 24 - 2, 24 - 2);  // inside the panel's 2-pixel bevel

  struct Text {
    Gtk::Label& Label;
    const char* Name;
    const char* Content;
  };
  for (const Text& T : {Text{ProductName, "ProductName", "Vorlane浏览器 VorlaneBrowser"},
                        Text{Version, "Version", "V2.5"}, Text{Label1, "Label1", ""},
                        Text{Label2, "Label2", "VorlaneBrowser"}, Text{Label3, "Label3", "出品"},
                        Text{Label4, "Label4", "Vorlane 开发组"},
                        Text{Label5, "Label5", "联系我们：请访问 Vorlane 官方网站"}}) {
    T.Label.set_name(T.Name);
    T.Label.set_text(T.Content);
    T.Label.set_xalign(0);
    T.Label.set_yalign(0);
  }

  OKButton.set_name("OKButton");
  OKButton.set_label("OK");
  OKButton.set_size_request(75, 25);
  OKButton.signal_clicked().connect([this] { OKButtonClick(); });

  FClient.set_size_request(ClientWidth, ClientHeight);
  FClient.put(Panel1, PanelLeft, PanelTop);
  FClient.put(OKButton, 111, 180);
  set_child(FClient);
  set_default_widget(OKButton);
  OKButton.grab_focus();
  WrapToWidth(Label5, PanelWidth - WrapLeft - 8);
  PlaceLabelsWithTheirFont();

  auto Keys = Gtk::EventControllerKey::create();
  Keys->signal_key_pressed().connect(
      [this](guint Key, guint, Gdk::ModifierType) {
        if (Key != GDK_KEY_Escape) return false;
        OKButtonClick();
        return true;
      },
      false);
  add_controller(Keys);
  signal_close_request().connect(
      [this] {
        set_visible(false);
        if (!FClosed && OnClosed) {
          FClosed = true;
          OnClosed();
        }
        return true;
      },
      false);
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::OKButtonClick() { close(); }

void TAboutBox::WrapToWidth(Gtk::Label& Label, int Width) {
  // Broken into lines here rather than by the label: a wrapping label asks its container
  // for the height of its text in one-character lines, which would stretch the dialog.
  auto Layout = Label.create_pango_layout(Label.get_text());
  Layout->set_width(Width * PANGO_SCALE);
  Layout->set_wrap(Pango::WrapMode::WORD_CHAR);
  std::string Text = Label.get_text(), Wrapped;
  for (const auto& Line : Layout->get_const_lines()) {
    if (!Wrapped.empty()) Wrapped += '\n';
    std::string Part = Text.substr(static_cast<size_t>(Line->get_start_index()), static_cast<size_t>(Line->get_length()));
    while (!Part.empty() && Part.back() == ' ') Part.pop_back();
    Wrapped += Part;
  }
  Label.set_text(Wrapped);
}

void TAboutBox::PlaceLabelsWithTheirFont() {
  // Positions as designed; the real font decides how wide each text is.
  const int Wished[][2] = {{88, 16}, {232, 16}, {88, 56}, {144, 56}, {216, 56}, {144, 80}, {144, 104}};
  std::vector<Gtk::Label*> All = Labels();
  std::vector<TLabelBox> Boxes;
  for (size_t I = 0; I < All.size(); ++I) {
    int Min = 0, Natural = 0, MinBase = 0, NatBase = 0;
    All[I]->measure(Gtk::Orientation::HORIZONTAL, -1, Min, Natural, MinBase, NatBase);
    int Width = All[I]->get_text().empty() ? 0 : Natural;
    int HMin = 0, Height = 0;
    All[I]->measure(Gtk::Orientation::VERTICAL, Width > 0 ? Width : -1, HMin, Height, MinBase, NatBase);
    Boxes.push_back({Wished[I][0], Wished[I][1], Width, All[I]->get_text().empty() ? 0 : Height});
  }
  PlaceLabels(Boxes, PanelWidth - 4, LabelGap);
  for (size_t I = 0; I < All.size(); ++I) Panel1.put(*All[I], Boxes[I].X - 2, Boxes[I].Y - 2);
}

}  // namespace vorlane::shell
