#include "platform/AsyncFile.h"

#include <gio/gio.h>
#include <memory>

namespace vorlane::platform {

namespace {

struct Writing {
  std::function<void(std::optional<std::string>)> Done;
};

void Written(GObject* Source, GAsyncResult* Result, gpointer Data) {
  std::unique_ptr<Writing> W(static_cast<Writing*>(Data));
  GError* Error = nullptr;
  std::optional<std::string> Failure;
  if (!g_file_replace_contents_finish(G_FILE(Source), Result, nullptr, &Error)) {
    Failure = Error ? Error->message : "write failed";
    if (Error) g_error_free(Error);
  }
  if (W->Done) W->Done(Failure);
}

}  // namespace

void WriteFileAsync(const std::string& Path, std::string Contents,
                    std::function<void(std::optional<std::string>)> Done) {
  GFile* File = g_file_new_for_path(Path.c_str());
  auto* Copy = new std::string(std::move(Contents));
  GBytes* Bytes = g_bytes_new_with_free_func(Copy->data(), Copy->size(),
                                             [](gpointer P) { delete static_cast<std::string*>(P); }, Copy);
  g_file_replace_contents_bytes_async(File, Bytes, nullptr, FALSE, G_FILE_CREATE_NONE, nullptr, Written,
                                      new Writing{std::move(Done)});
  g_bytes_unref(Bytes);
  g_object_unref(File);
}

}  // namespace vorlane::platform
