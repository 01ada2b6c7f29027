#include <gtest/gtest.h>

#include "host/host.h"

TEST(Config, Placeholder) { EXPECT_EQ(ConsoleHeight, 200); }
