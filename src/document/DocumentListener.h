#pragma once
// Views and the document host subscribe to hear that the bank changed.

namespace kv {

class DocumentListener {
public:
    virtual ~DocumentListener() = default;
    // Called after every change of a value, a name, a paste or the modified flag.
    virtual void documentModified(bool modified) = 0;
};

}  // namespace kv
