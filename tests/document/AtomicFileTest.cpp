#include "document/file/AtomicFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace kv {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class Folder {
public:
    Folder()
        : path_(fs::temp_directory_path() / ("kv-atomic-test-" + std::to_string(std::random_device{}()))) {
        fs::create_directories(path_);
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    fs::path operator/(const std::string& name) const { return path_ / name; }
    std::vector<std::string> names() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(path_))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }

private:
    fs::path path_;
};

Bytes readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

const Bytes kNew{7, 7, 7};

TEST(AtomicFile, SymbolicLinksLeadToTheFileTheyNameAndStayLinks) {
    Folder folder;
    fs::create_directory(folder / "real");
    writeAll(folder / "real" / "bank.ovk", {9});
    struct Case {
        const char* link;
        fs::path pointsTo;
        const char* written;
    };
    const std::vector<Case> cases{
        {"absolute.ovk", folder / "real" / "bank.ovk", "real/bank.ovk"},
        {"relative.ovk", fs::path("real") / "bank.ovk", "real/bank.ovk"},
        {"chain.ovk", "absolute.ovk", "real/bank.ovk"},
        {"dangling.ovk", fs::path("real") / "future.ovk", "real/future.ovk"},
    };
    for (const Case& c : cases) {
        fs::create_symlink(c.pointsTo, folder / c.link);
        writeAll(folder / "real" / "bank.ovk", {9});
        const FileResult result = writeFileAtomically((folder / c.link).string(), kNew);
        ASSERT_TRUE(result.ok) << c.link << ": " << result.error;
        EXPECT_TRUE(fs::is_symlink(folder / c.link)) << c.link;
        EXPECT_EQ(readAll(folder / c.written), kNew) << c.link;
    }
}

TEST(AtomicFile, SaveFailuresNameTheFileAndTheReason) {
    Folder folder;
    writeAll(folder / "plain", Bytes{1});
    fs::create_directory(folder / "folder.ovk");
    struct Case {
        const char* what;
        std::string path;
        const char* reason;
    };
    const std::vector<Case> cases{
        {"missing folder", (folder / "missing" / "a.ovk").string(), "No such file or directory"},
        {"file used as folder", (folder / "plain" / "a.ovk").string(), "Not a directory"},
        {"folder as file", (folder / "folder.ovk").string(), "Is a directory"},
    };
    for (const Case& c : cases) {
        const FileResult result = writeFileAtomically(c.path, kNew);
        EXPECT_FALSE(result.ok) << c.what;
        EXPECT_NE(result.error.find("\"" + c.path + "\""), std::string::npos)
            << c.what << ": " << result.error;
        EXPECT_NE(result.error.find(c.reason), std::string::npos) << c.what << ": " << result.error;
    }
    EXPECT_TRUE(fs::is_directory(folder / "folder.ovk"));
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"folder.ovk", "plain"}));
}

TEST(AtomicFile, AWriteProtectedFileIsNeverReplaced) {
    Folder folder;
    const fs::path path = folder / "locked.ovk";
    const Bytes old{1, 2, 3};
    writeAll(path, old);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    const FileResult result = writeFileAtomically(path.string(), kNew);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "Cannot save \"" + path.string() + "\": Permission denied.");
    EXPECT_EQ(readAll(path), old);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"locked.ovk"});
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms(0444));
}

TEST(AtomicFile, ALongestFileNameStillSaves) {
    Folder folder;
    const std::string name = std::string(NAME_MAX - 4, 'n') + ".ovk";
    const FileResult result = writeFileAtomically((folder / name).string(), kNew);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(folder.names(), std::vector<std::string>{name});
}

// A killed save leaves its temporary file; the next save of the same file removes it, but
// not a temporary another save still holds, nor names that are not ours for this file.
TEST(AtomicFile, TheNextSaveRemovesTemporariesOfKilledSaves) {
    Folder folder;
    writeAll(folder / "show.ovk", {1});
    const std::vector<std::string> abandoned{".show.ovk.k3x9a0qz.tmp", ".show.ovk.00000000.tmp"};
    const std::vector<std::string> kept{".show.ovk.held0001.tmp", ".show.ovk.ABCDEFGH.tmp",
                                        ".show.ovk.abc.tmp",      ".other.ovk.k3x9a0qz.tmp",
                                        "show.ovk.k3x9a0qz.tmp",  ".show.ovk.k3x9a0qz.tmp~"};
    for (const auto& name : abandoned) writeAll(folder / name, {0});
    for (const auto& name : kept) writeAll(folder / name, {0});
    // A save in progress in another process holds its temporary locked.
    const int held = ::open((folder / kept.front()).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    ASSERT_TRUE(writeFileAtomically((folder / "show.ovk").string(), kNew).ok);
    ::close(held);

    std::vector<std::string> expected = kept;
    expected.push_back("show.ovk");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(folder.names(), expected);
    EXPECT_EQ(readAll(folder / "show.ovk"), kNew);
}

}  // namespace
}  // namespace kv
