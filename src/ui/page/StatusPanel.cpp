#include "ui/page/StatusPanel.h"

#include <QLabel>
#include <QTimerEvent>

#include "editing/OutputPageRules.h"
#include "ui/widgets/ColourConversion.h"

namespace kv {

namespace {

constexpr QRect kStatusArea{kStripLeft, 8, kStripColumn + 124, 44};

QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.c_str()); }

}  // namespace

StatusPanel::StatusPanel(UnitLink& link, const CKorvaliserDoc& document, QWidget* page)
    : PagePart(kStatusArea, page), poller_(link, document) {
    constexpr int left = kStripLeft;
    addLabel(QStringLiteral("Temperature"), QStringLiteral("temperatureLabel"), {left, 8, 124, 20});
    temperatureText_ = new QLabel(this);
    temperatureText_->setObjectName(QStringLiteral("temperatureText"));
    place(temperatureText_, {left, 30, 124, 22});
    temperatureText_->setAlignment(Qt::AlignCenter);
    temperatureStatus_ = new QLabel(this);
    temperatureStatus_->setObjectName(QStringLiteral("temperatureStatus"));
    place(temperatureStatus_, {left + kStripColumn, 30, 124, 22});
    temperatureStatus_->setAlignment(Qt::AlignCenter);
}

void StatusPanel::startPolling() {
    pollInterval_ = poller_.activate();
    timer_.start(pollInterval_, this);
}

void StatusPanel::refresh() {
    const TemperatureColours colours = temperatureColours(poller_.unitTemperature());
    temperatureText_->setText(fromUtf8(poller_.temperatureText()));
    temperatureStatus_->setText(fromUtf8(poller_.statusText()));
    paintLabel(temperatureText_, toQColor(colours.background), toQColor(colours.text));
    paintLabel(temperatureStatus_, toQColor(colours.background), toQColor(colours.text));
}

void StatusPanel::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timer_.timerId()) {
        PagePart::timerEvent(event);
        return;
    }
    tick();
}

void StatusPanel::tick() {
    const TickOutcome outcome = poller_.tick();
    if (outcome.redrawMeters) {
        const std::array<int, 2> polled{poller_.meterValueOf(0), poller_.meterValueOf(1)};
        // A redraw that only answers a repaint keeps the values shown; a reading replaces them.
        if (!outcome.restartTimerMs || polled != lastPolled_) meters_ = polled;
        lastPolled_ = polled;
        emit metersRead(meters_[0], meters_[1]);
    }
    if (outcome.temperatureChanged) refresh();
    if (outcome.restartTimerMs) {
        pollInterval_ = *outcome.restartTimerMs;
        timer_.start(pollInterval_, this);
    }
}

}  // namespace kv
