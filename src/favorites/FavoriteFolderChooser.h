#pragma once
// Where a new favorite goes: the Favorites folder and its folders as a tree. A level is
// listed on a worker thread when it is first opened (the top level at once), so that a
// large Favorites folder costs the UI thread nothing while the add dialog opens.
#include <giomm/liststore.h>
#include <gtkmm/listitem.h>
#include <gtkmm/listview.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/singleselection.h>
#include <gtkmm/treelistmodel.h>

#include <map>
#include <memory>
#include <string>

namespace vorlane::favorites {

class TFolderNode : public Glib::Object {
public:
  static Glib::RefPtr<TFolderNode> create(std::string Name, std::string Path);
  std::string Name, Path;  // the name on disk; the folder's absolute path
  Glib::RefPtr<Gio::ListStore<TFolderNode>> Children;
  bool Asked = false;  // its listing was started

protected:
  TFolderNode(std::string Name, std::string Path);
};

class TFavoriteFolderChooser : public Gtk::ScrolledWindow {
public:
  explicit TFavoriteFolderChooser(const std::string& Root);
  ~TFavoriteFolderChooser() override;

  // The chosen folder; the Favorites folder when nothing is chosen.
  std::string Selected() const;
  // The rows shown, as the user sees them.
  unsigned RowCount() const { return FModel->get_n_items(); }
  std::string PathAt(unsigned Position) const;
  void Select(unsigned Position) { FSelection->set_selected(Position); }
  // Opens the row at Position, as its expander does (its folder is listed once).
  void Expand(unsigned Position);
  // Levels being listed now.
  int Listing() const { return FListing; }

private:
  void List(const Glib::RefPtr<TFolderNode>& Node);
  TFolderNode* NodeAt(unsigned Position) const;

  Glib::RefPtr<Gio::ListStore<TFolderNode>> FTop;
  Glib::RefPtr<Gtk::TreeListModel> FModel;
  Glib::RefPtr<Gtk::SingleSelection> FSelection;
  Gtk::ListView FView;
  std::map<Gtk::ListItem*, sigc::connection> FExpandWatch;
  std::shared_ptr<int> FAlive = std::make_shared<int>(0);
  int FListing = 0;
};

}  // namespace vorlane::favorites
