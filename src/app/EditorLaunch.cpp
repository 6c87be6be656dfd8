#include "app/EditorLaunch.h"

#include <QFile>
#include <QMessageBox>
#include <memory>

#include "app/AppSettings.h"
#include "app/DocumentHost.h"
#include "connection/UnitConnection.h"
#include "document/KorvaliserDoc.h"
#include "document/file/OvkFile.h"
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
    const FileResult loaded = loadDocument(document, QFile::encodeName(file).toStdString());
    if (!loaded.ok) {
        prompts.tell(QMessageBox::Warning, QString::fromStdString(loaded.error));
        return 1;
    }
    document.selectPreset(document.slotAtPosition(presetNumber - 1));
    // Saving goes the main window's way: same question, same atomic save, same errors.
    DocumentHost host(document, prompts);
    host.setPathName(file, /*addToRecent=*/false);

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
    EditorContext context{document, curves, connection.link(), connection.sender(),
                          EditorDisplayOptions{settings.showQ != 0}};
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
