#include "platform/IniFile.h"

#include "platform/TextCodec.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <glib.h>
#include <fcntl.h>
#include <stdio.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vorlane::platform {
namespace {

class Fd {
public:
  explicit Fd(int Value = -1) : FValue(Value) {}
  ~Fd() { Reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  Fd& operator=(Fd&& Other) noexcept {
    if (this != &Other) {
      Reset();
      FValue = Other.FValue;
      Other.FValue = -1;
    }
    return *this;
  }
  int Get() const { return FValue; }
  bool Valid() const { return FValue >= 0; }
  // Closes now and reports whether the close succeeded (a late write error shows here).
  bool Close() {
    int V = FValue;
    FValue = -1;
    return V < 0 || ::close(V) == 0;
  }
  void Reset() {
    if (FValue >= 0) ::close(FValue);
    FValue = -1;
  }

private:
  int FValue;
};

bool IsBlank(char C) { return C == ' ' || C == '\t'; }

std::string_view Trim(std::string_view S) {
  while (!S.empty() && IsBlank(S.front())) S.remove_prefix(1);
  while (!S.empty() && IsBlank(S.back())) S.remove_suffix(1);
  return S;
}

bool SameName(std::string_view A, std::string_view B) {
  if (A.size() != B.size()) return false;
  for (size_t I = 0; I < A.size(); ++I) {
    unsigned char X = A[I], Y = B[I];
    if (X >= 'A' && X <= 'Z') X = X - 'A' + 'a';
    if (Y >= 'A' && Y <= 'Z') Y = Y - 'A' + 'a';
    if (X != Y) return false;
  }
  return true;
}

// One line of the text: its content without the line end, and where the line (with its
// end) starts and stops in the text.
struct Line {
  std::string_view Content;
  size_t Begin;
  size_t End;  // one past the line end
  bool HasBreak;
};

std::vector<Line> SplitLines(std::string_view Text) {
  std::vector<Line> Lines;
  size_t Pos = 0;
  while (Pos < Text.size()) {
    size_t Lf = Text.find('\n', Pos);
    size_t Stop = Lf == std::string_view::npos ? Text.size() : Lf;
    std::string_view Content = Text.substr(Pos, Stop - Pos);
    if (!Content.empty() && Content.back() == '\r') Content.remove_suffix(1);
    size_t End = Lf == std::string_view::npos ? Text.size() : Lf + 1;
    Lines.push_back({Content, Pos, End, Lf != std::string_view::npos});
    Pos = End;
  }
  return Lines;
}

// The section name when the line is a section header.
std::optional<std::string_view> SectionOf(std::string_view Content) {
  std::string_view T = Trim(Content);
  if (T.empty() || T.front() != '[') return std::nullopt;
  size_t Close = T.find(']');
  if (Close == std::string_view::npos) return std::nullopt;
  return Trim(T.substr(1, Close - 1));
}

// The key name when the line is a key line.
std::optional<std::string_view> KeyOf(std::string_view Content) {
  std::string_view T = Trim(Content);
  if (T.empty() || T.front() == ';') return std::nullopt;
  size_t Eq = Content.find('=');
  if (Eq == std::string_view::npos) return std::nullopt;
  return Trim(Content.substr(0, Eq));
}

std::string LimitCharacters(std::string_view Value, size_t Max) {
  size_t Count = 0;
  for (size_t I = 0; I < Value.size(); ++I) {
    // A byte that does not continue a UTF-8 sequence starts a character.
    if ((static_cast<unsigned char>(Value[I]) & 0xC0) != 0x80 && Count++ == Max)
      return std::string(Value.substr(0, I));
  }
  return std::string(Value);
}

// Completes the last line of Text with a line break (a lone CR at the end is half of one).
void EndLine(std::string& Text) {
  Text += Text.back() == '\r' ? "\n" : "\r\n";
}

bool WriteAll(int FdValue, std::string_view Bytes) {
  while (!Bytes.empty()) {
    ssize_t N = ::write(FdValue, Bytes.data(), Bytes.size());
    if (N < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    Bytes.remove_prefix(static_cast<size_t>(N));
  }
  return true;
}

enum class Created { Yes, Exists, Failed };

// Writes Bytes to a new temporary file beside Name (Mode for a new file), flushed; the
// file stays locked while open, so that a cleaner can tell a leftover from a write under
// way. Its name goes to Temp; on failure nothing is left and errno tells why.
bool WriteTemporaryBeside(int DirFd, const char* Name, std::string_view Bytes, const mode_t* Keep, std::string& Temp);

Created CreateExclusive(int DirFd, const char* Name, std::string_view Bytes) {
  // Never the file itself first: a kill in the middle would leave it cut short.
  std::string Temp;
  if (!WriteTemporaryBeside(DirFd, Name, Bytes, nullptr, Temp)) return Created::Failed;
  int Result = ::renameat2(DirFd, Temp.c_str(), DirFd, Name, RENAME_NOREPLACE);
  if (Result != 0 && errno == EINVAL) {
    // A file system without it: a hard link fails as well when the name is taken.
    Result = ::linkat(DirFd, Temp.c_str(), DirFd, Name, 0);
    if (Result == 0) ::unlinkat(DirFd, Temp.c_str(), 0);
  }
  int Saved = errno;
  if (Result != 0) ::unlinkat(DirFd, Temp.c_str(), 0);
  errno = Saved;
  if (Result == 0) return Created::Yes;
  return Saved == EEXIST ? Created::Exists : Created::Failed;
}

}  // namespace

std::optional<std::string> IniFile::FindValue(std::string_view Text, std::string_view Section,
                                              std::string_view Key) {
  bool InSection = false;
  for (const Line& L : SplitLines(Text)) {
    if (auto S = SectionOf(L.Content)) {
      InSection = SameName(*S, Section);
      continue;
    }
    if (!InSection) continue;
    auto K = KeyOf(L.Content);
    if (K && SameName(*K, Key)) {
      std::string_view Value = L.Content.substr(L.Content.find('=') + 1);
      return LimitCharacters(Trim(Value), IniMaxValue);
    }
  }
  return std::nullopt;
}

std::string IniFile::SetValue(std::string_view Text, std::string_view Section,
                              std::string_view Key, std::string_view Value) {
  std::string Clean;
  for (char C : Value)
    if (C != '\r' && C != '\n') Clean += C;
  const std::string KeyLine = std::string(Key) + "=" + Clean;

  auto Lines = SplitLines(Text);
  bool InSection = false;
  std::optional<size_t> SectionLast;  // last non-blank line of the matching section
  for (size_t I = 0; I < Lines.size(); ++I) {
    const Line& L = Lines[I];
    if (auto S = SectionOf(L.Content)) {
      if (InSection) break;  // only the first section of that name counts
      InSection = SameName(*S, Section);
      if (InSection) SectionLast = I;
      continue;
    }
    if (!InSection) continue;
    auto K = KeyOf(L.Content);
    if (K && SameName(*K, Key)) {
      std::string Out(Text.substr(0, L.Begin));
      Out += KeyLine;
      // Keep this line's own end: whatever followed the content.
      Out += Text.substr(L.Begin + L.Content.size(), L.End - L.Begin - L.Content.size());
      Out += Text.substr(L.End);
      return Out;
    }
    if (!Trim(L.Content).empty()) SectionLast = I;
  }

  std::string Out;
  if (SectionLast) {
    const Line& After = Lines[*SectionLast];
    Out.assign(Text.substr(0, After.End));
    if (!After.HasBreak) EndLine(Out);
    Out += KeyLine + "\r\n";
    Out += Text.substr(After.End);
    return Out;
  }
  Out.assign(Text);
  if (!Out.empty() && Out.back() != '\n') EndLine(Out);
  Out += "[" + std::string(Section) + "]\r\n" + KeyLine + "\r\n";
  return Out;
}

std::optional<std::string> IniFile::ReadString(const std::filesystem::path& File,
                                               std::string_view Section, std::string_view Key) {
  return ReadStringAt(AT_FDCWD, File.c_str(), Section, Key);
}

std::optional<std::string> IniFile::ReadStringAt(int DirFd, const char* Name, std::string_view Section,
                                                 std::string_view Key) {
  auto Bytes = ReadFileBytesAt(DirFd, Name, IniMaxFileBytes);
  if (!Bytes) return std::nullopt;
  return FindValue(DecodeTextFile(*Bytes), Section, Key);
}

bool IniFile::WriteString(const std::filesystem::path& File, std::string_view Section,
                          std::string_view Key, std::string_view Value) {
  return WriteStringAt(AT_FDCWD, File.c_str(), Section, Key, Value);
}

bool IniFile::WriteStringAt(int DirFd, const char* Name, std::string_view Section, std::string_view Key,
                            std::string_view Value) {
  // Most writes make new files: try that first, and read an old file only when there is one.
  switch (CreateExclusive(DirFd, Name, SetValue("", Section, Key, Value))) {
    case Created::Yes: return true;
    case Created::Failed: return false;
    case Created::Exists: break;
  }
  // Only a regular file of ours is updated: a link, a FIFO, a device or a folder under that
  // name is left alone, and nothing is written through a link.
  auto Bytes = ReadFileBytesAt(DirFd, Name, IniMaxFileBytes, FollowLink::No);
  if (!Bytes) return false;
  return ReplaceFileContentsAt(DirFd, Name, SetValue(DecodeTextFile(*Bytes), Section, Key, Value));
}

std::optional<std::string> ReadFileBytes(const std::filesystem::path& File, std::size_t MaxBytes) {
  return ReadFileBytesAt(AT_FDCWD, File.c_str(), MaxBytes);
}

std::optional<std::string> ReadFileBytesAt(int DirFd, const char* Name, std::size_t MaxBytes, FollowLink Follow) {
  int Flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (Follow == FollowLink::No ? O_NOFOLLOW : 0);
  Fd In(::openat(DirFd, Name, Flags));
  if (!In.Valid()) return std::nullopt;
  struct stat St {};
  if (::fstat(In.Get(), &St) != 0) return std::nullopt;
  if (!S_ISREG(St.st_mode)) {
    errno = S_ISDIR(St.st_mode) ? EISDIR : EINVAL;
    return std::nullopt;
  }
  if (static_cast<std::uint64_t>(St.st_size) > MaxBytes) {
    errno = EFBIG;
    return std::nullopt;
  }
  std::string Bytes;
  Bytes.reserve(static_cast<size_t>(St.st_size));
  char Buffer[16384];
  for (;;) {
    ssize_t N = ::read(In.Get(), Buffer, sizeof Buffer);
    if (N < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (N == 0) break;
    // The file may have grown since it was measured.
    if (Bytes.size() + static_cast<size_t>(N) > MaxBytes) {
      errno = EFBIG;
      return std::nullopt;
    }
    Bytes.append(Buffer, static_cast<size_t>(N));
  }
  return Bytes;
}

namespace {
constexpr std::string_view TemporaryPrefix = ".vorlane-";
constexpr size_t TemporaryDigits = 8;
}  // namespace

bool IsReplaceTemporaryName(std::string_view Name) {
  if (Name.size() != TemporaryPrefix.size() + TemporaryDigits || !Name.starts_with(TemporaryPrefix)) return false;
  for (char C : Name.substr(TemporaryPrefix.size()))
    if (!((C >= '0' && C <= '9') || (C >= 'a' && C <= 'f'))) return false;
  return true;
}

bool RemoveStaleReplaceTemporary(int DirFd, const char* Name, std::chrono::seconds OlderThan) {
  if (!IsReplaceTemporaryName(Name)) return false;
  struct stat St {};
  if (::fstatat(DirFd, Name, &St, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(St.st_mode)) return false;
  if (static_cast<int64_t>(St.st_mtime) > static_cast<int64_t>(std::time(nullptr)) - OlderThan.count()) {
    // Young: a leftover only when its writer no longer holds it locked.
    Fd Held(::openat(DirFd, Name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!Held.Valid() || ::flock(Held.Get(), LOCK_EX | LOCK_NB) != 0) return false;
  }
  return ::unlinkat(DirFd, Name, 0) == 0;
}

bool ReplaceFileContents(const std::filesystem::path& File, std::string_view Bytes) {
  return ReplaceFileContentsAt(AT_FDCWD, File.c_str(), Bytes);
}

bool ReplaceFileContentsAt(int DirFd, const char* Name, std::string_view Bytes) {
  struct stat Old {};
  bool Exists = ::fstatat(DirFd, Name, &Old, 0) == 0;
  if (!Exists && errno != ENOENT) return false;
  if (Exists && S_ISDIR(Old.st_mode)) {
    errno = EISDIR;
    return false;
  }
  std::string Temp;
  const mode_t Mode = Old.st_mode & 07777;
  if (!WriteTemporaryBeside(DirFd, Name, Bytes, Exists ? &Mode : nullptr, Temp)) return false;
  if (::renameat(DirFd, Temp.c_str(), DirFd, Name) == 0) return true;
  int Saved = errno;
  ::unlinkat(DirFd, Temp.c_str(), 0);
  errno = Saved;
  return false;
}

namespace {

bool WriteTemporaryBeside(int DirFd, const char* Name, std::string_view Bytes, const mode_t* Keep, std::string& Temp) {
  // The temporary file goes into the target's folder, under a short name of our own: the
  // target's name may already be as long as names can be. A new file gets the usual
  // permissions (the umask applies), a replaced one keeps its own.
  std::string Path = Name;
  size_t Slash = Path.rfind('/');
  std::string Folder = Slash == std::string::npos ? std::string() : Path.substr(0, Slash + 1);
  Fd Out;
  for (int Try = 0; Try < 100 && !Out.Valid(); ++Try) {
    char Suffix[16];
    std::snprintf(Suffix, sizeof Suffix, "%08x", g_random_int());
    Temp = Folder + std::string(TemporaryPrefix) + Suffix;
    Out = Fd(::openat(DirFd, Temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, Keep ? 0600 : 0666));
    if (!Out.Valid() && errno != EEXIST) return false;
  }
  if (!Out.Valid()) return false;
  ::flock(Out.Get(), LOCK_EX | LOCK_NB);
  bool Ok = WriteAll(Out.Get(), Bytes) && (!Keep || ::fchmod(Out.Get(), *Keep) == 0) && ::fsync(Out.Get()) == 0;
  Ok = Out.Close() && Ok;
  if (Ok) return true;
  int Saved = errno;
  ::unlinkat(DirFd, Temp.c_str(), 0);
  errno = Saved;
  return false;
}

}  // namespace

}  // namespace vorlane::platform
