#pragma once
// The commands that work on a bank file alone: new, show, set and response.

#include "cli/CliApp.h"

namespace kv {

void registerOfflineCommands(CLI::App& app, CliContext& context);

}  // namespace kv
