// The scenario association in scratch freedesktop folders: what start-up
// writes, compared with the files `cmake --install` installs, and when it
// writes nothing at all.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <utility>

#include "platform/qt/file_type_freedesktop.h"

using namespace treva;

namespace {

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &content, bool executable = false) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    if (executable) file.setPermissions(file.permissions() | QFile::ExeOwner);
}

// A file as `cmake --install` installs it.
QByteArray installed(const char *name) {
    return readFile(QStringLiteral(TREVA_SOURCE_DIR "/resources/desktop/") + QLatin1String(name));
}

// The installed desktop entry with another Exec line.
QByteArray installedEntryWith(const QByteArray &exec) {
    QByteArray entry = installed("treva.desktop");
    const qsizetype start = entry.indexOf("\nExec=") + 1;
    return entry.replace(start, entry.indexOf('\n', start) - start, exec);
}

const QDateTime kLongAgo(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC);

} // namespace

class FileTypeFreedesktopTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> root;
    FreedesktopFolders folders;

    QString path(const QString &name) const { return root->filePath(name); }
    QString package() const { return folders.dataHome + "/mime/packages/treva-trvfile.xml"; }
    QString entry() const { return folders.dataHome + "/applications/treva.desktop"; }
    QString mimeapps() const { return folders.configHome + "/mimeapps.list"; }
    QString systemData() const { return folders.dataDirs.last(); }
    FreedesktopResult run() const { return registerScenarioFileTypeFreedesktop(folders); }

    // The cache updaters that ran since the last call, "tool folder" a line.
    QByteArray updatersRun() {
        const QByteArray log = readFile(path("updaters.log"));
        QFile::remove(path("updaters.log"));
        return log;
    }

    // Dates the file long ago, so that a later write shows.
    static void age(const QString &file) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite) && f.setFileTime(kLongAgo, QFileDevice::FileModificationTime));
    }
    static bool untouched(const QString &file) { return QFileInfo(file).lastModified() == kLongAgo; }

    bool homeUntouched() const { return !QFileInfo::exists(path("home")); }

    // An installed package in the system data folder, as `cmake --install` puts it.
    void installPackage() {
        writeFile(systemData() + "/mime/packages/treva-trvfile.xml", installed("treva-trvfile.xml"));
        writeFile(systemData() + "/applications/treva.desktop", installed("treva.desktop"));
        writeFile(path("usr/bin/treva"), "", true);
        folders.searchPath += path("usr/bin");
    }

private slots:
    void init() {
        root = std::make_unique<QTemporaryDir>();
        QVERIFY(root->isValid());
        folders.dataHome = path("home/.local/share");
        folders.configHome = path("home/.config");
        folders.dataDirs = QStringList{path("usr/local/share"), path("usr/share")};
        folders.program = path("build/treva");
        folders.searchPath = QStringList{path("bin")};
        // Cache updaters that only note that they ran, and on which folder.
        for (const char *tool : {"update-mime-database", "update-desktop-database"})
            writeFile(path("bin/") + tool,
                      "#!/bin/sh\necho \"${0##*/} $1\" >>'" + path("updaters.log").toUtf8() + "'\n", true);
    }

    void firstRunWritesTheInstalledFilesThenNothing() {
        QCOMPARE(run(), FreedesktopResult::Written);
        QCOMPARE(readFile(package()), installed("treva-trvfile.xml"));
        QCOMPARE(readFile(entry()), installedEntryWith("Exec=" + folders.program.toUtf8() + " %f"));
        QCOMPARE(readFile(mimeapps()), "[Default Applications]\napplication/x-treva-scenario=treva.desktop\n");
        QCOMPARE(updatersRun(), "update-mime-database " + folders.dataHome.toUtf8() +
                                    "/mime\nupdate-desktop-database " + folders.dataHome.toUtf8() + "/applications\n");

        for (const QString &file : {package(), entry(), mimeapps()}) age(file);
        QCOMPARE(run(), FreedesktopResult::Written);
        QVERIFY(untouched(package()) && untouched(entry()) && untouched(mimeapps()));
        QCOMPARE(updatersRun(), "");
    }

    void movedProgramRewritesTheDesktopEntryOnly() {
        QCOMPARE(run(), FreedesktopResult::Written);
        for (const QString &file : {package(), entry(), mimeapps()}) age(file);
        updatersRun();

        folders.program = path("moved/treva");
        QCOMPARE(run(), FreedesktopResult::Written);
        QCOMPARE(readFile(entry()), installedEntryWith("Exec=" + folders.program.toUtf8() + " %f"));
        QVERIFY(!untouched(entry()));
        QVERIFY(untouched(package()) && untouched(mimeapps()));
        QCOMPARE(updatersRun(), "update-desktop-database " + folders.dataHome.toUtf8() + "/applications\n");
    }

    void execLineNamesTheProgram_data() {
        QTest::addColumn<QString>("program"); // "": the treva on the search path
        QTest::addColumn<QByteArray>("exec");
        QTest::newRow("plain") << "/opt/treva/bin/treva" << QByteArray("Exec=/opt/treva/bin/treva %f");
        QTest::newRow("blank") << "/home/player/My Games/treva"
                               << QByteArray("Exec=\"/home/player/My Games/treva\" %f");
        QTest::newRow("quote, dollar, backtick, backslash")
            << "/opt/a\"b$c`d\\e/treva" << QByteArray("Exec=\"/opt/a\\\\\"b\\\\$c\\\\`d\\\\\\\\e/treva\" %f");
        QTest::newRow("percent") << "/opt/100%/treva" << QByteArray("Exec=/opt/100%%/treva %f");
        QTest::newRow("on the search path") << "" << QByteArray("Exec=treva %f");
    }

    void execLineNamesTheProgram() {
        QFETCH(QString, program);
        QFETCH(QByteArray, exec);
        folders.program = program.isEmpty() ? path("bin/treva") : program;
        if (program.isEmpty()) writeFile(folders.program, "", true);
        QCOMPARE(run(), FreedesktopResult::Written);
        QCOMPARE(readFile(entry()), installedEntryWith(exec));

        // Read back as an installed package's entry, it names this program.
        writeFile(systemData() + "/mime/packages/treva-trvfile.xml", readFile(package()));
        writeFile(systemData() + "/applications/treva.desktop", readFile(entry()));
        QVERIFY(QDir(path("home")).removeRecursively());
        QCOMPARE(run(), FreedesktopResult::LeftAlone);
    }

    void anotherTypeClaimingTheGlobIsLeftAlone_data() {
        QTest::addColumn<int>("folder"); // 0: the user's, 1 and 2: the system's
        QTest::addColumn<QByteArray>("claim");
        QTest::addColumn<FreedesktopResult>("expected");
        QTest::newRow("system") << 2 << QByteArray("<glob pattern=\"*.trv\"/>") << FreedesktopResult::LeftAlone;
        QTest::newRow("user's, other case")
            << 0 << QByteArray("<glob weight='60' pattern='*.TRV'/>") << FreedesktopResult::LeftAlone;
        QTest::newRow("no claim: comment, longer glob, sub-class")
            << 1
            << QByteArray(
                   "<!-- <glob pattern=\"*.trv\"/> --><glob pattern=\"*.trv.gz\"/><sub-class-of type=\"x/trv\"/>")
            << FreedesktopResult::Written;
    }

    void anotherTypeClaimingTheGlobIsLeftAlone() {
        QFETCH(int, folder);
        QFETCH(QByteArray, claim);
        QFETCH(FreedesktopResult, expected);
        writeFile((QStringList(folders.dataHome) + folders.dataDirs)[folder] + "/mime/packages/other.xml",
                  "<?xml version=\"1.0\"?>\n<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">"
                  "<mime-type type=\"application/x-other-game\">" +
                      claim + "</mime-type></mime-info>\n");
        QCOMPARE(run(), expected);
        const bool written = expected == FreedesktopResult::Written;
        QCOMPARE(QFileInfo::exists(package()), written);
        QCOMPARE(QFileInfo::exists(entry()), written);
        QCOMPARE(QFileInfo::exists(folders.configHome), written);
        QCOMPARE(updatersRun().isEmpty(), !written);
    }

    void installedPackageNamingThisProgramIsLeftAlone_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<FreedesktopResult>("expected");
        QTest::newRow("the installed program") << "usr/bin/treva" << FreedesktopResult::LeftAlone;
        QTest::newRow("a link to it") << "opt/treva" << FreedesktopResult::LeftAlone;
        QTest::newRow("another program") << "build/treva" << FreedesktopResult::Written;
    }

    void installedPackageNamingThisProgramIsLeftAlone() {
        QFETCH(QString, program);
        QFETCH(FreedesktopResult, expected);
        installPackage();
        QVERIFY(QDir().mkpath(path("opt")) && QFile::link(path("usr/bin/treva"), path("opt/treva")));
        folders.program = path(program);
        QCOMPARE(run(), expected);
        if (expected == FreedesktopResult::LeftAlone) {
            QVERIFY(homeUntouched());
            QCOMPARE(updatersRun(), "");
        } else {
            QCOMPARE(readFile(entry()), installedEntryWith("Exec=" + folders.program.toUtf8() + " %f"));
        }
    }

    void mimeappsKeepsOtherLines_data() {
        const QByteArray ours = "application/x-treva-scenario=treva.desktop\n";
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("end of its group")
            << QByteArray("[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\n# chosen\n"
                          "text/html=browser.desktop\n\n[Removed Associations]\nimage/gif=paint.desktop;\n")
            << "[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\n# chosen\n"
               "text/html=browser.desktop\n" +
                   ours + "\n[Removed Associations]\nimage/gif=paint.desktop;\n";
        QTest::newRow("no group yet") << QByteArray("[Added Associations]\napplication/x-treva-scenario=o.desktop;\n")
                                      << "[Added Associations]\napplication/x-treva-scenario=o.desktop;\n\n"
                                         "[Default Applications]\n" +
                                             ours;
        QTest::newRow("no final newline") << QByteArray("[Default Applications]\ntext/html=browser.desktop")
                                          << "[Default Applications]\ntext/html=browser.desktop\n" + ours;
        const QByteArray chosen =
            "[Default Applications]\napplication/x-treva-scenario = other.desktop;\nx/y=z.desktop";
        QTest::newRow("the player's own default") << chosen << chosen;
        QTest::newRow("ours already") << "[Default Applications]\n" + ours << "[Default Applications]\n" + ours;
    }

    void mimeappsKeepsOtherLines() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        writeFile(mimeapps(), before);
        age(mimeapps());
        QCOMPARE(run(), FreedesktopResult::Written);
        QCOMPARE(readFile(mimeapps()), after);
        QCOMPARE(untouched(mimeapps()), before == after);
    }

    void unknownFolderOrProgramWritesNothing() {
        for (QString *unknown : {&folders.dataHome, &folders.configHome, &folders.program}) {
            const QString kept = std::exchange(*unknown, QStringLiteral("relative/folder"));
            QCOMPARE(run(), FreedesktopResult::WriteFailed);
            unknown->clear();
            QCOMPARE(run(), FreedesktopResult::WriteFailed);
            QVERIFY(homeUntouched());
            *unknown = kept;
        }
    }
};

QTEST_GUILESS_MAIN(FileTypeFreedesktopTest)
#include "file_type_freedesktop_test.moc"
