#pragma once
// The tuning items of an output page's context menu: "Load Measurement…", "Auto-EQ…"
// and "Show Measurement", which hides or shows the measurement, target and predicted
// curves on the page's graph. A measurement just loaded is shown.

#include <memory>

class QMenu;
class QWidget;

namespace kv {

struct EditorContext;
class TuningOverlay;

// The items act on `output` of the current preset, open their dialogs over parent and
// keep a share of the overlay.
void addTuningItems(QMenu& menu, EditorContext& context, int output, std::shared_ptr<TuningOverlay> overlay,
                    QWidget* parent);

}  // namespace kv
