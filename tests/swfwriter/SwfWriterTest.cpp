#include "tools/swfwriter/SwfWriter.h"

#include <gtest/gtest.h>

using namespace swfw;

TEST(SwfWriter, BuildsTheClassicStageHeader) {
    Movie m;  // 550 x 400 at 12 fps
    m.showFrame();
    Bytes b = m.build();
    ASSERT_GE(b.size(), 21u);
    EXPECT_EQ(b[0], 'F');
    EXPECT_EQ(b[3], 6);
    EXPECT_EQ(b[4] | (b[5] << 8), static_cast<int>(b.size()));
    EXPECT_EQ(b[8] >> 3, 15);  // NBits for 11000 twips
    // Rectangle of 5 + 4 * 15 bits = 9 bytes, then rate 12.0 and count 1.
    EXPECT_EQ(b[17], 0);
    EXPECT_EQ(b[18], 12);
    EXPECT_EQ(b[19], 1);
    EXPECT_EQ(b[20], 0);
}

TEST(SwfWriter, BitFieldsAreMostSignificantFirst) {
    BitWriter w;
    w.ub(1, 1);
    w.sb(-1, 3);
    w.ub(5, 4);
    EXPECT_EQ(w.data(), Bytes({0xF5}));
    EXPECT_EQ(BitWriter::sbits(-1), 1);
    EXPECT_EQ(BitWriter::sbits(11000), 15);
}

TEST(SwfWriter, LongTagFormForLargeBodies) {
    Bytes t = tag(2, Bytes(100, 0));
    ASSERT_EQ(t.size(), 106u);
    EXPECT_EQ(t[0] & 0x3F, 0x3F);
    EXPECT_EQ(t[2], 100);
}
