#pragma once
// "Send Presets to Unit": ten ticked entries "P%i : %s" and the buttons "Select All",
// "Clear All" and "Store Selections to Unit"; storing goes online once and sends the
// ticked positions in ascending order while the "Please Wait" window says which.

#include <QWidget>
#include <functional>

#include "link/PresetTransfer.h"
#include "ui/controller/PresetSelectionList.h"

class QPushButton;

namespace kv {

class CKorvaliserDoc;
class UnitLink;

class CStorePresets : public QWidget {
    Q_OBJECT
public:
    CStorePresets(CKorvaliserDoc& document, UnitLink& link, PresetTransfer& transfer,
                  QWidget* parent = nullptr);

    PresetSelectionList& list() const { return *list_; }
    QPushButton& storeButton() const { return *store_; }
    PresetMask selection() const;
    void setTicked(int position, bool ticked);

    void selectAll();
    void clearAll();
    void storeSelections();
    // Texts the wait window showed during the last store, in order (for the user's
    // record and for tests).
    const QStringList& lastProgress() const { return progress_; }

private:
    void updateStoreButton();

    CKorvaliserDoc& document_;
    UnitLink& link_;
    PresetTransfer& transfer_;
    PresetSelectionList* list_ = nullptr;
    QPushButton* store_ = nullptr;
    QStringList progress_;
};

}  // namespace kv
