#include "navigation/PathLookup.h"

#include <giomm/file.h>
#include <giomm/fileenumerator.h>
#include <glib.h>

#include <algorithm>

namespace vorlane::navigation {

namespace {

constexpr std::size_t MaxKnownPaths = 512;
constexpr std::size_t MaxListedNames = 20000;
constexpr int NamesPerBatch = 200;

}  // namespace

// ---- TPathProbe ----------------------------------------------------------------------

struct TPathProbe::State {
  std::unordered_map<std::string, PathKind> Known;
  TPathProbe* Owner = nullptr;
};

TPathProbe::TPathProbe() : FState(std::make_shared<State>()) { FState->Owner = this; }

TPathProbe::~TPathProbe() {
  FState->Owner = nullptr;
  Cancel();
  CancelRows();
}

void TPathProbe::Cancel() {
  if (FPending) FPending->cancel();
  FPending.reset();
}

void TPathProbe::CancelRows() {
  if (FRows) FRows->cancel();
  FRows.reset();
}

void TPathProbe::ProbeRows(const std::vector<std::string>& Texts) {
  CancelRows();
  FRows = Gio::Cancellable::create();
  for (const auto& Text : Texts) Start(Text, FRows);
}

PathKind TPathProbe::KindOf(const std::string& Text) const {
  auto It = FState->Known.find(Text);
  return It == FState->Known.end() ? PathKind::Unknown : It->second;
}

PathKind TPathProbe::Probe(const std::string& Text) {
  Cancel();
  FPending = Gio::Cancellable::create();
  Start(Text, FPending);
  return KindOf(Text);
}

void TPathProbe::Start(const std::string& Text, const Glib::RefPtr<Gio::Cancellable>& Cancellable) {
  auto Path = LocalPathOf(Text);
  if (!Path) return;
  auto File = Gio::File::create_for_path(*Path);
  std::weak_ptr<State> Weak = FState;
  File->query_info_async(
      [Weak, File, Text, Cancellable](Glib::RefPtr<Gio::AsyncResult>& Result) {
        PathKind Kind = PathKind::Missing;
        try {
          auto Info = File->query_info_finish(Result);
          Kind = Info->get_file_type() == Gio::FileType::DIRECTORY ? PathKind::Folder : PathKind::File;
        } catch (const Glib::Error&) {
        }
        auto S = Weak.lock();
        if (!S || !S->Owner || Cancellable->is_cancelled()) return;
        if (S->Known.size() >= MaxKnownPaths) S->Known.clear();
        S->Known[Text] = Kind;
        if (S->Owner->OnKnown) S->Owner->OnKnown(Text, Kind);
      },
      Cancellable, "standard::type");
}

// ---- TPathLister ---------------------------------------------------------------------

struct TPathLister::State {
  TPathLister* Owner = nullptr;
  std::string Folder;  // the local folder listed last
  bool Complete = false;
  std::vector<std::pair<std::string, bool>> Names;  // name, is a folder
};

namespace {

struct Split {
  std::string Spelled;  // the folder as the text spells it, up to its last "/"
  std::string Local;    // the local folder
  std::string Partial;  // the name being typed
};

std::optional<Split> SplitPath(const std::string& Text) {
  auto Slash = Text.rfind('/');
  if (Slash == std::string::npos || !IsPathLike(Text)) return std::nullopt;
  Split S{Text.substr(0, Slash + 1), {}, Text.substr(Slash + 1)};
  auto Local = LocalPathOf(S.Spelled);
  if (!Local) return std::nullopt;
  S.Local = *Local;
  return S;
}

bool IsUri(const std::string& Spelled) { return g_ascii_strncasecmp(Spelled.c_str(), "file:", 5) == 0; }

std::vector<std::string> Matching(const std::vector<std::pair<std::string, bool>>& Names, const Split& S,
                                  std::size_t Limit) {
  std::vector<std::string> Out;
  bool ShowHidden = S.Partial.starts_with('.');
  bool Uri = IsUri(S.Spelled);
  for (const auto& [Name, Folder] : Names) {
    if (Out.size() >= Limit) break;
    if (!Name.starts_with(S.Partial) || (Name.starts_with('.') && !ShowHidden)) continue;
    std::string Spelled = Name;
    if (Uri) {
      char* Escaped = g_uri_escape_string(Name.c_str(), nullptr, TRUE);
      Spelled = Escaped;
      g_free(Escaped);
    }
    Out.push_back(S.Spelled + Spelled + (Folder ? "/" : ""));
  }
  return Out;
}

void NextBatch(std::weak_ptr<TPathLister::State>, Glib::RefPtr<Gio::FileEnumerator>,
               Glib::RefPtr<Gio::Cancellable>, Split, std::size_t, TPathLister::Done);

}  // namespace

TPathLister::TPathLister() : FState(std::make_shared<State>()) { FState->Owner = this; }

TPathLister::~TPathLister() {
  FState->Owner = nullptr;
  Cancel();
}

void TPathLister::Cancel() {
  if (FPending) FPending->cancel();
  FPending.reset();
}

bool TPathLister::Request(const std::string& Text, std::size_t Limit, Done OnDone) {
  Cancel();
  auto S = SplitPath(Text);
  if (!S) return false;
  if (FState->Complete && FState->Folder == S->Local) {
    OnDone(Matching(FState->Names, *S, Limit));
    return true;
  }
  FState->Folder = S->Local;
  FState->Complete = false;
  FState->Names.clear();
  FPending = Gio::Cancellable::create();
  auto Folder = Gio::File::create_for_path(S->Local);
  std::weak_ptr<State> Weak = FState;
  auto Cancellable = FPending;
  Folder->enumerate_children_async(
      [Weak, Folder, Cancellable, S = *S, Limit, OnDone](Glib::RefPtr<Gio::AsyncResult>& Result) {
        Glib::RefPtr<Gio::FileEnumerator> Enumerator;
        try {
          Enumerator = Folder->enumerate_children_finish(Result);
        } catch (const Glib::Error&) {
          auto St = Weak.lock();
          if (St && St->Owner && !Cancellable->is_cancelled()) OnDone({});
          return;
        }
        NextBatch(Weak, Enumerator, Cancellable, S, Limit, OnDone);
      },
      Cancellable, "standard::name,standard::type");
  return true;
}

namespace {

void NextBatch(std::weak_ptr<TPathLister::State> Weak, Glib::RefPtr<Gio::FileEnumerator> Enumerator,
               Glib::RefPtr<Gio::Cancellable> Cancellable, Split S, std::size_t Limit, TPathLister::Done OnDone) {
  Enumerator->next_files_async(
      [=](Glib::RefPtr<Gio::AsyncResult>& Result) {
        std::vector<Glib::RefPtr<Gio::FileInfo>> Infos;
        bool Failed = false;
        try {
          Infos = Enumerator->next_files_finish(Result);
        } catch (const Glib::Error&) {
          Failed = true;
        }
        auto St = Weak.lock();
        if (!St || !St->Owner || Cancellable->is_cancelled()) return;
        for (const auto& Info : Infos)
          if (St->Names.size() < MaxListedNames)
            St->Names.emplace_back(Info->get_name(), Info->get_file_type() == Gio::FileType::DIRECTORY);
        if (!Failed && !Infos.empty()) {
          NextBatch(Weak, Enumerator, Cancellable, S, Limit, OnDone);
          return;
        }
        St->Complete = !Failed;
        std::sort(St->Names.begin(), St->Names.end());
        OnDone(Matching(St->Names, S, Limit));
      },
      Cancellable, NamesPerBatch);
}

}  // namespace

}  // namespace vorlane::navigation
