// Arbitrary bytes as a filter text file: reading must give per-line messages (never a
// crash, never a value outside what the unit's scales hold), mapping the result onto an
// output must keep every code within its type's range, and whatever is applied must write
// out as a file that reads back without a single error.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "document/KorvaliserDoc.h"
#include "exchange/EqFileParser.h"
#include "exchange/EqFileWriter.h"
#include "exchange/FilterImport.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

void checkParsed(const kv::EqFile& file) {
    check(file.messages.size() <= kv::kMaxEqMessages);
    int errors = 0;
    for (const kv::EqMessage& message : file.messages) {
        check(!message.text.empty());
        if (message.kind == kv::EqMessageKind::Error) ++errors;
    }
    check(errors <= file.errorLines);
    for (const kv::EqFilter& filter : file.filters) {
        check(filter.scope >= 0 && static_cast<std::size_t>(filter.scope) < file.scopes.size());
        if (filter.target == kv::EqTarget::Refused) {
            check(!filter.refusal.empty());
            continue;
        }
        check(std::isfinite(filter.frequency) && filter.frequency > 9.0 && filter.frequency < 34000.0);
        check(std::isfinite(filter.gainDb) && std::fabs(filter.gainDb) <= 100.0);
        check(std::isfinite(filter.q) && filter.q > 0.0);
    }
}

void checkPlan(const kv::ImportMapping& mapping, int unitType) {
    if (!mapping.canApply()) {
        check(mapping.plan.empty());
        return;
    }
    check(std::isfinite(mapping.worstDifferenceDb));
    for (const kv::BandWrite& write : mapping.plan.bands) {
        check(write.band >= 0 && write.band < kv::kBandsInUse);
        const kv::PeqBand& b = write.values;
        const auto within = [&](kv::RangeKind kind, int value) {
            const kv::ValueRange range = kv::parameterRange(kind, b.type, unitType);
            return value >= range.minimum && value <= range.maximum;
        };
        const bool reset = b.gain == 0 && b.type == 0 && b.frequency == 252;  // a band cleared by ReplaceFrom
        check(reset || (within(kv::RangeKind::Frequency, b.frequency) &&
                        within(kv::RangeKind::BandGain, b.gain) && within(kv::RangeKind::Q, b.q)));
    }
    if (mapping.plan.gain) check(*mapping.plan.gain >= 30 && *mapping.plan.gain <= 450);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kv::EqFile file = kv::parseEqFile(std::string_view(reinterpret_cast<const char*>(data), size));
    checkParsed(file);

    kv::CKorvaliserDoc doc;
    doc.setHighPassFrequency(0, 12);
    doc.setLowPassFrequency(0, 433);
    kv::ImportRequest request;
    request.channel = file.channels.empty() ? std::string() : file.channels.front();
    request.keep = kv::KeepChoice::Largest;
    request.placement = size % 2 == 0 ? kv::BandPlacement::FreeBands : kv::BandPlacement::ReplaceFrom;
    request.firstBand = static_cast<int>(size % kv::kBandsInUse);
    const kv::ImportMapping mapping = kv::mapEqFile(file, doc, request);
    checkPlan(mapping, doc.unitType());
    if (!mapping.canApply()) return 0;

    kv::applyImportPlan(doc, mapping.plan);
    for (const kv::EqFormat format : {kv::EqFormat::Apo, kv::EqFormat::Rew}) {
        const kv::EqExport exported =
            kv::writeEqFile(doc.outputChannel(0), doc.activeBandCount(), format, {"fuzz", ""});
        check(!kv::parseEqFile(exported.text).hasErrors());
    }
    return 0;
}
