#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "measurement/MeasurementImport.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

class MeasurementFiles : public ::testing::Test {
protected:
    MeasurementFiles() {
        std::random_device random;
        folder_ = fs::temp_directory_path() / ("kv-measurement-test-" + std::to_string(random()));
        fs::create_directories(folder_);
    }
    ~MeasurementFiles() override {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    std::string write(const std::string& name, const std::string& text) const {
        const fs::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

private:
    fs::path folder_;
};

struct Dialect {
    const char* name;
    const char* text;
};

// Every export says 20 Hz 80.5 dB, 40 Hz 82 dB, 1 kHz 85.25 dB, in its own way.
const Dialect kDialects[] = {
    {"rew.txt",
     "* Measurement data measured by REW V5.20.13\n* Source: Umik-1\n* Format: 1/48 octave smoothing\n"
     "* Freq(Hz) SPL(dB) Phase(degrees)\n20.000000 80.500 -12.3\n40.000000 82.000 10.0\n1000.000000 85.250 "
     "3.0\n"},
    {"speaker.frd", "# woofer, near field\n20\t80.5\n40  82 0\n  1000\t85.25\t3.0  \n\n"},
    {"comma.txt", "20,80.5,-12.3\n40, 82, 10\n1e3,+85.25,3\n"},
    {"semicolon.txt", "20;80.5\n40;82\n1000;85.25\n"},
    {"autoeq.csv", "frequency,raw,smoothed\n20,80.5,1\n40,82,2\n1000,85.25,3\n"},
    {"reordered.csv",
     "\"Phase (deg)\",\"SPL (dB)\",\"Frequency (Hz)\"\n-12,80.5,20\n10,82,40\n3,85.25,1000\n"},
    {"unsorted.txt",
     "\xEF\xBB\xBF"
     "1000 85.25\r\n20 80.5\r\n40 81\r\n40 83\r\n"},
};

TEST_F(MeasurementFiles, EveryDialectReadsTheSameSortedPoints) {
    for (const Dialect& dialect : kDialects) {
        SCOPED_TRACE(dialect.name);
        const MeasurementImport result = readMeasurementFile(write(dialect.name, dialect.text));
        ASSERT_TRUE(result.ok()) << result.errors.front();
        ASSERT_EQ(result.points.size(), 3u);
        const double hz[] = {20.0, 40.0, 1000.0};
        const double db[] = {80.5, 82.0, 85.25};
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_DOUBLE_EQ(result.points[i].hz, hz[i]);
            EXPECT_DOUBLE_EQ(result.points[i].db, db[i]);
        }
    }
}

TEST_F(MeasurementFiles, AFileThatCannotBeReadNamesItself) {
    const std::string missing = write("x.txt", "") + ".missing";
    const MeasurementImport result = readMeasurementFile(missing);
    ASSERT_EQ(result.errors.size(), 1u);
    EXPECT_NE(result.errors.front().find(missing), std::string::npos);

    const MeasurementImport bad = readMeasurementFile(write("bad.txt", "20 80\n40 x\n"));
    ASSERT_EQ(bad.errors.size(), 1u);
    EXPECT_NE(bad.errors.front().find("bad.txt: line 2: "), std::string::npos);
}

struct BadText {
    std::string text;
    std::string firstError;
};

TEST(MeasurementImport, BadInputIsRefusedWithTheLineNamed) {
    const BadText cases[] = {
        {"20 80\nabc 5\n", "line 2: \"abc\" is not a number"},
        {"20 80\n40\n", "line 2: needs a frequency and a level in dB"},
        {"freq,spl\n20,80\n40,\n", "line 3: needs a frequency and a level in dB"},
        {"20 80\n40 nan\n", "line 2: \"nan\" is not a number"},
        {"20 80\n40 inf\n", "line 2: \"inf\" is not a number"},
        {"20 80\n-5 3\n", "line 2: frequency \"-5\" is out of range"},
        {"20 80\n0 3\n", "line 2: frequency \"0\" is out of range"},
        {"20 80\n1e300 3\n", "line 2: frequency \"1e300\" is out of range"},
        {"20 80\n40 1e300\n", "line 2: level \"1e300\" is out of range"},
        {"20 80\n40 80\nend of data\n", "line 3: \"end\" is not a number"},
        {"20,5;80,1\n30,5;81,0\n", "line 2: \"30,5\" is not a number"},
        {"", "no frequency response points found"},
        {"* REW export with no data\n", "no frequency response points found"},
        {"20 80\n20 81\n", "only one frequency found"},
        {std::string("\x01\x02\xff junk\n\x00\x7f 12\n", 15), "line 2: \"??\" is not a number"},
    };
    for (const BadText& bad : cases) {
        SCOPED_TRACE(bad.text);
        const MeasurementImport result = parseMeasurementText(bad.text);
        ASSERT_FALSE(result.ok());
        EXPECT_TRUE(result.points.empty());
        EXPECT_EQ(result.errors.front().substr(0, bad.firstError.size()), bad.firstError);
    }
}

TEST(MeasurementImport, ManyBadLinesAreListedUpToALimit) {
    std::string text = "20 80\n";
    for (int i = 0; i < 30; ++i) text += "x 1\n";
    const MeasurementImport result = parseMeasurementText(text);
    ASSERT_EQ(result.errors.size(), kMaxListedLineErrors + 1);
    EXPECT_EQ(result.errors[kMaxListedLineErrors - 1].substr(0, 8), "line 11:");
    EXPECT_EQ(result.errors.back(), "... and 20 more bad lines");
}

}  // namespace
}  // namespace kv
