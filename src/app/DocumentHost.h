#pragma once
// The single-document host: it keeps the one document's file path, title and recent-file
// list, runs New, Open, Save and Save As with their questions, and tells the views to
// refresh. The bank's tuning settings go with it: read from the side file when a bank is
// opened, written when it is saved, cleared by New. Views ask for "update all views"
// naming themselves as the sender, so the one that made the change can skip its own
// rebuild.

#include <QObject>
#include <QString>
#include <QStringList>

#include "document/DocumentListener.h"
#include "ui/Prompts.h"

namespace kv {

class BankTuning;
class CKorvaliserDoc;

inline constexpr auto kWindowTitleSuffix = " - Korvalis Preset Manager V1.10";
inline constexpr auto kDocumentFilter = "Korvalis Files (*.ovk)";

class DocumentHost : public QObject, public DocumentListener {
    Q_OBJECT
public:
    DocumentHost(CKorvaliserDoc& document, BankTuning& tuning, const Prompts& prompts,
                 QObject* parent = nullptr);
    ~DocumentHost() override;
    DocumentHost(const DocumentHost&) = delete;
    DocumentHost& operator=(const DocumentHost&) = delete;

    CKorvaliserDoc& document() const { return document_; }
    BankTuning& tuning() const { return tuning_; }
    const QString& pathName() const { return pathName_; }
    QString title() const;        // the file name, or "Untitled" for a bank never saved
    QString windowTitle() const;  // title, modified mark placeholder and the program's name
    bool isModified() const;
    void setModified(bool modified);

    // New: asks to save a modified bank, then resets it. False when the user cancelled.
    bool newDocument();
    // Opens a file as Open, the recent-file menu and start-up do, including the
    // "Reload Original Settings ?" question when the same file is already open. A file
    // that cannot be read is reported and leaves the bank as it was.
    bool openDocumentFile(const QString& path);
    bool open();  // asks for the file first
    bool save();
    bool saveAs();
    // Asks whether to save a modified bank; false when the user cancelled.
    bool saveModified();

    // Gives the document a new path (as after Save As), which also changes the title.
    void setPathName(const QString& path, bool addToRecent = true);
    const QStringList& recentFiles() const { return recentFiles_; }
    void setRecentFiles(const QStringList& files);

    void updateAllViews(QObject* sender);

signals:
    void viewsUpdated(QObject* sender);
    void titleChanged();
    void contentChanged();
    void unitTypeChanged();  // a switch, its undo, or the unit's own report
    void recentFilesChanged();
    void documentLoaded();  // after New and after every successful load

private:
    void documentChanged(const DocumentChange& change) override;
    void becomeUntitled();  // a new bank's path, title and views
    bool loadFrom(const QString& path);
    bool saveTo(const QString& path);
    // A broken side file is reported once and left alone; the bank opens without tuning.
    void loadTuning(const QString& bankPath);
    void addRecentFile(const QString& path);

    CKorvaliserDoc& document_;
    BankTuning& tuning_;
    const Prompts& prompts_;
    QString pathName_;
    QStringList recentFiles_;
    bool lastModified_ = false;
};

}  // namespace kv
