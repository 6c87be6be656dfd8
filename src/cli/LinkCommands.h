#pragma once
// The commands that talk to an amplifier (identify, send-all, store, recall, status) or
// produce its bytes without sending them (build, frames). Preset numbers are the user's
// 1..10; the link commands take --port PATH and --baud RATE (default 115200) and go
// online exactly as the desktop program does.

#include <optional>
#include <string>
#include <string_view>

#include "cli/CliApp.h"
#include "link/PresetTransfer.h"

namespace kv {

// The unit did not answer, answered wrongly, or refused a message.
inline constexpr int kExitLinkFailure = 3;

void registerLinkCommands(CLI::App& app, CliContext& context);

// "all", or preset numbers and ranges like "1,4,7-10"; empty when the text is not a
// list of numbers 1..10.
std::optional<PresetMask> parsePresetList(std::string_view text);

// The position numbers of a mask as the user counts them, e.g. "1, 4, 7".
std::string presetListText(PresetMask mask);

}  // namespace kv
