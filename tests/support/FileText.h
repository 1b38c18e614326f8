#pragma once
// A whole file as bytes, for tests that check what was written; empty when it cannot be read.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace vorlane::test {

inline std::string FileText(const std::filesystem::path& File) {
  std::ifstream In(File, std::ios::binary);
  std::ostringstream Text;
  Text << In.rdbuf();
  return Text.str();
}

}  // namespace vorlane::test
