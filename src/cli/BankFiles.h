#pragma once
// What every bank command of the tool shares: the model names on the command line,
// loading and saving a bank with the error reported, and the user's preset numbers.

#include <optional>
#include <string>
#include <string_view>

#include "cli/CliApp.h"
#include "document/KorvaliserDoc.h"

namespace kv {

// "KV420" or "KV520" (any letter case) to the model code.
std::optional<int> unitTypeFromName(std::string_view name);
// "KV420", "KV520", or "unknown (0x33)" for a code no model has.
std::string unitTypeName(int unitType);

// Load or save path; on failure the error goes to context.err and false is returned.
bool loadBankFile(CliContext& context, CKorvaliserDoc& doc, const std::string& path);
bool saveBankFile(CliContext& context, const CKorvaliserDoc& doc, const std::string& path);

// The slot shown to the user as preset number (1..10), the position in presetOrder.
int slotOfPresetNumber(const CKorvaliserDoc& doc, int presetNumber);

}  // namespace kv
