#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "platform/guide/guide_location.h"
#include "ui/frame.h"

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#endif

namespace {

int run(const std::vector<std::string> &args, const std::filesystem::path &invokedAs) {
    std::ios::sync_with_stdio(false);
    const std::optional<std::string> guide = treva::findGuide(treva::guidePlaces(treva::runningProgram(invokedAs)));
    const int status = treva::runCli(args, std::cout, std::cerr, guide);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "treva-cli: cannot write the output\n";
        return 2;
    }
    return status;
}

} // namespace

#ifdef _WIN32
// The arguments as Windows has them, in UTF-16, taken into the program as
// UTF-8: any file name arrives whole, whatever the system's code page. The
// output is the same bytes as on any other system: no carriage returns added.
int wmain(int argc, wchar_t **argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const int length = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
        WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, arg.data(), length, nullptr, nullptr);
        arg.pop_back(); // the terminator
        args.push_back(std::move(arg));
    }
    return run(args, argv[0]);
}
#else
int main(int argc, char **argv) { return run(std::vector<std::string>(argv + 1, argv + argc), argv[0]); }
#endif
