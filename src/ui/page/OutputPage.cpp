#include "ui/page/OutputPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QTimerEvent>
#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>

#include "document/KorvaliserDoc.h"
#include "document/ValueText.h"
#include "editing/OutputPageRules.h"
#include "response/CurveSlots.h"
#include "response/GraphGeometry.h"
#include "response/OutputCurves.h"
#include "response/ResponseCurveTable.h"
#include "ui/dialogs/FilterSlope.h"
#include "ui/dialogs/ParametricControl.h"
#include "ui/graph/GraphImages.h"
#include "ui/graph/LevelMeters.h"
#include "ui/graph/ResponseGraph.h"
#include "ui/page/PageButton.h"
#include "ui/widgets/ColourConversion.h"
#include "ui/widgets/ImageSlider.h"

// The page's icons live in a resource file compiled into this static library.
static void initPageResources() { Q_INIT_RESOURCE(page); }

namespace kv {

namespace {

// Layout of the page, in pixels. The graph frame must keep its size: the shared graph
// images are built once from the first frame drawn.
constexpr QSize kPageSize{960, 572};
constexpr QRect kGraphFrame{8, 8, 674, 390};
constexpr int kRowTop = 432;
constexpr int kRowPitch = 26;
constexpr int kRowHeight = 23;
constexpr int kStripLeft = 694;
constexpr int kStripColumn = 134;  // distance between the two outputs' columns

const QColor kLabelBlue(21, 141, 243);

QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.c_str()); }

QString bandIconPath(int band) { return QStringLiteral(":/page/band%1.svg").arg(band + 1); }

// Control ids of the buttons in the nine-icon table that carry a band icon: bands 1..8.
constexpr int kBandsWithIcons = 8;

TrackbarAction trackbarActionOf(int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub: return TrackbarAction::LineLeft;
        case QAbstractSlider::SliderSingleStepAdd: return TrackbarAction::LineRight;
        case QAbstractSlider::SliderPageStepSub: return TrackbarAction::PageLeft;
        case QAbstractSlider::SliderPageStepAdd: return TrackbarAction::PageRight;
        case QAbstractSlider::SliderMove: return TrackbarAction::ThumbTrack;
        default: return TrackbarAction::Other;
    }
}

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

void paintLabel(QLabel* label, const QColor& background, const QColor& text) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

}  // namespace

COutputPage::COutputPage(EditorContext& context, std::shared_ptr<GraphImages> images, int output,
                         QWidget* parent)
    : QWidget(parent),
      context_(context),
      doc_(context.document),
      images_(std::move(images)),
      output_(output),
      editor_(context.document, output, state_, images_->geometry),
      poller_(context.link, context.document) {
    initPageResources();
    setObjectName(QStringLiteral("outputPage%1").arg(output + 1));
    buildControls();
    initialise();
    connectControls();
    doc_.addListener(this);
}

COutputPage::~COutputPage() { doc_.removeListener(this); }

void COutputPage::documentChanged(const DocumentChange& change) {
    if (change.element == ChangedElement::ModifiedFlag || change.element == ChangedElement::Selection) return;
    // The page on show follows; a hidden page rereads everything when it is activated.
    if (changesPending_ || !isVisible()) return;
    changesPending_ = true;
    QTimer::singleShot(0, this, &COutputPage::showPendingChanges);
}

void COutputPage::showPendingChanges() {
    changesPending_ = false;
    if (!isVisible()) return;
    refreshAllControls();
    redrawGraph();
}

QString COutputPage::title() const { return QStringLiteral("  Output %1  ").arg(output_ + 1); }

// ---------------------------------------------------------------- construction

QLabel* COutputPage::makeLabel(const QString& text, const QString& name, const QRect& where) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    label->setGeometry(where);
    label->setAlignment(Qt::AlignCenter);
    paintLabel(label, kLabelBlue, Qt::white);
    return label;
}

void COutputPage::buildControls() {
    setFixedSize(kPageSize);
    setMouseTracking(true);

    graph_ = new CResponseGraph(doc_, context_.curves, output_, this, images_);
    graph_->setObjectName(QStringLiteral("responseGraph"));
    graph_->setGeometry(kGraphFrame);
    graph_->usePageState(state_);
    graph_->setMouseTracking(true);
    graph_->setFocusPolicy(Qt::ClickFocus);
    graph_->installEventFilter(this);

    buildCrossoverAndDelay();
    buildRows();
    buildLimiter();
    meterBars_ = std::make_unique<CLevelMeters>(this, images_);
    buildStrip(0);
    buildStrip(1);
    buildTemperature();
}

void COutputPage::buildCrossoverAndDelay() {
    constexpr int left = 498;
    constexpr int width = 184;
    makeLabel(QStringLiteral("HighPass Filter"), QStringLiteral("highPassLabel"), {left, 408, width, 20});
    highPassButton_ = new PageButton(PageButton::Style::Crossover, this);
    highPassButton_->setObjectName(QStringLiteral("highPassButton"));
    highPassButton_->setGeometry(left, 430, width, 26);
    makeLabel(QStringLiteral("LowPass Filter"), QStringLiteral("lowPassLabel"), {left, 462, width, 20});
    lowPassButton_ = new PageButton(PageButton::Style::Crossover, this);
    lowPassButton_->setObjectName(QStringLiteral("lowPassButton"));
    lowPassButton_->setGeometry(left, 484, width, 26);

    makeLabel(QStringLiteral("Delay"), QStringLiteral("delayLabel"), {left, 518, 56, 22});
    delayEdit_ = new QLineEdit(this);
    delayEdit_->setObjectName(QStringLiteral("delayEdit"));
    delayEdit_->setGeometry(left + 60, 518, width - 60, 22);
    delayEdit_->setAlignment(Qt::AlignRight);
    delayEdit_->installEventFilter(this);
    delayTrackbar_ = new DelayTrackbar(this);
    delayTrackbar_->setObjectName(QStringLiteral("delayTrackbar"));
    delayTrackbar_->setGeometry(left, 544, width, 22);
}

void COutputPage::buildRows() {
    constexpr int shownLeft = 8;
    constexpr int numberLeft = 38;
    constexpr int frequencyLeft = 64;
    constexpr int qLeft = 154;
    constexpr int gainLeft = 230;
    constexpr int typeLeft = 316;
    constexpr int flatLeft = 400;
    constexpr int scrollLeft = 462;
    makeLabel(QStringLiteral("Show"), QStringLiteral("showHeader"), {shownLeft, 408, 54, 20});
    makeLabel(QStringLiteral("Frequency"), QStringLiteral("frequencyHeader"), {frequencyLeft, 408, 86, 20});
    qHeader_ = makeLabel(QStringLiteral("Q"), QStringLiteral("qHeader"), {qLeft, 408, 72, 20});
    makeLabel(QStringLiteral("Gain"), QStringLiteral("gainHeader"), {gainLeft, 408, 82, 20});
    makeLabel(QStringLiteral("Type"), QStringLiteral("typeHeader"), {typeLeft, 408, 80, 20});
    makeLabel(QStringLiteral("Flat"), QStringLiteral("flatHeader"), {flatLeft, 408, 58, 20});

    for (int r = 0; r < kVisibleRows; ++r) {
        Row& row = rows_[static_cast<std::size_t>(r)];
        const int top = kRowTop + r * kRowPitch;
        row.shown = new QToolButton(this);
        row.shown->setObjectName(QStringLiteral("bandShown%1").arg(r));
        row.shown->setCheckable(true);
        row.shown->setGeometry(shownLeft, top, 28, kRowHeight);
        row.shown->setIconSize({18, 18});
        row.shown->setToolTip(tr("Show this band on the graph"));
        row.number = makeLabel({}, QStringLiteral("bandNumber%1").arg(r), {numberLeft, top, 22, kRowHeight});
        const auto makeValue = [&](const QString& name, int left, int width) {
            auto* button = new PageButton(PageButton::Style::RowValue, this);
            button->setObjectName(name.arg(r));
            button->setGeometry(left, top, width, kRowHeight);
            return button;
        };
        row.frequency = makeValue(QStringLiteral("bandFrequency%1"), frequencyLeft, 86);
        row.q = makeValue(QStringLiteral("bandQ%1"), qLeft, 72);
        row.gain = makeValue(QStringLiteral("bandGain%1"), gainLeft, 82);
        row.type = makeValue(QStringLiteral("bandType%1"), typeLeft, 80);
        row.flat = new QCheckBox(QStringLiteral("Flat"), this);
        row.flat->setObjectName(QStringLiteral("bandFlat%1").arg(r));
        row.flat->setGeometry(flatLeft + 4, top, 54, kRowHeight);
    }
    rowScroll_ = new QScrollBar(Qt::Vertical, this);
    rowScroll_->setObjectName(QStringLiteral("bandScrollBar"));
    rowScroll_->setGeometry(scrollLeft, kRowTop, 18, kRowPitch * (kVisibleRows - 1) + kRowHeight);
}

void COutputPage::buildLimiter() {
    // Under the output strip: a caption across, then Level, Attack and Release side by side.
    constexpr int width = 84;
    constexpr int gap = 6;
    makeLabel(QStringLiteral("Limiter"), QStringLiteral("limiterLabel"),
              {kStripLeft, 430, 3 * width + 2 * gap, 20});
    const auto makeList = [&](const QString& caption, const QString& name, int column) {
        const int left = kStripLeft + column * (width + gap);
        makeLabel(caption, name + QStringLiteral("Label"), {left, 456, width, 18});
        auto* list = new QComboBox(this);
        list->setObjectName(name);
        list->setGeometry(left, 478, width, 24);
        return list;
    };
    levelList_ = makeList(QStringLiteral("Level"), QStringLiteral("limiterLevel"), 0);
    attackList_ = makeList(QStringLiteral("Attack"), QStringLiteral("limiterAttack"), 1);
    releaseList_ = makeList(QStringLiteral("Release"), QStringLiteral("limiterRelease"), 2);
}

void COutputPage::buildStrip(int output) {
    OutputStrip& strip = strips_[static_cast<std::size_t>(output)];
    const int left = kStripLeft + output * kStripColumn;
    const QString n = QString::number(output + 1);
    strip.caption =
        makeLabel(QStringLiteral("Output ") + n, QStringLiteral("outputCaption") + n, {left, 58, 124, 20});
    strip.gainEdit = new QLineEdit(this);
    strip.gainEdit->setObjectName(QStringLiteral("gainEdit") + n);
    strip.gainEdit->setGeometry(left, 82, 124, 22);
    strip.gainEdit->setAlignment(Qt::AlignCenter);
    strip.gainEdit->installEventFilter(this);

    strip.slider = new CImageSlider(this);
    strip.slider->setObjectName(QStringLiteral("gainSlider") + n);
    strip.slider->move(left + 8, 108);

    strip.meter = meterBars_->bar(output);
    strip.meter->setObjectName(QStringLiteral("levelMeter") + n);
    strip.meter->setGeometry(left + 70, 108, 26, 270);

    strip.mute = new PageButton(PageButton::Style::Mute, this);
    strip.mute->setObjectName(QStringLiteral("muteButton") + n);
    strip.mute->setText(QStringLiteral("Mute"));
    strip.mute->setGeometry(left, 384, 60, 26);
    strip.polarity = new PageButton(PageButton::Style::Polarity, this);
    strip.polarity->setObjectName(QStringLiteral("polarityButton") + n);
    strip.polarity->setGeometry(left + 64, 384, 60, 26);
}

void COutputPage::buildTemperature() {
    constexpr int left = kStripLeft;
    makeLabel(QStringLiteral("Temperature"), QStringLiteral("temperatureLabel"), {left, 8, 124, 20});
    temperatureText_ = new QLabel(this);
    temperatureText_->setObjectName(QStringLiteral("temperatureText"));
    temperatureText_->setGeometry(left, 30, 124, 22);
    temperatureText_->setAlignment(Qt::AlignCenter);
    temperatureStatus_ = new QLabel(this);
    temperatureStatus_->setObjectName(QStringLiteral("temperatureStatus"));
    temperatureStatus_->setGeometry(left + kStripColumn, 30, 124, 22);
    temperatureStatus_->setAlignment(Qt::AlignCenter);
}

void COutputPage::initialise() {
    state_.firstVisibleBand = 0;
    state_.scrollMaximum = std::max(doc_.activeBandCount() - kVisibleRows, 0);
    for (OutputStrip& strip : strips_) {
        strip.slider->configureForOutputPage();
        strip.gainTextChanged = false;
    }
    delayTrackbar_->setRange(0, kMaxTotalDelay);
    delayTrackbar_->setPageStep(10);
    delayTrackbar_->setSingleStep(1);
    state_.bandShown.fill(true);
    rowScroll_->setRange(0, std::max(doc_.activeBandCount() - kVisibleRows, 0));
    rowScroll_->setPageStep(1);
    rowScroll_->setSingleStep(1);
    rowScroll_->setVisible(doc_.activeBandCount() - kVisibleRows >= 1);
    delayTextChanged_ = false;
    meters_ = {60, 60};

    for (int i = 0; i < kLimiterLevelCount; ++i) levelList_->addItem(fromUtf8(limiterLevelText(i)));
    for (int i = 0; i < 20; ++i) attackList_->addItem(fromUtf8(limiterTimeText(i)));
    for (int i = 0; i < kReleaseListCount; ++i) releaseList_->addItem(fromUtf8(releaseListText(i)));
    for (OutputStrip& strip : strips_) strip.polarity->setText(QStringLiteral("\u00D8 180\u00B0"));
    attackList_->setEnabled(false);
    releaseList_->setEnabled(false);
}

void COutputPage::connectControls() {
    connect(highPassButton_, &QAbstractButton::clicked, this, [this] { openCrossoverDialog(0); });
    connect(lowPassButton_, &QAbstractButton::clicked, this, [this] { openCrossoverDialog(1); });
    for (int r = 0; r < kVisibleRows; ++r) {
        Row& row = rows_[static_cast<std::size_t>(r)];
        for (PageButton* button : {row.frequency, row.q, row.gain, row.type}) {
            connect(button, &QAbstractButton::clicked, this, [this, r] { selectRow(r); });
            button->setDoubleClickAction([this, r] { openBandDialog(r); });
        }
        connect(row.flat, &QAbstractButton::clicked, this, [this, r] { flatClicked(r); });
        connect(row.shown, &QAbstractButton::clicked, this, [this, r] { shownClicked(r); });
    }
    connect(rowScroll_, &QScrollBar::valueChanged, this, &COutputPage::rowsScrolled);
    connect(delayEdit_, &QLineEdit::textEdited, this, [this] { delayTextChanged_ = true; });
    connect(delayTrackbar_, &QSlider::actionTriggered, this, &COutputPage::delayTrackbarAction);
    connect(levelList_, &QComboBox::activated, this, &COutputPage::limiterLevelChosen);
    for (QComboBox* list : {attackList_, releaseList_}) {
        // Display-only: a choice stores nothing and the refresh puts the derived value back.
        connect(list, &QComboBox::activated, this, [this] { refreshAllControls(); });
    }
    for (int o = 0; o < 2; ++o) {
        OutputStrip& strip = strips_[static_cast<std::size_t>(o)];
        connect(strip.gainEdit, &QLineEdit::textEdited, this,
                [this, o] { strips_[static_cast<std::size_t>(o)].gainTextChanged = true; });
        connect(strip.mute, &QAbstractButton::clicked, this, [this, o] { toggleMute(o); });
        connect(strip.polarity, &QAbstractButton::clicked, this, [this, o] { toggleInvert(o); });
        // A drag of the slider is one undo step: the first movement opens it, the release ends it.
        connect(strip.slider, &CImageSlider::moving, this, [this, o] {
            sliderStep_.open(doc_);
            gainFromSlider(o);
        });
        connect(strip.slider, &CImageSlider::moved, this, [this, o] {
            gainFromSlider(o);
            sliderStep_.close();
        });
    }
}

// ---------------------------------------------------------------- activation and refresh

void COutputPage::markSlotsForActivation() {
    MarkSlotsForPage(context_.curves, output_, doc_.activeBandCount(), doc_.outputCount());
}

void COutputPage::activate() {
    markSlotsForActivation();
    refreshAllControls();
    qHeader_->setText(context_.display.showQ ? QStringLiteral("Q") : QStringLiteral("BandWd"));
    pollInterval_ = poller_.activate();
    statusTimer_.start(pollInterval_, this);
    redrawGraph();
}

void COutputPage::deactivate() {
    statusTimer_.stop();
    editor_.reset();
    sliderStep_.close();
}

void COutputPage::refreshAllControls() {
    const auto crossoverText = [](int frequency, int slope) {
        return fromUtf8(frequencyText(frequency)) + QStringLiteral("  ") + fromUtf8(slopeText(slope));
    };
    highPassButton_->setText(crossoverText(doc_.highPassFrequency(output_), doc_.highPassSlope(output_)));
    lowPassButton_->setText(crossoverText(doc_.lowPassFrequency(output_), doc_.lowPassSlope(output_)));

    delayEdit_->setText(fromUtf8(delayText(doc_.delay(output_))));
    delayTrackbar_->setValue(doc_.delay(output_));

    refreshRows();

    for (int o = 0; o < 2; ++o) {
        OutputStrip& strip = strips_[static_cast<std::size_t>(o)];
        strip.slider->setPos(doc_.gain(o) - 30);
        strip.gainEdit->setText(fromUtf8(outputGainText(doc_.gain(o))));
        strip.mute->setLit(doc_.mute(o));
        strip.polarity->setLit(doc_.invert(o));
    }
    for (int r = 0; r < kVisibleRows; ++r) {
        Row& row = rows_[static_cast<std::size_t>(r)];
        const int band = state_.firstVisibleBand + r;
        row.number->setText(QString::number(band + 1));
        row.shown->setIcon(band < kBandsWithIcons ? QIcon(bandIconPath(band)) : QIcon());
        row.shown->setChecked(band < kShownFlagCount && state_.bandShown[static_cast<std::size_t>(band)]);
    }
    {
        const QSignalBlocker blockScroll(rowScroll_);
        rowScroll_->setValue(state_.firstVisibleBand);
    }
    levelList_->setCurrentIndex(doc_.limiterLevel(output_));
    attackList_->setCurrentIndex(doc_.limiterAttack(output_));
    releaseList_->setCurrentIndex(doc_.limiterRelease(output_));
    refreshTemperature();
}

void COutputPage::refreshRows() {
    const std::optional<int> selected = state_.selectedBand();
    for (int r = 0; r < kVisibleRows; ++r) {
        Row& row = rows_[static_cast<std::size_t>(r)];
        const int band = state_.firstVisibleBand + r;
        const int type = doc_.bandType(output_, band);
        row.frequency->setText(fromUtf8(frequencyText(doc_.bandFrequency(output_, band))));
        row.q->setText(fromUtf8(bandWidthText(doc_.bandQ(output_, band), type, context_.display.showQ)));
        row.gain->setText(fromUtf8(bandGainText(doc_.bandGain(output_, band), type)));
        row.type->setText(fromUtf8(typeText(type, true)));
        row.flat->setChecked(doc_.bandFlat(output_, band));
        const bool lit = selected && *selected == band;
        for (PageButton* button : {row.frequency, row.q, row.gain, row.type}) {
            button->setEnabled(true);
            button->setLit(lit);
        }
        row.flat->setEnabled(true);
    }
}

void COutputPage::refreshTemperature() {
    const TemperatureColours colours = temperatureColours(poller_.unitTemperature());
    temperatureText_->setText(fromUtf8(poller_.temperatureText()));
    temperatureStatus_->setText(fromUtf8(poller_.statusText()));
    paintLabel(temperatureText_, toQColor(colours.background), toQColor(colours.text));
    paintLabel(temperatureStatus_, toQColor(colours.background), toQColor(colours.text));
}

// ---------------------------------------------------------------- graph

void COutputPage::redrawGraph() {
    graph_->redraw();
    emit graphRedrawn();
}

void COutputPage::syncPlotMapping() {
    const GraphGeometry& g = images_->geometry;
    if (!g.backgroundBuilt) graph_->redraw();  // the first redraw builds the shared geometry
}

// ---------------------------------------------------------------- rows

void COutputPage::selectRow(int row) {
    state_.selectedTarget = state_.firstVisibleBand + row + kTargetFirstBand;
    refreshRows();
    redrawGraph();
}

void COutputPage::openBandDialog(int row) {
    CParametricControl dialog(doc_, output_, state_.firstVisibleBand + row, context_.display.showQ, this);
    dialog.exec();
    refreshRows();
    redrawGraph();
}

void COutputPage::openCrossoverDialog(int filter) {
    state_.selectedTarget = filter == 0 ? kTargetHighPass : kTargetLowPass;
    CFilterSlope dialog(doc_, output_, filter == 0 ? CrossoverSide::HighPass : CrossoverSide::LowPass, this);
    dialog.exec();
    refreshAllControls();
    redrawGraph();
}

void COutputPage::flatClicked(int row) {
    const int band = state_.firstVisibleBand + row;
    doc_.setBandFlat(output_, band, rows_[static_cast<std::size_t>(row)].flat->isChecked() ? 1 : 0);
    redrawGraph();
}

void COutputPage::shownClicked(int row) {
    const int band = state_.firstVisibleBand + row;
    if (band >= kShownFlagCount) return;
    state_.bandShown[static_cast<std::size_t>(band)] =
        rows_[static_cast<std::size_t>(row)].shown->isChecked();
    redrawGraph();
}

void COutputPage::rowsScrolled(int value) {
    state_.firstVisibleBand = firstRowAfterScroll(value, state_.scrollMaximum);
    refreshAllControls();
}

// ---------------------------------------------------------------- strip

void COutputPage::toggleMute(int output) {
    doc_.setMute(output, !doc_.mute(output));
    PageButton* button = strips_[static_cast<std::size_t>(output)].mute;
    button->setText(QStringLiteral("Mute"));
    button->setLit(doc_.mute(output));
}

void COutputPage::toggleInvert(int output) {
    doc_.setInvert(output, !doc_.invert(output));
    PageButton* button = strips_[static_cast<std::size_t>(output)].polarity;
    button->setText(QStringLiteral("\u00D8 180\u00B0"));
    button->setLit(doc_.invert(output));
}

void COutputPage::commitGainText(int output) {
    OutputStrip& strip = strips_[static_cast<std::size_t>(output)];
    strip.gainTextChanged = false;
    if (const std::optional<int> code = gainCodeFromText(strip.gainEdit->text().toStdString())) {
        doc_.setGain(output, *code);
    }
    strip.slider->setPos(doc_.gain(output) - 30);
    strip.gainEdit->setText(fromUtf8(outputGainText(doc_.gain(output))));
}

void COutputPage::gainFromSlider(int output) {
    OutputStrip& strip = strips_[static_cast<std::size_t>(output)];
    doc_.setGain(output, strip.slider->pos() + 30);
    strip.slider->setPos(doc_.gain(output) - 30);
    strip.gainEdit->setText(fromUtf8(outputGainText(doc_.gain(output))));
}

void COutputPage::commitDelayText() {
    delayTextChanged_ = false;
    if (const std::optional<int> code = delayCodeFromText(delayEdit_->text().toStdString())) {
        doc_.setDelay(output_, *code);
    }
    delayEdit_->setText(fromUtf8(delayText(doc_.delay(output_))));
    delayTrackbar_->setValue(doc_.delay(output_));
}

void COutputPage::delayTrackbarAction(int action) {
    const int stored = doc_.delay(output_);
    if (const std::optional<int> wanted =
            delayAfterTrackbarAction(trackbarActionOf(action), stored, delayTrackbar_->sliderPosition())) {
        if (*wanted != stored) doc_.setDelay(output_, *wanted);
    }
    delayEdit_->setText(fromUtf8(delayText(doc_.delay(output_))));
    // Inside the action signal: the trackbar takes this position instead of its own.
    delayTrackbar_->setSliderPosition(doc_.delay(output_));
}

void COutputPage::limiterLevelChosen(int index) {
    doc_.setLimiterLevel(output_, index);
    refreshAllControls();
}

// ---------------------------------------------------------------- clipboard

std::unique_ptr<QMenu> COutputPage::makeContextMenu() {
    auto menu = std::make_unique<QMenu>();
    menu->setObjectName(QStringLiteral("channelMenu"));
    const QString channel = QString::number(output_ + 1);
    QAction* copy = menu->addAction(QStringLiteral("Copy Channel ") + channel);
    copy->setObjectName(QStringLiteral("copyChannel"));
    connect(copy, &QAction::triggered, this, &COutputPage::copyChannel);
    QAction* paste = menu->addAction(QStringLiteral("Paste to Channel"));
    paste->setObjectName(QStringLiteral("pasteChannel"));
    if (doc_.outputCopied()) {
        paste->setText(QStringLiteral("Paste to Channel ") + channel);
        connect(paste, &QAction::triggered, this, &COutputPage::pasteChannel);
    } else {
        paste->setEnabled(false);
    }
    return menu;
}

void COutputPage::copyChannel() { doc_.copyOutput(output_); }

void COutputPage::pasteChannel() {
    doc_.pasteOutput(output_);
    for (OutputStrip& strip : strips_) {
        strip.polarity->setText(QStringLiteral("\u00D8 180\u00B0"));
        strip.mute->setText(QStringLiteral("Mute"));
    }
    refreshAllControls();
    redrawGraph();
}

// ---------------------------------------------------------------- mouse on the graph

void COutputPage::mouseMoveEvent(QMouseEvent* event) {
    // Over the page but not the graph: nothing to pick, and any drag ends.
    GraphPointer pointer;
    pointer.insideFrame = false;
    applyGraphResult(editor_.mouseMove(pointer), event->globalPosition().toPoint());
    QWidget::mouseMoveEvent(event);
}

void COutputPage::handleGraphMouse(QEvent* event) {
    syncPlotMapping();
    if (event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const GraphEditResult result = editor_.wheel(wheel->angleDelta().y());
        applyGraphResult(result, wheel->globalPosition().toPoint());
        event->setAccepted(result.handled);
        return;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    GraphPointer pointer;
    const QPoint local = mouse->position().toPoint();
    pointer.x = local.x();
    pointer.y = local.y();
    pointer.insideFrame = graph_->rect().contains(local);
    pointer.shift = (mouse->modifiers() & Qt::ShiftModifier) != 0;
    pointer.ctrl = (mouse->modifiers() & Qt::ControlModifier) != 0;
    pointer.leftHeld = (mouse->buttons() & Qt::LeftButton) != 0;
    pointer.rightHeld = (mouse->buttons() & Qt::RightButton) != 0;

    GraphEditResult result;
    switch (event->type()) {
        case QEvent::MouseMove: result = editor_.mouseMove(pointer); break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (mouse->button() == Qt::LeftButton) result = editor_.leftButtonDown(pointer);
            if (mouse->button() == Qt::RightButton) result = editor_.rightButtonDown(pointer);
            break;
        case QEvent::MouseButtonRelease:
            if (mouse->button() == Qt::LeftButton) result = editor_.leftButtonUp();
            if (mouse->button() == Qt::RightButton) result = editor_.rightButtonUp();
            break;
        default: return;
    }
    applyGraphResult(result, mouse->globalPosition().toPoint());
}

void COutputPage::updateRowTextsFor(const GraphEditResult& result) {
    const std::optional<int> row = state_.rowOfBand(result.changedBand);
    if (!row) return;  // scrolled out of the rows: the next refresh shows the values
    Row& r = rows_[static_cast<std::size_t>(*row)];
    const int band = result.changedBand;
    const int type = doc_.bandType(output_, band);
    if (result.frequencyChanged)
        r.frequency->setText(fromUtf8(frequencyText(doc_.bandFrequency(output_, band))));
    if (result.gainChanged) r.gain->setText(fromUtf8(bandGainText(doc_.bandGain(output_, band), type)));
    if (result.qChanged) {
        r.q->setText(fromUtf8(bandWidthText(doc_.bandQ(output_, band), type, context_.display.showQ)));
    }
}

void COutputPage::applyGraphResult(const GraphEditResult& result, const QPoint& globalPos) {
    if (result.focusGraph) graph_->setFocus(Qt::MouseFocusReason);
    if (result.scrolled) {
        const QSignalBlocker blockScroll(rowScroll_);
        rowScroll_->setValue(state_.firstVisibleBand);
        refreshAllControls();
    }
    if (result.refreshRows) refreshRows();
    if (result.changedBand >= 0) updateRowTextsFor(result);
    if (result.redrawGraph) redrawGraph();
    if (result.updateCursor) graph_->setCursor(cursors_.cursorFor(editor_.cursor()));
    if (result.openContextMenu) makeContextMenu()->exec(globalPos);
}

// ---------------------------------------------------------------- events

bool COutputPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == graph_) {
        switch (event->type()) {
            case QEvent::MouseMove:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseButtonRelease:
            case QEvent::Wheel: handleGraphMouse(event); return true;
            default: break;
        }
        return QWidget::eventFilter(watched, event);
    }
    const bool isDelay = watched == delayEdit_;
    int gainOutput = -1;
    for (int o = 0; o < 2; ++o) {
        if (watched == strips_[static_cast<std::size_t>(o)].gainEdit) gainOutput = o;
    }
    if (!isDelay && gainOutput < 0) return QWidget::eventFilter(watched, event);

    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter moves on to the control beside the edit, which commits the text.
            QWidget* next = isDelay ? static_cast<QWidget*>(delayTrackbar_)
                                    : strips_[static_cast<std::size_t>(gainOutput)].slider;
            next->setFocus(Qt::OtherFocusReason);
            return true;
        }
    } else if (event->type() == QEvent::FocusOut) {
        if (isDelay && delayTextChanged_) commitDelayText();
        if (gainOutput >= 0 && strips_[static_cast<std::size_t>(gainOutput)].gainTextChanged) {
            commitGainText(gainOutput);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void COutputPage::paintEvent(QPaintEvent* event) {
    poller_.markRepaint();
    QWidget::paintEvent(event);
}

void COutputPage::timerEvent(QTimerEvent* event) {
    if (event->timerId() != statusTimer_.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    statusTick();
}

void COutputPage::statusTick() {
    const TickOutcome outcome = poller_.tick();
    if (outcome.redrawMeters) {
        const std::array<int, 2> polled{poller_.meterValueOf(0), poller_.meterValueOf(1)};
        // A redraw that only answers a repaint keeps the values shown; a reading replaces them.
        if (!outcome.restartTimerMs || polled != lastPolled_) meters_ = polled;
        lastPolled_ = polled;
        meterBars_->setValues(meters_[0], meters_[1]);
    }
    if (outcome.temperatureChanged) refreshTemperature();
    if (outcome.restartTimerMs) {
        pollInterval_ = *outcome.restartTimerMs;
        statusTimer_.start(pollInterval_, this);
    }
}

}  // namespace kv
