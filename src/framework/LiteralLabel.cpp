#include "framework/LiteralLabel.h"

#include "platform/TextCodec.h"

#include <glib.h>

namespace vorlane::framework {

std::string LiteralLabel(std::string_view Text) { return platform::ShownText(Text); }

std::string LiteralMenuLabel(std::string_view Text) {
  std::string Out;
  for (char C : LiteralLabel(Text)) {
    if (C == '_') Out += '_';
    Out += C;
  }
  return Out;
}

}  // namespace vorlane::framework
