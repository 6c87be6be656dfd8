// Arbitrary bytes as a bank's tuning side file: the reader must refuse with a reason and
// leave the tuning it was given alone, or give settings that are all usable and that
// come back the same when written and read again.

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "ui/tuning/TuningFile.h"

namespace {

kv::BankTuning heldBefore() {
    kv::BankTuning tuning;
    kv::OutputTuning held;
    held.measurement = {{100.0, 80.0}, {1000.0, 82.0}};
    tuning.setTuning(3, 1, held);
    return tuning;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const kv::BankTuning before = heldBefore();
    kv::BankTuning tuning = before;
    const QString error = kv::parseTuningJson(text, tuning);
    if (!error.isEmpty()) {
        if (!(tuning == before)) std::abort();
        return 0;
    }
    for (int slot = 0; slot < kv::kPresetCount; ++slot)
        for (int output = 0; output < kv::kOutputsInUse; ++output)
            if (!kv::tuningProblem(tuning.tuning(slot, output)).empty()) std::abort();
    kv::BankTuning again;
    if (!kv::parseTuningJson(kv::tuningJson(tuning), again).isEmpty() || !(again == tuning)) std::abort();
    return 0;
}
