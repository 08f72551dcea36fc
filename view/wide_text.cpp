#include "view/wide_text.h"

#include <windows.h>

namespace velk {

std::wstring WidenUtf8(const std::string& utf8) {
    if (utf8.empty()) return {};
    // A UTF-8 text never has more UTF-16 units than bytes.
    std::wstring wide(utf8.size(), L'\0');
    const int made = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(),
                                           int(wide.size()));
    wide.resize(made > 0 ? std::size_t(made) : 0);
    return wide;
}

}  // namespace velk
