#include "app/DocumentHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/AppSettings.h"
#include "document/KorvaliserDoc.h"
#include "document/file/OvkFile.h"
#include "measurement/tuning/BankTuning.h"
#include "ui/tuning/TuningFile.h"

namespace kv {

namespace {

QString absolutePath(const QString& path) {
    return path.isEmpty() ? path : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

}  // namespace

DocumentHost::DocumentHost(CKorvaliserDoc& document, BankTuning& tuning, const Prompts& prompts,
                           QObject* parent)
    : QObject(parent),
      document_(document),
      tuning_(tuning),
      prompts_(prompts),
      lastModified_(document.isModified()) {
    document_.addListener(this);
}

DocumentHost::~DocumentHost() { document_.removeListener(this); }

QString DocumentHost::title() const {
    return pathName_.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(pathName_).fileName();
}

QString DocumentHost::windowTitle() const {
    return title() + QStringLiteral("[*]") + QString::fromLatin1(kWindowTitleSuffix);
}

bool DocumentHost::isModified() const { return document_.isModified(); }

void DocumentHost::setModified(bool modified) { document_.setModified(modified); }

void DocumentHost::documentChanged(const DocumentChange& change) {
    // Choosing another preset is not a change of the bank; the tree and report follow it
    // on their own.
    if (change.element != ChangedElement::Selection) emit contentChanged();
    if (change.element == ChangedElement::UnitType) emit unitTypeChanged();
    if (change.modified != lastModified_) {
        lastModified_ = change.modified;
        emit titleChanged();
    }
}

bool DocumentHost::saveModified() {
    if (!isModified()) return true;
    const auto answer = prompts_.ask(QMessageBox::Warning, QStringLiteral("Save changes to %1?").arg(title()),
                                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::Yes) return save();
    return true;
}

bool DocumentHost::newDocument() {
    if (!saveModified()) return false;
    document_.resetNewBank();
    becomeUntitled();
    return true;
}

void DocumentHost::becomeUntitled() {
    pathName_.clear();
    tuning_.clear();
    document_.setModified(false);
    emit titleChanged();
    emit documentLoaded();
    updateAllViews(nullptr);
}

bool DocumentHost::openDocumentFile(const QString& requested) {
    const QString path = absolutePath(requested);
    if (!pathName_.isEmpty() && path == pathName_) {
        const auto answer = prompts_.ask(QMessageBox::Question, QStringLiteral("Reload Original Settings ?"),
                                         QMessageBox::Ok | QMessageBox::Cancel);
        if (answer != QMessageBox::Ok) return true;  // the open bank stays as it is
        const bool wasModified = isModified();
        document_.setModified(false);  // discard the edits without asking
        if (loadFrom(path)) return true;
        // The file could not be read again: unless it reset the document, the edited
        // bank stays, and so does the knowledge that it holds unsaved changes.
        if (pathName_ == path) document_.setModified(wasModified);
        return false;
    }
    if (!saveModified()) return false;
    return loadFrom(path);
}

bool DocumentHost::open() {
    if (!prompts_.openFile) return false;
    const QString path = prompts_.openFile(QStringLiteral("Open"), QFileInfo(pathName_).absolutePath(),
                                           QString::fromLatin1(kDocumentFilter));
    return !path.isEmpty() && openDocumentFile(path);
}

bool DocumentHost::save() { return pathName_.isEmpty() ? saveAs() : saveTo(pathName_); }

bool DocumentHost::saveAs() {
    if (!prompts_.saveFile) return false;
    const QString proposed = pathName_.isEmpty() ? title() + QStringLiteral(".ovk") : pathName_;
    QString path =
        prompts_.saveFile(QStringLiteral("Save As"), proposed, QString::fromLatin1(kDocumentFilter));
    if (path.isEmpty()) return false;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".ovk");
    return saveTo(absolutePath(path));
}

bool DocumentHost::loadFrom(const QString& path) {
    // The loader replaces the bank only with a sound file, and fields a smaller file does
    // not cover keep their values; a file cut short resets the document as for New.
    const FileResult result = loadDocument(document_, QFile::encodeName(path).toStdString());
    if (!result.ok) {
        prompts_.tell(QMessageBox::Warning, QString::fromStdString(result.error));
        if (result.documentReset) becomeUntitled();
        return false;
    }
    pathName_ = path;
    addRecentFile(path);
    loadTuning(path);
    document_.setModified(false);
    emit titleChanged();
    emit documentLoaded();
    updateAllViews(nullptr);
    return true;
}

bool DocumentHost::saveTo(const QString& path) {
    const FileResult result = saveDocument(document_, QFile::encodeName(path).toStdString());
    if (!result.ok) {
        prompts_.tell(QMessageBox::Warning, QString::fromStdString(result.error));
        return false;
    }
    setPathName(path);
    // The bank is saved; while its tuning is not, the document still holds unsaved work.
    if (const QString error = writeTuningFile(path, tuning_); !error.isEmpty()) {
        prompts_.tell(QMessageBox::Warning, error);
        return false;
    }
    document_.setModified(false);
    emit titleChanged();
    return true;
}

void DocumentHost::loadTuning(const QString& bankPath) {
    const TuningFileRead read = readTuningFile(bankPath);
    tuning_.replaceWith(read.tuning);
    if (!read.error.isEmpty())
        prompts_.tell(QMessageBox::Warning,
                      QStringLiteral("The tuning settings in \"%1\" could not be read (%2), so the bank "
                                     "opened without them.")
                          .arg(QFileInfo(tuningFilePath(bankPath)).fileName(), read.error));
}

void DocumentHost::setPathName(const QString& path, bool addToRecent) {
    pathName_ = absolutePath(path);
    if (addToRecent) addRecentFile(pathName_);
    emit titleChanged();
}

void DocumentHost::setRecentFiles(const QStringList& files) {
    recentFiles_ = files.mid(0, kRecentFileCount);
    emit recentFilesChanged();
}

void DocumentHost::addRecentFile(const QString& path) {
    recentFiles_ = withRecentFile(recentFiles_, path);
    emit recentFilesChanged();
}

void DocumentHost::updateAllViews(QObject* sender) { emit viewsUpdated(sender); }

}  // namespace kv
