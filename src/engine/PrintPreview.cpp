#include "engine/PrintPreview.h"

#include "engine/PrintSetup.h"

#include <glibmm/main.h>
#include <gtkmm/window.h>
#include <webkit/webkit.h>

#include <filesystem>

namespace vorlane::engine {

namespace {

struct PreviewJob {
  std::string Folder;
  std::string Pdf;
  GtkWindow* Parent;
  std::function<void(const std::string&)> Failed;
  std::string Error;
};

void RemoveFolder(const std::string& Folder) {
  std::error_code Ignored;
  std::filesystem::remove_all(Folder, Ignored);
}

void ShowPreviewWindow(const PreviewJob& Job) {
  auto* Window = new Gtk::Window;
  Window->set_title("打印预览");
  Window->set_default_size(900, 700);
  if (Job.Parent) gtk_window_set_transient_for(Window->gobj(), Job.Parent);
  // An independent view: WebKit shows PDFs itself.
  auto* View = WEBKIT_WEB_VIEW(webkit_web_view_new());
  Window->set_child(*Glib::wrap(GTK_WIDGET(View)));
  GCharPtr Uri(g_filename_to_uri(Job.Pdf.c_str(), nullptr, nullptr));
  webkit_web_view_load_uri(View, Uri.get());
  std::string Folder = Job.Folder;
  Window->signal_close_request().connect(
      [Window, Folder] {
        Window->hide();
        RemoveFolder(Folder);
        Glib::signal_idle().connect_once([Window] { delete Window; });
        return true;
      },
      false);
  Window->present();
}

void Failed(WebKitPrintOperation*, GError* Error, gpointer Data) {
  static_cast<PreviewJob*>(Data)->Error = Error ? Error->message : "Printing failed";
}

void Finished(WebKitPrintOperation* Operation, gpointer Data) {
  std::unique_ptr<PreviewJob> Job(static_cast<PreviewJob*>(Data));
  g_signal_handlers_disconnect_by_data(Operation, Data);
  if (Job->Parent) g_object_remove_weak_pointer(G_OBJECT(Job->Parent), reinterpret_cast<gpointer*>(&Job->Parent));
  std::error_code Missing;
  if (Job->Error.empty() && !std::filesystem::exists(Job->Pdf, Missing)) Job->Error = "The preview was not written";
  // GTK lists every file it prints to among the recently used: not so our scratch copy.
  GCharPtr PdfUri(g_filename_to_uri(Job->Pdf.c_str(), nullptr, nullptr));
  gtk_recent_manager_remove_item(gtk_recent_manager_get_default(), PdfUri.get(), nullptr);
  if (Job->Error.empty()) {
    ShowPreviewWindow(*Job);
  } else {
    RemoveFolder(Job->Folder);
    if (Job->Failed) Job->Failed(Job->Error);
  }
  g_object_unref(Operation);  // our reference from StartPrintPreview
}

}  // namespace

void StartPrintPreview(WebKitWebView* View, const PrintSetup& Setup, GtkWindow* Parent,
                       std::function<void(const std::string&)> OnFailure) {
  GErrorSlot Error;
  GCharPtr Folder(g_dir_make_tmp("vorlane-preview-XXXXXX", &Error));  // mode 0700
  if (!Folder) {
    if (OnFailure) OnFailure(Error ? Error->message : "No temporary folder");
    return;
  }
  std::string Pdf = std::string(Folder.get()) + "/preview.pdf";
  auto Settings = GObjectPtr<GtkPrintSettings>::Adopt(
      Setup.Settings ? gtk_print_settings_copy(Setup.Settings.Get()) : gtk_print_settings_new());
  GCharPtr PdfUri(g_filename_to_uri(Pdf.c_str(), nullptr, nullptr));
  gtk_print_settings_set_printer(Settings.Get(), "Print to File");
  gtk_print_settings_set(Settings.Get(), GTK_PRINT_SETTINGS_OUTPUT_FILE_FORMAT, "pdf");
  gtk_print_settings_set(Settings.Get(), GTK_PRINT_SETTINGS_OUTPUT_URI, PdfUri.get());

  WebKitPrintOperation* Operation = webkit_print_operation_new(View);
  webkit_print_operation_set_print_settings(Operation, Settings.Get());
  if (Setup.PageSetup) webkit_print_operation_set_page_setup(Operation, Setup.PageSetup.Get());
  auto* Job = new PreviewJob{Folder.get(), Pdf, Parent, std::move(OnFailure), {}};
  // The main window may go before the PDF is written.
  if (Parent) g_object_add_weak_pointer(G_OBJECT(Parent), reinterpret_cast<gpointer*>(&Job->Parent));
  g_signal_connect(Operation, "failed", G_CALLBACK(Failed), Job);
  g_signal_connect(Operation, "finished", G_CALLBACK(Finished), Job);
  webkit_print_operation_print(Operation);
}

}  // namespace vorlane::engine
