// Hands a mail to the user's mail program through Simple MAPI.
#pragma once

#include <string>

namespace velk {

namespace mailrun {

// Opens the user's mail program with a new mail that carries `subject` and the
// file at `fullPath` as its attachment, for the user to address and send.
// Returns an empty string on success, else why it could not.
std::wstring SendWithMapi(const std::wstring& subject, const std::wstring& fullPath);

}  // namespace mailrun

}  // namespace velk
