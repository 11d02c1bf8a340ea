// Two interpreters side by side in one process: each keeps its own console output,
// error message and code page while the other runs in between, and the work they
// leave waiting between statements is counted for the process.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "interp/interpreter_entry.h"
#include "interp/run_loop.h"
#include "interp/vmbas.h"
#include "io/attention.h"
#include "io/break_flag.h"
#include "io/code_page.h"
#include "io/console_writer.h"
#include "values/error.h"

namespace {

// An interpreter whose console output is collected instead of shown.
struct Captured {
    Captured() {
        vm.console.writer.set_sink([this](std::string_view bytes) { output.append(bytes); });
    }

    void run(std::string_view command) {
        vm.set_direct_command(command);
        vm.current_line = &vm.direct_line;
        run_program(vm);
    }

    std::string output;  // first, so that it outlives the interpreter's last flush
    C_VMBAS vm;
};

TEST(TwoInterpreters, OutputAndFailuresStayWithTheirOwn) {
    Captured a, b;
    a.run("print \"a says hi\"");
    b.run("print \"b says hi\"");
    a.run("goto 100");
    b.run("next");
    EXPECT_EQ(a.output, "a says hi\ngoto 先がない");
    EXPECT_EQ(b.output, "b says hi\n対応する FOR 文がない");
}

TEST(TwoInterpreters, EachHasItsOwnErrorBufferAndCodePage) {
    C_VMBAS a, b;
    {
        InterpreterEntry in_a(a);
        vm_error::fail("a's message");
        set_console_code_page(CodePage::ShiftJis);
        {
            InterpreterEntry in_b(b);
            EXPECT_FALSE(vm_error::has_message());
            EXPECT_EQ(console_code_page(), CodePage::Utf8);
            vm_error::fail("b's message");
            {
                InterpreterEntry a_again(a);
                EXPECT_STREQ(vm_error::message(), "a's message");
                EXPECT_EQ(console_code_page(), CodePage::ShiftJis);
            }
            EXPECT_STREQ(vm_error::message(), "b's message");
        }
        EXPECT_STREQ(vm_error::message(), "a's message");
    }
    // Outside every interpreter the process's own buffer is untouched.
    EXPECT_FALSE(vm_error::has_message());
    EXPECT_EQ(console_code_page(), CodePage::Utf8);
}

}  // namespace

// The word tested before every statement counts each writer's waiting output, so that
// one writer's flush leaves another's output to be flushed when it grows stale, and the
// break bit comes and goes without touching the count.
TEST(Attention, CountsEachWritersWaitingOutputAndTheBreak) {
    std::string shown;
    ConsoleWriter a, b;
    a.set_sink([&](std::string_view bytes) { shown.append(bytes); });
    b.set_sink([&](std::string_view bytes) { shown.append(bytes); });
    const uint32_t idle = attention::word.load();
    a.put('a');
    b.put('b');
    a.put('c');
    EXPECT_EQ(attention::word.load(), idle + 2 * attention::kWaiting);
    a.flush();
    EXPECT_EQ(attention::word.load(), idle + attention::kWaiting);
    break_flag::set();
    EXPECT_TRUE(break_flag::is_set());
    break_flag::clear();
    EXPECT_FALSE(break_flag::is_set());
    b.flush();
    EXPECT_EQ(attention::word.load(), idle);
    EXPECT_EQ(shown, "acb");
}
