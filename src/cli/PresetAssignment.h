#pragma once
// One KEY=VALUE edit of the current preset, as `korvaliser-cli set` takes them:
//   name=TEXT
//   outK.gain | outK.mute | outK.invert | outK.delay | outK.limiter          (K = 1 or 2)
//   outK.hp.freq | outK.hp.slope | outK.lp.freq | outK.lp.slope
//   outK.bandB.freq | .gain | .q | .flat | .type                             (B = 1..bands in use)
// Values are the stored integer codes. Each edit goes through the document's setter,
// so its clamps apply (gain to 30..450, the delay to what the other output leaves, the
// name to 16 characters); a value the setter would store in a wrong or truncated form
// (outside the editable range of the band's type, the slope codes, 0..20 for the
// limiter, 0/1 for switches) is refused instead. A crossover frequency keeps the
// crossover dialog's limits: the high-pass never above the low-pass of its output.

#include <string>
#include <string_view>

#include "document/KorvaliserDoc.h"

namespace kv {

// Applies the assignment to the current preset; returns an empty text when applied,
// else the reason it was refused (and nothing was changed).
std::string applyAssignment(CKorvaliserDoc& doc, std::string_view assignment);

}  // namespace kv
