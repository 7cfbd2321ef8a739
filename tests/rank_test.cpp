#include <gtest/gtest.h>

#include "rank_press.h"

TEST(RankPress, Smoke) {
  const calc::Box box = calc::PressRank({"1 2\r\n3 4", true});
  EXPECT_EQ(box.text, "1 2 \n0 -2 \n\n矩阵的秩为2");
}
