#include "app/KorvaliserApp.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSettings>
#include <QVBoxLayout>
#include <stdexcept>

#include "app/DocumentHost.h"
#include "app/frame/MainFrame.h"
#include "app/frame/Splash.h"
#include "connection/UnitConnection.h"
#include "document/KorvaliserDoc.h"
#include "measurement/tuning/BankTuning.h"
#include "response/ResponseCurveTable.h"
#include "ui/controller/BuildPresetFile.h"
#include "ui/controller/PresetControl.h"
#include "ui/editor/EditorContext.h"
#include "ui/editor/UnitSheet.h"
#include "ui/remote/PromptLinkNotifier.h"
#include "ui/remote/RS232PortDialog.h"
#include "ui/report/KorvaliserView.h"
#include "ui/report/ReportPrinter.h"
#include "ui/report/SettingsReport.h"

namespace kv {

namespace {

// What the user chose for the report: the "Q / BW" switch and the View menu's DSP curves.
ReportSettings reportOptionsOf(const AppSettings& settings) {
    ReportSettings options;
    options.showQ = settings.showQ != 0;
    options.showDsp = settings.reportDsp != 0;
    return options;
}

}  // namespace

CKorvaliserApp::CKorvaliserApp(std::unique_ptr<QSettings> store, Prompts prompts)
    : store_(std::move(store)),
      prompts_(prompts.message ? std::move(prompts)
                               : Prompts::interactive([this]() -> QWidget* { return frame_.get(); })),
      document_(std::make_unique<CKorvaliserDoc>()),
      tuning_(std::make_unique<BankTuning>()),
      curves_(std::make_unique<ResponseCurveTable>()),
      notifier_(std::make_unique<PromptLinkNotifier>(prompts_)),
      connection_(std::make_unique<UnitConnection>(*document_, notifier_.get())),
      host_(std::make_unique<DocumentHost>(*document_, *tuning_, prompts_)) {
    curves_->follow(*document_);
}

CKorvaliserApp::~CKorvaliserApp() { frame_.reset(); }

UnitLink& CKorvaliserApp::link() { return connection_->link(); }
OnlineSender& CKorvaliserApp::sender() { return connection_->sender(); }
SimulatedAmplifier* CKorvaliserApp::simulator() const { return connection_->simulator(); }

bool CKorvaliserApp::initInstance(const StartupOptions& options) {
    // Settings, then the document and its model-wide values, then the settings table.
    readSettings();
    if (options.simulate && !startSimulator()) return false;
    if (options.headless()) return runHeadless(options);

    frame_ = std::make_unique<CMainFrame>(*this);
    if (!processCommandLine(options)) return false;

    // The splash closes itself (its timer, any click or key) and deletes itself, which
    // can happen inside the missing-file question's own event loop: only a guarded
    // pointer may be asked about it afterwards.
    const QPointer<CSplash> splash =
        options.splash ? CSplash::show(QStringLiteral(":/app/splash.svg"), kSplashDisplayMs) : nullptr;
    if (options.file.isEmpty()) reopenMostRecentFile();

    frame_->showMaximized();
    frame_->repaint();
    if (splash) splash->raise();
    frame_->applySplitPosition(settings_.splitPos);
    // Every run starts unconnected, whatever the last one ended with.
    link().setConnectionMode(ConnectionMode::NoConnection);
    frame_->updateRemoteChecks();
    started_ = true;
    return true;
}

void CKorvaliserApp::readSettings() {
    settings_ = readAppSettings(*store_);
    host_->setRecentFiles(settings_.recentFiles);
    link().setConnectionMode(settings_.linkMode == 1 ? ConnectionMode::Rs232 : ConnectionMode::NoConnection);
    connection_->choosePort(settings_.comNumber, settings_.speedIndex,
                            settings_.deviceOf(settings_.comNumber));
}

void CKorvaliserApp::exitInstance() {
    if (frame_ && started_) settings_.splitPos = frame_->splitPosition();
    settings_.linkMode = static_cast<int>(link().connectionMode());
    settings_.comNumber = link().comPortIndex();
    settings_.speedIndex = link().baudIndex();
    settings_.recentFiles = host_->recentFiles();
    writeAppSettings(*store_, settings_);
}

bool CKorvaliserApp::startSimulator() {
    // The chosen COM entry leads to the simulated unit, for this run only.
    const std::string problem = connection_->startSimulator();
    if (problem.empty()) return true;
    prompts_.tell(
        QMessageBox::Critical,
        QStringLiteral("Cannot start the simulated amplifier:\n%1").arg(QString::fromStdString(problem)));
    return false;
}

bool CKorvaliserApp::processCommandLine(const StartupOptions& options) {
    if (options.file.isEmpty()) return true;
    if (!host_->openDocumentFile(options.file)) return false;
    if (options.preset > 0) document_->selectPreset(document_->slotAtPosition(options.preset - 1));
    host_->updateAllViews(nullptr);
    return true;
}

void CKorvaliserApp::reopenMostRecentFile() {
    const QStringList& recent = host_->recentFiles();
    if (recent.isEmpty() || recent.first().isEmpty()) return;
    const QString path = recent.first();
    bool exists = QFileInfo::exists(path);
    while (!exists) {
        const auto answer =
            prompts_.ask(QMessageBox::Warning, QStringLiteral("File ") + path + QStringLiteral(" not Found"),
                         QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
        if (answer != QMessageBox::Retry) break;
        exists = QFileInfo::exists(path);
    }
    if (exists) openDocumentFile(path);
}

bool CKorvaliserApp::openDocumentFile(const QString& path) { return host_->openDocumentFile(path); }

bool CKorvaliserApp::runHeadless(const StartupOptions& options) {
    if (!host_->openDocumentFile(options.file)) return false;
    if (options.preset > 0) document_->selectPreset(document_->slotAtPosition(options.preset - 1));
    if (options.action == StartupOptions::Action::Pdf)
        return reportPrinter().writePdf(options.pdfPath, QPrinter(QPrinter::HighResolution).pageLayout());
    QPrinter printer(QPrinter::HighResolution);
    if (!options.printerName.isEmpty()) {
        if (!QPrinterInfo::availablePrinterNames().contains(options.printerName)) {
            prompts_.tell(QMessageBox::Warning,
                          QStringLiteral("There is no printer named %1.").arg(options.printerName));
            return false;
        }
        printer.setPrinterName(options.printerName);
    } else if (QPrinterInfo::defaultPrinter().isNull()) {
        prompts_.tell(QMessageBox::Warning, QStringLiteral("There is no default printer to print %1 on.")
                                                .arg(QDir::toNativeSeparators(options.file)));
        return false;
    }
    return reportPrinter().print(printer);
}

ReportPrinter CKorvaliserApp::reportPrinter() const {
    return ReportPrinter(*document_, curves_.get(), reportOptionsOf(settings_), prompts_);
}

QDialog* CKorvaliserApp::createAboutBox(QWidget* parent) {
    auto* box = new QDialog(parent);
    box->setObjectName(QStringLiteral("aboutBox"));
    box->setWindowTitle(QStringLiteral("About Korvaliser"));
    auto* icon = new QLabel(box);
    icon->setPixmap(QIcon(QStringLiteral(":/app/korvaliser.svg")).pixmap(48, 48));
    auto* text = new QLabel(QStringLiteral("Korvaliser Version 1.10"), box);
    text->setObjectName(QStringLiteral("aboutText"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, box, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(box);
    layout->addLayout(row);
    layout->addWidget(buttons);
    return box;
}

void CKorvaliserApp::about() {
    std::unique_ptr<QDialog> box(createAboutBox(frame_.get()));
    box->exec();
}

void CKorvaliserApp::openEditor() {
    const EditorDisplayOptions display{settings_.showQ != 0};
    EditorContext context{*document_, *curves_, link(), sender(), *tuning_, display};
    CUnitSheet sheet(context, frame_.get());
    sheet.exec();
    host_->updateAllViews(nullptr);
    // Going online teaches the document the unit's model; the selector follows it.
    if (frame_) frame_->showUnitType();
}

void CKorvaliserApp::openPresetController() {
    CPresetControl sheet(*document_, link(), sender(), frame_.get());
    sheet.exec();
    if (frame_) {
        frame_->updateRemoteChecks();
        frame_->showUnitType();
    }
}

void CKorvaliserApp::buildPresetFile() {
    CBuildPresetFile dialog(*document_, prompts_, frame_.get());
    dialog.exec();
}

void CKorvaliserApp::chooseNoConnection() {
    link().chooseNoConnection();
    if (frame_) frame_->updateRemoteChecks();
}

void CKorvaliserApp::chooseRs232() {
    RS232PortDialog dialog(link().comPortIndex(), link().baudIndex(), settings_.comDevices,
                           RS232PortDialog::presentDevices(), frame_.get());
    if (simulator()) dialog.showSimulatedUnit();
    if (dialog.exec() == QDialog::Accepted) {
        settings_.comDevices = dialog.devices();
        connection_->choosePort(dialog.comPortIndex(), dialog.baudIndex(),
                                settings_.deviceOf(dialog.comPortIndex()));
        link().chooseRs232(dialog.comPortIndex(), dialog.baudIndex());
    }
    if (frame_) frame_->updateRemoteChecks();
}

}  // namespace kv
