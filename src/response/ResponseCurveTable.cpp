#include "response/ResponseCurveTable.h"

namespace kv {

void ResponseCurveTable::setState(int index, CurveState state) {
    if (isSlot(index)) slots_[static_cast<std::size_t>(index)].state = state;
}

void ResponseCurveTable::markAll(CurveState state) {
    for (CurveSlot& s : slots_) s.state = state;
}

void ResponseCurveTable::markPresentStale() {
    for (CurveSlot& s : slots_) {
        if (s.state != CurveState::Absent) s.state = CurveState::Stale;
    }
}

}  // namespace kv
