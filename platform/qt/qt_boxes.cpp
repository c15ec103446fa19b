// The boxes the layer asks and tells with: the scenario file dialog, the
// question before unsaved changes are lost, and errors; and the desktop's
// browser, which the player's guide opens in.
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>

#include "platform/qt/qt_frame.h"
#include "platform/qt/qt_window_layer.h"

namespace treva {

bool openWithDesktop(const QUrl &url) {
#if defined(__linux__)
    // QDesktopServices says only that the opener started, not whether a
    // browser took the page.
    auto *opener = new QProcess;
    QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
    opener->start(QStringLiteral("xdg-open"), {url.toString()});
    if (!opener->waitForStarted(3000)) {
        delete opener;
        return false;
    }
    constexpr int kOpenerMs = 1500;
    // Still running: a browser holds it, and it goes once it ends.
    if (!opener->waitForFinished(kOpenerMs)) return true;
    const bool shown = opener->exitStatus() == QProcess::NormalExit && opener->exitCode() == 0;
    delete opener;
    return shown;
#else
    return QDesktopServices::openUrl(url);
#endif
}

WindowLayer::SaveAnswer QtWindowLayer::askSaveChanges(std::string_view name) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("TREVA!"),
                    QStringLiteral("Save changes to %1?").arg(QString::fromUtf8(name.data(), qsizetype(name.size()))),
                    QMessageBox::NoButton, frame_.get());
    QPushButton *save = box.addButton(QStringLiteral("Save"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(QStringLiteral("Don't Save"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save) return SaveAnswer::Save;
    return box.clickedButton() == discard ? SaveAnswer::DontSave : SaveAnswer::Cancel;
}

namespace {

// The scenario file dialog: Treva files or all files, asking before it
// accepts a name that does not exist (Open) or replaces a file (Save).
class ScenarioFileDialog : public QFileDialog {
public:
    ScenarioFileDialog(QWidget *owner, bool save) : QFileDialog(owner), save_(save) {
        setOption(QFileDialog::DontUseNativeDialog);
        setWindowTitle(save ? QStringLiteral("Save As") : QStringLiteral("Open"));
        setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        setFileMode(QFileDialog::AnyFile);
        setNameFilters({QStringLiteral("Treva Files (*.TRV)"), QStringLiteral("All Files (*.*)")});
        // "*.*" names every file here, dotted or not; the file list matches
        // without regard to case, so "*.TRV" also shows "x.trv".
        connect(this, &QFileDialog::filterSelected, this, [this](const QString &filter) {
            if (filter.startsWith(QStringLiteral("All Files"))) setNameFilter(QStringLiteral("All Files (*)"));
        });
        if (save) setDefaultSuffix(QStringLiteral("trv"));
    }

    void accept() override {
        if (!save_) {
            const QStringList files = selectedFiles();
            if (!files.isEmpty()) {
                const QFileInfo info(files.first());
                if (!info.exists()) {
                    const auto answer = QMessageBox::question(
                        this, windowTitle(),
                        QStringLiteral("%1\nThis file does not exist.\nCreate the file?").arg(info.fileName()),
                        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
                    if (answer != QMessageBox::Yes) return;
                }
            }
        }
        QFileDialog::accept();
    }

private:
    bool save_;
};

std::optional<std::string> askPath(QWidget *owner, bool save, std::string_view name) {
    ScenarioFileDialog dialog(owner, save);
    if (!name.empty()) {
        const QFileInfo start(QString::fromLocal8Bit(name.data(), qsizetype(name.size())));
        if (!start.path().isEmpty() && start.path() != QStringLiteral(".")) dialog.setDirectory(start.path());
        dialog.selectFile(start.fileName());
    }
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return files.first().toLocal8Bit().toStdString();
}

} // namespace

std::optional<std::string> QtWindowLayer::askOpenPath(std::string_view startName) {
    return askPath(QApplication::activeWindow() ? QApplication::activeWindow() : frame_.get(), false, startName);
}

std::optional<std::string> QtWindowLayer::askSavePath(std::string_view proposedName) {
    return askPath(QApplication::activeWindow() ? QApplication::activeWindow() : frame_.get(), true, proposedName);
}

void QtWindowLayer::showError(std::string_view title, std::string_view text) {
    QWidget *owner = QApplication::activeWindow() ? QApplication::activeWindow() : frame_.get();
    QString shown = QString::fromUtf8(text.data(), qsizetype(text.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QChar(u'\r'), QChar(u'\n'));
    QMessageBox::warning(owner, QString::fromUtf8(title.data(), qsizetype(title.size())), shown);
}

} // namespace treva
