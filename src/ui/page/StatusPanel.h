#pragma once
// The top right corner of an output page: the amplifier's temperature and thermal status,
// and the polling of meters and temperature behind it. Polling runs only while the page
// is the sheet's current page; each meter reading goes out through metersRead().

#include <QBasicTimer>
#include <array>

#include "link/StatusPoller.h"
#include "ui/page/PagePart.h"

class QLabel;

namespace kv {

class StatusPanel : public PagePart {
    Q_OBJECT
public:
    StatusPanel(UnitLink& link, const CKorvaliserDoc& document, QWidget* page);

    void startPolling();
    void stopPolling() { timer_.stop(); }
    bool isPolling() const { return timer_.isActive(); }
    int pollInterval() const { return pollInterval_; }
    // The page was painted: the next tick draws the meters again.
    void markRepaint() { poller_.markRepaint(); }

    int meterValue(int output) const { return meters_.at(static_cast<std::size_t>(output)); }
    int unitTemperature() const { return poller_.unitTemperature(); }
    // Temperature text, status and their colours for the last reading.
    void refresh();

signals:
    void metersRead(int output0, int output1);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void tick();

    QLabel* temperatureText_ = nullptr;
    QLabel* temperatureStatus_ = nullptr;
    StatusPoller poller_;
    QBasicTimer timer_;
    int pollInterval_ = kFirstTickMs;
    // Meters show no signal (fully darkened) until the first reading arrives.
    std::array<int, 2> meters_{60, 60};
    std::array<int, 2> lastPolled_{};
};

}  // namespace kv
