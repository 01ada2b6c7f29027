// The timeline runs parts in order, stops at the first non-zero result and
// obeys the two final-part flags.
#include <gtest/gtest.h>

#include <string>

#include "host_fixture.h"

namespace {

std::string ran;
int abortAt = 0;  // the step whose part returns -1 (0: none)

template <int N>
int testPart() {
    ran += std::to_string(N) + (CurrentStep == N ? "" : "?") + " ";
    return N == abortAt ? -1 : 0;
}

const TimelineStep kSteps[] = {
    {"one", testPart<1>}, {"two", testPart<2>}, {"three", testPart<3>}, {"final", testPart<4>},
};

std::string run() {
    ran.clear();
    RunTimeline(kSteps, 4);
    return ran;
}

}  // namespace

class Timeline : public HostTest {};

TEST_F(Timeline, RunsEveryStepThenTheFinalPart) {
    abortAt = 0;
    EXPECT_EQ(run(), "1 2 3 4 ");
    EXPECT_EQ(CurrentStep, 4);
}

TEST_F(Timeline, AbortStopsEverythingAfter) {
    abortAt = 2;
    EXPECT_EQ(run(), "1 2 ");
    abortAt = 0;
}

TEST_F(Timeline, FinalAbortIsIgnored) {
    abortAt = 4;
    EXPECT_EQ(run(), "1 2 3 4 ");
    abortAt = 0;
}

TEST_F(Timeline, Flags) {
    abortAt = 0;
    SkipFinalPart = true;
    EXPECT_EQ(run(), "1 2 3 ");
    SkipFinalPart = false;
    FinalPartOnly = true;
    EXPECT_EQ(run(), "4 ");
    SkipFinalPart = true;  // both set: final only wins
    EXPECT_EQ(run(), "4 ");
}
