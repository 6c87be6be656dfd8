#pragma once
// The tuning commands of one output of the current preset, for a page's menu:
// TuningCommands(context, output, this).autoEq();

class QWidget;

namespace kv {

struct EditorContext;

class TuningCommands {
public:
    TuningCommands(EditorContext& context, int output, QWidget* parent);

    // "Load Measurement…": true when the output's tuning changed (the bank is then
    // modified, as the tuning is saved with it).
    bool loadMeasurement();
    // "Auto-EQ…": OK sets the fitted bands as one undoable step, sent to the unit while
    // online; true when it did.
    bool autoEq();

private:
    EditorContext& context_;
    const int output_;
    QWidget* const parent_;
};

}  // namespace kv
