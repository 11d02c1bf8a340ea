// The history file under concurrent writers and its bound; where the per-user files go.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "io/history.h"
#include "io/user_paths.h"

namespace {

namespace fs = std::filesystem;

class HistoryFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("velmora-history-" + std::to_string(getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        path = (dir / "velmora" / "history").string();
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path dir;
    std::string path;
};

TEST_F(HistoryFile, WritersAtOnceKeepEveryLineWhole) {
    constexpr int kWriters = 4;
    constexpr int kLines = 60;
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w)
        writers.emplace_back([&, w] {
            for (int n = 0; n < kLines; ++n)
                EXPECT_TRUE(line_history::append_line(path, "print " + std::to_string(w * 1000 + n)));
        });
    for (std::thread& writer : writers) writer.join();
    const std::vector<std::string> lines = line_history::read_lines(path);
    ASSERT_EQ(lines.size(), static_cast<size_t>(kWriters * kLines));
    std::vector<int> next(kWriters, 0);  // each writer's lines arrive in its own order
    for (const std::string& line : lines) {
        const int number = std::stoi(line.substr(6));
        EXPECT_EQ(number % 1000, next[static_cast<size_t>(number / 1000)]++) << line;
    }
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(HistoryFile, KeepsTheLast1000LinesAndNothingElseBeside) {
    fs::create_directories(dir / "velmora");
    {
        std::ofstream file(path);
        for (int n = 0; n < 1001; ++n) file << n << '\n';
    }
    ASSERT_TRUE(line_history::append_line(path, "1001"));
    ASSERT_TRUE(line_history::append_line(path, "1002"));
    const std::vector<std::string> lines = line_history::read_lines(path);
    ASSERT_EQ(lines.size(), line_history::kMaxLines);
    EXPECT_EQ(lines.front(), "3");
    EXPECT_EQ(lines.back(), "1002");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir / "velmora")) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"history", "history.lock"}));
}

TEST(UserPaths, TheIniFileIsBesideABuildFolderExecutableOnly) {
    EXPECT_EQ(choose_ini_path("/home/u/velmora/build/velmora", true, "/home/u/.config"), "/home/u/velmora/build/velmora.ini");
    EXPECT_EQ(choose_ini_path("/usr/local/bin/velmora", false, "/home/u/.config"), "/home/u/.config/velmora/velmora.ini");
    // Installed where the user may write (as root, or into ~/.local/bin): still not beside it.
    EXPECT_EQ(choose_ini_path("/usr/bin/velmora", true, "/root/.config"), "/root/.config/velmora/velmora.ini");
    EXPECT_EQ(choose_ini_path("/opt/velmora/velmora", false, ""), "");
    EXPECT_EQ(choose_ini_path("/opt/calc/vm.bin", true, ""), "/opt/calc/vm.ini");
}

// A home that does not exist gets no files (nor is made for them); a named XDG folder does.
TEST(UserPaths, FilesGoUnderAnExistingHomeOnly) {
    const std::string saved_home = std::getenv("HOME") ? std::getenv("HOME") : "";
    const char* saved_state = std::getenv("XDG_STATE_HOME");
    const std::string state = saved_state ? saved_state : "";
    unsetenv("XDG_STATE_HOME");
    setenv("HOME", "/dev/null/home", 1);
    EXPECT_EQ(history_file_path(), "");
    const std::string home = fs::temp_directory_path().string();
    setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(history_file_path(), home + "/.local/state/velmora/history");
    setenv("XDG_STATE_HOME", "/dev/null/state", 1);
    EXPECT_EQ(history_file_path(), "/dev/null/state/velmora/history");
    setenv("HOME", saved_home.c_str(), 1);
    if (saved_state) setenv("XDG_STATE_HOME", state.c_str(), 1);
    else unsetenv("XDG_STATE_HOME");
}

}  // namespace
