#include "platform/ConsoleDialogs.h"

namespace vorlane::platform {

std::string ConsoleDialogs::ConsoleText(const std::string& Text) {
  std::string Out;
  for (size_t I = 0; I < Text.size(); ++I) {
    char C = Text[I];
    if (C == '\r' || C == '\n') {
      Out += '\n';
      // A pair of different break characters is one break.
      if (I + 1 < Text.size() && (Text[I + 1] == '\r' || Text[I + 1] == '\n') && Text[I + 1] != C) ++I;
      continue;
    }
    Out += C;
  }
  if (Out.empty() || Out.back() != '\n') Out += '\n';
  return Out;
}

void ConsoleDialogs::ShowMessage(MessageKind Kind, const std::string& Caption,
                                 const std::string& Text, MessageButtons Buttons,
                                 ResultCallback Done) {
  std::string Shown = ConsoleText(Text);
  std::fwrite(Shown.data(), 1, Shown.size(), FOut);
  std::fflush(FOut);
  if (!Done) return;
  switch (Buttons) {
    case MessageButtons::Ok: Done(MessageResult::Ok); break;
    case MessageButtons::OkCancel: Done(MessageResult::Cancel); break;
    case MessageButtons::YesNo: Done(MessageResult::No); break;
  }
}

void ConsoleDialogs::InputBox(const std::string&, const std::string&, const std::string&,
                              TextCallback Done) {
  if (Done) Done(std::nullopt);
}

void ConsoleDialogs::OpenFile(const std::string&, const std::string&,
                              const std::vector<FileFilter>&, TextCallback Done) {
  if (Done) Done(std::nullopt);
}

void ConsoleDialogs::SaveFile(const std::string&, const std::string&,
                              const std::vector<FileFilter>&, TextCallback Done) {
  if (Done) Done(std::nullopt);
}

}  // namespace vorlane::platform
