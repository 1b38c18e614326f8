#include "favorites/FolderListing.h"

#include <gio/gio.h>

#include "favorites/IEUtils.h"

namespace vorlane::favorites {

namespace {
struct TListJob {
  std::string Folder;
  std::function<void(std::vector<std::string>)> Done;
  std::vector<std::string> Folders;
};

void ListOnWorker(GTask* Task, gpointer, gpointer Data, GCancellable*) {
  auto* Job = static_cast<TListJob*>(Data);
  try {
    Job->Folders = ListFavoritesFolder(Job->Folder).Folders;
  } catch (const std::exception&) {
    Job->Folders.clear();  // a folder that cannot be listed has no subfolders to offer
  }
  g_task_return_boolean(Task, TRUE);
}

void Listed(GObject*, GAsyncResult* Result, gpointer) {
  auto* Job = static_cast<TListJob*>(g_task_get_task_data(G_TASK(Result)));
  if (Job->Done) Job->Done(std::move(Job->Folders));
}
}  // namespace

void ListSubfoldersInBackground(std::string Folder, std::function<void(std::vector<std::string>)> Done) {
  GTask* Task = g_task_new(nullptr, nullptr, Listed, nullptr);
  g_task_set_task_data(Task, new TListJob{std::move(Folder), std::move(Done), {}},
                       [](gpointer Data) { delete static_cast<TListJob*>(Data); });
  g_task_run_in_thread(Task, ListOnWorker);
  g_object_unref(Task);
}

}  // namespace vorlane::favorites
