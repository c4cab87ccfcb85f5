#include <gtest/gtest.h>
#include "platform/text.h"
TEST(Text, Placeholder) { EXPECT_EQ(quillet::text::SjisByteLen(u"あa"), 3); }
