// The program store keeps its lines linked in ascending order through every insert,
// replacement and deletion, wherever in the list it happens.
#include <gtest/gtest.h>

#include <vector>

#include "interp/program_store.h"

namespace {

std::vector<int32_t> numbers_in_order(const ProgramStore& program) {
    std::vector<int32_t> numbers;
    for (const ProgramLine* line = program.first(); line; line = line->next) numbers.push_back(line->number);
    return numbers;
}

TEST(ProgramStore, InsertsAtTheFrontTheMiddleAndTheEnd) {
    ProgramStore program;
    program.store(20, "b");
    program.store(40, "d");
    program.store(10, "a");
    program.store(30, "c");
    program.store(50, "e");
    EXPECT_EQ(numbers_in_order(program), (std::vector<int32_t>{10, 20, 30, 40, 50}));
}

TEST(ProgramStore, ReplacingKeepsThePlaceAndTakesTheNewText) {
    ProgramStore program;
    for (int32_t n : {10, 20, 30}) program.store(n, "old");
    program.store(10, "  first");
    program.store(20, "second");
    program.store(30, "third");
    EXPECT_EQ(numbers_in_order(program), (std::vector<int32_t>{10, 20, 30}));
    EXPECT_STREQ(program.find(10)->body(), "first");
    EXPECT_EQ(program.find(10)->indentation, 2);
    EXPECT_EQ(program.find(20)->next, program.find(30));
    EXPECT_STREQ(program.first()->next->next->text.c_str(), "third");
}

TEST(ProgramStore, DeletingRelinksTheNeighbours) {
    ProgramStore program;
    for (int32_t n : {10, 20, 30, 40}) program.store(n, "x");
    program.store(20, nullptr);
    EXPECT_EQ(numbers_in_order(program), (std::vector<int32_t>{10, 30, 40}));
    program.store(10, nullptr);
    EXPECT_EQ(numbers_in_order(program), (std::vector<int32_t>{30, 40}));
    program.store(40, nullptr);
    EXPECT_EQ(numbers_in_order(program), (std::vector<int32_t>{30}));
    program.store(35, nullptr);
    EXPECT_EQ(numbers_in_order(program), (std::vector<int32_t>{30}));
    program.store(30, nullptr);
    EXPECT_TRUE(program.empty());
    EXPECT_EQ(program.first(), nullptr);
}

TEST(ProgramStore, LabelsFollowChangesToTheLines) {
    ProgramStore program;
    program.store(10, "*top : print 1");
    program.store(20, "*top");
    EXPECT_EQ(program.find_label("TOP"), program.find(10));
    program.store(10, "print 1");
    EXPECT_EQ(program.find_label("top"), program.find(20));
    program.store(20, nullptr);
    EXPECT_EQ(program.find_label("top"), nullptr);
}

}  // namespace
