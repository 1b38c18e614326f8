#include "app/HeadlessCommands.h"

#include <glib-unix.h>
#include <unistd.h>

#include <cstdio>

namespace vorlane::app {

std::optional<THeadlessCommand> ParseHeadlessCommand(std::string_view Line) {
  if (Line.starts_with("favorite ")) {
    Line.remove_prefix(9);
    const size_t Tab = Line.find('\t');
    if (Tab == std::string_view::npos || Tab == 0 || Tab + 1 == Line.size()) return std::nullopt;
    return THeadlessCommand{THeadlessCommand::TKind::Favorite, std::string(Line.substr(0, Tab)),
                            std::string(Line.substr(Tab + 1))};
  }
  if (Line.starts_with("option ")) {
    Line.remove_prefix(7);
    const size_t Space = Line.find(' ');
    if (Space == std::string_view::npos || Space == 0) return std::nullopt;
    std::string_view Value = Line.substr(Space + 1);
    if (Value != "0" && Value != "1") return std::nullopt;
    return THeadlessCommand{THeadlessCommand::TKind::Option, std::string(Line.substr(0, Space)), std::string(Value)};
  }
  return std::nullopt;
}

THeadlessCommandReader::THeadlessCommandReader(std::function<void(const THeadlessCommand&)> Run)
    : FRun(std::move(Run)), FWatch(g_unix_fd_add(STDIN_FILENO, GIOCondition(G_IO_IN | G_IO_HUP | G_IO_ERR),
                                                 &Readable, this)) {}

THeadlessCommandReader::~THeadlessCommandReader() {
  if (FWatch) g_source_remove(FWatch);
}

gboolean THeadlessCommandReader::Readable(gint Fd, GIOCondition, gpointer Self) {
  auto* Reader = static_cast<THeadlessCommandReader*>(Self);
  char Buffer[4096];
  const ssize_t N = ::read(Fd, Buffer, sizeof Buffer);
  if (N <= 0) {
    // The end of the input (or it cannot be read): nothing more will come.
    Reader->FWatch = 0;
    return G_SOURCE_REMOVE;
  }
  Reader->FPending.append(Buffer, static_cast<size_t>(N));
  if (Reader->FPending.size() > 65536) Reader->FPending.clear();  // no command is that long
  for (size_t End; (End = Reader->FPending.find('\n')) != std::string::npos;) {
    const std::string Line = Reader->FPending.substr(0, End);
    Reader->FPending.erase(0, End + 1);
    if (auto Command = ParseHeadlessCommand(Line))
      Reader->FRun(*Command);
    else
      std::fprintf(stderr, "vorlane: unknown command on standard input\n");
  }
  return G_SOURCE_CONTINUE;
}

}  // namespace vorlane::app
