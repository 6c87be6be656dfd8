#pragma once
// The keyboard's lock states for the status bar's CAP, NUM and SCRL panes. An X11 display
// can tell them; elsewhere (Wayland, offscreen) there is nothing to read and each state
// is unknown.

#include <optional>

namespace kv {

struct KeyboardLocks {
    std::optional<bool> caps;
    std::optional<bool> num;
    std::optional<bool> scroll;
    bool operator==(const KeyboardLocks&) const = default;
};

// The current states; a state the platform cannot tell is empty.
KeyboardLocks readKeyboardLocks();

}  // namespace kv
