#include "ui/controller/RecallPresets.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QPainter>

#include "document/KorvaliserDoc.h"
#include "link/PresetTransfer.h"
#include "response/ColourShading.h"
#include "ui/controller/PresetSelectionList.h"
#include "ui/widgets/ColourConversion.h"

namespace kv {

namespace {

constexpr Colour kRecallBlue = MakeRgb(0, 0, 255);

// A recall button: blue and sunken while pressed or last recalled, dark blue and raised
// otherwise, its label in white on one line.
class RecallButton : public QAbstractButton {
public:
    RecallButton(const int& lastRecalled, int position, QWidget* parent)
        : QAbstractButton(parent), lastRecalled_(lastRecalled), position_(position) {
        setObjectName(QStringLiteral("recallButton%1").arg(position));
        setMinimumHeight(28);
        setFocusPolicy(Qt::StrongFocus);
    }

    bool isLit() const { return isDown() || lastRecalled_ == position_; }

    QSize sizeHint() const override {
        return {fontMetrics().horizontalAdvance(QStringLiteral("P0 : MMMMMMMMMMMMMMMM")) + 24, 30};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const bool lit = isLit();
        const Colour base = lit ? kRecallBlue : ShadeColour(64, kRecallBlue);
        const QRect r = rect();
        painter.fillRect(r, toQColor(base));
        // Four one-pixel rings from the outside in.
        const auto rings = BevelRingColours(base, !lit);
        for (int i = 0; i < static_cast<int>(rings.size()); ++i) {
            const QRect ring = r.adjusted(i, i, -i - 1, -i - 1);
            painter.setPen(toQColor(rings[static_cast<std::size_t>(i)].topLeft));
            painter.drawLine(ring.topLeft(), ring.topRight());
            painter.drawLine(ring.topLeft(), ring.bottomLeft());
            painter.setPen(toQColor(rings[static_cast<std::size_t>(i)].bottomRight));
            painter.drawLine(ring.bottomLeft(), ring.bottomRight());
            painter.drawLine(ring.topRight(), ring.bottomRight());
        }
        painter.setPen(isEnabled() ? QColor(255, 255, 255)
                                   : palette().color(QPalette::Disabled, QPalette::Text));
        painter.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, text());
        if (hasFocus()) {
            painter.setPen(QPen(QColor(255, 255, 255), 1, Qt::DotLine));
            painter.drawRect(r.adjusted(5, 5, -6, -6));
        }
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override {
        // A double-click recalls again, as a second click would.
        QAbstractButton::mousePressEvent(event);
    }

private:
    const int& lastRecalled_;
    int position_;
};

}  // namespace

CRecallPresets::CRecallPresets(CKorvaliserDoc& document, PresetTransfer& transfer, QWidget* parent)
    : QWidget(parent), document_(document), transfer_(transfer) {
    setObjectName(QStringLiteral("recallPresetsPage"));
    auto* layout = new QGridLayout(this);
    layout->setSpacing(8);
    for (int p = 0; p < kPresetCount; ++p) {
        auto* button = new RecallButton(lastRecalled_, p, this);
        buttons_[static_cast<std::size_t>(p)] = button;
        layout->addWidget(button, p % 5, p / 5);
        connect(button, &QAbstractButton::clicked, this, [this, p] { recall(p); });
    }
    relabel();
}

void CRecallPresets::relabel() {
    for (int p = 0; p < kPresetCount; ++p) {
        QAbstractButton* b = buttons_[static_cast<std::size_t>(p)];
        b->setText(presetPositionLabel(document_, p));
        b->update();
    }
}

void CRecallPresets::recall(int position) {
    if (position < 0 || position >= kPresetCount) return;
    lastRecalled_ = position;
    relabel();
    transfer_.recallUnitPreset(position);  // the document itself is not changed
}

}  // namespace kv
