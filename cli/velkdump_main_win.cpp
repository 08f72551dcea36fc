// velkdump's entry on Windows: the wide command line, so that every file name
// opens, whatever the ANSI code page; names are carried as UTF-8 inside.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/velkdump.h"
#include "parse/mapping.h"

using namespace velk;

namespace {

std::string to_utf8(const wchar_t* s) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, s, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s, -1, &out[0], n, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(n - 1));
    return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // UTF-8 with "\n" line ends, as on every platform: no text-mode translation.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(to_utf8(argv[i]));
    dcm_whole_view_limit_from_environment();
    return velkdump(args, stdout, stderr);
}
