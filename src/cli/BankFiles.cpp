#include "cli/BankFiles.h"

#include <array>
#include <cctype>
#include <cstdio>

#include "document/file/OvkFile.h"

namespace kv {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

}  // namespace

std::optional<int> unitTypeFromName(std::string_view name) {
    if (equalsIgnoringCase(name, "KV420")) return kUnitKV420;
    if (equalsIgnoringCase(name, "KV520")) return kUnitKV520;
    return std::nullopt;
}

std::string unitTypeName(int unitType) {
    if (unitType == kUnitKV420) return "KV420";
    if (unitType == kUnitKV520) return "KV520";
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "unknown (0x%02X)", static_cast<unsigned>(unitType) & 0xFFFFu);
    return text.data();
}

bool loadBankFile(CliContext& context, CKorvaliserDoc& doc, const std::string& path) {
    const FileResult result = loadDocument(doc, path);
    if (!result.ok) context.fail(result.error);
    return result.ok;
}

bool saveBankFile(CliContext& context, const CKorvaliserDoc& doc, const std::string& path) {
    const FileResult result = saveDocument(doc, path);
    if (!result.ok) context.fail(result.error);
    return result.ok;
}

int slotOfPresetNumber(const CKorvaliserDoc& doc, int presetNumber) {
    return doc.slotAtPosition(presetNumber - 1);
}

}  // namespace kv
