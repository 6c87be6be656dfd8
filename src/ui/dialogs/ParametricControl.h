#pragma once
// CParametricControl: the PEQ band dialog. It edits one band of one output of the current
// preset in detail (frequency, gain, Q or bandwidth or phase, the flat switch and the
// filter type) and steps to the neighbouring bands with Dn and Up. Every edit goes to the
// document at once; the dialog keeps no copy, so closing it never undoes anything. Text
// fields commit when the focus leaves them; Enter moves the focus on instead of closing.
//
// The opener constructs it on its stack and calls exec(). Controls carry these object
// names: frequencyEdit, frequencyBar, lowLabel, highLabel, gainSlider, gainEdit,
// setZeroButton, qGroup, qEdit, qBar, flatCheck, typeCombo, flatHint, bandLabel,
// downButton, upButton, doneButton, and dspWarning: left of Done, where the unit's
// response of the band differs audibly from its model, the difference; hidden otherwise.

#include <QDialog>

#include "document/KorvaliserDoc.h"
#include "editing/PeqDialogRules.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QCheckBox;
class QScrollBar;

namespace kv {

class CImageSlider;
class CTypeComboBox;
class DspWarningLabel;

class CParametricControl : public QDialog {
    Q_OBJECT
public:
    // showQ: the "Q / BW" display switch; false shows and reads band widths as 1/Q.
    CParametricControl(CKorvaliserDoc& doc, int output, int band, bool showQ, QWidget* parent = nullptr);

    int band() const { return band_; }

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void refresh();
    void commitFrequencyText();
    void commitGainText();
    void commitQText();
    void commitPendingText();
    void onFrequencyBar(int action);
    void onQBar(int action);
    void onGainSlider();
    void onSetZero();
    void onFlat(bool checked);
    void onTypeChosen(int index);
    void stepBand(int band);

    CKorvaliserDoc& doc_;
    UndoStepLatch dragStep_;
    const int output_;
    int band_;
    const int lastBand_;
    const bool showQ_;
    int type_ = 0;
    BandRanges ranges_{};

    QLineEdit* frequencyEdit_ = nullptr;
    QScrollBar* frequencyBar_ = nullptr;
    QLabel* lowLabel_ = nullptr;
    QLabel* highLabel_ = nullptr;
    CImageSlider* gainSlider_ = nullptr;
    QLineEdit* gainEdit_ = nullptr;
    QPushButton* setZeroButton_ = nullptr;
    QGroupBox* qGroup_ = nullptr;
    QLineEdit* qEdit_ = nullptr;
    QScrollBar* qBar_ = nullptr;
    QCheckBox* flatCheck_ = nullptr;
    CTypeComboBox* typeCombo_ = nullptr;
    QLabel* flatHint_ = nullptr;
    QLabel* bandLabel_ = nullptr;
    QPushButton* downButton_ = nullptr;
    QPushButton* upButton_ = nullptr;
    QPushButton* doneButton_ = nullptr;
    DspWarningLabel* dspWarning_ = nullptr;
};

}  // namespace kv
