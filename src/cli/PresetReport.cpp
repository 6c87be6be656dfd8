#include "cli/PresetReport.h"

#include <ostream>
#include <string_view>

#include "cli/BankFiles.h"
#include "document/ValueText.h"
#include "document/file/TextCodec.h"

namespace kv {

namespace {

constexpr int kLabelWidth = 10;  // "Highpass: " and the labels aligned to it

// Characters, not bytes: the degree sign is two bytes of UTF-8 but one column.
std::size_t columnsOf(std::string_view utf8) {
    std::size_t columns = 0;
    for (const char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++columns;
    return columns;
}

std::string padded(std::string text, std::size_t width) {
    const std::size_t columns = columnsOf(text);
    if (columns < width) text.append(width - columns, ' ');
    return text;
}

void writeLine(std::ostream& out, std::string_view label, const std::string& value) {
    out << "    " << padded(std::string(label), kLabelWidth) << value << '\n';
}

std::string crossoverText(int frequency, int slope) {
    return frequencyText(frequency) + "  " + slopeText(slope);
}

std::string gainLine(const CKorvaliserDoc& doc, int output) {
    std::string text = outputGainText(doc.gain(output));
    if (doc.invert(output)) text += "   (-180')";
    return text;
}

void writeBandTable(std::ostream& out, const CKorvaliserDoc& doc, int output, bool showQ) {
    constexpr std::size_t kBandColumn = 8;
    constexpr std::size_t kFrequencyColumn = 9;
    constexpr std::size_t kWidthColumn = 8;
    constexpr std::size_t kGainColumn = 10;
    out << "    " << padded("", kBandColumn) << padded("Freq.", kFrequencyColumn)
        << padded(showQ ? "Q" : "BandWd", kWidthColumn) << padded("Gain", kGainColumn) << "Type\n";
    for (int b = 0; b < doc.activeBandCount(); ++b) {
        const int type = doc.bandType(output, b);
        const std::string gain =
            doc.bandFlat(output, b) ? "Bypassed" : bandGainText(doc.bandGain(output, b), type);
        out << "    " << padded("PEQ " + std::to_string(b + 1), kBandColumn)
            << padded(frequencyText(doc.bandFrequency(output, b)), kFrequencyColumn)
            << padded(bandWidthText(doc.bandQ(output, b), type, showQ), kWidthColumn)
            << padded(gain, kGainColumn) << typeText(type, true) << '\n';
    }
}

void writeOutput(std::ostream& out, const CKorvaliserDoc& doc, int output, bool showQ) {
    out << "  Output [" << output + 1 << "]\n";
    writeLine(out, "Highpass:", crossoverText(doc.highPassFrequency(output), doc.highPassSlope(output)));
    writeLine(out, "Lowpass:", crossoverText(doc.lowPassFrequency(output), doc.lowPassSlope(output)));
    writeLine(out, "Gain:", gainLine(doc, output));
    writeLine(out, "Mute:", doc.mute(output) ? "on" : "off");
    writeLine(out, "Delay:", delayText(doc.delay(output)));
    writeLine(out, "Limiter:", limiterText(doc, output));
    writeBandTable(out, doc, output, showQ);
}

}  // namespace

std::string limiterText(const CKorvaliserDoc& doc, int output) {
    const int level = doc.limiterLevel(output);
    return "Attack: " + limiterTimeText(doc.limiterAttack(output)) +
           "  Release: " + releaseMultiplierText(doc.limiterRelease(output)) + "  at " +
           (level == 0 ? "+" : "-") + std::to_string(level) + "dB";
}

void writePresetReport(std::ostream& out, CKorvaliserDoc& doc, int presetNumber, bool showQ) {
    const int previous = doc.currentPreset();
    doc.selectPreset(slotOfPresetNumber(doc, presetNumber));
    out << "Preset " << presetNumber << ": " << toUtf8(doc.presetNameText(-1)) << '\n';
    for (int output = 0; output < doc.outputCount(); ++output) writeOutput(out, doc, output, showQ);
    doc.selectPreset(previous);
}

void writeBankReport(std::ostream& out, CKorvaliserDoc& doc, std::optional<int> presetNumber, bool showQ) {
    out << "Unit: " << unitTypeName(doc.unitType()) << '\n';
    for (int number = 1; number <= kPresetCount; ++number) {
        if (presetNumber && *presetNumber != number) continue;
        out << '\n';
        writePresetReport(out, doc, number, showQ);
    }
}

}  // namespace kv
