#pragma once
// The application object: it owns the document, the bank's tuning settings, the curve
// table, the unit link and its online sender, the document host and the main frame, runs
// start-up in its fixed order (settings, document, command line, splash, most recent
// file, main window, split position, link unconnected) and writes the settings back at
// exit.

#include <QObject>
#include <QString>
#include <memory>

#include "app/AppSettings.h"
#include "app/CommandLine.h"
#include "ui/Prompts.h"

class QDialog;
class QPrinter;
class QSettings;

namespace kv {

class BankTuning;
class CKorvaliserDoc;
class CMainFrame;
class DocumentHost;
class OnlineSender;
class PromptLinkNotifier;
class ReportPrinter;
class ResponseCurveTable;
class SimulatedAmplifier;
class UnitConnection;
class UnitLink;

inline constexpr int kSplashDisplayMs = 5000;

class CKorvaliserApp : public QObject {
    Q_OBJECT
public:
    // `store` is where the settings live (the user's own, or a test's temporary file);
    // `prompts` answers every question (the real dialogs when left empty).
    explicit CKorvaliserApp(std::unique_ptr<QSettings> store, Prompts prompts = {});
    ~CKorvaliserApp() override;
    CKorvaliserApp(const CKorvaliserApp&) = delete;
    CKorvaliserApp& operator=(const CKorvaliserApp&) = delete;

    // Start-up; false when it failed (the process then ends). A headless action (print,
    // PDF) is carried out here without a window.
    bool initInstance(const StartupOptions& options);
    // Exit: writes the settings.
    void exitInstance();

    CKorvaliserDoc& document() { return *document_; }
    BankTuning& tuning() { return *tuning_; }
    DocumentHost& host() { return *host_; }
    UnitConnection& connection() { return *connection_; }
    UnitLink& link();
    OnlineSender& sender();
    ResponseCurveTable& curves() { return *curves_; }
    AppSettings& settings() { return settings_; }
    const Prompts& prompts() const { return prompts_; }
    CMainFrame* mainFrame() const { return frame_.get(); }
    SimulatedAmplifier* simulator() const;

    // Opens a document file the way Open, the recent-file menu and start-up do.
    bool openDocumentFile(const QString& path);
    // Start-up step: reopen "File1" of the recent-file list, asking while it is missing.
    void reopenMostRecentFile();
    QDialog* createAboutBox(QWidget* parent);
    void about();

    // The document's commands.
    void openEditor();  // the preset editor for the current preset
    void openPresetController();
    void buildPresetFile();
    void chooseNoConnection();
    void chooseRs232();

private:
    void readSettings();
    bool processCommandLine(const StartupOptions& options);
    bool runHeadless(const StartupOptions& options);
    bool startSimulator();
    ReportPrinter reportPrinter() const;

    std::unique_ptr<QSettings> store_;
    Prompts prompts_;
    AppSettings settings_;
    std::unique_ptr<CKorvaliserDoc> document_;
    std::unique_ptr<BankTuning> tuning_;
    std::unique_ptr<ResponseCurveTable> curves_;
    std::unique_ptr<PromptLinkNotifier> notifier_;
    std::unique_ptr<UnitConnection> connection_;
    std::unique_ptr<DocumentHost> host_;
    std::unique_ptr<CMainFrame> frame_;
    bool started_ = false;
};

}  // namespace kv
