#pragma once
// Views, the curve cache and the document host subscribe to hear what changed.

#include "document/DocumentChange.h"

namespace kv {

class DocumentListener {
public:
    virtual ~DocumentListener() = default;
    // Called after every change of a value, a name, the order, the unit type, the
    // selection, a paste, a load or reset, and after the modified flag alone changed.
    virtual void documentChanged(const DocumentChange& change) = 0;
};

}  // namespace kv
