// The error-message buffer: the first message since the last clear wins, and a
// message that does not fit 256 bytes is not taken.
#include <gtest/gtest.h>

#include <string>

#include "values/error.h"

namespace {

class ErrorBuffer : public ::testing::Test {
protected:
    void SetUp() override { vm_error::clear(); }
    void TearDown() override { vm_error::clear(); }
};

TEST_F(ErrorBuffer, FailReturnsMinusOne) { EXPECT_EQ(vm_error::fail("x"), -1); }

TEST_F(ErrorBuffer, FirstMessageWins) {
    vm_error::fail("最初");
    vm_error::fail("二番目");
    EXPECT_STREQ(vm_error::message(), "最初");
}

TEST_F(ErrorBuffer, EmptyMessageIsIgnored) {
    vm_error::fail("");
    EXPECT_FALSE(vm_error::has_message());
    vm_error::fail("後");
    EXPECT_STREQ(vm_error::message(), "後");
}

TEST_F(ErrorBuffer, MessageMustLeaveRoomForTheTerminator) {
    vm_error::fail(std::string(256, 'a'));
    EXPECT_FALSE(vm_error::has_message());
    const std::string fits(255, 'b');
    vm_error::fail(fits);
    EXPECT_EQ(vm_error::message(), fits);
}

TEST_F(ErrorBuffer, ClearMakesRoomForTheNextMessage) {
    vm_error::fail("one");
    vm_error::clear();
    EXPECT_FALSE(vm_error::has_message());
    vm_error::fail("two");
    EXPECT_STREQ(vm_error::message(), "two");
}

}  // namespace
