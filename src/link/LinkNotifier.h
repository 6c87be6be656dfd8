#pragma once
// How the link tells the user that going online failed. The GUI shows message boxes
// with the exclamation icon; the CLI prints to standard error; tests record.

#include <string>

namespace kv {

class LinkNotifier {
public:
    virtual ~LinkNotifier() = default;

    // One of the link's four user messages, word for word.
    virtual void showLinkMessage(const std::string& text) = 0;

    // The port could not be opened: text is "Cannot Open this COM port !", reason the
    // system's explanation (may be empty). By default shown as one message, the reason
    // on the lines under the text.
    virtual void showPortFailure(const std::string& text, const std::string& reason) {
        showLinkMessage(reason.empty() ? text : text + "\n\n" + reason);
    }
};

}  // namespace kv
