#pragma once
// import-eq and export-eq: filter text files of REW, Equalizer APO and AutoEq in and out
// of one output of a preset in a bank file.

#include "cli/CliApp.h"

namespace kv {

void registerEqCommands(CLI::App& app, CliContext& context);

}  // namespace kv
