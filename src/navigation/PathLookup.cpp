#include "navigation/PathLookup.h"

#include <giomm/file.h>
#include <giomm/fileenumerator.h>
#include <glib.h>

#include <algorithm>

namespace vorlane::navigation {

namespace {

constexpr std::size_t MaxKnownPaths = 512;
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
  if (FResolving) FResolving->cancel();
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

void TPathProbe::Resolve(const std::string& Text, std::function<void(PathKind)> Then) {
  if (FResolving) FResolving->cancel();
  FResolving.reset();
  PathKind Known = KindOf(Text);
  if (Known != PathKind::Unknown || !LocalPathOf(Text)) {
    Then(Known);
    return;
  }
  FResolving = Gio::Cancellable::create();
  Start(Text, FResolving, std::move(Then));
}

void TPathProbe::Start(const std::string& Text, const Glib::RefPtr<Gio::Cancellable>& Cancellable,
                       std::function<void(PathKind)> Then) {
  auto Path = LocalPathOf(Text);
  if (!Path) return;
  auto File = Gio::File::create_for_path(*Path);
  std::weak_ptr<State> Weak = FState;
  File->query_info_async(
      [Weak, File, Text, Cancellable, Then](Glib::RefPtr<Gio::AsyncResult>& Result) {
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
        if (Then && S->Owner && !Cancellable->is_cancelled()) Then(Kind);
      },
      Cancellable, "standard::type");
}

// ---- TPathLister ---------------------------------------------------------------------

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

}  // namespace

struct TPathLister::State {
  TPathLister* Owner = nullptr;
  std::string Folder;  // the local folder listed (or being listed) last
  bool Complete = false;
  std::vector<std::pair<std::string, bool>> Names;  // name, is a folder
  // The latest request, answered when the listing is complete.
  struct Waiting {
    Split Text;
    std::size_t Limit;
    Done OnDone;
  };
  std::optional<Waiting> Next;

  void Answer() {
    if (!Next) return;
    auto W = std::move(*Next);
    Next.reset();
    W.OnDone(Matching(Names, W.Text, W.Limit));
  }
};

namespace {

void NextBatch(std::weak_ptr<TPathLister::State>, Glib::RefPtr<Gio::FileEnumerator>,
               Glib::RefPtr<Gio::Cancellable>);

}  // namespace

TPathLister::TPathLister() : FState(std::make_shared<State>()) { FState->Owner = this; }

TPathLister::~TPathLister() {
  FState->Owner = nullptr;
  Cancel();
}

void TPathLister::Drop() { FState->Next.reset(); }

void TPathLister::Cancel() {
  if (FPending) FPending->cancel();
  FPending.reset();
  FState->Next.reset();
  FState->Folder.clear();
  FState->Complete = false;
  FState->Names.clear();
}

bool TPathLister::Request(const std::string& Text, std::size_t Limit, Done OnDone) {
  Drop();
  auto S = SplitPath(Text);
  if (!S) return false;
  bool Same = FState->Folder == S->Local;
  FState->Next = State::Waiting{*S, Limit, std::move(OnDone)};
  if (Same && FState->Complete) {
    FState->Answer();
    return true;
  }
  // Typing on within the folder being listed only changes what the answer is filtered by.
  if (Same && FPending) return true;
  if (FPending) FPending->cancel();
  FState->Folder = S->Local;
  FState->Complete = false;
  FState->Names.clear();
  FPending = Gio::Cancellable::create();
  ++FListings;
  auto Folder = Gio::File::create_for_path(S->Local);
  std::weak_ptr<State> Weak = FState;
  auto Cancellable = FPending;
  Folder->enumerate_children_async(
      [Weak, Folder, Cancellable](Glib::RefPtr<Gio::AsyncResult>& Result) {
        Glib::RefPtr<Gio::FileEnumerator> Enumerator;
        try {
          Enumerator = Folder->enumerate_children_finish(Result);
        } catch (const Glib::Error&) {
          // An unreadable folder has no names, for the rest of the run too.
          auto St = Weak.lock();
          if (!St || !St->Owner || Cancellable->is_cancelled()) return;
          St->Complete = true;
          St->Answer();
          return;
        }
        NextBatch(Weak, Enumerator, Cancellable);
      },
      Cancellable, "standard::name,standard::type");
  return true;
}

namespace {

void NextBatch(std::weak_ptr<TPathLister::State> Weak, Glib::RefPtr<Gio::FileEnumerator> Enumerator,
               Glib::RefPtr<Gio::Cancellable> Cancellable) {
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
          St->Names.emplace_back(Info->get_name(), Info->get_file_type() == Gio::FileType::DIRECTORY);
        if (!Failed && !Infos.empty()) {
          NextBatch(Weak, Enumerator, Cancellable);
          return;
        }
        // What was read before a failure is what the folder shows for this run.
        St->Complete = true;
        std::sort(St->Names.begin(), St->Names.end());
        St->Answer();
      },
      Cancellable, NamesPerBatch);
}

}  // namespace

}  // namespace vorlane::navigation
