// The help table: an entry for every word the Tab completion offers, related words that
// have entries of their own, examples that run without an error report, and the nearest
// words for one that has no entry.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <ranges>
#include <string>
#include <string_view>

#include "interp/help_entries.h"
#include "interp/interpreter_entry.h"
#include "interp/run_loop.h"
#include "interp/vmbas.h"
#include "prompt/completion.h"
#include "values/text_scan.h"

namespace {

TEST(HelpEntries, EveryCompletionWordHasAnEntry) {
    const C_VMBAS vm;
    for (std::string word : completion::candidates(vm, "")) {
        if (word.ends_with('(')) word.pop_back();
        EXPECT_NE(find_help_entry(word), nullptr) << word;
    }
}

TEST(HelpEntries, EachWordHasOneEntryAndEveryRelatedWordOneToo) {
    const std::vector<std::string_view> words = help_words();
    for (std::string_view word : words) EXPECT_EQ(std::ranges::count(words, word), 1) << word;
    for (const HelpEntry& entry : help_entries()) {
        for (const auto part : std::views::split(entry.related, ' '))
            EXPECT_NE(find_help_entry(std::string_view(part.begin(), part.end())), nullptr)
                << entry.words << " names " << std::string_view(part.begin(), part.end());
    }
}

TEST(HelpEntries, WordsAreFoundInAnyCaseWithBlanksAndParentheses) {
    EXPECT_EQ(find_help_entry("SQRT()"), find_help_entry("sqr"));
    EXPECT_EQ(find_help_entry("Print   Using"), find_help_entry("using"));
    EXPECT_EQ(find_help_entry("mid$("), find_help_entry("mid$"));
    EXPECT_NE(find_help_entry("'"), nullptr);
    EXPECT_EQ(find_help_entry("sqroot"), nullptr);
}

TEST(HelpEntries, AnUnknownWordNamesTheNearestOnes) {
    EXPECT_EQ(nearest_help_words("sqroot", 5), std::vector<std::string_view>{"sqrt"});
    // Words that begin with what was typed are as near as one letter changed.
    EXPECT_EQ(nearest_help_words("grap", 5), (std::vector<std::string_view>{"graph2d", "graph3d"}));
    EXPECT_EQ(nearest_help_words("gcl", 2), (std::vector<std::string_view>{"gclear", "gclipcopy"}));
}

// Runs examples as typed at the OK prompt, in a folder of their own, with a terminal
// for locate and console, lines to read for input, and no display or printer.
class Examples : public testing::Test {
protected:
    void SetUp() override {
        home_ = std::filesystem::current_path();
        folder_ = std::filesystem::temp_directory_path() / ("velmora-help-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
        std::filesystem::current_path(folder_);
        saved_in_ = dup(STDIN_FILENO);
        saved_out_ = dup(STDOUT_FILENO);
        winsize size{};
        size.ws_col = 80;
        size.ws_row = 24;
        ASSERT_EQ(openpty(&terminal_, &screen_, nullptr, nullptr, &size), 0);
        dup2(screen_, STDOUT_FILENO);
        setenv("TERM", "xterm", 1);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
    }

    void TearDown() override { restore(); }

    // Gives back the test's own terminal and folder, before failures are reported.
    void restore() {
        if (saved_out_ < 0) return;
        dup2(saved_out_, STDOUT_FILENO);
        dup2(saved_in_, STDIN_FILENO);
        for (int fd : {saved_in_, saved_out_, terminal_, screen_}) close(fd);
        saved_out_ = -1;
        std::filesystem::current_path(home_);
        std::filesystem::remove_all(folder_);
    }

    // Standard input: lines that answer input, line input and input$.
    void give_input() {
        const std::filesystem::path answers = folder_ / "answers";
        FILE* file = std::fopen(answers.c_str(), "w");
        for (int i = 0; i < 8; ++i) std::fputs("3\n", file);
        std::fclose(file);
        const int fd = open(answers.c_str(), O_RDONLY);
        dup2(fd, STDIN_FILENO);
        close(fd);
    }

    // The output of the example's lines; `failed` tells whether any reported an error.
    std::string run(std::string_view example, bool& failed) {
        std::string output;
        C_VMBAS vm;
        vm.console.writer.set_sink([&output](std::string_view bytes) { output.append(bytes); });
        vm.io.printer().set_device(PrinterDevice{[] { return PrinterSettings{}; },
                                                 [](const PrinterSettings&) { return std::unique_ptr<PrintJob>(); },
                                                 [](std::string_view) {}, [] {}});
        InterpreterEntry entered(vm);
        failed = false;
        for (const auto part : std::views::split(example, '\n')) {
            const std::string line(part.begin(), part.end());
            const char* p = skip_blanks(line.c_str());
            char* end = nullptr;
            const long number = std::strtol(p, &end, 10);
            if (is_digit(*p) && number > 0) {
                vm.store_line(static_cast<int32_t>(number), *end == ' ' ? end + 1 : end);
                continue;
            }
            vm.set_direct_command(line);
            vm.current_line = &vm.direct_line;
            run_program(vm);
            vm.console.writer.flush();
            // auto ends only with Ctrl-C or the end of input, which it reports as "^C".
            failed = failed || (vm.err != 0 && !output.ends_with("^C"));
        }
        std::filesystem::current_path(folder_);
        return output;
    }

private:
    std::filesystem::path home_, folder_;
    int saved_in_ = -1, saved_out_ = -1, terminal_ = -1, screen_ = -1;
};

TEST_F(Examples, EveryExampleRunsWithoutAnErrorReport) {
    std::string failures;
    for (const HelpEntry& entry : help_entries()) {
        give_input();
        bool failed = false;
        const std::string output = run(entry.example, failed);
        if (failed) failures += std::string(entry.words) + ":\n" + std::string(entry.example) + "\n--- gave\n" + output;
    }
    restore();
    EXPECT_EQ(failures, "");
}

}  // namespace
