// The scenario association in the freedesktop files: a shared-mime-info
// package, a desktop entry and the default-application line, all in the
// user's own folders. The system's folders are only read.
#include "platform/qt/file_type_freedesktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include <algorithm>

// A static library's resources are registered by name, outside any namespace.
static void registerDesktopFiles() { Q_INIT_RESOURCE(desktop_files); }

namespace treva {

namespace {

const QString kMimeType = QStringLiteral("application/x-treva-scenario");
const QString kPackage = QStringLiteral("/mime/packages/treva-trvfile.xml");
const QString kEntry = QStringLiteral("/applications/treva.desktop");
// The escapes of desktop entry values ("\\s" stands for a blank); any other
// character after a backslash stands for itself.
const QString kEscapes = QStringLiteral("sntr");
const QString kEscaped = QStringLiteral(" \n\t\r");

QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool sameProgram(const QString &a, const QString &b) {
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !a.isEmpty() && (a == b || (!canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath()));
}

struct Claims {
    bool foreign = false;  // another MIME type claims "*.trv"
    QStringList ownSystem; // the system data folders in which ours claims it
};

// Who claims "*.trv" in the packages of every data folder. Types and globs
// compare without regard to case, as shared-mime-info matches them.
Claims findClaims(const FreedesktopFolders &folders) {
    Claims claims;
    for (const QString &dir : QStringList(folders.dataHome) + folders.dataDirs) {
        const QDir packages(dir + QStringLiteral("/mime/packages"));
        for (const QString &name : packages.entryList({QStringLiteral("*.xml")}, QDir::Files)) {
            const QByteArray package = readAll(packages.filePath(name));
            // Most packages never mention the extension: no need to parse them.
            if (!QLatin1StringView(package).contains(QLatin1StringView("trv"), Qt::CaseInsensitive)) continue;
            QXmlStreamReader xml(package);
            QString type;
            while (!xml.atEnd()) {
                if (xml.readNext() != QXmlStreamReader::StartElement) continue;
                if (xml.name() == u"mime-type") type = xml.attributes().value(QLatin1StringView("type")).toString();
                if (xml.name() != u"glob" ||
                    xml.attributes().value(QLatin1StringView("pattern")).compare(u"*.trv", Qt::CaseInsensitive) != 0)
                    continue;
                if (type.compare(kMimeType, Qt::CaseInsensitive) != 0)
                    claims.foreign = true;
                else if (dir != folders.dataHome)
                    claims.ownSystem += dir;
            }
        }
    }
    return claims;
}

// The program a desktop entry starts: the first argument of its Exec value,
// with the value's escapes and then the argument's quoting undone.
QString execProgram(const QByteArray &entry) {
    QString exec;
    bool inGroup = false;
    for (const QByteArray &raw : entry.split('\n')) {
        const QByteArray line = raw.trimmed();
        const qsizetype eq = line.indexOf('=');
        if (line.startsWith('[')) inGroup = line == "[Desktop Entry]";
        if (inGroup && eq > 0 && line.left(eq).trimmed() == "Exec")
            exec = QString::fromUtf8(line.mid(eq + 1).trimmed());
    }
    QString value;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const qsizetype escape = exec[i] == u'\\' && i + 1 < exec.size() ? kEscapes.indexOf(exec[++i]) : -1;
        value += escape >= 0 ? kEscaped[escape] : exec[i];
    }
    const bool quoted = value.startsWith(u'"');
    QString program;
    for (qsizetype i = quoted ? 1 : 0; i < value.size() && value[i] != (quoted ? u'"' : u' '); ++i) {
        if (i + 1 < value.size() && ((quoted && value[i] == u'\\') || (value[i] == u'%' && value[i + 1] == u'%'))) ++i;
        program += value[i];
    }
    return program;
}

// One Exec argument as the desktop-entry rules want it: in double quotes when
// it holds a reserved character, with '"', '`', '$' and '\' escaped inside
// them, '%' doubled, and then the value's own escapes.
QString execArgument(const QString &path) {
    const bool quote = std::any_of(path.begin(), path.end(),
                                   [](QChar c) { return QStringLiteral(" \t\n\"'\\><~|&;$*?#()`").contains(c); });
    QString argument;
    for (const QChar c : path) {
        if (quote && QStringLiteral("\"`$\\").contains(c)) argument += u'\\';
        if (c == u'%') argument += u'%';
        argument += c;
    }
    if (quote) argument = u'"' + argument + u'"';
    argument.replace(u'\\', QStringLiteral("\\\\"));
    for (qsizetype k = 1; k < kEscapes.size(); ++k) argument.replace(kEscaped[k], u'\\' + kEscapes[k]);
    return argument;
}

// Our desktop entry as installed, its Exec line naming the program by its
// path unless it is the treva found on the search path.
QByteArray desktopEntry(const FreedesktopFolders &folders) {
    QByteArray entry = readAll(QStringLiteral(":/desktop/treva.desktop"));
    if (!sameProgram(QStandardPaths::findExecutable(QStringLiteral("treva"), folders.searchPath), folders.program))
        entry.replace("\nExec=treva ", "\nExec=" + execArgument(folders.program).toUtf8() + ' ');
    return entry;
}

// mimeapps.list with our default added at the end of the [Default
// Applications] group when that group names none for our type yet; every
// other line stays as it was.
QByteArray withOurDefault(const QByteArray &list) {
    QByteArray text = list.isEmpty() || list.endsWith('\n') ? list : list + '\n';
    qsizetype insertAt = -1;
    bool inGroup = false;
    for (qsizetype at = 0, next = 0; at < text.size(); at = next) {
        next = text.indexOf('\n', at) + 1;
        const QByteArray line = text.mid(at, next - at).trimmed();
        const qsizetype eq = line.indexOf('=');
        if (line.startsWith('[')) {
            if (inGroup) break; // only the first such group counts
            inGroup = line == "[Default Applications]";
            if (inGroup) insertAt = next;
        } else if (inGroup && eq > 0 && !line.startsWith('#')) {
            if (line.left(eq).trimmed() == kMimeType.toLatin1()) return list; // maybe the user's choice
            insertAt = next;
        }
    }
    const QByteArray ours = kMimeType.toLatin1() + "=treva.desktop\n";
    if (insertAt < 0) return text + (text.isEmpty() ? "" : "\n") + "[Default Applications]\n" + ours;
    return text.insert(insertAt, ours);
}

// Creates the missing folders of `path` for the user alone, as the XDG rules ask.
bool makeFolder(const QString &path) {
    return QFileInfo(path).isDir() || (makeFolder(QFileInfo(path).path()) &&
                                       QDir().mkdir(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

// Writes `content` unless the file holds exactly that already; `written` says
// whether it was written.
bool update(const QString &path, const QByteArray &content, bool &written) {
    if (QFile current(path); current.open(QIODevice::ReadOnly) && current.readAll() == content) return true;
    QSaveFile file(path);
    written = makeFolder(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
              file.write(content) == content.size() && file.commit();
    return written;
}

// Runs a cache updater on a folder that changed, when the tool is installed.
void runUpdater(const QString &tool, const QString &folder, const QStringList &searchPath) {
    const QString program = QStandardPaths::findExecutable(tool, searchPath);
    if (program.isEmpty()) return;
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, {folder});
    process.waitForFinished();
}

} // namespace

FreedesktopFolders FreedesktopFolders::fromSystem() {
    FreedesktopFolders folders;
    folders.dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    folders.configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    folders.dataDirs = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    folders.dataDirs.removeAll(folders.dataHome);
    folders.program = QCoreApplication::applicationFilePath();
    // A relative PATH entry would name a program by where TREVA happened to start.
    for (const QString &dir : qEnvironmentVariable("PATH").split(u':', Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(dir)) folders.searchPath += dir;
    return folders;
}

FreedesktopResult registerScenarioFileTypeFreedesktop(const FreedesktopFolders &folders) {
    if (!QDir::isAbsolutePath(folders.dataHome) || !QDir::isAbsolutePath(folders.configHome) ||
        !QDir::isAbsolutePath(folders.program)) {
        return FreedesktopResult::WriteFailed;
    }
    const Claims claims = findClaims(folders);
    if (claims.foreign) return FreedesktopResult::LeftAlone; // never taken over
    for (const QString &dir : claims.ownSystem) {
        // An installed package whose entry starts this very program has it in hand.
        QString program = execProgram(readAll(dir + kEntry));
        if (!program.contains(u'/')) program = QStandardPaths::findExecutable(program, folders.searchPath);
        if (sameProgram(program, folders.program)) return FreedesktopResult::LeftAlone;
    }

    registerDesktopFiles();
    QFile list(folders.configHome + QStringLiteral("/mimeapps.list"));
    const bool listOpen = list.open(QIODevice::ReadOnly);
    bool packageWritten = false;
    bool entryWritten = false;
    bool listWritten = false;
    // An unreadable list must not be replaced by one holding our line alone.
    const bool ok =
        update(folders.dataHome + kPackage, readAll(QStringLiteral(":/desktop/treva-trvfile.xml")), packageWritten) &&
        update(folders.dataHome + kEntry, desktopEntry(folders), entryWritten) && (listOpen || !list.exists()) &&
        update(list.fileName(), withOurDefault(listOpen ? list.readAll() : QByteArray()), listWritten);
    if (packageWritten)
        runUpdater(QStringLiteral("update-mime-database"), folders.dataHome + QStringLiteral("/mime"),
                   folders.searchPath);
    if (entryWritten)
        runUpdater(QStringLiteral("update-desktop-database"), folders.dataHome + QStringLiteral("/applications"),
                   folders.searchPath);
    return ok ? FreedesktopResult::Written : FreedesktopResult::WriteFailed;
}

} // namespace treva
