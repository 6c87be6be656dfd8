#include "ui/controller/StorePresets.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "document/KorvaliserDoc.h"
#include "link/UnitLink.h"
#include "ui/controller/PresetSelectionList.h"
#include "ui/controller/Wait.h"

namespace kv {

CStorePresets::CStorePresets(CKorvaliserDoc& document, UnitLink& link, PresetTransfer& transfer,
                             QWidget* parent)
    : QWidget(parent), document_(document), link_(link), transfer_(transfer) {
    setObjectName(QStringLiteral("storePresetsPage"));
    list_ = new PresetSelectionList(document_, this);
    list_->setObjectName(QStringLiteral("storeList"));
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
    connect(list_, &PresetSelectionList::selectionChanged, this, [this] { updateStoreButton(); });
    updateStoreButton();
}

PresetMask CStorePresets::selection() const { return list_->selection(); }

void CStorePresets::setTicked(int position, bool ticked) { list_->setTicked(position, ticked); }

void CStorePresets::selectAll() {
    list_->selectAll();
    updateStoreButton();
}

void CStorePresets::clearAll() {
    list_->clearAll();
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
