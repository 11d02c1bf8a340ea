// The words Tab offers: keywords, functions and the program's names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interp/vmbas.h"
#include "prompt/completion.h"

namespace {

using Words = std::vector<std::string>;

TEST(Completion, OffersKeywordsAndFunctionsFromTheirTables) {
    C_VMBAS vm;
    EXPECT_EQ(completion::candidates(vm, "pri"), Words{"print"});
    EXPECT_EQ(completion::candidates(vm, "sq"), (Words{"sqr(", "sqrt("}));
    EXPECT_EQ(completion::candidates(vm, "left"), Words{"left$("});
    EXPECT_EQ(completion::candidates(vm, "gsi"), (Words{"gsizex(", "gsizey("}));
    EXPECT_EQ(completion::candidates(vm, "eo"), Words{"eof("});
    EXPECT_EQ(completion::candidates(vm, "GOS"), Words{"GOSUB"});
    EXPECT_EQ(completion::candidates(vm, "Wen"), Words{"Wend"});
    EXPECT_TRUE(completion::candidates(vm, "qq").empty());
}

TEST(Completion, OffersNamesOfTheProgramTextAndItsVariables) {
    C_VMBAS vm;
    vm.store_line(10, "total_sum# = 2i + &hFACE : print \"tiny\" ' tick");
    vm.store_line(20, "*tally : rem ticket");
    vm.store_line(30, "data tidy, tile");
    vm.variables.find_or_create("Tiger$");
    EXPECT_EQ(completion::candidates(vm, "t"), (Words{"tally", "tan(", "tanh(", "then", "tiger$", "time$", "to", "total_sum#", "troff", "tron"}));
    EXPECT_TRUE(completion::candidates(vm, "fac").empty());  // "&hFACE" is a number
}

}  // namespace
