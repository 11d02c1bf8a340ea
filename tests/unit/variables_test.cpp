// The variable store: case-insensitive names, suffixes as part of the name, and the
// hiding of variables by function parameters for the length of a call.
#include <gtest/gtest.h>

#include <cstdio>

#include "values/variables.h"

namespace {

TEST(VariableStore, NamesIgnoreCaseButKeepSuffixes) {
    VariableStore store;
    PCVAR* a = store.create("Abc");
    EXPECT_EQ(store.find("aBC"), a);
    EXPECT_EQ(store.find("abc$"), nullptr);
    EXPECT_EQ(store.find("abc%"), nullptr);
    EXPECT_EQ(store.create("abc$")->type, VT_STRING);
    EXPECT_EQ(store.create("abc%")->type, VT_INTEGER);
    EXPECT_EQ(store.create("abc#")->type, VT_DOUBLE);
    EXPECT_EQ(a->type, VT_COMPLEX);
}

TEST(VariableStore, ParametersHideAndReleaseRestores) {
    VariableStore store;
    PCVAR* outer = store.create("x");
    outer->value = {10, 0};
    const size_t mark = store.mark();
    PCVAR* parameter = store.create("X");
    parameter->value = {2, 0};
    store.create("fresh");
    EXPECT_EQ(store.find("x"), parameter);
    store.release_to(mark);
    EXPECT_EQ(store.find("x"), outer);
    EXPECT_EQ(store.find("x")->value.re, 10);
    EXPECT_EQ(store.find("fresh"), nullptr);
}

TEST(VariableStore, NestedShadowsUnwindInOrder) {
    VariableStore store;
    PCVAR* first = store.create("n");
    const size_t outer_mark = store.mark();
    PCVAR* second = store.create("n");
    const size_t inner_mark = store.mark();
    store.create("n");
    store.release_to(inner_mark);
    EXPECT_EQ(store.find("n"), second);
    store.release_to(outer_mark);
    EXPECT_EQ(store.find("n"), first);
}

TEST(VariableStore, RecordsStayPutWhileOthersAreCreated) {
    VariableStore store;
    PCVAR* kept = store.create("kept");
    Complex* slot = &kept->value;
    for (int i = 0; i < 1000; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "v%d", i);
        store.create(name);
    }
    EXPECT_EQ(&store.find("kept")->value, slot);
}

}  // namespace
