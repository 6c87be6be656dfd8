#include "app/EditorLaunch.h"

#include <QMessageBox>

#include "document/KorvaliserDoc.h"
#include "document/OvkFile.h"
#include "link/OnlineSender.h"
#include "link/UnitLink.h"
#include "response/ResponseCurveTable.h"
#include "ui/EditorContext.h"
#include "ui/PromptLinkNotifier.h"
#include "ui/Prompts.h"
#include "ui/UnitSheet.h"

namespace kv {

int runEditorStandalone(const QString& file, int presetNumber) {
    const Prompts prompts = Prompts::interactive();
    if (presetNumber < 1 || presetNumber > kPresetCount) {
        prompts.tell(
            QMessageBox::Warning,
            QStringLiteral("Preset number %1 is not between 1 and %2.").arg(presetNumber).arg(kPresetCount));
        return 1;
    }
    CKorvaliserDoc document;
    const FileResult loaded = loadDocument(document, file.toStdString());
    if (!loaded.ok) {
        prompts.tell(QMessageBox::Warning, QString::fromStdString(loaded.error));
        return 1;
    }
    document.selectPreset(document.slotAtPosition(presetNumber - 1));

    ResponseCurveTable curves;
    PromptLinkNotifier notifier(prompts);
    UnitLink link(document, &notifier);
    OnlineSender sender(link, document);
    document.setSender(&sender);
    EditorContext context{document, curves, link, sender};
    CUnitSheet sheet(context);
    sheet.exec();
    document.setSender(nullptr);
    return 0;
}

}  // namespace kv
