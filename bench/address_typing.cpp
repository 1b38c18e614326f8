// Typing into the address box with 25 typed addresses and 10,000 history candidates: the
// time each keystroke takes to update the suggestions (median and 90th percentile of 200
// keystrokes), beside a floor measured in the same run: a bare prefix scan of the same
// candidates with nothing shown.
#include "navigation/IEAddress.h"
#include "navigation/TypedUrls.h"
#include "platform/Registry.h"

#include <glib.h>
#include <gtk/gtk.h>
#include <gtkmm/init.h>
#include <gtkmm/window.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace vorlane;

constexpr int Keystrokes = 200;

double Millis(Clock::duration D) { return std::chrono::duration<double, std::milli>(D).count(); }

struct Figures {
  double Median, P90;
};

Figures Summarise(std::vector<double> Times) {
  std::sort(Times.begin(), Times.end());
  return {Times[Times.size() / 2], Times[Times.size() * 9 / 10]};
}

void PumpPending() {
  while (g_main_context_pending(nullptr)) g_main_context_iteration(nullptr, FALSE);
}

// What the user types: words that run into many candidates, each typed afresh.
std::vector<std::string> Words() {
  return {"site1", "www.site2", "http://site3", "example", "site12", "https://www.site45", "nomatch.cn"};
}

}  // namespace

int main() {
  if (!gtk_init_check()) {
    std::fprintf(stderr, "address_typing: no display\n");
    return 1;
  }
  Gtk::init_gtkmm_internals();
  char Template[] = "/tmp/vorlane-bench-XXXXXX";
  std::filesystem::path Scratch = g_mkdtemp(Template);
  platform::Registry Registry(Scratch);
  for (int I = 1; I <= 25; ++I)
    Registry.WriteString(platform::RootKey::CurrentUser, navigation::TypedUrlsKey, "Url" + std::to_string(I),
                         "http://site" + std::to_string(I * 7) + ".example.com/typed");
  std::vector<std::string> Candidates;
  for (int I = 0; I < 10000; ++I)
    Candidates.push_back((I % 3 ? "http://site" : "https://www.site") + std::to_string(I) + ".example.com/page/" +
                         std::to_string(I * 31 % 997));
  navigation::TStringListSource History(Candidates);

  Gtk::Window Window;
  navigation::TIEAddress Box(&Registry);
  Box.SetHistorySource(&History);
  Window.set_child(Box);
  Window.set_default_size(800, 60);
  Window.present();
  while (Box.get_width() == 0) g_main_context_iteration(nullptr, TRUE);
  Box.grab_focus();

  std::vector<double> Update, WithPending, Floor;
  const auto Typed = Words();
  for (std::size_t W = 0; Update.size() < Keystrokes; ++W) {
    const std::string& Word = Typed[W % Typed.size()];
    Box.SetCurrentUrl("", true);
    for (std::size_t Length = 1; Length <= Word.size() && Update.size() < Keystrokes; ++Length) {
      int Position = static_cast<int>(Length - 1);
      auto Start = Clock::now();
      Box.insert_text(Word.substr(Length - 1, 1), 1, Position);  // the user's keystroke
      Update.push_back(Millis(Clock::now() - Start));
      PumpPending();
      WithPending.push_back(Millis(Clock::now() - Start));

      std::string Prefix = Word.substr(0, Length);
      Start = Clock::now();
      std::size_t Hits = 0;
      for (const auto& C : Candidates)
        if (g_ascii_strncasecmp(C.c_str(), Prefix.c_str(), Prefix.size()) == 0 && ++Hits >= 20) break;
      Floor.push_back(Millis(Clock::now() - Start));
    }
  }
  Figures U = Summarise(Update), P = Summarise(WithPending), F = Summarise(Floor);
  std::printf("address_typing: %d keystrokes, 25 typed addresses, %zu candidates\n", Keystrokes, Candidates.size());
  std::printf("  suggestion update  median %.3f ms  p90 %.3f ms  (target: median <= 5 ms)\n", U.Median, U.P90);
  std::printf("  with the main loop's pending work  median %.3f ms  p90 %.3f ms\n", P.Median, P.P90);
  std::printf("  floor (bare scan)  median %.3f ms  p90 %.3f ms\n", F.Median, F.P90);
  Window.unset_child();
  std::filesystem::remove_all(Scratch);
  return 0;
}
