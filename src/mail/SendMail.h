#pragma once
// One mail message (subject, body, recipients, attachments) handed to the platform's mail
// interface, which opens the user's mail program with it.
#include "platform/Mapi.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vorlane::mail {

// Logging on to the default profile failed: "MAPI Error %d: %s".
class MapiError : public std::runtime_error {
public:
  MapiError(uint32_t Code, const std::string& What) : std::runtime_error(What), FCode(Code) {}
  uint32_t Code() const { return FCode; }

private:
  uint32_t FCode;
};

class TMAPIMail {
public:
  TMAPIMail();
  ~TMAPIMail();

  std::string Subject;
  std::string Body;
  std::vector<std::string> Recipients;       // one per line, optionally "CC:" or "BCC:"
  std::vector<std::string> Attachments;      // file paths
  std::vector<std::string> AttachmentNames;  // may be shorter than Attachments
  bool EditDialog = true;  // the desktop's composer is shown in any case
  bool ResolveNames = false;
  bool RequestReceipt = false;
  std::string SenderName;
  std::string SenderAddress;

  // Starts the timer that ends the wait for the mail program's answer; empty: GLib's.
  platform::mapi::GraceTimer Timer;

  // The result code of the last Send, once the mail program has answered.
  uint32_t LastResult = 0;

  // Builds the message and hands it over; returns at once. Done(true) when the mail
  // program took it (it still runs after platform::mapi::MailStartGrace, or ended well
  // before). A recipient that does not resolve fails the send with the resolve error, and
  // nothing is handed over. Throws MapiError when logging on to the default profile fails
  // (then nothing is sent and LastResult is unchanged). Done is not called once this
  // sender is gone.
  void Send(std::function<void(bool)> Done = {});

  static std::string MapiErrorText(uint32_t Code);
  // The default mail profile's name; false when no profile key exists.
  bool GetDefaultProfile(std::string& Name) const;
  uint32_t ResolveRecipient(const std::string& Text, platform::mapi::MapiRecipDesc& Entry) const;

  // The message Send hands over (steps 3 to 6). ResolveError, when given, gets the code
  // of the first recipient that did not resolve (0 when all did).
  platform::mapi::MapiMessage BuildMessage(uint32_t* ResolveError = nullptr) const;
  // A recipient line's class and the text that remains after its "CC:"/"BCC:" prefix.
  static std::pair<uint32_t, std::string> RecipientClass(const std::string& Line);

private:
  std::shared_ptr<TMAPIMail*> FSelf;  // Send's callback finds us through it, or not at all
};

}  // namespace vorlane::mail
