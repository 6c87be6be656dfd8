#include "ui/graph/LevelMeters.h"

#include <QPainter>
#include <QWidget>

namespace kv {

namespace {

const QColor kMeterGreen(0x00, 0xFF, 0x00);
const QColor kMeterRed(0xFF, 0x40, 0x40);
const QColor kMeterYellow(0xFF, 0xFF, 0x00);
const QColor kDivider(0x40, 0x40, 0x40);
const QColor kDarken(0x00, 0x00, 0x00, 0x80);

QRect toQRect(const RectI& r) { return {r.x, r.y, r.width, r.height}; }

// One bar: it shows the image its meters composed for it, in one copy per paint.
class MeterBar : public QWidget {
public:
    MeterBar(CLevelMeters& owner, int output, QWidget* parent)
        : QWidget(parent), owner_(&owner), output_(output) {
        setObjectName(QStringLiteral("levelMeter%1").arg(output + 1));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        if (owner_ && owner_->shownImage(output_).isNull()) owner_->redraw();
        QPainter p(this);
        if (!owner_ || owner_->shownImage(output_).isNull()) {
            p.fillRect(rect(), Qt::black);
            return;
        }
        p.drawImage(0, 0, owner_->shownImage(output_));
    }

private:
    QPointer<CLevelMeters> owner_;
    int output_;
};

}  // namespace

bool BuildMeterBackground(GraphImages& images, int height, int width) {
    GraphGeometry& g = images.geometry;
    if (g.meterBuilt) return true;
    if (width <= 4 || height <= 6) return false;

    g.setMeterFrame(width, height);
    images.meterBackground = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&images.meterBackground);
    p.fillRect(QRect(0, 0, width, height), Qt::black);
    const int barLeft = static_cast<int>(g.meterLeft);
    const int barTop = static_cast<int>(g.meterTop);
    const int barWidth = static_cast<int>(g.meterWidth);
    p.fillRect(QRect(barLeft, barTop, barWidth, static_cast<int>(g.meterHeight)), kMeterGreen);
    const int zone = g.meterZoneHeight();
    p.fillRect(QRect(barLeft, barTop, barWidth, zone), kMeterRed);
    p.fillRect(QRect(barLeft, barTop + zone, barWidth, zone), kMeterYellow);
    p.setPen(QPen(kDivider, 1.0));
    for (int j = 1; j <= 15; ++j) {
        const float y = g.meterDividerY(j);
        p.drawLine(QPointF(2, y), QPointF(g.meterWidth + 1, y));
    }
    p.end();
    g.meterBuilt = true;
    return true;
}

void DrawLevelMeters(const GraphImages& images, const std::array<int, kMeterCount>& values,
                     std::array<QImage, kMeterCount>& shown) {
    const GraphGeometry& g = images.geometry;
    if (!g.meterBuilt) return;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        QImage working = images.meterBackground;
        const RectI dark = g.meterDarkRect(values[i]);
        if (dark.height > 0) {
            QPainter p(&working);
            p.fillRect(toQRect(dark), kDarken);
        }
        shown[i] = std::move(working);
    }
}

CLevelMeters::CLevelMeters(QWidget* page, std::shared_ptr<GraphImages> images)
    : QObject(page), images_(images ? std::move(images) : std::make_shared<GraphImages>()) {
    for (int i = 0; i < kMeterCount; ++i) {
        // Owned by the page through Qt's parent chain.
        bars_[static_cast<std::size_t>(i)] = new MeterBar(*this, i, page);
    }
}

QWidget* CLevelMeters::bar(int output) const { return bars_.at(static_cast<std::size_t>(output)); }

void CLevelMeters::setValues(int output0, int output1) {
    values_ = {output0, output1};
    redraw();
}

void CLevelMeters::redraw() {
    GraphGeometry& g = images_->geometry;
    if (!g.meterBuilt) {
        const QWidget* first = bars_[0];
        if (first == nullptr || !BuildMeterBackground(*images_, first->height(), first->width())) return;
    }
    DrawLevelMeters(*images_, values_, shown_);
    for (const QPointer<QWidget>& bar : bars_) {
        if (!bar) continue;
        bar->setFixedSize(g.meterFrameWidth, g.meterFrameHeight);
        bar->update();
    }
}

}  // namespace kv
