// Asks the start-up registration what it would do next to an installed
// package: run with the package's data folder, a scratch home and the
// installed program, it must leave the system's association alone.
#include <cstdio>

#include "shell/filetype/file_type.h"

int main(int argc, char **argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: installed_registration DATA_DIR DATA_HOME CONFIG_HOME PROGRAM\n");
        return 2;
    }
    treva::FreedesktopPaths paths;
    paths.dataDirs = {argv[1]};
    paths.dataHome = argv[2];
    paths.configHome = argv[3];
    treva::FileTypeInfo info;
    info.programPath = argv[4];
    const treva::FileTypeResult result = treva::registerFileTypeFreedesktop(paths, info, treva::RewriteOwn);
    std::printf("%d\n", int(result));
    return result == treva::FileTypeResult::LeftAlone ? 0 : 1;
}
