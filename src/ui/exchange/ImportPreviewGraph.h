#pragma once
// The import preview's small graph: the response the file asks for and the response the
// unit will get from the codes set, on the page graph's frequency and dB mapping, so a
// difference the mapping report names can be seen where it lies.

#include <QWidget>

#include "exchange/ExchangeCurves.h"

namespace kv {

class ImportPreviewGraph : public QWidget {
    Q_OBJECT
public:
    explicit ImportPreviewGraph(QWidget* parent = nullptr);

    void setCurves(const GridCurve& requested, const GridCurve& set);
    const GridCurve& requested() const { return requested_; }
    const GridCurve& set() const { return set_; }

    QSize sizeHint() const override { return {460, 220}; }
    QSize minimumSizeHint() const override { return {300, 160}; }

    static QColor requestedColour() { return {30, 80, 200}; }
    static QColor setColour() { return {210, 40, 30}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    GridCurve requested_{};
    GridCurve set_{};
};

}  // namespace kv
