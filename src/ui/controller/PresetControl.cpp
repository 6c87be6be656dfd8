#include "ui/controller/PresetControl.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "link/PresetTransfer.h"
#include "ui/controller/RecallPresets.h"
#include "ui/controller/StorePresets.h"

namespace kv {

CPresetControl::CPresetControl(CKorvaliserDoc& document, UnitLink& link, OnlineSender& sender,
                               QWidget* parent)
    : QDialog(parent), transfer_(std::make_unique<PresetTransfer>(link, document, sender)) {
    setObjectName(QStringLiteral("presetController"));
    setWindowTitle(QStringLiteral("Preset Controller"));
    tabs_ = new QTabWidget(this);
    store_ = new CStorePresets(document, link, *transfer_, tabs_);
    recall_ = new CRecallPresets(document, *transfer_, tabs_);
    tabs_->addTab(store_, QStringLiteral("Send Presets to Unit"));
    tabs_->addTab(recall_, QStringLiteral("Recall Unit Presets"));

    // Only OK: every store or recall has already happened when it is pressed.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
}

CPresetControl::~CPresetControl() = default;

}  // namespace kv
