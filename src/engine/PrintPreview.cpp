#include "engine/PrintPreview.h"

#include "engine/PrintSetup.h"

#include <glibmm/main.h>
#include <gtk/gtkunixprint.h>
#include <webkit/webkit.h>

#include <cstring>
#include <filesystem>

namespace vorlane::engine {

namespace {

struct PreviewJob {
  std::string Folder;
  std::string Pdf;
  WebKitWebView* View;  // weak: the page may close while the printers are listed
  GtkWindow* Parent;    // weak
  PrintSetup Setup;
  std::function<void(const std::string&)> Failed;
  std::string Printer;
  std::string Error;

  ~PreviewJob() {
    if (View) g_object_remove_weak_pointer(G_OBJECT(View), reinterpret_cast<gpointer*>(&View));
    if (Parent) g_object_remove_weak_pointer(G_OBJECT(Parent), reinterpret_cast<gpointer*>(&Parent));
  }
};

void RemoveFolder(const std::string& Folder) {
  std::error_code Ignored;
  std::filesystem::remove_all(Folder, Ignored);
}

// GTK names its file printer with translated text ("打印到文件" in Chinese) and WebKit finds
// printers by name: the printer is recognised by its backend, never by its caption.
bool PrintsToFile(GtkPrinter* Printer) {
  GtkPrintBackend* Backend = gtk_printer_get_backend(Printer);
  return Backend && std::strcmp(G_OBJECT_TYPE_NAME(Backend), "GtkPrintBackendFile") == 0;
}

void ShowPreviewWindow(const PreviewJob& Job) {
  GtkWindow* Window = GTK_WINDOW(gtk_window_new());
  gtk_window_set_title(Window, "打印预览");
  gtk_window_set_default_size(Window, 900, 700);
  if (Job.Parent) {
    gtk_window_set_transient_for(Window, Job.Parent);
    // The main window goes at quit: the preview, and so its folder, go with it.
    gtk_window_set_destroy_with_parent(Window, TRUE);
  }
  // An independent view: WebKit shows PDFs itself.
  auto* View = WEBKIT_WEB_VIEW(webkit_web_view_new());
  gtk_window_set_child(Window, GTK_WIDGET(View));
  GCharPtr Uri(g_filename_to_uri(Job.Pdf.c_str(), nullptr, nullptr));
  webkit_web_view_load_uri(View, Uri.get());
  g_signal_connect_data(
      Window, "destroy", G_CALLBACK(+[](GtkWidget*, gpointer Folder) { RemoveFolder(static_cast<char*>(Folder)); }),
      g_strdup(Job.Folder.c_str()), [](gpointer Folder, GClosure*) { g_free(Folder); }, GConnectFlags(0));
  gtk_window_present(Window);
}

void Failed(WebKitPrintOperation*, GError* Error, gpointer Data) {
  static_cast<PreviewJob*>(Data)->Error = Error ? Error->message : "Printing failed";
}

void Finished(WebKitPrintOperation* Operation, gpointer Data) {
  std::unique_ptr<PreviewJob> Job(static_cast<PreviewJob*>(Data));
  g_signal_handlers_disconnect_by_data(Operation, Data);
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
  g_object_unref(Operation);  // our reference from PrintToFile
}

void PrintToFile(std::unique_ptr<PreviewJob> Job) {
  auto Settings = GObjectPtr<GtkPrintSettings>::Adopt(
      Job->Setup.Settings ? gtk_print_settings_copy(Job->Setup.Settings.Get()) : gtk_print_settings_new());
  GCharPtr PdfUri(g_filename_to_uri(Job->Pdf.c_str(), nullptr, nullptr));
  gtk_print_settings_set_printer(Settings.Get(), Job->Printer.c_str());
  gtk_print_settings_set(Settings.Get(), GTK_PRINT_SETTINGS_OUTPUT_FILE_FORMAT, "pdf");
  gtk_print_settings_set(Settings.Get(), GTK_PRINT_SETTINGS_OUTPUT_URI, PdfUri.get());

  WebKitPrintOperation* Operation = webkit_print_operation_new(Job->View);
  webkit_print_operation_set_print_settings(Operation, Settings.Get());
  if (Job->Setup.PageSetup) webkit_print_operation_set_page_setup(Operation, Job->Setup.PageSetup.Get());
  PreviewJob* Raw = Job.release();
  g_signal_connect(Operation, "failed", G_CALLBACK(Failed), Raw);
  g_signal_connect(Operation, "finished", G_CALLBACK(Finished), Raw);
  webkit_print_operation_print(Operation);
}

// Runs once the printers are listed (the file printer stops the listing at once).
void PrintersListed(gpointer Data) {
  std::unique_ptr<PreviewJob> Job(static_cast<PreviewJob*>(Data));
  if (!Job->View) return RemoveFolder(Job->Folder);  // the page went meanwhile
  if (Job->Printer.empty()) {
    RemoveFolder(Job->Folder);
    if (Job->Failed) Job->Failed("GTK's file printer is not available");
    return;
  }
  // Outside the listing: it frees its state after this returns.
  Glib::signal_idle().connect_once([Raw = Job.release()] {
    std::unique_ptr<PreviewJob> Job(Raw);
    if (!Job->View) return RemoveFolder(Job->Folder);
    PrintToFile(std::move(Job));
  });
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
  auto* Job = new PreviewJob{Folder.get(), std::string(Folder.get()) + "/preview.pdf", View, Parent, Setup,
                             std::move(OnFailure), {}, {}};
  g_object_add_weak_pointer(G_OBJECT(View), reinterpret_cast<gpointer*>(&Job->View));
  // The main window may go before the PDF is written.
  if (Parent) g_object_add_weak_pointer(G_OBJECT(Parent), reinterpret_cast<gpointer*>(&Job->Parent));
  gtk_enumerate_printers(
      [](GtkPrinter* Printer, gpointer Data) -> gboolean {
        if (!PrintsToFile(Printer)) return FALSE;
        static_cast<PreviewJob*>(Data)->Printer = gtk_printer_get_name(Printer);
        return TRUE;
      },
      Job, PrintersListed, FALSE);
}

}  // namespace vorlane::engine
