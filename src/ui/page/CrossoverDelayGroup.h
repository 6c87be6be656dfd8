#pragma once
// The crossover and delay group of an output page: the high-pass and low-pass buttons,
// which show each filter and ask for the crossover dialog, the delay as text and on a
// trackbar, and the limiter lists, which sit under the output strip.

#include <array>

#include "document/KorvaliserDoc.h"
#include "editing/CrossoverRules.h"
#include "ui/page/PagePart.h"

class QComboBox;
class QLineEdit;
class QSlider;

namespace kv {

class PageButton;

class CrossoverDelayGroup : public PagePart {
    Q_OBJECT
public:
    CrossoverDelayGroup(CKorvaliserDoc& document, int output, QWidget* page);

    // Crossover texts, delay and limiter as the document holds them.
    void refresh();
    // Level, Attack and Release, in tab order.
    std::array<QWidget*, 3> limiterLists() const;

signals:
    void crossoverDialogRequested(CrossoverSide side);
    // A limiter choice was made: the whole page shows the bank again.
    void limiterChosen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildCrossoverAndDelay();
    void buildLimiter();
    void connectControls();
    void showDelay();
    void commitDelayText();
    void delayTrackbarAction(int action);
    void limiterLevelChosen(int index);

    CKorvaliserDoc& doc_;
    const int output_;
    PageButton* highPassButton_ = nullptr;
    PageButton* lowPassButton_ = nullptr;
    QLineEdit* delayEdit_ = nullptr;
    QSlider* delayTrackbar_ = nullptr;
    bool delayTextChanged_ = false;
    QComboBox* levelList_ = nullptr;
    QComboBox* attackList_ = nullptr;
    QComboBox* releaseList_ = nullptr;
};

}  // namespace kv
