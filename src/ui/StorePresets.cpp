#include "ui/StorePresets.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "document/KorvaliserDoc.h"
#include "link/UnitLink.h"
#include "ui/Wait.h"

namespace kv {

QString presetPositionLabel(const CKorvaliserDoc& document, int position) {
    return QStringLiteral("P%1 : %2")
        .arg(position)
        .arg(QString::fromStdU16String(document.presetNameText(document.slotAtPosition(position))));
}

CStorePresets::CStorePresets(CKorvaliserDoc& document, UnitLink& link, PresetTransfer& transfer,
                             QWidget* parent)
    : QWidget(parent), document_(document), link_(link), transfer_(transfer) {
    setObjectName(QStringLiteral("storePresetsPage"));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("storeList"));
    for (int p = 0; p < kPresetCount; ++p) {
        auto* item = new QListWidgetItem(presetPositionLabel(document_, p), list_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    auto* selectAllButton = new QPushButton(QStringLiteral("Select All"), this);
    selectAllButton->setObjectName(QStringLiteral("selectAllButton"));
    auto* clearAllButton = new QPushButton(QStringLiteral("Clear All"), this);
    clearAllButton->setObjectName(QStringLiteral("clearAllButton"));
    store_ = new QPushButton(QStringLiteral("Store Selections to Unit"), this);
    store_->setObjectName(QStringLiteral("storeButton"));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(selectAllButton);
    buttons->addWidget(clearAllButton);
    buttons->addStretch(1);
    buttons->addWidget(store_);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    connect(selectAllButton, &QPushButton::clicked, this, &CStorePresets::selectAll);
    connect(clearAllButton, &QPushButton::clicked, this, &CStorePresets::clearAll);
    connect(store_, &QPushButton::clicked, this, &CStorePresets::storeSelections);
    connect(list_, &QListWidget::itemChanged, this, [this] { updateStoreButton(); });
    updateStoreButton();
}

PresetMask CStorePresets::selection() const {
    PresetMask mask = 0;
    for (int p = 0; p < list_->count(); ++p)
        if (list_->item(p)->checkState() == Qt::Checked) mask = static_cast<PresetMask>(mask | (1u << p));
    return mask;
}

void CStorePresets::setTicked(int position, bool ticked) {
    if (QListWidgetItem* item = list_->item(position))
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void CStorePresets::selectAll() {
    for (int p = 0; p < list_->count(); ++p) setTicked(p, true);
    updateStoreButton();
}

void CStorePresets::clearAll() {
    for (int p = 0; p < list_->count(); ++p) setTicked(p, false);
    updateStoreButton();
}

void CStorePresets::updateStoreButton() { store_->setEnabled(selection() != 0); }

void CStorePresets::storeSelections() {
    const PresetMask mask = selection();
    if (mask == 0) return;
    progress_.clear();
    // The wait window appears with the first preset sent, so a failure to go online
    // (already told to the user) shows none.
    CWait wait(window());
    transfer_.storeSelections(mask, [this, &wait](int position) {
        const QString text = QString::fromStdString(sendingPresetText(position));
        progress_.append(text);
        wait.setText(text);
    });
}

}  // namespace kv
