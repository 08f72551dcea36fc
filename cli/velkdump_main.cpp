// velkdump's entry on POSIX systems: arguments are taken as UTF-8.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/velkdump.h"
#include "parse/mapping.h"

using namespace velk;

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    dcm_whole_view_limit_from_environment();
    return velkdump(args, stdout, stderr);
}
