#pragma once
// Our artwork (tool bar icons, splash picture, program icon, tree images) is compiled
// into the static GUI library; this registers it before the first use.

namespace kv {

void ensureAppResources();

}  // namespace kv
