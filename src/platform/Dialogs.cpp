#include "platform/Dialogs.h"

#include <sstream>

namespace vorlane::platform {

std::vector<FileFilter> ParseFileFilter(const std::string& Filter) {
  std::vector<std::string> Parts;
  std::string Part;
  std::istringstream In(Filter);
  while (std::getline(In, Part, '|')) Parts.push_back(Part);
  std::vector<FileFilter> Filters;
  for (size_t I = 0; I + 1 < Parts.size(); I += 2) {
    FileFilter F{Parts[I], {}};
    std::istringstream Patterns(Parts[I + 1]);
    std::string P;
    while (std::getline(Patterns, P, ';'))
      if (!P.empty()) F.Patterns.push_back(P);
    Filters.push_back(std::move(F));
  }
  return Filters;
}

}  // namespace vorlane::platform
