// Scenario files open TREVA on freedesktop desktops: at every start the
// user's XDG folders get the scenario MIME type, the desktop entry that opens
// it and the default-application line, so that opening a ".trv" file starts
// TREVA with its path. The files are the ones `cmake --install` installs,
// built into the program; only the entry's Exec line names this program.
#pragma once

#include <QString>
#include <QStringList>

namespace treva {

enum class FreedesktopResult {
    Written,     // every file written, or already up to date
    LeftAlone,   // another type claims "*.trv", or an installed package names this program
    WriteFailed, // a file could not be written, or a folder or the program is unknown
};

// Where the association is kept and looked up.
struct FreedesktopFolders {
    QString dataHome;       // written: mime/packages, applications
    QString configHome;     // written: mimeapps.list
    QStringList dataDirs;   // the system's data folders, only read
    QString program;        // the running program's absolute path
    QStringList searchPath; // where bare program names are found, as PATH

    // The user's and the system's folders, the running program and the
    // absolute folders of PATH.
    static FreedesktopFolders fromSystem();
};

// What start-up calls. Each file is written only when its content differs
// and a cache updater runs only for a folder that changed, so an unchanged
// start touches nothing. A default the user chose in mimeapps.list is kept.
FreedesktopResult
registerScenarioFileTypeFreedesktop(const FreedesktopFolders &folders = FreedesktopFolders::fromSystem());

} // namespace treva
