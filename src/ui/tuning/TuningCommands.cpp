#include "ui/tuning/TuningCommands.h"

#include "document/KorvaliserDoc.h"
#include "measurement/autoeq/AutoEq.h"
#include "measurement/tuning/BankTuning.h"
#include "ui/editor/EditorContext.h"
#include "ui/tuning/AutoEqDialog.h"
#include "ui/tuning/LoadMeasurementDialog.h"

namespace kv {

TuningCommands::TuningCommands(EditorContext& context, int output, QWidget* parent)
    : context_(context), output_(output), parent_(parent) {}

bool TuningCommands::loadMeasurement() {
    const int slot = context_.document.currentPreset();
    const OutputTuning& current = context_.tuning.tuning(slot, output_);
    LoadMeasurementDialog dialog(current, QStringLiteral("Output %1").arg(output_ + 1), parent_);
    if (dialog.exec() != QDialog::Accepted || dialog.tuning() == current) return false;
    context_.tuning.setTuning(slot, output_, dialog.tuning());
    context_.document.setModified(true);
    return true;
}

bool TuningCommands::autoEq() {
    CKorvaliserDoc& document = context_.document;
    const OutputTuning& tuning = context_.tuning.tuning(document.currentPreset(), output_);
    AutoEqDialog dialog(document, output_, tuning, context_.display.showQ, parent_);
    if (dialog.exec() != QDialog::Accepted || !dialog.result()) return false;
    const UndoStepScope oneStep(document, "Auto-EQ");
    applyAutoEq(document, output_, *dialog.result());
    return true;
}

}  // namespace kv
