#include "shell/DocumentName.h"

#include <gtest/gtest.h>

using vorlane::shell::DocumentFileName;

TEST(DocumentFileName, IsTheLastPartOfThePathDecodedWhenThatIsPrintableText) {
  struct Case { std::string Url, Name; } Cases[] = {
      {"http://a.example/img/photo.png", "photo.png"},
      {"http://a.example/doc/report.pdf?download=1#page=3", "report.pdf"},
      {"http://a.example/a#b/c.png", "a"},  // a "/" in the fragment is no path
      {"file:///home/u/%E5%9B%BE%E7%89%87.jpg", "图片.jpg"},
      {"http://a.example/a%20b.txt", "a b.txt"},
      {"http://a.example/bad%FF.png", "bad%FF.png"},      // no UTF-8: left as written
      {"http://a.example/two%0Alines.png", "two%0Alines.png"},  // no line break in a caption
      {"http://a.example/dir/", "http://a.example/dir/"},
      {"http://a.example", "http://a.example"},
      {"http://a.example?x=/y.png", "http://a.example?x=/y.png"},
      {"data:image/png;base64,iVBORw0KGgo=", "data:image/png;base64,iVBORw0KGgo="},
      {"", ""},
  };
  for (auto& C : Cases) EXPECT_EQ(DocumentFileName(C.Url), C.Name) << C.Url;
}
