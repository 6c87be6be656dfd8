#include "document/DocumentChange.h"

namespace kv {

bool DocumentChange::touchesCurves() const {
    switch (element) {
        case ChangedElement::Band:
        case ChangedElement::HighPass:
        case ChangedElement::LowPass:
        case ChangedElement::Output:
        case ChangedElement::Preset: return currentPreset;
        case ChangedElement::Selection:
        case ChangedElement::Bank: return true;
        default: return false;
    }
}

}  // namespace kv
