#pragma once
// One row of the favorites tree as a single widget: indent, expander arrow, image and
// caption, drawn in one snapshot. The list view makes a batch of about two hundred rows
// whenever a level is listed; built of an expander, a box, an image and a label each, those
// rows cost the first level of a large Favorites folder three walks of the whole folder.
// The tree handles clicks on the arrow and the expand and collapse keys for all its rows.
#include <gdkmm/paintable.h>
#include <gtkmm/treelistrow.h>
#include <gtkmm/widget.h>
#include <pangomm/layout.h>

#include <memory>

namespace vorlane::favorites {

// What all rows of one tree share: the arrows of expandable rows, and the view's text
// context (a context of each row's own would cost more than the rest of the row).
struct TRowLook {
  Glib::RefPtr<Gdk::Paintable> Collapsed, Expanded;
  Glib::RefPtr<Pango::Context> Text;
};

class TFavoriteRow : public Gtk::Widget {
public:
  static constexpr int Indent = 16, ImageSize = 16, Gap = 4;

  explicit TFavoriteRow(std::shared_ptr<const TRowLook> Look);

  void Bind(const Glib::RefPtr<Gtk::TreeListRow>& Row, const Glib::ustring& Caption,
            const Glib::RefPtr<Gdk::Paintable>& Image);
  void Unbind();
  const Glib::RefPtr<Gtk::TreeListRow>& Row() const { return FRow; }
  const Glib::ustring& Caption() const { return FCaption; }
  // Whether X, in the row's coordinates, falls on the arrow of an expandable row.
  bool OnArrow(double X) const;
  // The bound row was expanded or collapsed.
  void ExpandedChanged();

protected:
  Gtk::SizeRequestMode get_request_mode_vfunc() const override;
  void measure_vfunc(Gtk::Orientation Orientation, int ForSize, int& Minimum, int& Natural,
                     int& MinimumBaseline, int& NaturalBaseline) const override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& Snapshot) override;

private:
  int ArrowX() const;

  std::shared_ptr<const TRowLook> FLook;
  Glib::RefPtr<Gtk::TreeListRow> FRow;
  Glib::ustring FCaption;
  Glib::RefPtr<Gdk::Paintable> FImage;
  Glib::RefPtr<Pango::Layout> FLayout;
};

}  // namespace vorlane::favorites
