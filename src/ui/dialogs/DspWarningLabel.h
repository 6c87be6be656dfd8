#pragma once
// The line a band or crossover dialog shows when the unit's response of the element being
// edited (the words sent to it) differs audibly from the model the graphs draw: "DSP
// differs by 4.6 dB at 9.8 Hz". Hidden while there is nothing to warn about. It sits in a
// corner the dialog leaves free, so no control moves when it appears.

#include <QLabel>
#include <string>

namespace kv {

class DspWarningLabel : public QLabel {
public:
    // Placed at `where` (pixels) in its parent, with the object name "dspWarning".
    DspWarningLabel(QWidget* parent, QRect where);

    // Shows the warning, or hides the label for an empty one.
    void showWarning(const std::string& warning);
};

}  // namespace kv
