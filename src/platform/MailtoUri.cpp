#include "platform/MailtoUri.h"

namespace vorlane::platform {

namespace {

bool Unreserved(unsigned char C) {
  return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || (C >= '0' && C <= '9') || C == '-' ||
         C == '.' || C == '_' || C == '~';
}

// An address keeps its "@"; anything that could separate addresses or start the query
// ("," "?" "&" "%") is encoded.
std::string Addresses(const std::vector<std::string>& List) {
  std::string Out;
  for (const std::string& A : List) {
    if (!Out.empty()) Out += ',';
    Out += PercentEncode(A, "@");
  }
  return Out;
}

}  // namespace

std::string PercentEncode(std::string_view Text, std::string_view Keep) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string Out;
  Out.reserve(Text.size());
  for (unsigned char C : Text) {
    if (Unreserved(C) || (C != 0 && Keep.find(static_cast<char>(C)) != std::string_view::npos)) {
      Out += static_cast<char>(C);
    } else {
      Out += '%';
      Out += Hex[C >> 4];
      Out += Hex[C & 0xF];
    }
  }
  return Out;
}

std::string BuildMailtoUri(const MailtoFields& Fields) {
  std::string Uri = "mailto:" + Addresses(Fields.To);
  char Separator = '?';
  auto Add = [&](const char* Name, const std::string& Value) {
    if (Value.empty()) return;
    Uri += Separator;
    Uri += Name;
    Uri += '=';
    Uri += Value;
    Separator = '&';
  };
  Add("cc", Addresses(Fields.Cc));
  Add("bcc", Addresses(Fields.Bcc));
  Add("subject", PercentEncode(Fields.Subject));
  Add("body", PercentEncode(Fields.Body));
  return Uri;
}

}  // namespace vorlane::platform
