#include "app/Snapshot.h"

#include <gtk/gtk.h>
#include <gtkmm/snapshot.h>

namespace vorlane::app {

WindowSnapshot::WindowSnapshot(Gtk::Window& Window) : FWindow(Window) {
  if (Gtk::Widget* Content = Window.get_child()) {
    FPaintable = Gtk::WidgetPaintable::create(*Content);
    Content->queue_draw();
  }
}

bool WindowSnapshot::SaveAsPng(const std::string& PngPath) {
  Gtk::Widget* Content = FWindow.get_child();
  GskRenderer* Renderer = gtk_native_get_renderer(GTK_NATIVE(FWindow.gobj()));
  if (!FPaintable || !Content || !Renderer) return false;
  int Width = Content->get_width(), Height = Content->get_height();
  if (Width <= 0 || Height <= 0) return false;
  GtkSnapshot* Snapshot = gtk_snapshot_new();
  gdk_paintable_snapshot(GDK_PAINTABLE(FPaintable->gobj()), Snapshot, Width, Height);
  GskRenderNode* Node = gtk_snapshot_free_to_node(Snapshot);
  if (!Node) return false;
  graphene_rect_t Bounds = GRAPHENE_RECT_INIT(0, 0, static_cast<float>(Width), static_cast<float>(Height));
  GdkTexture* Texture = gsk_renderer_render_texture(Renderer, Node, &Bounds);
  bool Saved = Texture && gdk_texture_save_to_png(Texture, PngPath.c_str());
  if (Texture) g_object_unref(Texture);
  gsk_render_node_unref(Node);
  return Saved;
}

}  // namespace vorlane::app
