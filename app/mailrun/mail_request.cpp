#include "mail_request.h"

#include <cwctype>

namespace velk {

namespace mailrun {
namespace {

bool EqualsIgnoringCase(const std::wstring& a, const wchar_t* b) {
    std::wstring::size_type i = 0;
    for (; i < a.size() && b[i] != L'\0'; ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    }
    return i == a.size() && b[i] == L'\0';
}

}  // namespace

std::optional<MailRequest> ParseMailCommandLine(int argc, const wchar_t* const* argv,
                                                std::wstring& error) {
    if (argc != 4) {
        error = L"expected /szmail \"SUBJECT\" FILE";
        return std::nullopt;
    }
    if (!EqualsIgnoringCase(argv[1], L"/szmail")) {
        error = L"unknown switch " + std::wstring(argv[1]);
        return std::nullopt;
    }
    MailRequest request{argv[2], argv[3]};
    if (request.file.empty()) {
        error = L"no file to attach";
        return std::nullopt;
    }
    return request;
}

}  // namespace mailrun

}  // namespace velk
