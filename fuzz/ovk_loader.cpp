// Arbitrary bytes as a bank file: the decoder must refuse or load without touching
// memory outside the bank, and whatever it loads must save and load back identically.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "document/file/OvkFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kv::CKorvaliserDoc doc;
    const kv::FileResult result =
        kv::decodeDocument(doc, std::span<const std::uint8_t>(data, size), "fuzz.ovk");
    if (!result.ok) {
        if (result.error.empty()) std::abort();  // every refusal must say why
        return 0;
    }
    if (doc.activeBandCount() < 0 || doc.activeBandCount() > kv::kBandSlots) std::abort();
    for (int position = 0; position < kv::kPresetCount; ++position) {
        const int slot = doc.slotAtPosition(position);
        if (slot < 0 || slot >= kv::kPresetCount) std::abort();
        if (doc.presetNameText(slot).size() > static_cast<std::size_t>(kv::kNameMaxChars)) std::abort();
    }
    const std::vector<std::uint8_t> saved = kv::encodeDocument(doc);
    kv::CKorvaliserDoc reloaded;
    if (!kv::decodeDocument(reloaded, saved, "again.ovk").ok) std::abort();
    if (kv::encodeDocument(reloaded) != saved) std::abort();
    return 0;
}
