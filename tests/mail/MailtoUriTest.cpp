#include "platform/MailtoUri.h"

#include <glib.h>
#include <gtest/gtest.h>
#include <map>

namespace vorlane::platform {
namespace {

// Reads a mailto: address back as a mail program would: the query split at "&", each
// value unescaped.
std::map<std::string, std::string> Headers(const std::string& Uri) {
  std::map<std::string, std::string> Out;
  size_t Query = Uri.find('?');
  Out["to"] = Uri.substr(7, Query == std::string::npos ? std::string::npos : Query - 7);
  if (Query == std::string::npos) return Out;
  gchar** Parts = g_strsplit(Uri.c_str() + Query + 1, "&", -1);
  for (gchar** P = Parts; *P; ++P) {
    std::string Part = *P;
    size_t Eq = Part.find('=');
    gchar* Value = g_uri_unescape_string(Part.substr(Eq + 1).c_str(), nullptr);
    Out[Part.substr(0, Eq)] = Value;
    g_free(Value);
  }
  g_strfreev(Parts);
  return Out;
}

TEST(MailtoUri, SubjectAndBodyArriveWhole) {
  const std::string Hostile[] = {
      "A&B?x=1#y&attach=~/.ssh/id_rsa",
      "100% sure =?utf-8?q?x?= \r\ncc: evil@example.com",
      "中文标题 & more",
      "-n --attach /etc/passwd",
  };
  for (const std::string& Title : Hostile) {
    std::string Body = "I found " + Title + "    In: http://h/?a=1&b=2#f   Please Have A look";
    std::string Uri = BuildMailtoUri({{}, {}, {}, Title, Body});
    auto H = Headers(Uri);
    EXPECT_EQ(H.size(), 3u) << Uri;
    EXPECT_EQ(H["subject"], Title);
    EXPECT_EQ(H["body"], Body);
    EXPECT_EQ(Uri.find_first_of("# \r\n"), std::string::npos) << Uri;
  }
}

TEST(MailtoUri, AddressesCannotAddRecipientsOrHeaders) {
  std::string Uri = BuildMailtoUri({{"a@x.org", "b,c@y.org?cc=z@z"}, {"d@x.org"}, {}, "", ""});
  EXPECT_EQ(Uri, "mailto:a@x.org,b%2Cc@y.org%3Fcc%3Dz@z?cc=d@x.org");
}

}  // namespace
}  // namespace vorlane::platform
