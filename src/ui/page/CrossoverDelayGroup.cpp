#include "ui/page/CrossoverDelayGroup.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegion>
#include <QSlider>

#include "document/ValueText.h"
#include "editing/OutputPageRules.h"
#include "ui/page/PageButton.h"
#include "ui/widgets/ScrollBarAction.h"

namespace kv {

namespace {

// The crossovers and the delay form a column beside the rows; the limiter lists sit under
// the output strip. The group covers both and nothing between them.
constexpr QRect kCrossoverArea{498, 408, 184, 158};
constexpr int kLimiterListWidth = 84;
constexpr int kLimiterGap = 6;
constexpr QRect kLimiterArea{kStripLeft, 430, 3 * kLimiterListWidth + 2 * kLimiterGap, 72};
constexpr int kAttackListCount = 20;

QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.c_str()); }

// The delay trackbar: Page Down and Down move right, Page Up and Up left, as on the unit's
// panel software (so both "down" keys lengthen the delay); Home and End ask for nothing.
class DelayTrackbar : public QSlider {
public:
    explicit DelayTrackbar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        switch (event->key()) {
            case Qt::Key_PageDown: triggerAction(SliderPageStepAdd); break;
            case Qt::Key_PageUp: triggerAction(SliderPageStepSub); break;
            case Qt::Key_Down: triggerAction(SliderSingleStepAdd); break;
            case Qt::Key_Up: triggerAction(SliderSingleStepSub); break;
            case Qt::Key_Home: triggerAction(SliderToMinimum); break;
            case Qt::Key_End: triggerAction(SliderToMaximum); break;
            default: QSlider::keyPressEvent(event); return;
        }
        event->accept();
    }
};

}  // namespace

CrossoverDelayGroup::CrossoverDelayGroup(CKorvaliserDoc& document, int output, QWidget* page)
    : PagePart(kCrossoverArea.united(kLimiterArea), page), doc_(document), output_(output) {
    setMask(QRegion(kCrossoverArea.translated(-pos())) + QRegion(kLimiterArea.translated(-pos())));
    buildCrossoverAndDelay();
    buildLimiter();
    connectControls();
}

void CrossoverDelayGroup::buildCrossoverAndDelay() {
    constexpr int left = kCrossoverArea.left();
    constexpr int width = kCrossoverArea.width();
    addLabel(QStringLiteral("HighPass Filter"), QStringLiteral("highPassLabel"), {left, 408, width, 20});
    highPassButton_ = new PageButton(PageButton::Style::Crossover, this);
    highPassButton_->setObjectName(QStringLiteral("highPassButton"));
    place(highPassButton_, {left, 430, width, 26});
    addLabel(QStringLiteral("LowPass Filter"), QStringLiteral("lowPassLabel"), {left, 462, width, 20});
    lowPassButton_ = new PageButton(PageButton::Style::Crossover, this);
    lowPassButton_->setObjectName(QStringLiteral("lowPassButton"));
    place(lowPassButton_, {left, 484, width, 26});

    addLabel(QStringLiteral("Delay"), QStringLiteral("delayLabel"), {left, 518, 56, 22});
    delayEdit_ = new QLineEdit(this);
    delayEdit_->setObjectName(QStringLiteral("delayEdit"));
    place(delayEdit_, {left + 60, 518, width - 60, 22});
    delayEdit_->setAlignment(Qt::AlignRight);
    delayEdit_->installEventFilter(this);
    delayTrackbar_ = new DelayTrackbar(this);
    delayTrackbar_->setObjectName(QStringLiteral("delayTrackbar"));
    place(delayTrackbar_, {left, 544, width, 22});
    delayTrackbar_->setRange(0, kMaxTotalDelay);
    delayTrackbar_->setPageStep(10);
    delayTrackbar_->setSingleStep(1);
}

void CrossoverDelayGroup::buildLimiter() {
    // A caption across, then Level, Attack and Release side by side.
    addLabel(QStringLiteral("Limiter"), QStringLiteral("limiterLabel"),
             {kLimiterArea.left(), kLimiterArea.top(), kLimiterArea.width(), 20});
    const auto makeList = [&](const QString& caption, const QString& name, int column) {
        const int left = kLimiterArea.left() + column * (kLimiterListWidth + kLimiterGap);
        addLabel(caption, name + QStringLiteral("Label"), {left, 456, kLimiterListWidth, 18});
        auto* list = new QComboBox(this);
        list->setObjectName(name);
        place(list, {left, 478, kLimiterListWidth, 24});
        return list;
    };
    levelList_ = makeList(QStringLiteral("Level"), QStringLiteral("limiterLevel"), 0);
    attackList_ = makeList(QStringLiteral("Attack"), QStringLiteral("limiterAttack"), 1);
    releaseList_ = makeList(QStringLiteral("Release"), QStringLiteral("limiterRelease"), 2);

    for (int i = 0; i < kLimiterLevelCount; ++i) levelList_->addItem(fromUtf8(limiterLevelText(i)));
    for (int i = 0; i < kAttackListCount; ++i) attackList_->addItem(fromUtf8(limiterTimeText(i)));
    for (int i = 0; i < kReleaseListCount; ++i) releaseList_->addItem(fromUtf8(releaseListText(i)));
    // Attack and Release follow from the level: they only show it.
    attackList_->setEnabled(false);
    releaseList_->setEnabled(false);
}

void CrossoverDelayGroup::connectControls() {
    connect(highPassButton_, &QAbstractButton::clicked, this,
            [this] { emit crossoverDialogRequested(CrossoverSide::HighPass); });
    connect(lowPassButton_, &QAbstractButton::clicked, this,
            [this] { emit crossoverDialogRequested(CrossoverSide::LowPass); });
    connect(delayEdit_, &QLineEdit::textEdited, this, [this] { delayTextChanged_ = true; });
    connect(delayTrackbar_, &QSlider::actionTriggered, this, &CrossoverDelayGroup::delayTrackbarAction);
    connect(levelList_, &QComboBox::activated, this, &CrossoverDelayGroup::limiterLevelChosen);
    for (QComboBox* list : {attackList_, releaseList_}) {
        // Display-only: a choice stores nothing and the refresh puts the derived value back.
        connect(list, &QComboBox::activated, this, &CrossoverDelayGroup::limiterChosen);
    }
}

std::array<QWidget*, 3> CrossoverDelayGroup::limiterLists() const {
    return {levelList_, attackList_, releaseList_};
}

void CrossoverDelayGroup::refresh() {
    const auto crossoverText = [](int frequency, int slope) {
        return fromUtf8(frequencyText(frequency)) + QStringLiteral("  ") + fromUtf8(slopeText(slope));
    };
    highPassButton_->setText(crossoverText(doc_.highPassFrequency(output_), doc_.highPassSlope(output_)));
    lowPassButton_->setText(crossoverText(doc_.lowPassFrequency(output_), doc_.lowPassSlope(output_)));
    showDelay();
    levelList_->setCurrentIndex(doc_.limiterLevel(output_));
    attackList_->setCurrentIndex(doc_.limiterAttack(output_));
    releaseList_->setCurrentIndex(doc_.limiterRelease(output_));
}

void CrossoverDelayGroup::showDelay() {
    delayEdit_->setText(fromUtf8(delayText(doc_.delay(output_))));
    delayTrackbar_->setValue(doc_.delay(output_));
}

void CrossoverDelayGroup::commitDelayText() {
    delayTextChanged_ = false;
    if (const std::optional<int> code = delayCodeFromText(delayEdit_->text().toStdString())) {
        doc_.setDelay(output_, *code);
    }
    showDelay();
}

void CrossoverDelayGroup::delayTrackbarAction(int action) {
    const int stored = doc_.delay(output_);
    if (const std::optional<ScrollAction> step = editorScrollAction(action)) {
        const int wanted = delayAfterScroll(*step, stored, delayTrackbar_->sliderPosition());
        if (wanted != stored) doc_.setDelay(output_, wanted);
    }
    delayEdit_->setText(fromUtf8(delayText(doc_.delay(output_))));
    // Inside the action signal: the trackbar takes this position instead of its own.
    delayTrackbar_->setSliderPosition(doc_.delay(output_));
}

void CrossoverDelayGroup::limiterLevelChosen(int index) {
    doc_.setLimiterLevel(output_, index);
    emit limiterChosen();
}

bool CrossoverDelayGroup::eventFilter(QObject* watched, QEvent* event) {
    if (watched == delayEdit_) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                // Enter moves on to the trackbar, which commits the text.
                delayTrackbar_->setFocus(Qt::OtherFocusReason);
                return true;
            }
        } else if (event->type() == QEvent::FocusOut && delayTextChanged_) {
            commitDelayText();
        }
    }
    return PagePart::eventFilter(watched, event);
}

}  // namespace kv
