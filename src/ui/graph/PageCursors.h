#pragma once
// The pointer shapes of the output page's graph: what a press would do to a band.
// Our own artwork, drawn once per page: a small marker square with arrows.

#include <QCursor>

#include "editing/GraphBandEditor.h"

namespace kv {

class PageCursors {
public:
    PageCursors();

    // The cursor for a graph editing state; Default gives the arrow.
    QCursor cursorFor(GraphCursor shape) const;

    const QCursor& gainOnly() const { return gainOnly_; }            // vertical arrows
    const QCursor& frequencyOnly() const { return frequencyOnly_; }  // horizontal arrows
    const QCursor& pick() const { return pick_; }                    // four arrows

private:
    QCursor gainOnly_;
    QCursor frequencyOnly_;
    QCursor pick_;
};

}  // namespace kv
