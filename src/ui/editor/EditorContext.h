#pragma once
// Everything the preset editor sheet and its output pages work with, created once by
// the application (or by a test) and handed to the sheet by reference. The sheet and
// the pages hold no copies of preset data: they read and write through the document,
// recompute curves in the shared table and talk to the unit through the link.

namespace kv {

class CKorvaliserDoc;
class ResponseCurveTable;
class UnitLink;
class OnlineSender;
class BankTuning;

// Display choices that the pages follow (persisted in the "Options" settings section).
struct EditorDisplayOptions {
    // "Q / BW": true shows band widths as Q, false as bandwidth (the reciprocal).
    bool showQ = true;
};

struct EditorContext {
    CKorvaliserDoc& document;
    ResponseCurveTable& curves;
    UnitLink& link;
    OnlineSender& sender;
    BankTuning& tuning;  // measurements and targets of the bank's outputs
    EditorDisplayOptions display{};
};

}  // namespace kv
