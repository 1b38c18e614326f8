#include "browser/DesktopAddress.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using vorlane::browser::DesktopAddress;

TEST(DesktopAddress, FixesUpWhatTheDesktopHandsOverAndRefusesTheRest) {
  auto Here = std::filesystem::path(std::getenv("HOME"));
  std::ofstream(Here / "page.html") << "<p>";
  const std::pair<std::string, std::optional<std::string>> Cases[] = {
      {"example.com", "http://example.com"},
      {"https://example.com/a?b=1#c", "https://example.com/a?b=1#c"},
      {"127.0.0.1:8080/x", "http://127.0.0.1:8080/x"},
      {"page.html", "file://" + (Here / "page.html").string()},
      {(Here / "page.html").string(), "file://" + (Here / "page.html").string()},
      {"vorlane://home.vorlane/sea.html?ver=2.x", "vorlane://home.vorlane/sea.html?ver=2.x"},
      {"javascript:alert(1)", std::nullopt},
      {"JavaScript:alert(1)", std::nullopt},
      {"word", std::nullopt},
      {"--help", std::nullopt},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"http://a.b/\nx", std::nullopt},
      {"http://a.b/" + std::string(40000, 'x'), std::nullopt},
  };
  for (auto& [Argument, Expected] : Cases) {
    SCOPED_TRACE(Argument.substr(0, 60));
    EXPECT_EQ(DesktopAddress(Argument, Here), Expected);
  }
  EXPECT_EQ(DesktopAddress("page.html", {}), "http://page.html");
}

}  // namespace
