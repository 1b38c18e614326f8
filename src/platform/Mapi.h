#pragma once
// Simple MAPI's calls and result codes over the desktop's mail composer: the message goes
// to `xdg-email`, which opens the user's mail program with it. The program is started as an
// argument vector (no shell) and waited for without blocking; every recipient travels in
// one percent-encoded "mailto:" argument, so no address can pass for an option.
// "Installed" means `xdg-email` is found on PATH; without it every call answers
// MAPI_E_NOT_SUPPORTED.
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vorlane::platform::mapi {

constexpr uint32_t SUCCESS_SUCCESS = 0;
constexpr uint32_t MAPI_USER_ABORT = 1;
constexpr uint32_t MAPI_E_FAILURE = 2;
constexpr uint32_t MAPI_E_LOGON_FAILURE = 3;
constexpr uint32_t MAPI_E_ACCESS_DENIED = 6;
constexpr uint32_t MAPI_E_ATTACHMENT_NOT_FOUND = 11;
constexpr uint32_t MAPI_E_UNKNOWN_RECIPIENT = 14;
constexpr uint32_t MAPI_E_AMBIGUOUS_RECIPIENT = 21;
constexpr uint32_t MAPI_E_NOT_SUPPORTED = 26;

constexpr uint32_t MAPI_ORIG = 0, MAPI_TO = 1, MAPI_CC = 2, MAPI_BCC = 3;
constexpr uint32_t MAPI_LOGON_UI = 1, MAPI_NEW_SESSION = 2, MAPI_DIALOG = 8;
constexpr uint32_t MAPI_RECEIPT_REQUESTED = 2;

struct MapiRecipDesc {
  uint32_t RecipClass = MAPI_TO;
  std::string Name;
  std::string Address;
  std::vector<uint8_t> EntryId;
};

struct MapiFileDesc {
  std::string PathName;
  std::string FileName;  // display name
  int32_t Position = -1;
};

struct MapiMessage {
  std::string Subject;
  std::string NoteText;
  uint32_t Flags = 0;
  std::optional<MapiRecipDesc> Originator;
  std::vector<MapiRecipDesc> Recips;
  std::vector<MapiFileDesc> Files;
};

using Session = uint32_t;  // 0: none

// The xdg-email found on PATH, or empty.
std::string MailProgram();

uint32_t MAPILogon(const std::string& Profile, uint32_t Flags, Session& Out);
void MAPILogoff(Session S);

// There is no address book behind xdg-email: a text with an "@" resolves to itself, any
// other text is an unknown recipient.
uint32_t MAPIResolveName(const std::string& Name, uint32_t Flags, MapiRecipDesc& Out);

// The argument vector handed to xdg-email for Message (Program first).
std::vector<std::string> MailArguments(const std::string& Program, const MapiMessage& Message);

// Runs Done once, After from now, on the main loop. Tests pass one they fire themselves.
using GraceTimer = std::function<void(std::chrono::milliseconds After, std::function<void()> Done)>;

// How long a mail program that is still running may yet fail. xdg-email waits until a mail
// program it had to start quits, maybe hours later: an exit after this is no answer to the
// send, and a program still running by then has taken the message.
constexpr std::chrono::seconds MailStartGrace{10};

// Starts the mail composer with Message and returns at once. Done gets the result once:
// a failure to start, the program's exit within MailStartGrace, or success when the
// program still runs then. The composer is always shown: a message is never sent unseen.
// Timer empty: a GLib timeout.
void MAPISendMail(Session S, const MapiMessage& Message, uint32_t Flags,
                  std::function<void(uint32_t)> Done, GraceTimer Timer = {});

// The Simple MAPI code for an exit status of xdg-email.
uint32_t ResultOfExitStatus(int Status);

}  // namespace vorlane::platform::mapi
