// Runs a fuzz target without libFuzzer: over every file of the given folders, then over a
// fixed number of deterministic mutations of them. Used by the ordinary test run, so that
// the properties are checked on every machine, with any compiler.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size);

namespace {

class Random {
public:
  std::uint64_t Next() {
    FState ^= FState << 13;
    FState ^= FState >> 7;
    FState ^= FState << 17;
    return FState;
  }
  std::size_t Below(std::size_t N) { return N ? static_cast<std::size_t>(Next() % N) : 0; }

private:
  std::uint64_t FState = 0x9E3779B97F4A7C15ull;
};

const std::string Tokens[] = {"<DT><H3>", "</H3>", "<DL><p>", "</DL><p>", "<DT><A HREF=\"", "\">", "</A>",
                              "http://", "HTTPS://", "&#", "&amp;", ";", "\"", "'", ">", "<", "/", "..",
                              ".", "\r\n", "\n", "\r", "[InternetShortcut]", "URL=", "=", " ", "\t",
                              "\xD6\xD0", "\xE4\xB8\xAD", std::string(300, 'x'), "[ViewFolder(", ")]", ",", ":",
                              "-", "12345678901234567890"};

std::string Mutate(std::string S, Random& R) {
  int Steps = 1 + static_cast<int>(R.Below(8));
  for (int I = 0; I < Steps; ++I) {
    switch (R.Below(4)) {
      case 0:
        if (!S.empty()) S[R.Below(S.size())] = static_cast<char>(R.Next());
        break;
      case 1:
        if (!S.empty()) S.erase(R.Below(S.size()), 1 + R.Below(16));
        break;
      case 2: {
        const std::string& T = Tokens[R.Below(std::size(Tokens))];
        S.insert(R.Below(S.size() + 1), T);
        break;
      }
      default:
        if (!S.empty()) {
          std::size_t From = R.Below(S.size());
          std::string Piece = S.substr(From, 1 + R.Below(64));
          S.insert(R.Below(S.size() + 1), Piece);
        }
    }
  }
  return S;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> Inputs{""};
  int Mutations = 20000;
  for (int A = 1; A < argc; ++A) {
    std::string Arg = argv[A];
    if (Arg.rfind("--mutations=", 0) == 0) {
      Mutations = std::atoi(Arg.c_str() + 12);
      continue;
    }
    for (auto& E : std::filesystem::recursive_directory_iterator(Arg)) {
      if (!E.is_regular_file()) continue;
      std::ifstream In(E.path(), std::ios::binary);
      std::stringstream S;
      S << In.rdbuf();
      Inputs.push_back(S.str());
    }
  }
  auto Run = [](const std::string& S) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(S.data()), S.size());
  };
  for (const std::string& S : Inputs) Run(S);
  Random R;
  for (int I = 0; I < Mutations; ++I) Run(Mutate(Inputs[R.Below(Inputs.size())], R));
  std::printf("%zu inputs and %d mutations checked\n", Inputs.size(), Mutations);
  return 0;
}
