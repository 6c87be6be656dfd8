#pragma once
// CFilterSlope: the crossover filter dialog. It sets the high-pass or the low-pass filter
// of one output of the current preset (frequency and slope); the two push-like radio
// buttons switch between the filters without closing. The high-pass can never be set
// above the low-pass frequency, nor the low-pass below the high-pass, from here. Every
// change goes to the document at once; closing undoes nothing. A double-click on a slope
// sets it and closes the dialog.
//
// The opener constructs it on its stack and calls exec(). Controls carry these object
// names: frequencyEdit, frequencyBar, lowLabel, highLabel, slopeList, highPassButton,
// lowPassButton, doneButton, and dspWarning: beside Done, where the unit's response of
// the filter being edited differs audibly from its model, the difference; hidden
// otherwise.

#include <QDialog>

#include "document/KorvaliserDoc.h"
#include "editing/CrossoverRules.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace kv {

class CColourListBox;
class DspWarningLabel;

class CFilterSlope : public QDialog {
    Q_OBJECT
public:
    CFilterSlope(CKorvaliserDoc& doc, int output, CrossoverSide filter, QWidget* parent = nullptr);

    CrossoverSide filter() const { return filter_; }
    ValueRange limits() const { return limits_; }

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void fillSlopeList();
    void refresh(bool reselectSlope);
    int frequency() const;
    void setFrequency(int index);
    void commitFrequencyText();
    void onFrequencyBar(int action);
    void onSlopeSelected();
    void switchFilter(CrossoverSide filter);
    void showDspWarning();

    CKorvaliserDoc& doc_;
    UndoStepLatch dragStep_;
    const int output_;
    CrossoverSide filter_;
    ValueRange limits_{};

    QLineEdit* frequencyEdit_ = nullptr;
    QScrollBar* frequencyBar_ = nullptr;
    QLabel* lowLabel_ = nullptr;
    QLabel* highLabel_ = nullptr;
    CColourListBox* slopeList_ = nullptr;
    QPushButton* highPassButton_ = nullptr;
    QPushButton* lowPassButton_ = nullptr;
    QPushButton* doneButton_ = nullptr;
    DspWarningLabel* dspWarning_ = nullptr;
};

}  // namespace kv
