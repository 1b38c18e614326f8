#pragma once
// The print options group of the browser control: stored for whoever sets them; printing
// itself uses the engine's page setup.
#include <string>
#include <vector>

namespace vorlane::browser {

struct TMargins {
  double Left = 0, Right = 0, Top = 0, Bottom = 0;
};

enum class TPrintOrientation { poPortrait, poLandscape };

struct TPrintOptions {
  TMargins Margins;
  std::string Header;
  std::vector<std::string> HTMLHeader{"<HTML></HTML>"};
  std::string Footer;
  TPrintOrientation Orientation = TPrintOrientation::poPortrait;
};

}  // namespace vorlane::browser
