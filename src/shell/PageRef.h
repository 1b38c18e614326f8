#pragma once
// A page that may close while something still refers to it (an open menu, a question that
// is answered later): gives the page while it lives, null once it has gone.
#include "shell/U_WebForm.h"

#include <memory>

namespace vorlane::shell {

class TPageRef {
public:
  TPageRef() = default;
  explicit TPageRef(TFrmWeb* Page) : FPage(Page) {
    if (Page) FAlive = Page->WebBrowser->LifeToken();
  }
  TFrmWeb* Get() const { return FAlive.expired() ? nullptr : FPage; }

private:
  TFrmWeb* FPage = nullptr;
  std::weak_ptr<int> FAlive;
};

}  // namespace vorlane::shell
