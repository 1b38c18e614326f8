#include "app/Snapshot.h"

#include <gtk/gtk.h>

namespace vorlane::app {

bool SaveWindowSnapshot(Gtk::Window& Window, const std::string& PngPath) {
  GtkWidget* Widget = GTK_WIDGET(Window.gobj());
  int Width = gtk_widget_get_width(Widget), Height = gtk_widget_get_height(Widget);
  GskRenderer* Renderer = gtk_native_get_renderer(GTK_NATIVE(Widget));
  if (Width <= 0 || Height <= 0 || !Renderer) return false;
  GdkPaintable* Paintable = gtk_widget_paintable_new(Widget);
  GtkSnapshot* Snapshot = gtk_snapshot_new();
  gdk_paintable_snapshot(Paintable, Snapshot, Width, Height);
  GskRenderNode* Node = gtk_snapshot_free_to_node(Snapshot);
  bool Saved = false;
  if (Node) {
    graphene_rect_t Bounds = GRAPHENE_RECT_INIT(0, 0, static_cast<float>(Width), static_cast<float>(Height));
    GdkTexture* Texture = gsk_renderer_render_texture(Renderer, Node, &Bounds);
    Saved = Texture && gdk_texture_save_to_png(Texture, PngPath.c_str());
    if (Texture) g_object_unref(Texture);
    gsk_render_node_unref(Node);
  }
  g_object_unref(Paintable);
  return Saved;
}

}  // namespace vorlane::app
