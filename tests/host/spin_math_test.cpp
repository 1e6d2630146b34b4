// The spinner's arithmetic over the interval's range (100 ... 60000, step 100).
#include <gtest/gtest.h>

#include "ui/spin_math.h"

namespace {

TEST(SpinMath, StepsToMultiplesOfTheStepWithinTheRange) {
    struct Case {
        int64_t value;
        uint32_t request;
        int64_t result;
    };
    const Case cases[] = {
        {250, SpinLineUp, 300},
        {250, SpinLineDown, 200},
        {300, SpinLineUp, 400},
        {300, SpinPageDown, 200},
        {250, SpinPageUp, 300},
        {60000, SpinLineUp, 60000},
        {100, SpinLineDown, 100},
        {0, SpinLineUp, 100},
        {70000, SpinLineDown, 60000},
        {1234, SpinTop, 60000},
        {1234, SpinBottom, 100},
        {1234, 5, 1234},
        {50, 8, 100},
        {1234, 0x10000, 1234},
        {1234, 0x12340000, 1234},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SpinValue(c.value, c.request, 100, 60000, 100), c.result)
            << c.value << " request " << c.request;
    // The snap distance: 1 ... 50 by 1.
    EXPECT_EQ(SpinValue(50, SpinLineUp, 1, 50, 1), 50);
    EXPECT_EQ(SpinValue(1, SpinLineDown, 1, 50, 1), 1);
    EXPECT_EQ(SpinValue(7, SpinLineUp, 1, 50, 1), 8);
    // The bottom end of a range given the wrong way round is its lower end.
    EXPECT_EQ(SpinValue(5, SpinBottom, 90, 10, 10), 10);
}

} // namespace
