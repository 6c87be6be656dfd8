#include "ui/controller/PresetSelectionList.h"

#include "document/KorvaliserDoc.h"

namespace kv {

QString presetPositionLabel(const CKorvaliserDoc& document, int position) {
    return QStringLiteral("P%1 : %2")
        .arg(position)
        .arg(QString::fromStdU16String(document.presetNameText(document.slotAtPosition(position))));
}

PresetSelectionList::PresetSelectionList(const CKorvaliserDoc& document, QWidget* parent)
    : QListWidget(parent) {
    // A little air between the rows, so the tick boxes of neighbouring entries do not touch.
    constexpr int kRowGap = 2;
    setSpacing(kRowGap);
    for (int p = 0; p < kPresetCount; ++p) {
        auto* item = new QListWidgetItem(presetPositionLabel(document, p), this);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    connect(this, &QListWidget::itemChanged, this, &PresetSelectionList::selectionChanged);
}

PresetMask PresetSelectionList::selection() const {
    PresetMask mask = 0;
    for (int p = 0; p < count(); ++p)
        if (item(p)->checkState() == Qt::Checked) mask = static_cast<PresetMask>(mask | (1u << p));
    return mask;
}

void PresetSelectionList::setTicked(int position, bool ticked) {
    if (QListWidgetItem* entry = item(position)) entry->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void PresetSelectionList::selectAll() {
    for (int p = 0; p < count(); ++p) setTicked(p, true);
}

void PresetSelectionList::clearAll() {
    for (int p = 0; p < count(); ++p) setTicked(p, false);
}

}  // namespace kv
