#pragma once
// "mailto:" addresses (RFC 6068). Every field is percent-encoded as UTF-8, so text a page
// controls (its title, its address) can never add a header, end the body early or name an
// attachment.
#include <string>
#include <string_view>
#include <vector>

namespace vorlane::platform {

struct MailtoFields {
  std::vector<std::string> To, Cc, Bcc;
  std::string Subject, Body;
};

// Every byte outside the unreserved set (letters, digits, "-._~") and Keep becomes %XX.
std::string PercentEncode(std::string_view Text, std::string_view Keep = {});

// "mailto:" + the To addresses joined by commas + "?cc=…&bcc=…&subject=…&body=…"; empty
// fields are left out.
std::string BuildMailtoUri(const MailtoFields& Fields);

}  // namespace vorlane::platform
