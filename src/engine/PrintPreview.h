#pragma once
// The print preview: the page printed to a PDF in a private temporary folder, shown in a
// window of its own ("打印预览"); the folder goes when the window closes, or when the
// window it belongs to goes (at quit).
#include <functional>
#include <string>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _GtkWindow GtkWindow;

namespace vorlane::engine {

struct PrintSetup;

// Prints View to a PDF on GTK's file printer and opens the preview window once it is
// written. Failed gets the error text when printing fails (not called once the view is gone).
void StartPrintPreview(WebKitWebView* View, const PrintSetup& Setup, GtkWindow* Parent,
                       std::function<void(const std::string&)> Failed);

}  // namespace vorlane::engine
