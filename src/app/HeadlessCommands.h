#pragma once
// Commands on standard input, read when VORLANE_COMMANDS=1: endurance tests and benchmarks
// make the running browser save what a user's work saves, at moments they choose, without
// a hand on the mouse. One command a line:
//   favorite NAME<TAB>ADDRESS   adds a favorite to the Favorites folder, as the add dialog does
//   option NAME 0|1             sets one of the browser's options (kept in the registry file)
#include <glib.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vorlane::app {

struct THeadlessCommand {
  enum class TKind { Favorite, Option } Kind;
  std::string Name;
  std::string Value;  // the address, or "0"/"1"
};

std::optional<THeadlessCommand> ParseHeadlessCommand(std::string_view Line);

// Reads standard input on the main loop until it ends or this goes; Run gets each command.
class THeadlessCommandReader {
public:
  explicit THeadlessCommandReader(std::function<void(const THeadlessCommand&)> Run);
  ~THeadlessCommandReader();
  THeadlessCommandReader(const THeadlessCommandReader&) = delete;
  THeadlessCommandReader& operator=(const THeadlessCommandReader&) = delete;

private:
  static gboolean Readable(gint Fd, GIOCondition Condition, gpointer Self);

  std::function<void(const THeadlessCommand&)> FRun;
  std::string FPending;  // the start of a line not yet complete
  guint FWatch = 0;
};

}  // namespace vorlane::app
