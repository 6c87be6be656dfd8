#include <gtest/gtest.h>

#include "document/file/OvkFile.h"

namespace kv {
namespace {

struct RenameCase {
    const char* path;
    const char* renamed;
};

class UnitTypePathTest : public ::testing::TestWithParam<RenameCase> {};

TEST_P(UnitTypePathTest, InsertsIntoTheFileNameBeforeItsExtension) {
    EXPECT_EQ(unitTypeChangedPath(GetParam().path), GetParam().renamed);
}

INSTANTIATE_TEST_SUITE_P(Table, UnitTypePathTest,
                         ::testing::Values(RenameCase{"/a/Show.ovk", "/a/Show(2).ovk"},
                                           RenameCase{"/a/SHOW.OVK", "/a/SHOW(2).OVK"},
                                           RenameCase{"/tour.ovk.d/Mains.OVK", "/tour.ovk.d/Mains(2).OVK"},
                                           RenameCase{"/a.ovk/b.ovk.bak", "/a.ovk/b.ovk.bak"},
                                           RenameCase{"/a/bank.bin", "/a/bank.bin"},
                                           RenameCase{"/a/bank(2).ovk", "/a/bank(2)(2).ovk"},
                                           RenameCase{"rel.Ovk", "rel(2).Ovk"},
                                           RenameCase{"/x.ovk/", "/x.ovk/"}, RenameCase{"", ""}));

}  // namespace
}  // namespace kv
