#pragma once
// The two level meter bars of an output page, one per output: a green bar with a yellow
// and a red zone at the top, whose upper part is darkened down to the output's level.
//
// Use on a page:
//   auto* meters = new CLevelMeters(page, sheetImages);   // parented to the page
//   meters->bar(0)->setGeometry(...); meters->bar(1)->setGeometry(...);
//   meters->setValues(v0, v1);   // from each status reply
// The bars take their size from the first bar at the first draw and keep it.

#include <QImage>
#include <QObject>
#include <QPointer>
#include <array>
#include <memory>

#include "ui/graph/GraphImages.h"

class QWidget;

namespace kv {

inline constexpr int kMeterCount = 2;
inline constexpr int kInitialMeterValue = 60;

// Builds the meter background and the meter fields of the geometry for a bar of
// width x height pixels. Does nothing when it exists; false for a bar too small to draw.
bool BuildMeterBackground(GraphImages& images, int height, int width);

// Composes the image of each meter from its value: values above 100 or below 0 darken
// the whole bar, 0 darkens nothing, 48 or more darkens all of it.
void DrawLevelMeters(const GraphImages& images, const std::array<int, kMeterCount>& values,
                     std::array<QImage, kMeterCount>& shown);

class CLevelMeters : public QObject {
public:
    // The bars are children of `page`, which places them.
    explicit CLevelMeters(QWidget* page, std::shared_ptr<GraphImages> images = {});

    QWidget* bar(int output) const;
    void setValues(int output0, int output1);
    int value(int output) const { return values_.at(static_cast<std::size_t>(output)); }
    // Compose both bars again (after a size change before the first draw, or a repaint).
    void redraw();

    const QImage& shownImage(int output) const { return shown_.at(static_cast<std::size_t>(output)); }
    const GraphGeometry& geometry() const { return images_->geometry; }

private:
    std::shared_ptr<GraphImages> images_;
    std::array<int, kMeterCount> values_{kInitialMeterValue, kInitialMeterValue};
    std::array<QImage, kMeterCount> shown_{};
    std::array<QPointer<QWidget>, kMeterCount> bars_{};
};

}  // namespace kv
