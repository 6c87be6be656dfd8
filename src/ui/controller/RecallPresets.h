#pragma once
// "Recall Unit Presets": ten blue painted buttons "P%i : %s"; pressing one makes the
// unit recall that preset. The button pressed last stays lit.

#include <QWidget>
#include <array>

#include "document/PresetBank.h"

class QAbstractButton;

namespace kv {

class CKorvaliserDoc;
class PresetTransfer;

class CRecallPresets : public QWidget {
    Q_OBJECT
public:
    CRecallPresets(CKorvaliserDoc& document, PresetTransfer& transfer, QWidget* parent = nullptr);

    int lastRecalled() const { return lastRecalled_; }
    QAbstractButton& button(int position) const { return *buttons_.at(static_cast<std::size_t>(position)); }
    void recall(int position);
    void relabel();

private:
    CKorvaliserDoc& document_;
    PresetTransfer& transfer_;
    std::array<QAbstractButton*, kPresetCount> buttons_{};
    int lastRecalled_ = -1;
};

}  // namespace kv
