#include "ui/dialogs/ParametricControl.h"

#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "document/ValueText.h"
#include "editing/input/FrequencyInput.h"
#include "response/CurveSlots.h"
#include "response/dsp/ModelDifference.h"
#include "ui/dialogs/DspWarningLabel.h"
#include "ui/dialogs/TypeComboBox.h"
#include "ui/widgets/DialogUnits.h"
#include "ui/widgets/ImageSlider.h"
#include "ui/widgets/ScrollBarAction.h"

static void registerDialogArtwork() { Q_INIT_RESOURCE(dialogs); }

namespace kv {

namespace {

QString text(const std::string& utf8) { return QString::fromStdString(utf8); }

std::string utf8(const QLineEdit* edit) { return edit->text().toStdString(); }

template <typename T>
T* place(QWidget* parent, const char* name, QRect dialogUnits) {
    auto* widget = new T(parent);  // owned by the dialog
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(dialogUnits);
    return widget;
}

QLabel* placeLabel(QWidget* parent, const char* name, const QString& caption, QRect where,
                   Qt::Alignment align) {
    auto* label = place<QLabel>(parent, name, where);
    label->setText(caption);
    label->setAlignment(align);
    return label;
}

QGroupBox* placeGroup(QWidget* parent, const char* name, const QString& title, QRect where) {
    auto* group = place<QGroupBox>(parent, name, where);
    group->setTitle(title);
    group->lower();  // behind the controls placed on it
    return group;
}

QPushButton* placeButton(QWidget* parent, const char* name, const QString& caption, QRect where) {
    auto* button = place<QPushButton>(parent, name, where);
    button->setText(caption);
    button->setAutoDefault(false);  // Enter moves the focus on; it never presses a default
    return button;
}

}  // namespace

CParametricControl::CParametricControl(CKorvaliserDoc& doc, int output, int band, bool showQ, QWidget* parent)
    : QDialog(parent),
      doc_(doc),
      output_(output),
      band_(band),
      lastBand_(doc.activeBandCount() - 1),
      showQ_(showQ) {
    static const bool artworkRegistered = (registerDialogArtwork(), true);
    Q_UNUSED(artworkRegistered);
    buildControls();
    refresh();
}

void CParametricControl::buildControls() {
    setFixedSize(dialogSize(289, 217));

    // Band header: Dn, the band's name, Up.
    downButton_ = placeButton(this, "downButton", QString(), dialogRect(7, 7, 20, 18));
    downButton_->setIcon(QIcon(QStringLiteral(":/dialogs/band_down.svg")));
    downButton_->setIconSize(QSize(22, 22));
    downButton_->setAccessibleName(QStringLiteral("Dn"));
    bandLabel_ = placeLabel(this, "bandLabel", QString(), dialogRect(30, 7, 42, 18), Qt::AlignCenter);
    bandLabel_->setAutoFillBackground(true);
    bandLabel_->setFrameShape(QFrame::Box);
    QPalette blackOnWhite = bandLabel_->palette();
    blackOnWhite.setColor(QPalette::Window, Qt::white);
    blackOnWhite.setColor(QPalette::WindowText, Qt::black);
    bandLabel_->setPalette(blackOnWhite);
    QFont bold = bandLabel_->font();
    bold.setBold(true);
    bandLabel_->setFont(bold);
    upButton_ = placeButton(this, "upButton", QString(), dialogRect(75, 7, 20, 18));
    upButton_->setIcon(QIcon(QStringLiteral(":/dialogs/band_up.svg")));
    upButton_->setIconSize(QSize(22, 22));
    upButton_->setAccessibleName(QStringLiteral("Up"));

    // Right column, in tab order: frequency, Q.
    placeGroup(this, "frequencyGroup", QStringLiteral("Frequency"), dialogRect(103, 4, 179, 60));
    frequencyEdit_ = place<QLineEdit>(this, "frequencyEdit", dialogRect(110, 17, 70, 14));
    frequencyBar_ = place<QScrollBar>(this, "frequencyBar", dialogRect(110, 35, 165, 11));
    frequencyBar_->setOrientation(Qt::Horizontal);
    frequencyBar_->setPageStep(kFrequencyPageStep);
    frequencyBar_->setFocusPolicy(Qt::StrongFocus);
    lowLabel_ = placeLabel(this, "lowLabel", QStringLiteral("Low"), dialogRect(110, 49, 70, 10),
                           Qt::AlignLeft | Qt::AlignVCenter);
    highLabel_ = placeLabel(this, "highLabel", QStringLiteral("High"), dialogRect(205, 49, 70, 10),
                            Qt::AlignRight | Qt::AlignVCenter);

    qGroup_ = placeGroup(this, "qGroup", showQ_ ? QStringLiteral("Q") : QStringLiteral("BandWd"),
                         dialogRect(103, 68, 179, 44));
    qEdit_ = place<QLineEdit>(this, "qEdit", dialogRect(110, 81, 70, 14));
    qBar_ = place<QScrollBar>(this, "qBar", dialogRect(110, 98, 165, 11));
    qBar_->setOrientation(Qt::Horizontal);
    qBar_->setPageStep(kQPageStep);
    qBar_->setFocusPolicy(Qt::StrongFocus);

    // Left column: the gain.
    placeGroup(this, "gainGroup", QStringLiteral("Gain"), dialogRect(7, 30, 88, 180));
    gainSlider_ = place<CImageSlider>(this, "gainSlider", dialogRect(39, 42, 24, 113));
    gainSlider_->configureForBandDialog();
    gainEdit_ = place<QLineEdit>(this, "gainEdit", dialogRect(17, 160, 68, 14));
    gainEdit_->setAlignment(Qt::AlignCenter);
    setZeroButton_ =
        placeButton(this, "setZeroButton", QStringLiteral("Set 0dB"), dialogRect(17, 179, 68, 17));

    // Right column, lower part: flat switch and type.
    placeGroup(this, "typeGroup", QStringLiteral("Filter Type / Shape"), dialogRect(103, 116, 179, 52));
    flatCheck_ = place<QCheckBox>(this, "flatCheck", dialogRect(232, 129, 45, 14));
    flatCheck_->setText(QStringLiteral("Flat"));
    typeCombo_ = place<CTypeComboBox>(this, "typeCombo", dialogRect(110, 129, 116, 15));
    for (const int type : kOfferedPeqTypes) typeCombo_->addItem(text(typeText(type, false)), type);
    flatHint_ = placeLabel(this, "flatHint", QStringLiteral("Set Filter Flat to Change"),
                           dialogRect(110, 150, 165, 11), Qt::AlignLeft | Qt::AlignVCenter);

    doneButton_ = placeButton(this, "doneButton", QStringLiteral("Done"), dialogRect(222, 189, 60, 20));
    // The free space under the type group, left of Done: nothing described moves for it.
    dspWarning_ = new DspWarningLabel(this, dialogRect(103, 173, 114, 36));

    // Tab order follows the columns: frequency, Q, flat, type, gain, band stepping, Done.
    setTabOrder(frequencyEdit_, frequencyBar_);
    setTabOrder(frequencyBar_, qEdit_);
    setTabOrder(qEdit_, qBar_);
    setTabOrder(qBar_, flatCheck_);
    setTabOrder(flatCheck_, typeCombo_);
    setTabOrder(typeCombo_, gainSlider_);
    setTabOrder(gainSlider_, gainEdit_);
    setTabOrder(gainEdit_, setZeroButton_);
    setTabOrder(setZeroButton_, downButton_);
    setTabOrder(downButton_, upButton_);
    setTabOrder(upButton_, doneButton_);

    for (QLineEdit* edit : {frequencyEdit_, gainEdit_, qEdit_}) edit->installEventFilter(this);
    connect(frequencyBar_, &QScrollBar::actionTriggered, this, &CParametricControl::onFrequencyBar);
    connect(qBar_, &QScrollBar::actionTriggered, this, &CParametricControl::onQBar);
    // Each drag of a slider or a scroll bar thumb is one undo step.
    connect(gainSlider_, &CImageSlider::moving, this, [this] {
        dragStep_.open(doc_);
        onGainSlider();
    });
    connect(gainSlider_, &CImageSlider::moved, this, [this] {
        onGainSlider();
        dragStep_.close();
    });
    for (QScrollBar* bar : {frequencyBar_, qBar_}) {
        connect(bar, &QScrollBar::sliderPressed, this, [this] { dragStep_.open(doc_); });
        connect(bar, &QScrollBar::sliderReleased, this, [this] { dragStep_.close(); });
    }
    connect(setZeroButton_, &QPushButton::clicked, this, &CParametricControl::onSetZero);
    connect(flatCheck_, &QCheckBox::clicked, this, &CParametricControl::onFlat);
    connect(typeCombo_, &QComboBox::activated, this, &CParametricControl::onTypeChosen);
    connect(downButton_, &QPushButton::clicked, this, [this] { stepBand(previousBandIndex(band_)); });
    connect(upButton_, &QPushButton::clicked, this, [this] { stepBand(nextBandIndex(band_, lastBand_)); });
    connect(doneButton_, &QPushButton::clicked, this, &QDialog::accept);
}

void CParametricControl::refresh() {
    type_ = doc_.bandType(output_, band_);
    ranges_ = bandRangesForType(type_, doc_.unitType());
    const int frequency = doc_.bandFrequency(output_, band_);
    const int gain = doc_.bandGain(output_, band_);
    const int q = doc_.bandQ(output_, band_);
    const bool flat = doc_.bandFlat(output_, band_);

    lowLabel_->setText(text(frequencyText(ranges_.frequency.minimum)));
    highLabel_->setText(text(frequencyText(ranges_.frequency.maximum)));
    frequencyBar_->setRange(ranges_.frequency.minimum, ranges_.frequency.maximum);
    frequencyBar_->setValue(frequency);
    frequencyEdit_->setText(text(frequencyText(frequency)));

    qBar_->setRange(0, ranges_.q.maximum - ranges_.q.minimum);
    qBar_->setValue(qBarPosition(q, type_, ranges_.q));
    qEdit_->setText(text(bandWidthText(q, type_, showQ_)));
    const bool qAdjustable = ranges_.q.minimum != ranges_.q.maximum;
    qBar_->setEnabled(qAdjustable);
    qEdit_->setEnabled(qAdjustable);

    gainSlider_->setPos(sliderPositionForBandGain(gain));
    const bool gainAdjustable = !(ranges_.gain.minimum == 0 && ranges_.gain.maximum == 0);
    gainSlider_->enableSlider(gainAdjustable);
    gainEdit_->setEnabled(gainAdjustable);
    setZeroButton_->setEnabled(gainAdjustable);
    gainEdit_->setText(text(bandGainText(gain, type_)));

    flatCheck_->setChecked(flat);
    typeCombo_->setEnabled(flat);
    flatHint_->setEnabled(!flat);

    setWindowTitle(QStringLiteral("PEQ %1 filter settings").arg(band_ + 1));
    bandLabel_->setText(QStringLiteral("PEQ %1").arg(band_ + 1));
    downButton_->setEnabled(band_ != 0);
    upButton_->setEnabled(band_ != lastBand_);
    typeCombo_->setCurrentIndex(typeCombo_->findData(type_));
    dspWarning_->showWarning(modelDifferenceWarning(
        elementModelDifference(doc_.outputChannel(output_), CurveSlots::band(band_), doc_.unitType())));
}

void CParametricControl::commitFrequencyText() {
    if (const auto index = frequencyIndexFromText(utf8(frequencyEdit_))) {
        doc_.setBandFrequency(output_, band_, limitToRange(*index, ranges_.frequency));
    }
    refresh();
}

void CParametricControl::commitGainText() {
    if (const auto gain = bandGainFromText(utf8(gainEdit_), ranges_.gain))
        doc_.setBandGain(output_, band_, *gain);
    refresh();
}

void CParametricControl::commitQText() {
    if (const auto q = bandQFromText(utf8(qEdit_), type_, showQ_, ranges_.q))
        doc_.setBandQ(output_, band_, *q);
    refresh();
}

// Text the user typed and has not committed yet goes in before anything else happens.
void CParametricControl::commitPendingText() {
    if (frequencyEdit_->isModified()) commitFrequencyText();
    if (gainEdit_->isModified()) commitGainText();
    if (qEdit_->isModified()) commitQText();
}

bool CParametricControl::eventFilter(QObject* watched, QEvent* event) {
    // A context menu over the edit is not the user leaving it.
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        // Only a text the user changed is read back: leaving an untouched field sends
        // nothing to the unit.
        if (watched == frequencyEdit_ && frequencyEdit_->isModified()) commitFrequencyText();
        if (watched == gainEdit_ && gainEdit_->isModified()) commitGainText();
        if (watched == qEdit_ && qEdit_->isModified()) commitQText();
    }
    return QDialog::eventFilter(watched, event);
}

void CParametricControl::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter) {
        QDialog::keyPressEvent(event);
        return;
    }
    // Enter on a button presses it; anywhere else it moves the focus on, which commits
    // the field being left.
    if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
        button->click();
    } else {
        focusNextChild();
    }
    event->accept();
}

void CParametricControl::done(int result) {
    commitPendingText();
    QDialog::done(result);
}

void CParametricControl::onFrequencyBar(int action) {
    if (const auto step = editorScrollAction(action)) {
        doc_.setBandFrequency(output_, band_,
                              frequencyAfterScroll(doc_.bandFrequency(output_, band_), *step,
                                                   frequencyBar_->sliderPosition(), ranges_.frequency));
    }
    refresh();
}

void CParametricControl::onQBar(int action) {
    if (const auto step = editorScrollAction(action)) {
        doc_.setBandQ(
            output_, band_,
            qAfterScroll(doc_.bandQ(output_, band_), *step, qBar_->sliderPosition(), type_, ranges_.q));
    }
    refresh();
}

void CParametricControl::onGainSlider() {
    doc_.setBandGain(output_, band_, bandGainFromSlider(gainSlider_->pos(), ranges_.gain));
    refresh();
}

void CParametricControl::onSetZero() {
    doc_.setBandGain(output_, band_, 0);
    refresh();
}

void CParametricControl::onFlat(bool checked) {
    doc_.setBandFlat(output_, band_, checked ? 1 : 0);
    refresh();
}

void CParametricControl::onTypeChosen(int index) {
    const TypeChange change =
        typeChangeFor(type_, doc_.bandFlat(output_, band_), typeCombo_->itemData(index).toInt());
    if (change.writeType) {
        doc_.setBandType(output_, band_, typeCombo_->itemData(index).toInt());
        if (change.q) doc_.setBandQ(output_, band_, *change.q);
    }
    refresh();
}

void CParametricControl::stepBand(int band) {
    band_ = band;
    refresh();
}

}  // namespace kv
