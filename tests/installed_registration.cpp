// Asks the start-up association what it would do next to an installed
// package: run with the package's data folder, a scratch home and the
// installed program, it must leave the system's association alone.
#include <QCoreApplication>
#include <cstdio>

#include "platform/qt/file_type_freedesktop.h"

int main(int argc, char **argv) {
    QCoreApplication application(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: installed_registration DATA_DIR DATA_HOME CONFIG_HOME PROGRAM\n");
        return 2;
    }
    // PATH as the player's, so that the packaged "Exec=treva" is looked up as the desktop would.
    treva::FreedesktopFolders folders = treva::FreedesktopFolders::fromSystem();
    folders.dataDirs = {QString::fromLocal8Bit(argv[1])};
    folders.dataHome = QString::fromLocal8Bit(argv[2]);
    folders.configHome = QString::fromLocal8Bit(argv[3]);
    folders.program = QString::fromLocal8Bit(argv[4]);
    return treva::registerScenarioFileTypeFreedesktop(folders) == treva::FreedesktopResult::LeftAlone ? 0 : 1;
}
