#include "favorites/FavoriteRow.h"

#include <gtk/gtk.h>
#include <gtkmm/snapshot.h>
#include <gtkmm/stylecontext.h>

#include <algorithm>

namespace vorlane::favorites {

TFavoriteRow::TFavoriteRow(std::shared_ptr<const TRowLook> Look)
    : Glib::ObjectBase("VorlaneFavoriteRow"), FLook(std::move(Look)) {}

void TFavoriteRow::Bind(const Glib::RefPtr<Gtk::TreeListRow>& Row, const Glib::ustring& Caption,
                        const Glib::RefPtr<Gdk::Paintable>& Image) {
  FRow = Row;
  FCaption = Caption;
  FImage = Image;
  // A fresh layout takes the view's current font; the caption is text, never markup.
  FLayout = Pango::Layout::create(FLook->Text);
  FLayout->set_text(Caption);
  gtk_accessible_update_property(GTK_ACCESSIBLE(gobj()), GTK_ACCESSIBLE_PROPERTY_LABEL, Caption.c_str(), -1);
  ExpandedChanged();
  queue_resize();
}

void TFavoriteRow::Unbind() {
  FRow.reset();
  FImage.reset();
}

int TFavoriteRow::ArrowX() const { return FRow ? static_cast<int>(FRow->get_depth()) * Indent : 0; }

bool TFavoriteRow::OnArrow(double X) const {
  return FRow && FRow->is_expandable() && X >= ArrowX() && X < ArrowX() + Indent;
}

void TFavoriteRow::ExpandedChanged() {
  if (FRow && FRow->is_expandable())
    gtk_accessible_update_state(GTK_ACCESSIBLE(gobj()), GTK_ACCESSIBLE_STATE_EXPANDED, FRow->get_expanded(), -1);
  else
    gtk_accessible_reset_state(GTK_ACCESSIBLE(gobj()), GTK_ACCESSIBLE_STATE_EXPANDED);
  queue_draw();
}

Gtk::SizeRequestMode TFavoriteRow::get_request_mode_vfunc() const { return Gtk::SizeRequestMode::CONSTANT_SIZE; }

void TFavoriteRow::measure_vfunc(Gtk::Orientation Orientation, int, int& Minimum, int& Natural,
                                 int& MinimumBaseline, int& NaturalBaseline) const {
  MinimumBaseline = NaturalBaseline = -1;
  int TextWidth = 0, TextHeight = 0;
  if (FLayout) FLayout->get_pixel_size(TextWidth, TextHeight);
  // Like a label that neither wraps nor ellipsizes: the whole caption, scrolled if need be.
  Minimum = Natural = Orientation == Gtk::Orientation::HORIZONTAL
                          ? ArrowX() + Indent + ImageSize + Gap + TextWidth
                          : std::max(ImageSize, TextHeight);
}

void TFavoriteRow::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& Snapshot) {
  if (!FRow) return;
  GtkSnapshot* S = Snapshot->gobj();
  const int Height = get_height();
  const Gdk::RGBA Color = get_style_context()->get_color();
  auto At = [&](int X, int Y) {
    const graphene_point_t P = GRAPHENE_POINT_INIT(static_cast<float>(X), static_cast<float>(Y));
    gtk_snapshot_save(S);
    gtk_snapshot_translate(S, &P);
  };
  const int ImageY = (Height - ImageSize) / 2;
  int X = ArrowX();
  if (FRow->is_expandable()) {
    const auto& Arrow = FRow->get_expanded() ? FLook->Expanded : FLook->Collapsed;
    if (Arrow && GTK_IS_SYMBOLIC_PAINTABLE(Arrow->gobj())) {
      At(X, ImageY);
      const GdkRGBA Colors[] = {*Color.gobj()};
      gtk_symbolic_paintable_snapshot_symbolic(GTK_SYMBOLIC_PAINTABLE(Arrow->gobj()), S, ImageSize, ImageSize,
                                               Colors, 1);
      gtk_snapshot_restore(S);
    } else if (Arrow) {
      At(X, ImageY);
      Arrow->snapshot(Snapshot, ImageSize, ImageSize);
      gtk_snapshot_restore(S);
    }
  }
  X += Indent;
  if (FImage) {
    At(X, ImageY);
    FImage->snapshot(Snapshot, ImageSize, ImageSize);
    gtk_snapshot_restore(S);
  }
  X += ImageSize + Gap;
  if (FLayout) {
    int TextWidth = 0, TextHeight = 0;
    FLayout->get_pixel_size(TextWidth, TextHeight);
    At(X, (Height - TextHeight) / 2);
    Snapshot->append_layout(FLayout, Color);
    gtk_snapshot_restore(S);
  }
}

}  // namespace vorlane::favorites
