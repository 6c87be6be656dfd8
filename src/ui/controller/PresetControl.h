#pragma once
// "Preset Controller": the store page and the recall page in one modal sheet, closed by
// its one OK button.

#include <QDialog>
#include <memory>

class QTabWidget;

namespace kv {

class CKorvaliserDoc;
class CRecallPresets;
class CStorePresets;
class OnlineSender;
class PresetTransfer;
class UnitLink;

class CPresetControl : public QDialog {
    Q_OBJECT
public:
    CPresetControl(CKorvaliserDoc& document, UnitLink& link, OnlineSender& sender, QWidget* parent = nullptr);
    ~CPresetControl() override;

    CStorePresets& storePage() const { return *store_; }
    CRecallPresets& recallPage() const { return *recall_; }
    QTabWidget& tabs() const { return *tabs_; }

private:
    std::unique_ptr<PresetTransfer> transfer_;
    QTabWidget* tabs_ = nullptr;
    CStorePresets* store_ = nullptr;
    CRecallPresets* recall_ = nullptr;
};

}  // namespace kv
