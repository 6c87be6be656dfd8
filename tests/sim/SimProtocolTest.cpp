// The unit's side of the wire: cutting the byte stream into requests, checking and
// decoding them, and the replies it builds. Frames here are worked by hand.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HostFrames.h"
#include "document/MessageCode.h"
#include "sim/FrameAssembler.h"
#include "sim/SimProtocol.h"

namespace kv {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<AssembledRequest> assemble(const Bytes& stream, bool flushAtEnd) {
    FrameAssembler assembler;
    std::vector<AssembledRequest> done;
    for (const auto b : stream) assembler.feed(b, done);
    if (flushAtEnd)
        if (auto rest = assembler.takeUnfinished()) done.push_back(*rest);
    return done;
}

struct AssemblyCase {
    const char* name;
    Bytes stream;
    bool flushAtEnd;
    std::vector<std::pair<Bytes, bool>> expected;  // request bytes, complete
};

TEST(FrameAssembler, CutsTheStreamIntoRequests) {
    const Bytes meter{0xF0, 0x00, 0x07, 0x32, 0x01, 0x0D, 0x3E, 0x75};
    const Bytes recall{0xF1, 0x00, 0x08, 0x31, 0x01, 0x0D, 0x04, 0x03, 0x3F};
    const std::vector<AssemblyCase> cases = {
        {"identification", {0xE0, 0x01}, false, {{{0xE0, 0x01}, true}}},
        {"noise before identification", {0x13, 0x7F, 0x80, 0xE0, 0x01}, false, {{{0xE0, 0x01}, true}}},
        {"E0 without 01 is dropped", {0xE0, 0x02, 0xE0, 0x01}, false, {{{0xE0, 0x01}, true}}},
        {"E0 then a frame", {0xE0, 0xF0, 0x00, 0x07, 0x32, 0x01, 0x0D, 0x3E, 0x75}, false, {{meter, true}}},
        {"two frames back to back",
         {0xF0, 0x00, 0x07, 0x32, 0x01, 0x0D, 0x3E, 0x75, 0xF1, 0x00, 0x08, 0x31, 0x01, 0x0D, 0x04, 0x03,
          0x3F},
         false,
         {{meter, true}, {recall, true}}},
        {"frame broken off by a new start byte",
         {0xF1, 0x00, 0x08, 0x31, 0xF0, 0x00, 0x07, 0x32, 0x01, 0x0D, 0x3E, 0x75},
         false,
         {{{0xF1, 0x00, 0x08, 0x31}, false}, {meter, true}}},
        {"length too small to be a frame", {0xF1, 0x00, 0x03}, false, {{{0xF1, 0x00, 0x03}, false}}},
        {"length beyond the largest frame", {0xF1, 0x7F, 0x7F}, false, {{{0xF1, 0x7F, 0x7F}, false}}},
        {"unfinished frame handed back",
         {0xF1, 0x00, 0x08, 0x31, 0x01},
         true,
         {{{0xF1, 0x00, 0x08, 0x31, 0x01}, false}}},
        {"lone E0 at a pause is forgotten", {0xE0}, true, {}},
        {"whole-preset length is accepted", {0xF1, 0x05, 0x64}, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto got = assemble(c.stream, c.flushAtEnd);
        ASSERT_EQ(got.size(), c.expected.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].bytes, c.expected[i].first);
            EXPECT_EQ(got[i].complete, c.expected[i].second);
        }
    }
}

TEST(FrameAssembler, CollectsTheWholePresetFrame) {
    Bytes frame(741, 0x00);
    frame[0] = 0xF1;
    frame[1] = 0x05;
    frame[2] = 0x64;
    const auto got = assemble(frame, false);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_TRUE(got[0].complete);
    EXPECT_EQ(got[0].bytes.size(), 741u);
}

struct DecodeCase {
    const char* name;
    Bytes frame;
    int model;
    SimFrameKind kind;
    int code;
    int output;
    int band;
    Bytes body;
};

TEST(SimProtocol, DecodesWorkedFrames) {
    const std::vector<DecodeCase> cases = {
        {"meter query",
         {0xF0, 0x00, 0x07, 0x32, 0x01, 0x0D, 0x3E, 0x75},
         0x32,
         SimFrameKind::MeterQuery,
         0,
         0,
         0,
         {}},
        {"temperature query",
         {0xF0, 0x00, 0x07, 0x31, 0x01, 0x0D, 0x3D, 0x73},
         0x31,
         SimFrameKind::TemperatureQuery,
         0,
         0,
         0,
         {}},
        {"recall of preset 3",
         {0xF1, 0x00, 0x08, 0x31, 0x01, 0x0D, 0x04, 0x03, 0x3F},
         0x31,
         SimFrameKind::Data,
         MsgRecall,
         0,
         0,
         {0x03}},
        {"limiter level of output 2",
         {0xF1, 0x00, 0x0A, 0x32, 0x01, 0x0D, 0x02, 0x02, 0x01, 0x7A, 0x3A},
         0x32,
         SimFrameKind::Data,
         MsgLimiterLevel,
         2,
         0,
         {0x01, 0xFA}},
        {"gain of output 1",
         {0xF1, 0x00, 0x12, 0x31, 0x01, 0x0D, 0x01, 0x04, 0x73, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
          0x00, 0x00, 0x3A},
         0x31,
         SimFrameKind::Data,
         MsgGain,
         1,
         0,
         {0x73, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
        {"gain with both words zero is the silencing message",
         {0xF1, 0x00, 0x12, 0x31, 0x01, 0x0D, 0x01, 0x00, 0x75, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
          0x00, 0x00, 0x38},
         0x31,
         SimFrameKind::Data,
         MsgGainZero,
         2,
         0,
         {0x75, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SimFrame frame = decodeRequest(c.frame, true, c.model);
        EXPECT_EQ(frame.kind, c.kind) << frame.problem;
        EXPECT_EQ(frame.code, c.code);
        EXPECT_EQ(frame.output, c.output);
        EXPECT_EQ(frame.band, c.band);
        EXPECT_EQ(frame.body, c.body);
        EXPECT_EQ(frame.length, c.frame.size());
    }
    EXPECT_EQ(
        decodeRequest(Bytes{0xF1, 0x00, 0x08, 0x31, 0x01, 0x0D, 0x04, 0x03, 0x3F}, true, 0x31).presetNumber,
        3);
}

// A parameter write with the given address byte and a body of `bodyBytes` zero bytes
// after it.
Bytes parameterFrame(std::uint8_t address, std::size_t bodyBytes, int model = 0x32) {
    Bytes body(bodyBytes, 0x00);
    body[0] = address;
    return test::hostFrame(0xF1, model, 0x01, test::packed(body));
}

TEST(SimProtocol, MapsEveryParameterAddressToItsMessage) {
    struct Case {
        std::uint8_t address;
        std::size_t bodyBytes;
        std::size_t d;
        int code, output, band;
    };
    const std::vector<Case> cases = {
        {0xFA, 13, 22, MsgDelays, 0, 0},       {0x73, 9, 18, MsgGainZero, 1, 0},
        {0x75, 9, 18, MsgGainZero, 2, 0},      {0x4F, 41, 54, MsgHighPass, 1, 0},
        {0x67, 41, 54, MsgHighPass, 2, 0},     {0x51, 41, 54, MsgLowPass, 1, 0},
        {0x69, 41, 54, MsgLowPass, 2, 0},      {0x53, 21, 31, MsgPeqBand, 1, 1},
        {0x5A, 21, 31, MsgPeqBand, 1, 8},      {0x6B, 21, 31, MsgPeqBand, 2, 1},
        {0x72, 21, 31, MsgPeqBand, 2, 8},      {0xB5, 17, 27, MsgLimiterTimes, 1, 0},
        {0xBA, 17, 27, MsgLimiterTimes, 2, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "address 0x" << std::hex << int{c.address});
        const Bytes frame = parameterFrame(c.address, c.bodyBytes);
        EXPECT_EQ(frame.size(), c.d + 1);
        const SimFrame decoded = decodeRequest(frame, true, 0x32);
        ASSERT_EQ(decoded.kind, SimFrameKind::Data) << decoded.problem;
        EXPECT_EQ(decoded.code, c.code);
        EXPECT_EQ(decoded.output, c.output);
        EXPECT_EQ(decoded.band, c.band);
    }
}

TEST(SimProtocol, RefusesWhatTheUnitCannotTake) {
    Bytes badChecksum{0xF1, 0x00, 0x08, 0x31, 0x01, 0x0D, 0x04, 0x03, 0x40};
    Bytes otherModel{0xF1, 0x00, 0x08, 0x31, 0x01, 0x0D, 0x04, 0x03, 0x3F};
    Bytes recallEleven{0xF1, 0x00, 0x08, 0x31, 0x01, 0x0D, 0x04, 0x0B, 0x47};
    Bytes unknownCommand{0xF1, 0x00, 0x08, 0x31, 0x01, 0x0D, 0x09, 0x03, 0x44};
    Bytes unknownQuery{0xF0, 0x00, 0x07, 0x31, 0x01, 0x0D, 0x3C, 0x72};
    Bytes badHeader{0xF1, 0x00, 0x08, 0x31, 0x02, 0x0D, 0x04, 0x03, 0x40};
    const struct {
        const char* name;
        Bytes frame;
        bool complete;
        int unitModel;
    } cases[] = {
        {"bad checksum", badChecksum, true, 0x31},
        {"frame for the other model", otherModel, true, 0x32},
        {"recall of preset 11", recallEleven, true, 0x31},
        {"unknown command", unknownCommand, true, 0x31},
        {"unknown status query", unknownQuery, true, 0x31},
        {"header bytes not 01 0D", badHeader, true, 0x31},
        {"unknown address", parameterFrame(0x10, 9, 0x31), true, 0x31},
        {"gain body too long for its address", parameterFrame(0x73, 13, 0x31), true, 0x31},
        {"band body too short", parameterFrame(0x53, 17, 0x31), true, 0x31},
        {"cut short", {0xF1, 0x00, 0x08, 0x31}, false, 0x31},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SimFrame frame = decodeRequest(c.frame, c.complete, c.unitModel);
        EXPECT_EQ(frame.kind, SimFrameKind::Invalid);
        EXPECT_FALSE(frame.problem.empty());
        EXPECT_EQ(frame.code, 0);
    }
}

TEST(SimProtocol, UnpacksSevenBitGroups) {
    Bytes body;
    // A 7-byte body packs to 8 bytes, an 8-byte body to 10.
    ASSERT_TRUE(unpackSevenBit(Bytes{0x7F, 0x7F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, body));
    EXPECT_EQ(body, (Bytes{0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80}));
    ASSERT_TRUE(unpackSevenBit(Bytes{0x01, 0x7F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x05}, body));
    EXPECT_EQ(body, (Bytes{0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x85}));
    EXPECT_FALSE(unpackSevenBit(Bytes{0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x00}, body));
}

TEST(SimProtocol, BuildsReplies) {
    // Meter values 0x90 and 0x05: byte 7 holds the top bits, 8 and 9 the low seven.
    const auto meter = meterReply(0x32, 0x90, 0x05);
    EXPECT_EQ(Bytes(meter.begin(), meter.end()),
              (Bytes{0xA8, 0x00, 0x0A, 0x32, 0x01, 0x0D, 0x3E, 0x01, 0x10, 0x05, 0x46}));
    const auto both = meterReply(0x31, 255, 200);
    EXPECT_EQ(both[7], 0x03);
    EXPECT_EQ(both[8], 0x7F);
    EXPECT_EQ(both[9], 200 - 128);

    const auto temperature = temperatureReply(0x31, 58, 61);
    EXPECT_EQ(temperature[0], 0xA8);
    EXPECT_EQ(temperature[7], 58);
    EXPECT_EQ(temperature[8], 61);
    EXPECT_EQ(temperature.size(), 10u);

    const auto identity = identificationReply(0x31);
    EXPECT_EQ(identity[0], 0xE8);
    EXPECT_EQ(identity[1], 0x00);
    EXPECT_EQ(identity[2], 0x08);
    EXPECT_EQ(identity[4], 0x31);
    // No reply may carry a start byte where a realignment would look for one.
    for (const auto* reply : {&identity[1], &meter[1], &temperature[1]})
        for (int i = 0; i < 3; ++i) EXPECT_LT(reply[i], 0x80);
}

TEST(SimFrameLog, WritesOneJsonObjectPerLine) {
    SimFrame frame =
        decodeRequest(Bytes{0xF1, 0x00, 0x0A, 0x32, 0x01, 0x0D, 0x02, 0x02, 0x01, 0x7A, 0x3A}, true, 0x32);
    frame.answered = frame.accepted = true;
    frame.hostBaud = 115200;
    const std::string line = toJsonLine(frame);
    EXPECT_EQ(line,
              "{\"kind\":\"data\",\"command\":2,\"code\":27,\"output\":2,\"band\":0,\"length\":11,"
              "\"answered\":true,\"accepted\":true,\"baud\":115200,\"raw\":\"f1000a32010d0202017a3a\"}");
    EXPECT_EQ(line.find('\n'), std::string::npos);

    SimFrame broken = decodeRequest(Bytes{0xF1, 0x00, 0x08}, false, 0x32);
    EXPECT_NE(toJsonLine(broken).find("\"problem\":\"frame cut short or impossible length\""),
              std::string::npos);
}

}  // namespace
}  // namespace kv
