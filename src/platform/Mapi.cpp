#include "platform/Mapi.h"

#include "platform/MailtoUri.h"

#include <gio/gio.h>
#include <memory>

namespace vorlane::platform::mapi {

std::string MailProgram() {
  std::unique_ptr<char, decltype(&g_free)> Path(g_find_program_in_path("xdg-email"), g_free);
  return Path ? Path.get() : "";
}

uint32_t MAPILogon(const std::string& Profile, uint32_t Flags, Session& Out) {
  Out = 0;
  if (MailProgram().empty()) return MAPI_E_NOT_SUPPORTED;
  // The desktop's composer needs no session; any profile name opens one.
  Out = 1;
  return SUCCESS_SUCCESS;
}

void MAPILogoff(Session) {}

uint32_t MAPIResolveName(const std::string& Name, uint32_t Flags, MapiRecipDesc& Out) {
  if (MailProgram().empty()) return MAPI_E_NOT_SUPPORTED;
  if (Name.find('@') == std::string::npos) return MAPI_E_UNKNOWN_RECIPIENT;
  Out.Name = Name;
  Out.Address = Name;
  Out.EntryId.clear();
  return SUCCESS_SUCCESS;
}

std::vector<std::string> MailArguments(const std::string& Program, const MapiMessage& Message) {
  MailtoFields Fields;
  for (const MapiRecipDesc& R : Message.Recips) {
    const std::string& Address = R.Address.empty() ? R.Name : R.Address;
    if (Address.empty()) continue;
    if (R.RecipClass == MAPI_CC) Fields.Cc.push_back(Address);
    else if (R.RecipClass == MAPI_BCC) Fields.Bcc.push_back(Address);
    else Fields.To.push_back(Address);
  }
  Fields.Subject = Message.Subject;
  Fields.Body = Message.NoteText;
  std::vector<std::string> Args{Program, "--utf8"};
  for (const MapiFileDesc& F : Message.Files) {
    Args.push_back("--attach");
    Args.push_back(F.PathName);
  }
  // Last, and starting with "mailto:": never read as an option.
  Args.push_back(BuildMailtoUri(Fields));
  return Args;
}

uint32_t ResultOfExitStatus(int Status) {
  switch (Status) {
    case 0: return SUCCESS_SUCCESS;
    case 2: return MAPI_E_ATTACHMENT_NOT_FOUND;  // file missing
    case 3: return MAPI_E_NOT_SUPPORTED;         // no mail program to open
    case 5: return MAPI_E_ACCESS_DENIED;         // file not readable
    default: return MAPI_E_FAILURE;
  }
}

namespace {

// The one answer of a send: from the program's exit or from the grace timer, whichever
// comes first.
struct Answer {
  std::function<void(uint32_t)> Done;
  bool Given = false;
  void Give(uint32_t Code) {
    if (Given) return;
    Given = true;
    if (Done) Done(Code);
  }
};

void Ended(GObject* Source, GAsyncResult* Result, gpointer Data) {
  std::unique_ptr<std::shared_ptr<Answer>> A(static_cast<std::shared_ptr<Answer>*>(Data));
  GSubprocess* Process = G_SUBPROCESS(Source);
  GError* Error = nullptr;
  uint32_t Code = MAPI_E_FAILURE;
  if (g_subprocess_wait_finish(Process, Result, &Error)) {
    if (g_subprocess_get_if_exited(Process)) Code = ResultOfExitStatus(g_subprocess_get_exit_status(Process));
  } else {
    g_error_free(Error);
  }
  g_object_unref(Process);
  (*A)->Give(Code);
}

void StartTimeout(std::chrono::milliseconds After, std::function<void()> Done) {
  g_timeout_add_full(
      G_PRIORITY_DEFAULT, static_cast<guint>(After.count()),
      [](gpointer Data) -> gboolean {
        (*static_cast<std::function<void()>*>(Data))();
        return G_SOURCE_REMOVE;
      },
      new std::function<void()>(std::move(Done)),
      [](gpointer Data) { delete static_cast<std::function<void()>*>(Data); });
}

}  // namespace

void MAPISendMail(Session, const MapiMessage& Message, uint32_t Flags, std::function<void(uint32_t)> Done,
                  GraceTimer Timer) {
  std::string Program = MailProgram();
  if (Program.empty()) {
    if (Done) Done(MAPI_E_NOT_SUPPORTED);
    return;
  }
  std::vector<std::string> Args = MailArguments(Program, Message);
  std::vector<const char*> Argv;
  for (const std::string& A : Args) Argv.push_back(A.c_str());
  Argv.push_back(nullptr);
  GError* Error = nullptr;
  GSubprocess* Process = g_subprocess_newv(Argv.data(), G_SUBPROCESS_FLAGS_STDIN_INHERIT, &Error);
  if (!Process) {
    g_error_free(Error);
    if (Done) Done(MAPI_E_FAILURE);
    return;
  }
  auto A = std::make_shared<Answer>(Answer{std::move(Done)});
  // The wait goes on after the grace (the program is reaped), but answers nobody then.
  g_subprocess_wait_async(Process, nullptr, Ended, new std::shared_ptr<Answer>(A));
  if (!Timer) Timer = StartTimeout;
  Timer(MailStartGrace, [A] { A->Give(SUCCESS_SUCCESS); });
}

}  // namespace vorlane::platform::mapi
