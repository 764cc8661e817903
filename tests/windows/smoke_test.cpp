#include <gtest/gtest.h>

#include "support/bounded_text.h"

TEST(Smoke, Builds) { EXPECT_EQ(kPathCapacity, 2048u); }
