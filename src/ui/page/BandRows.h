#pragma once
// The PEQ block of an output page: five rows over the output's bands (shown-on-graph
// box, band number, frequency, Q, gain and type buttons, Flat box) and the scroll bar
// that moves them over the bands in use. A click on a value selects the row's band, a
// double-click asks for the band dialog; the page carries out both.

#include <array>

#include "document/KorvaliserDoc.h"
#include "editing/GraphBandEditor.h"
#include "ui/editor/EditorContext.h"
#include "ui/page/PagePart.h"

class QCheckBox;
class QLabel;
class QScrollBar;
class QToolButton;

namespace kv {

class PageButton;

class BandRows : public PagePart {
    Q_OBJECT
public:
    // state is the page's: the rows read and move its first visible band and shown flags.
    BandRows(CKorvaliserDoc& document, const EditorDisplayOptions& display, OutputPageState& state,
             int output, QWidget* page);

    // Band numbers, icons, shown boxes and scroll position, then the values.
    void refresh();
    // The rows' values and which row is lit.
    void refreshValues();
    // The values a graph edit changed, in the row of its band if that row is showing.
    void showGraphEdit(const GraphEditResult& result);
    // The Q column's heading: "Q", or "BandWd" while band widths are shown.
    void showQHeading();
    // The last control the tab key reaches in the rows.
    QWidget* lastTabStop() const;

signals:
    void bandSelected(int band);
    void bandDialogRequested(int band);
    // A band's flat switch or shown-on-graph box changed: the graph needs a redraw.
    void graphChanged();
    // The rows moved over the bands.
    void scrolled();

private:
    struct Row {
        QToolButton* shown = nullptr;
        QLabel* number = nullptr;
        PageButton* frequency = nullptr;
        PageButton* q = nullptr;
        PageButton* gain = nullptr;
        PageButton* type = nullptr;
        QCheckBox* flat = nullptr;
    };

    void buildHeadings();
    void buildRow(int r);
    void buildScrollBar();
    void connectRow(int r);
    void showScrollPosition();
    Row& row(int r) { return rows_[static_cast<std::size_t>(r)]; }
    int bandOfRow(int r) const;
    void flatClicked(int r);
    void shownClicked(int r);
    void rowsScrolled(int value);

    CKorvaliserDoc& doc_;
    const EditorDisplayOptions& display_;
    OutputPageState& state_;
    const int output_;
    std::array<Row, kVisibleRows> rows_{};
    QLabel* qHeader_ = nullptr;
    QScrollBar* scroll_ = nullptr;
};

}  // namespace kv
