#include <gmock/gmock.h>

#include "desktop/sim/sim_png.h"
#include "desktop/sim/sim_screen_capture.h"
#include "desktop/sim/tests/sim_fixture.h"

namespace orvex {
namespace {

class CaptureTest : public SimFixture {
  protected:
    void SetUp() override { load("{}"); }
};

TEST_F(CaptureTest, UnwritableTargetIsAFailedCapture) {
    EXPECT_NE(d_.screenCapture->runInteractiveCapture(
                  {false, (sandbox_ / "no/such/dir/shot.png").string()}),
              0);
    EXPECT_NE(d_.screenCapture->runInteractiveCapture({false, std::nullopt}), 0);
}

TEST(SimPngTest, DamagedOrForeignDataIsNoImage) {
    auto png = encodeSimPng(33, 7);
    ASSERT_TRUE(readPngSize(png));
    auto flipped = png;
    flipped[40] ^= 0x01;  // inside IDAT: the CRC no longer matches
    EXPECT_FALSE(readPngSize(flipped));
    auto truncated = std::vector<std::uint8_t>(png.begin(), png.end() - 12);  // no IEND
    EXPECT_FALSE(readPngSize(truncated));
    EXPECT_FALSE(readPngSize({'G', 'I', 'F', '8', '9', 'a'}));
    EXPECT_FALSE(readPngSize({}));
    // Large images span several stored deflate blocks and stay well-formed.
    auto large = readPngSize(encodeSimPng(400, 300));
    ASSERT_TRUE(large);
    EXPECT_EQ(large->width, 400);
}

}  // namespace
}  // namespace orvex
