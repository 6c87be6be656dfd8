#include "ui/page/BandRows.h"

#include <QCheckBox>
#include <QIcon>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>

#include "document/ValueText.h"
#include "editing/OutputPageRules.h"
#include "ui/page/PageButton.h"

namespace kv {

namespace {

constexpr int kHeadingTop = 408;
constexpr int kRowTop = 432;
constexpr int kRowPitch = 26;
constexpr int kRowHeight = 23;
constexpr int kShownLeft = 8;
constexpr int kNumberLeft = 38;
constexpr int kFrequencyLeft = 64;
constexpr int kQLeft = 154;
constexpr int kGainLeft = 230;
constexpr int kTypeLeft = 316;
constexpr int kFlatLeft = 400;
constexpr int kScrollLeft = 462;
constexpr QRect kRowsArea{kShownLeft, kHeadingTop, kScrollLeft + 18 - kShownLeft,
                          kRowTop + kRowPitch*(kVisibleRows - 1) + kRowHeight - kHeadingTop};

// Bands 1..8 carry an icon of their own.
constexpr int kBandsWithIcons = 8;

QString bandIconPath(int band) { return QStringLiteral(":/page/band%1.svg").arg(band + 1); }

QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.c_str()); }

}  // namespace

BandRows::BandRows(CKorvaliserDoc& document, const EditorDisplayOptions& display, OutputPageState& state,
                   int output, QWidget* page)
    : PagePart(kRowsArea, page), doc_(document), display_(display), state_(state), output_(output) {
    buildHeadings();
    for (int r = 0; r < kVisibleRows; ++r) buildRow(r);
    buildScrollBar();
    for (int r = 0; r < kVisibleRows; ++r) connectRow(r);
    connect(scroll_, &QScrollBar::valueChanged, this, &BandRows::rowsScrolled);
}

void BandRows::buildHeadings() {
    addLabel(QStringLiteral("Show"), QStringLiteral("showHeader"), {kShownLeft, kHeadingTop, 54, 20});
    addLabel(QStringLiteral("Frequency"), QStringLiteral("frequencyHeader"),
             {kFrequencyLeft, kHeadingTop, 86, 20});
    qHeader_ = addLabel(QStringLiteral("Q"), QStringLiteral("qHeader"), {kQLeft, kHeadingTop, 72, 20});
    addLabel(QStringLiteral("Gain"), QStringLiteral("gainHeader"), {kGainLeft, kHeadingTop, 82, 20});
    addLabel(QStringLiteral("Type"), QStringLiteral("typeHeader"), {kTypeLeft, kHeadingTop, 80, 20});
    addLabel(QStringLiteral("Flat"), QStringLiteral("flatHeader"), {kFlatLeft, kHeadingTop, 58, 20});
}

void BandRows::buildRow(int r) {
    Row& rw = row(r);
    const int top = kRowTop + r * kRowPitch;
    rw.shown = new QToolButton(this);
    rw.shown->setObjectName(QStringLiteral("bandShown%1").arg(r));
    rw.shown->setCheckable(true);
    place(rw.shown, {kShownLeft, top, 28, kRowHeight});
    rw.shown->setIconSize({18, 18});
    rw.shown->setToolTip(tr("Show this band on the graph"));
    rw.number = addLabel({}, QStringLiteral("bandNumber%1").arg(r), {kNumberLeft, top, 22, kRowHeight});
    const auto makeValue = [&](const QString& name, int left, int width) {
        auto* button = new PageButton(PageButton::Style::RowValue, this);
        button->setObjectName(name.arg(r));
        place(button, {left, top, width, kRowHeight});
        return button;
    };
    rw.frequency = makeValue(QStringLiteral("bandFrequency%1"), kFrequencyLeft, 86);
    rw.q = makeValue(QStringLiteral("bandQ%1"), kQLeft, 72);
    rw.gain = makeValue(QStringLiteral("bandGain%1"), kGainLeft, 82);
    rw.type = makeValue(QStringLiteral("bandType%1"), kTypeLeft, 80);
    rw.flat = new QCheckBox(QStringLiteral("Flat"), this);
    rw.flat->setObjectName(QStringLiteral("bandFlat%1").arg(r));
    place(rw.flat, {kFlatLeft + 4, top, 54, kRowHeight});
}

void BandRows::buildScrollBar() {
    scroll_ = new QScrollBar(Qt::Vertical, this);
    scroll_->setObjectName(QStringLiteral("bandScrollBar"));
    place(scroll_, {kScrollLeft, kRowTop, 18, kRowPitch * (kVisibleRows - 1) + kRowHeight});
    state_.scrollMaximum = rowScrollMaximum(doc_.activeBandCount(), kVisibleRows);
    scroll_->setRange(0, state_.scrollMaximum);
    scroll_->setPageStep(1);
    scroll_->setSingleStep(1);
    scroll_->setVisible(state_.scrollMaximum >= 1);
}

void BandRows::connectRow(int r) {
    Row& rw = row(r);
    for (PageButton* button : {rw.frequency, rw.q, rw.gain, rw.type}) {
        connect(button, &QAbstractButton::clicked, this, [this, r] { emit bandSelected(bandOfRow(r)); });
        button->setDoubleClickAction([this, r] { emit bandDialogRequested(bandOfRow(r)); });
    }
    connect(rw.flat, &QAbstractButton::clicked, this, [this, r] { flatClicked(r); });
    connect(rw.shown, &QAbstractButton::clicked, this, [this, r] { shownClicked(r); });
}

QWidget* BandRows::lastTabStop() const { return rows_.back().flat; }

int BandRows::bandOfRow(int r) const { return bandInRow(state_.firstVisibleBand, r); }

void BandRows::refresh() {
    refreshValues();
    for (int r = 0; r < kVisibleRows; ++r) {
        Row& rw = row(r);
        const int band = bandOfRow(r);
        rw.number->setText(QString::number(band + 1));
        rw.shown->setIcon(band < kBandsWithIcons ? QIcon(bandIconPath(band)) : QIcon());
        rw.shown->setChecked(band < kShownFlagCount && state_.bandShown[static_cast<std::size_t>(band)]);
    }
    showScrollPosition();
}

void BandRows::refreshValues() {
    const std::optional<int> selected = state_.selectedBand();
    for (int r = 0; r < kVisibleRows; ++r) {
        Row& rw = row(r);
        const int band = bandOfRow(r);
        const int type = doc_.bandType(output_, band);
        rw.frequency->setText(fromUtf8(frequencyText(doc_.bandFrequency(output_, band))));
        rw.q->setText(fromUtf8(bandWidthText(doc_.bandQ(output_, band), type, display_.showQ)));
        rw.gain->setText(fromUtf8(bandGainText(doc_.bandGain(output_, band), type)));
        rw.type->setText(fromUtf8(typeText(type, true)));
        rw.flat->setChecked(doc_.bandFlat(output_, band));
        const bool lit = selected && *selected == band;
        for (PageButton* button : {rw.frequency, rw.q, rw.gain, rw.type}) {
            button->setEnabled(true);
            button->setLit(lit);
        }
        rw.flat->setEnabled(true);
    }
}

void BandRows::showScrollPosition() {
    const QSignalBlocker blockScroll(scroll_);
    scroll_->setValue(state_.firstVisibleBand);
}

void BandRows::showGraphEdit(const GraphEditResult& result) {
    const std::optional<int> r = state_.rowOfBand(result.changedBand);
    if (!r) return;  // scrolled out of the rows: the next refresh shows the values
    Row& rw = row(*r);
    const int band = result.changedBand;
    const int type = doc_.bandType(output_, band);
    if (result.frequencyChanged)
        rw.frequency->setText(fromUtf8(frequencyText(doc_.bandFrequency(output_, band))));
    if (result.gainChanged) rw.gain->setText(fromUtf8(bandGainText(doc_.bandGain(output_, band), type)));
    if (result.qChanged) {
        rw.q->setText(fromUtf8(bandWidthText(doc_.bandQ(output_, band), type, display_.showQ)));
    }
}

void BandRows::showQHeading() {
    qHeader_->setText(display_.showQ ? QStringLiteral("Q") : QStringLiteral("BandWd"));
}

void BandRows::flatClicked(int r) {
    doc_.setBandFlat(output_, bandOfRow(r), row(r).flat->isChecked() ? 1 : 0);
    emit graphChanged();
}

void BandRows::shownClicked(int r) {
    const int band = bandOfRow(r);
    if (band >= kShownFlagCount) return;
    state_.bandShown[static_cast<std::size_t>(band)] = row(r).shown->isChecked();
    emit graphChanged();
}

void BandRows::rowsScrolled(int value) {
    state_.firstVisibleBand = firstRowAfterScroll(value, state_.scrollMaximum);
    emit scrolled();
}

}  // namespace kv
