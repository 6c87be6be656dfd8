#pragma once
// One part of an output page (the output strip, the band rows, the crossover and delay
// group, the status panel): a widget covering its area of the page, painting nothing of
// its own, whose controls are placed in page coordinates so that the page's layout reads
// as one table across the parts.

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QWidget>

class QLabel;

namespace kv {

// The right-hand column of the page: Output 1's controls, Output 2's one column further.
inline constexpr int kStripLeft = 694;
inline constexpr int kStripColumn = 134;

class PagePart : public QWidget {
public:
    // area: where the part lies on the page.
    PagePart(const QRect& area, QWidget* page);

protected:
    // Gives a control its place on the page.
    void place(QWidget* control, const QRect& onPage) const;
    void place(QWidget* control, QPoint onPage) const;
    // A caption in white on the page's blue.
    QLabel* addLabel(const QString& text, const QString& name, const QRect& onPage);
};

void paintLabel(QLabel* label, const QColor& background, const QColor& text);

}  // namespace kv
