// The history store with 100,000 visits over 20 days on 2,000 sites: how long each level
// of the history list takes to produce its rows, and what recording one visit costs.
// Floors measured in the same run on the same file: one indexed row read, and one row
// written by a bare INSERT in its own transaction.
#include "navigation/HistoryBrowser.h"
#include "platform/HistoryStore.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>

namespace {

using namespace vorlane;
using Clock = std::chrono::system_clock;

constexpr int Visits = 100000;
constexpr int Sites = 2000;
constexpr int Days = 20;

std::filesystem::path ScratchFile() {
  std::string Template = (std::filesystem::temp_directory_path() / "vorlane-history-bench-XXXXXX").string();
  if (!::mkdtemp(Template.data())) std::abort();
  return std::filesystem::path(Template) / "history.sqlite";
}

// Visits spread evenly over the last 20 days; sites drawn with a skew (a few sites get
// many visits, as in real browsing), pages a few per site.
void Fill(platform::THistoryStore& Store, Clock::time_point& Now, Clock::time_point End) {
  std::mt19937 Random(42);
  std::vector<double> Weights;
  for (int I = 0; I < Sites; ++I) Weights.push_back(1.0 / (1 + I % 200));
  std::discrete_distribution<int> SiteOf(Weights.begin(), Weights.end());
  const auto Step = std::chrono::duration_cast<Clock::duration>(std::chrono::hours(24 * Days)) / Visits;
  Now = End - std::chrono::hours(24 * Days) + std::chrono::minutes(1);
  for (int I = 0; I < Visits; ++I, Now += Step) {
    int Site = SiteOf(Random);
    std::string Url = "https://site" + std::to_string(Site) + ".example.com/page/" + std::to_string(Random() % 25);
    int64_t Id = Store.AddVisit(Url, "");
    Store.SetVisitTitle(Id, "Page " + std::to_string(I % 25) + " of site " + std::to_string(Site));
  }
  Now = End;
}

struct Fixture {
  std::filesystem::path File = ScratchFile();
  Clock::time_point Now;
  std::unique_ptr<platform::THistoryStore> Store;
  platform::THistoryPath Week, Site;

  Fixture() {
    Clock::time_point End = Clock::now();
    Store = std::make_unique<platform::THistoryStore>(File, [this] { return Now; });
    Fill(*Store, Now, End);
    navigation::THistoryBrowser Browser(*Store);
    Browser.BrowseFolder({});
    // The biggest period (a whole week, when there is one) and its busiest site.
    for (auto& E : Browser.Entries())
      if (E.Item.DisplayName == "上周") Week = {E.Item.Id};
    if (Week.empty()) Week = {Browser.Entries().front().Item.Id};
    Site = Week;
    Site.push_back("s:site0.example.com");
    std::printf("history: %d visits, %zu periods, file %.1f MB\n", Visits, Browser.Entries().size(),
                static_cast<double>(std::filesystem::file_size(File)) / 1e6);
  }
  ~Fixture() {
    Store.reset();
    std::error_code Ec;
    std::filesystem::remove_all(File.parent_path(), Ec);
  }
};

void ListLevel(benchmark::State& State, Fixture& F, const platform::THistoryPath& Path) {
  navigation::THistoryBrowser Browser(*F.Store);
  for (auto _ : State) {
    if (!Browser.BrowseFolder(Path)) State.SkipWithError("no folder");
    benchmark::DoNotOptimize(Browser.Entries().data());
  }
  State.counters["rows"] = static_cast<double>(Browser.Entries().size());
}

}  // namespace

int main(int argc, char** argv) {
  Fixture F;
  sqlite3* Raw = nullptr;
  sqlite3_open(F.File.c_str(), &Raw);
  // The same durability as the store: WAL without a sync per commit.
  sqlite3_exec(Raw, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
  sqlite3_exec(Raw, "CREATE TABLE IF NOT EXISTS floor(id INTEGER PRIMARY KEY, url TEXT)", nullptr, nullptr, nullptr);

  auto Ms = benchmark::kMillisecond;
  auto Us = benchmark::kMicrosecond;
  benchmark::RegisterBenchmark("history_level_periods", [&](auto& S) { ListLevel(S, F, {}); })->Unit(Ms);
  benchmark::RegisterBenchmark("history_level_sites_of_a_week", [&](auto& S) { ListLevel(S, F, F.Week); })->Unit(Ms);
  benchmark::RegisterBenchmark("history_level_pages_of_a_site", [&](auto& S) { ListLevel(S, F, F.Site); })->Unit(Ms);
  for (const char* Prefix : {"site12", "https://site7", "nothing.matches"})
    benchmark::RegisterBenchmark((std::string("history_suggest/") + Prefix).c_str(), [&, Prefix](auto& S) {
      for (auto _ : S) benchmark::DoNotOptimize(F.Store->SuggestAddresses(Prefix, 10));
    })->Unit(Ms);
  // The history list's search box: as many rows as the list takes. Three characters or
  // more go through the index; shorter ones walk the visits newest first.
  for (const char* Text : {"site12", "of site 7", "nothing.matches", "pa", "zq"})
    benchmark::RegisterBenchmark((std::string("history_search/") + Text).c_str(), [&, Text](auto& S) {
      size_t Rows = 0;
      for (auto _ : S) Rows = F.Store->SearchPages(Text, navigation::THistoryBrowser::MaxFound).size();
      S.counters["rows"] = static_cast<double>(Rows);
    })->Unit(Ms);
  benchmark::RegisterBenchmark("history_floor_indexed_read", [&](benchmark::State& S) {
    sqlite3_stmt* Q = nullptr;
    sqlite3_prepare_v2(Raw, "SELECT url FROM visits WHERE id = ?1", -1, &Q, nullptr);
    int64_t Id = 1;
    for (auto _ : S) {
      sqlite3_bind_int64(Q, 1, Id++ % Visits + 1);
      benchmark::DoNotOptimize(sqlite3_step(Q));
      sqlite3_reset(Q);
    }
    sqlite3_finalize(Q);
  })->Unit(Us);
  benchmark::RegisterBenchmark("history_record_visit", [&](benchmark::State& S) {
    int N = 0;
    for (auto _ : S) {
      int64_t Id = F.Store->AddVisit("https://new" + std::to_string(N % 50) + ".example.org/x", "");
      F.Store->SetVisitTitle(Id, "New page " + std::to_string(N++));
    }
  })->Unit(Us);
  benchmark::RegisterBenchmark("history_floor_raw_insert", [&](benchmark::State& S) {
    sqlite3_stmt* Q = nullptr;
    sqlite3_prepare_v2(Raw, "INSERT INTO floor(url) VALUES('https://floor.example/')", -1, &Q, nullptr);
    for (auto _ : S) {
      benchmark::DoNotOptimize(sqlite3_step(Q));
      sqlite3_reset(Q);
    }
    sqlite3_finalize(Q);
  })->Unit(Us);

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::AddCustomContext("targets", "each level and each search <= 30 ms median; recording a visit <= 1 ms");
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  sqlite3_close(Raw);
  return 0;
}
