#include <gtest/gtest.h>

#include "cursors/graphic_cursor.h"

TEST(GraphicCursor, Defaults) {
  CGCursor c;
  EXPECT_EQ(c.GetLineType(), 0);
}
