#include "ui/page/OutputStrip.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "document/ValueText.h"
#include "editing/OutputPageRules.h"
#include "ui/graph/LevelMeters.h"
#include "ui/page/PageButton.h"
#include "ui/widgets/ImageSlider.h"

namespace kv {

namespace {

constexpr QRect kStripArea{kStripLeft, 58, kStripColumn + 124, 352};

const QString kMuteText = QStringLiteral("Mute");
const QString kPolarityText = QStringLiteral("\u00D8 180\u00B0");

QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.c_str()); }

}  // namespace

OutputStrip::OutputStrip(CKorvaliserDoc& document, std::shared_ptr<GraphImages> images, QWidget* page)
    : PagePart(kStripArea, page), doc_(document) {
    meterBars_ = std::make_unique<CLevelMeters>(this, std::move(images));
    for (int o = 0; o < 2; ++o) {
        buildColumn(o);
        connectColumn(o);
    }
}

OutputStrip::~OutputStrip() = default;

void OutputStrip::buildColumn(int output) {
    Column& c = column(output);
    const int left = kStripLeft + output * kStripColumn;
    const QString n = QString::number(output + 1);
    c.caption =
        addLabel(QStringLiteral("Output ") + n, QStringLiteral("outputCaption") + n, {left, 58, 124, 20});
    c.gainEdit = new QLineEdit(this);
    c.gainEdit->setObjectName(QStringLiteral("gainEdit") + n);
    place(c.gainEdit, {left, 82, 124, 22});
    c.gainEdit->setAlignment(Qt::AlignCenter);
    c.gainEdit->installEventFilter(this);

    c.slider = new CImageSlider(this);
    c.slider->setObjectName(QStringLiteral("gainSlider") + n);
    place(c.slider, QPoint(left + 8, 108));
    c.slider->configureForOutputPage();

    c.meter = meterBars_->bar(output);
    c.meter->setObjectName(QStringLiteral("levelMeter") + n);
    place(c.meter, {left + 70, 108, 26, 270});

    c.mute = new PageButton(PageButton::Style::Mute, this);
    c.mute->setObjectName(QStringLiteral("muteButton") + n);
    c.mute->setText(kMuteText);
    place(c.mute, {left, 384, 60, 26});
    c.polarity = new PageButton(PageButton::Style::Polarity, this);
    c.polarity->setObjectName(QStringLiteral("polarityButton") + n);
    c.polarity->setText(kPolarityText);
    place(c.polarity, {left + 64, 384, 60, 26});
}

void OutputStrip::connectColumn(int output) {
    Column& c = column(output);
    connect(c.gainEdit, &QLineEdit::textEdited, this,
            [this, output] { column(output).gainTextChanged = true; });
    connect(c.mute, &QAbstractButton::clicked, this, [this, output] { toggleMute(output); });
    connect(c.polarity, &QAbstractButton::clicked, this, [this, output] { toggleInvert(output); });
    // A drag of the slider is one undo step: the first movement opens it, the release ends it.
    connect(c.slider, &CImageSlider::moving, this, [this, output] {
        sliderStep_.open(doc_);
        gainFromSlider(output);
    });
    connect(c.slider, &CImageSlider::moved, this, [this, output] {
        gainFromSlider(output);
        sliderStep_.close();
    });
}

void OutputStrip::refresh() {
    for (int o = 0; o < 2; ++o) {
        showGain(o);
        column(o).mute->setLit(doc_.mute(o));
        column(o).polarity->setLit(doc_.invert(o));
    }
}

void OutputStrip::relabelButtons() {
    for (Column& c : columns_) {
        c.polarity->setText(kPolarityText);
        c.mute->setText(kMuteText);
    }
}

void OutputStrip::showMeters(int output0, int output1) { meterBars_->setValues(output0, output1); }

void OutputStrip::showGain(int output) {
    Column& c = column(output);
    c.slider->setPos(gainSliderPosition(doc_.gain(output)));
    c.gainEdit->setText(fromUtf8(outputGainText(doc_.gain(output))));
}

void OutputStrip::toggleMute(int output) {
    doc_.setMute(output, !doc_.mute(output));
    PageButton* button = column(output).mute;
    button->setText(kMuteText);
    button->setLit(doc_.mute(output));
}

void OutputStrip::toggleInvert(int output) {
    doc_.setInvert(output, !doc_.invert(output));
    PageButton* button = column(output).polarity;
    button->setText(kPolarityText);
    button->setLit(doc_.invert(output));
}

void OutputStrip::commitGainText(int output) {
    Column& c = column(output);
    c.gainTextChanged = false;
    if (const std::optional<int> code = gainCodeFromText(c.gainEdit->text().toStdString())) {
        doc_.setGain(output, *code);
    }
    showGain(output);
}

void OutputStrip::gainFromSlider(int output) {
    doc_.setGain(output, gainCodeForSliderPosition(column(output).slider->pos()));
    showGain(output);
}

bool OutputStrip::eventFilter(QObject* watched, QEvent* event) {
    for (int o = 0; o < 2; ++o) {
        Column& c = column(o);
        if (watched != c.gainEdit) continue;
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                // Enter moves on to the output's slider, which commits the text.
                c.slider->setFocus(Qt::OtherFocusReason);
                return true;
            }
        } else if (event->type() == QEvent::FocusOut && c.gainTextChanged) {
            commitGainText(o);
        }
    }
    return PagePart::eventFilter(watched, event);
}

}  // namespace kv
