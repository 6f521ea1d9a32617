// One launcher per data folder: the folder lock.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/instance.h"
#include "temp_dir.h"

using namespace ludexa;
using ludexa::test::ScopedTempDir;

TEST(InstanceLock, SecondStartInTheSameFolderSeesTheFirst) {
    ScopedTempDir dir;
    const std::string folder = dir.path().string() + "/";
    ScopedTempDir other;
    auto first = std::make_unique<InstanceLock>(folder);
    EXPECT_FALSE(first->otherInstanceRuns());

    InstanceLock second(folder);
    EXPECT_TRUE(second.otherInstanceRuns());
    EXPECT_FALSE(second.retry());
    // Another folder is another library.
    EXPECT_FALSE(InstanceLock(other.path().string() + "/").otherInstanceRuns());
    // The lock lives in a file of its own; the library is never touched.
    EXPECT_FALSE(std::filesystem::exists(dir / "data.db"));

    first.reset();  // the first launcher ends
    EXPECT_TRUE(second.retry());
    EXPECT_FALSE(second.otherInstanceRuns());
}

// A lock file left by a crash does not block, nor does a folder without locks.
TEST(InstanceLock, StaleOrImpossibleLocksDoNotBlock) {
    ScopedTempDir dir;
    std::ofstream(dir / ".lock") << "12345\n";
    for (const auto& folder : {dir.path().string() + "/", std::string("/nonexistent/ludexa/")})
        EXPECT_FALSE(InstanceLock(folder).otherInstanceRuns()) << folder;
}
