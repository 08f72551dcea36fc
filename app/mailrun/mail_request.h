// What the mailer is asked to do: mail one file, as an attachment, with a subject.
#pragma once

#include <optional>
#include <string>

namespace velk {

namespace mailrun {

struct MailRequest {
    std::wstring subject;
    std::wstring file;  // as given: may be relative
};

// Reads `mailrun /szmail "SUBJECT" FILE` from the C runtime's split arguments
// (argv[0] is the program). The switch is matched without regard to case. On a
// malformed line, returns nothing and puts a one-line reason in `error`.
std::optional<MailRequest> ParseMailCommandLine(int argc, const wchar_t* const* argv,
                                                std::wstring& error);

}  // namespace mailrun

}  // namespace velk
