#pragma once
// The ten ticked entries "P%i : %s" that the store page and the build-file dialog share:
// item i is position i of the preset tree, and the ticks make the selection mask.

#include <QListWidget>

#include "link/PresetTransfer.h"

namespace kv {

class CKorvaliserDoc;

class PresetSelectionList : public QListWidget {
    Q_OBJECT
public:
    explicit PresetSelectionList(const CKorvaliserDoc& document, QWidget* parent = nullptr);

    PresetMask selection() const;  // bit i = position i ticked
    void setTicked(int position, bool ticked);
    void selectAll();
    void clearAll();

signals:
    void selectionChanged();
};

// "P%i : %s" for position p: the name of the preset shown there.
QString presetPositionLabel(const CKorvaliserDoc& document, int position);

}  // namespace kv
