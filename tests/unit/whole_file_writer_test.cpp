// Replacing a file only when all of it was written.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "base/whole_file_writer.h"

namespace {

namespace fs = std::filesystem;

class WholeFileWriter : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("velmora-writer-" + std::to_string(getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    static std::string contents(const fs::path& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    static bool put(std::FILE* file, const char* text) { return std::fputs(text, file) >= 0; }

    fs::path dir;
};

TEST_F(WholeFileWriter, WritesANewFile) {
    const fs::path target = dir / "new.bas";
    EXPECT_TRUE(base::write_whole_file(target.string(), [](std::FILE* f) { return put(f, "   10 print 1\n"); }));
    EXPECT_EQ(contents(target), "   10 print 1\n");
}

TEST_F(WholeFileWriter, AFailedWriteKeepsTheOldFileAndLeavesNothingBeside) {
    const fs::path target = dir / "old.bas";
    ASSERT_TRUE(base::write_whole_file(target.string(), [](std::FILE* f) { return put(f, "old\n"); }));
    EXPECT_FALSE(base::write_whole_file(target.string(), [](std::FILE* f) { return put(f, "half") && false; }));
    EXPECT_EQ(contents(target), "old\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(WholeFileWriter, KeepsThePermissionsOfTheReplacedFile) {
    const fs::path target = dir / "mode.bas";
    ASSERT_TRUE(base::write_whole_file(target.string(), [](std::FILE* f) { return put(f, "a\n"); }));
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(base::write_whole_file(target.string(), [](std::FILE* f) { return put(f, "b\n"); }));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(WholeFileWriter, WritesThroughASymbolicLink) {
    const fs::path target = dir / "real.bas", link = dir / "link.bas";
    ASSERT_TRUE(base::write_whole_file(target.string(), [](std::FILE* f) { return put(f, "a\n"); }));
    fs::create_symlink(target.filename(), link);
    ASSERT_TRUE(base::write_whole_file(link.string(), [](std::FILE* f) { return put(f, "b\n"); }));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(contents(target), "b\n");
}

TEST_F(WholeFileWriter, FailsForAMissingDirectoryOrADirectoryName) {
    EXPECT_FALSE(base::write_whole_file((dir / "no" / "x.bas").string(), [](std::FILE* f) { return put(f, "a\n"); }));
    fs::create_directories(dir / "d.bas");
    EXPECT_FALSE(base::write_whole_file((dir / "d.bas").string(), [](std::FILE* f) { return put(f, "a\n"); }));
}

}  // namespace
