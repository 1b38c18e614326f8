#include "mail/SendMail.h"

#include "platform/Registry.h"

#include <cctype>
#include <filesystem>
#include <iterator>

namespace vorlane::mail {

namespace mapi = platform::mapi;

TMAPIMail::TMAPIMail() : FSelf(std::make_shared<TMAPIMail*>(this)) {}

TMAPIMail::~TMAPIMail() { *FSelf = nullptr; }

std::string TMAPIMail::MapiErrorText(uint32_t Code) {
  static const char* const Texts[] = {
      nullptr,
      "User cancelled request",
      "General MAPI failure",
      "Logon failure",
      "Disk full",
      "Insufficient memory",
      "Access denied",
      nullptr,
      "Too many sessions",
      "Too many files open",
      "Too many recipients",
      "Attachment not found",
      "Failed to open attachment",
      "Failed to write attachment",
      "Unknown recipient",
      "Invalid recipient type",
      "No messages",
      "Invalid message",
      "Text too large.",
      "Invalid session",
      "Type not supported",
      "Ambiguous recipient",
      "Message in use",
      "Network failure",
      "Invalid edit fields",
      "Invalid recipients",
      "Not supported",
  };
  if (Code < std::size(Texts) && Texts[Code]) return Texts[Code];
  return "Unknown Error Code: " + std::to_string(Code);
}

bool TMAPIMail::GetDefaultProfile(std::string& Name) const {
  using platform::RootKey;
  static const char* const Keys[] = {
      "Software\\Microsoft\\Windows Messaging Subsystem\\Profiles",
      "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles"};
  platform::Registry Registry;
  for (const char* Key : Keys) {
    if (!Registry.KeyExists(RootKey::CurrentUser, Key)) continue;
    Name = Registry.ReadString(RootKey::CurrentUser, Key, "DefaultProfile").value_or("");
    return true;
  }
  return false;
}

uint32_t TMAPIMail::ResolveRecipient(const std::string& Text, mapi::MapiRecipDesc& Entry) const {
  mapi::MapiRecipDesc Resolved;
  uint32_t Code = mapi::MAPIResolveName(Text, 0, Resolved);
  if (Code == mapi::MAPI_E_UNKNOWN_RECIPIENT || Code == mapi::MAPI_E_AMBIGUOUS_RECIPIENT)
    Code = mapi::MAPIResolveName(Text, mapi::MAPI_DIALOG, Resolved);
  if (Code != mapi::SUCCESS_SUCCESS) return Code;
  Entry.Name = Resolved.Name;
  Entry.Address = Resolved.Address.empty() ? Resolved.Name : Resolved.Address;
  Entry.EntryId = Resolved.EntryId;
  return Code;
}

std::pair<uint32_t, std::string> TMAPIMail::RecipientClass(const std::string& Line) {
  auto StartsWith = [&](const char* Prefix) {
    size_t N = std::char_traits<char>::length(Prefix);
    if (Line.size() < N) return false;
    for (size_t I = 0; I < N; ++I)
      if (std::toupper(static_cast<unsigned char>(Line[I])) != Prefix[I]) return false;
    return true;
  };
  if (StartsWith("CC:")) return {mapi::MAPI_CC, Line.substr(3)};
  if (StartsWith("BCC:")) return {mapi::MAPI_BCC, Line.substr(4)};
  return {mapi::MAPI_TO, Line};
}

mapi::MapiMessage TMAPIMail::BuildMessage(uint32_t* ResolveError) const {
  if (ResolveError) *ResolveError = mapi::SUCCESS_SUCCESS;
  mapi::MapiMessage M;
  M.Subject = Subject;
  M.NoteText = Body;
  M.Flags = RequestReceipt ? mapi::MAPI_RECEIPT_REQUESTED : 0;
  if (!SenderAddress.empty())
    M.Originator = mapi::MapiRecipDesc{mapi::MAPI_ORIG, SenderName.empty() ? SenderAddress : SenderName,
                                       SenderAddress, {}};
  for (size_t I = 0; I < Attachments.size(); ++I) {
    std::string Name = I < AttachmentNames.size()
                           ? AttachmentNames[I]
                           : std::filesystem::path(Attachments[I]).filename().string();
    M.Files.push_back({Attachments[I], Name, -1});
  }
  for (const std::string& Line : Recipients) {
    auto [Class, Text] = RecipientClass(Line);
    mapi::MapiRecipDesc R;
    R.RecipClass = Class;
    if (ResolveNames) {
      uint32_t Code = ResolveRecipient(Text, R);
      if (Code != mapi::SUCCESS_SUCCESS && ResolveError && !*ResolveError) *ResolveError = Code;
    } else {
      R.Name = Text;
      R.Address = Text;
    }
    M.Recips.push_back(std::move(R));
  }
  return M;
}

void TMAPIMail::Send(std::function<void(bool)> Done) {
  mapi::Session Session = 0;
  std::string Profile;
  if (GetDefaultProfile(Profile)) {
    uint32_t Code = mapi::MAPILogon(Profile, mapi::MAPI_NEW_SESSION, Session);
    if (Code != mapi::SUCCESS_SUCCESS)
      throw MapiError(Code, "MAPI Error " + std::to_string(Code) + ": " + MapiErrorText(Code));
  }
  uint32_t Flags = mapi::MAPI_LOGON_UI | (EditDialog ? mapi::MAPI_DIALOG : 0) |
                   (Session ? 0 : mapi::MAPI_NEW_SESSION);
  std::weak_ptr<TMAPIMail*> Self = FSelf;
  auto Answer = [Self, Done](uint32_t Code) {
    auto Alive = Self.lock();
    if (!Alive || !*Alive) return;
    (*Alive)->LastResult = Code;
    if (Done) Done(Code == mapi::SUCCESS_SUCCESS);
  };
  uint32_t ResolveError = mapi::SUCCESS_SUCCESS;
  mapi::MapiMessage Message = BuildMessage(&ResolveError);
  // A recipient dropped without a word would get a mail the user thinks was sent.
  if (ResolveError != mapi::SUCCESS_SUCCESS) Answer(ResolveError);
  else mapi::MAPISendMail(Session, Message, Flags, Answer, Timer);
  if (Session) mapi::MAPILogoff(Session);
}

}  // namespace vorlane::mail
