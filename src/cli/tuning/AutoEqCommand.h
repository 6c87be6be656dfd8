#pragma once
// The autoeq command: fits bands of one output to a measurement and a target, reports
// the RMS errors and the bands, and saves the bank unless asked not to.

#include "cli/CliApp.h"

namespace kv {

void registerTuningCommands(CLI::App& app, CliContext& context);

}  // namespace kv
