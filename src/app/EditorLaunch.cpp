#include "app/EditorLaunch.h"

#include <QFile>
#include <QMessageBox>
#include <memory>

#include "app/AppSettings.h"
#include "app/DocumentHost.h"
#include "connection/UnitConnection.h"
#include "document/KorvaliserDoc.h"
#include "measurement/tuning/BankTuning.h"
#include "response/ResponseCurveTable.h"
#include "ui/Prompts.h"
#include "ui/editor/EditorContext.h"
#include "ui/editor/UnitSheet.h"
#include "ui/remote/PromptLinkNotifier.h"

namespace kv {

namespace {

// "show.ovk[*] - Settings for Preset 3 : Mains": the file first, as the main window has it.
void showFileInTitle(CUnitSheet& sheet, const DocumentHost& host, const QString& caption) {
    sheet.setWindowTitle(host.title() + QStringLiteral("[*] - ") + caption);
    sheet.setWindowModified(host.isModified());
}

}  // namespace

int runEditorStandalone(const QString& file, int presetNumber, bool simulate, const Prompts& prompts,
                        QSettings& settingsStore) {
    if (presetNumber < 1 || presetNumber > kPresetCount) {
        prompts.tell(
            QMessageBox::Warning,
            QStringLiteral("Preset number %1 is not between 1 and %2.").arg(presetNumber).arg(kPresetCount));
        return 1;
    }
    CKorvaliserDoc document;
    BankTuning tuning;
    // Loading and saving go the main window's way: the tuning side file with the bank,
    // the same question, the same atomic save, the same errors.
    DocumentHost host(document, tuning, prompts);
    if (!host.openDocumentFile(file)) return 1;
    document.selectPreset(document.slotAtPosition(presetNumber - 1));

    // The user's port, speed and Q/bandwidth choice, as the main window would use them;
    // nothing is written back.
    const AppSettings settings = readAppSettings(settingsStore);
    ResponseCurveTable curves;
    PromptLinkNotifier notifier(prompts);
    // The connection starts closed, as every run does, until "On Line" opens it.
    UnitConnection connection(document, &notifier);
    connection.choosePort(settings.comNumber, settings.speedIndex, settings.deviceOf(settings.comNumber));
    if (simulate) {
        if (const std::string problem = connection.startSimulator(); !problem.empty()) {
            prompts.tell(QMessageBox::Critical, QStringLiteral("Cannot start the simulated amplifier:\n%1")
                                                    .arg(QString::fromStdString(problem)));
            return 1;
        }
    }
    const EditorDisplayOptions display{settings.showQ != 0};
    EditorContext context{document, curves, connection.link(), connection.sender(), tuning, display};
    CUnitSheet sheet(context);
    const QString caption = sheet.windowTitle();
    showFileInTitle(sheet, host, caption);
    QObject::connect(&host, &DocumentHost::titleChanged, &sheet,
                     [&sheet, &host, caption] { showFileInTitle(sheet, host, caption); });
    sheet.setCloseGuard([&host] { return host.saveModified(); });
    sheet.exec();
    return 0;
}

}  // namespace kv
