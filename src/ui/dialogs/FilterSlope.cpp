#include "ui/dialogs/FilterSlope.h"

#include <QButtonGroup>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include "document/ValueText.h"
#include "response/CurveSlots.h"
#include "response/dsp/ModelDifference.h"
#include "ui/dialogs/ColourListBox.h"
#include "ui/dialogs/DspWarningLabel.h"
#include "ui/widgets/DialogUnits.h"
#include "ui/widgets/ScrollBarAction.h"

namespace kv {

namespace {

QString text(const std::string& utf8) { return QString::fromStdString(utf8); }

template <typename T>
T* place(QWidget* parent, const char* name, QRect where) {
    auto* widget = new T(parent);  // owned by the dialog
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(where);
    return widget;
}

QPushButton* placeFilterButton(QWidget* parent, const char* name, const QString& caption, QRect where) {
    auto* button = place<QPushButton>(parent, name, where);
    button->setText(caption);
    button->setCheckable(true);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

CFilterSlope::CFilterSlope(CKorvaliserDoc& doc, int output, CrossoverSide filter, QWidget* parent)
    : QDialog(parent), doc_(doc), output_(output), filter_(filter) {
    buildControls();
    fillSlopeList();
    refresh(true);
}

void CFilterSlope::buildControls() {
    setFixedSize(dialogSize(310, 135));

    highPassButton_ =
        placeFilterButton(this, "highPassButton", QStringLiteral("High Pass"), dialogRect(7, 7, 73, 18));
    lowPassButton_ =
        placeFilterButton(this, "lowPassButton", QStringLiteral("Low Pass"), dialogRect(84, 7, 73, 18));
    auto* filterGroup = new QButtonGroup(this);
    filterGroup->setExclusive(true);
    filterGroup->addButton(highPassButton_, static_cast<int>(CrossoverSide::HighPass));
    filterGroup->addButton(lowPassButton_, static_cast<int>(CrossoverSide::LowPass));

    auto* frequencyGroup = place<QGroupBox>(this, "frequencyGroup", dialogRect(7, 30, 150, 72));
    frequencyGroup->setTitle(QStringLiteral("Frequency"));
    frequencyEdit_ = place<QLineEdit>(this, "frequencyEdit", dialogRect(14, 43, 70, 14));
    frequencyBar_ = place<QScrollBar>(this, "frequencyBar", dialogRect(14, 63, 136, 11));
    frequencyBar_->setOrientation(Qt::Horizontal);
    frequencyBar_->setPageStep(kFrequencyPageStep);
    frequencyBar_->setFocusPolicy(Qt::StrongFocus);
    lowLabel_ = place<QLabel>(this, "lowLabel", dialogRect(14, 78, 68, 10));
    lowLabel_->setText(QStringLiteral("Low"));
    highLabel_ = place<QLabel>(this, "highLabel", dialogRect(82, 78, 68, 10));
    highLabel_->setText(QStringLiteral("High"));
    highLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    frequencyGroup->lower();

    auto* slopeGroup = place<QGroupBox>(this, "slopeGroup", dialogRect(163, 4, 140, 124));
    slopeGroup->setTitle(QStringLiteral("Slope"));
    slopeList_ = place<CColourListBox>(this, "slopeList", dialogRect(170, 17, 126, 104));
    slopeGroup->lower();

    doneButton_ = place<QPushButton>(this, "doneButton", dialogRect(97, 110, 60, 18));
    doneButton_->setText(QStringLiteral("Done"));
    doneButton_->setDefault(true);
    // The free corner left of Done: nothing described moves for it.
    dspWarning_ = new DspWarningLabel(this, dialogRect(7, 106, 86, 24));

    setTabOrder(highPassButton_, lowPassButton_);
    setTabOrder(lowPassButton_, frequencyEdit_);
    setTabOrder(frequencyEdit_, frequencyBar_);
    setTabOrder(frequencyBar_, slopeList_);
    setTabOrder(slopeList_, doneButton_);

    frequencyEdit_->installEventFilter(this);
    connect(frequencyBar_, &QScrollBar::actionTriggered, this, &CFilterSlope::onFrequencyBar);
    // A drag of the thumb is one undo step.
    connect(frequencyBar_, &QScrollBar::sliderPressed, this, [this] { dragStep_.open(doc_); });
    connect(frequencyBar_, &QScrollBar::sliderReleased, this, [this] { dragStep_.close(); });
    // The selection, not the current row: the list makes its first row current when the
    // focus arrives with nothing selected, and that is no choice of the user's.
    connect(slopeList_, &CColourListBox::itemSelectionChanged, this, &CFilterSlope::onSlopeSelected);
    connect(slopeList_, &CColourListBox::itemDoubleClicked, this, &QDialog::accept);
    connect(filterGroup, &QButtonGroup::idClicked, this,
            [this](int id) { switchFilter(static_cast<CrossoverSide>(id)); });
    connect(doneButton_, &QPushButton::clicked, this, &QDialog::accept);
}

void CFilterSlope::fillSlopeList() {
    const QSignalBlocker quiet(slopeList_);
    slopeList_->deleteAllItems();
    for (const int code : kOfferedSlopes) {
        ColourListItem record;
        record.data = code;
        slopeList_->addColourItem(text(slopeText(code)), record);
    }
}

int CFilterSlope::frequency() const {
    return filter_ == CrossoverSide::LowPass ? doc_.lowPassFrequency(output_)
                                             : doc_.highPassFrequency(output_);
}

void CFilterSlope::setFrequency(int index) {
    if (filter_ == CrossoverSide::LowPass) {
        doc_.setLowPassFrequency(output_, index);
    } else {
        doc_.setHighPassFrequency(output_, index);
    }
}

void CFilterSlope::refresh(bool reselectSlope) {
    const bool lowPass = filter_ == CrossoverSide::LowPass;
    highPassButton_->setChecked(!lowPass);
    lowPassButton_->setChecked(lowPass);
    setWindowTitle(lowPass ? QStringLiteral("Set Lowpass Filter") : QStringLiteral("Set Highpass Filter"));
    limits_ = crossoverLimits(filter_, doc_.highPassFrequency(output_), doc_.lowPassFrequency(output_),
                              doc_.unitType());
    const int current = frequency();
    frequencyBar_->setRange(limits_.minimum, limits_.maximum);
    frequencyBar_->setValue(current);
    frequencyEdit_->setText(text(frequencyText(current)));
    lowLabel_->setText(text(frequencyText(limits_.minimum)));
    highLabel_->setText(text(frequencyText(limits_.maximum)));
    if (reselectSlope) {
        const int slope = lowPass ? doc_.lowPassSlope(output_) : doc_.highPassSlope(output_);
        const QSignalBlocker quiet(slopeList_);
        // A slope the list does not offer (a 48 dB code from a file) shows no selection
        // rather than the other filter's.
        const auto row = offeredSlopeRow(slope);
        slopeList_->setCurrentRow(row.value_or(-1));
        if (!row) slopeList_->clearSelection();
    }
    showDspWarning();
}

void CFilterSlope::showDspWarning() {
    const int slot = filter_ == CrossoverSide::LowPass ? CurveSlots::lowPass : CurveSlots::highPass;
    dspWarning_->showWarning(
        modelDifferenceWarning(elementModelDifference(doc_.outputChannel(output_), slot, doc_.unitType())));
}

void CFilterSlope::commitFrequencyText() {
    if (const auto index = crossoverFrequencyFromText(frequencyEdit_->text().toStdString(), limits_)) {
        setFrequency(*index);
    }
    refresh(false);
}

bool CFilterSlope::eventFilter(QObject* watched, QEvent* event) {
    if (watched == frequencyEdit_ && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason && frequencyEdit_->isModified()) {
        commitFrequencyText();
    }
    return QDialog::eventFilter(watched, event);
}

void CFilterSlope::done(int result) {
    // Enter in the edit closes through the default button: what was typed still counts.
    if (frequencyEdit_->isModified()) commitFrequencyText();
    QDialog::done(result);
}

void CFilterSlope::onFrequencyBar(int action) {
    if (const auto step = editorScrollAction(action)) {
        setFrequency(frequencyAfterScroll(frequency(), *step, frequencyBar_->sliderPosition(), limits_));
    }
    refresh(false);
}

void CFilterSlope::onSlopeSelected() {
    const QList<QListWidgetItem*> selected = slopeList_->selectedItems();
    if (selected.size() != 1) return;
    const auto record = slopeList_->itemRecord(slopeList_->row(selected.front()));
    if (!record) return;
    if (filter_ == CrossoverSide::LowPass) {
        doc_.setLowPassSlope(output_, record->data);
    } else {
        doc_.setHighPassSlope(output_, record->data);
    }
    showDspWarning();  // the one thing a slope change refreshes
}

void CFilterSlope::switchFilter(CrossoverSide filter) {
    if (frequencyEdit_->isModified()) commitFrequencyText();
    filter_ = filter;
    refresh(true);
}

}  // namespace kv
