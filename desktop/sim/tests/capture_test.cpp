#include <gmock/gmock.h>

#include <fstream>
#include <iterator>

#include "desktop/sim/sim_png.h"
#include "desktop/sim/sim_screen_capture.h"
#include "desktop/sim/tests/sim_fixture.h"

namespace orvex {
namespace {

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class CaptureTest : public SimFixture {
  protected:
    void SetUp() override {
        load("{}");
        d_ = desktop_->desktop();
    }
    std::string capturePath() const { return (sandbox_ / "tmp/orvex-capture-1.png").string(); }
    Desktop d_;
};

TEST_F(CaptureTest, CaptureToAFileWritesARealPngOfTheChosenSize) {
    desktop_->queueCapture(SimCaptureResult{false, 300, 120});
    EXPECT_EQ(d_.screenCapture->runInteractiveCapture({false, capturePath()}), 0);
    auto bytes = readBytes(capturePath());
    auto size = readPngSize(bytes);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, 300);
    EXPECT_EQ(size->height, 120);
    EXPECT_TRUE(d_.pasteboard->canReadImage(bytes));
    ASSERT_EQ(events("fileCreated").size(), 1u);
    EXPECT_EQ(events("fileCreated")[0].at("path"), capturePath());
}

TEST_F(CaptureTest, CancelledCaptureExitsNonZeroAndLeavesNoFile) {
    desktop_->queueCapture(SimCaptureResult{true, 0, 0});
    EXPECT_EQ(d_.screenCapture->runInteractiveCapture({false, capturePath()}),
              SimScreenCapture::kCancelledStatus);
    EXPECT_FALSE(std::filesystem::exists(capturePath()));
    // Queued outcomes are used once; then the default (a capture) applies.
    EXPECT_EQ(d_.screenCapture->runInteractiveCapture({false, capturePath()}), 0);
    EXPECT_TRUE(std::filesystem::exists(capturePath()));
}

TEST_F(CaptureTest, CaptureToTheClipboardPutsTheImageThere) {
    d_.pasteboard->writeString("old text");
    EXPECT_EQ(d_.screenCapture->runInteractiveCapture({true, std::nullopt}), 0);
    auto image = desktop_->pasteboardImage();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 320);
    EXPECT_FALSE(d_.pasteboard->readString());
}

TEST_F(CaptureTest, UnwritableTargetIsAFailedCapture) {
    EXPECT_NE(d_.screenCapture->runInteractiveCapture(
                  {false, (sandbox_ / "no/such/dir/shot.png").string()}),
              0);
    EXPECT_NE(d_.screenCapture->runInteractiveCapture({false, std::nullopt}), 0);
}

TEST_F(CaptureTest, ScreenRecordingPermissionCanBeDeniedOrGrantedOnPrompt) {
    EXPECT_TRUE(d_.screenCapture->mayRecordScreen());
    desktop_->setPermission(SimPermission::screenRecording, SimPermissionState::denied);
    EXPECT_FALSE(d_.screenCapture->mayRecordScreen());
    EXPECT_FALSE(d_.screenCapture->requestScreenRecording());
    EXPECT_FALSE(d_.screenCapture->mayRecordScreen());

    desktop_->setPermission(SimPermission::screenRecording, SimPermissionState::grantedOnPrompt);
    EXPECT_FALSE(d_.screenCapture->requestScreenRecording());
    EXPECT_TRUE(d_.screenCapture->mayRecordScreen());
    auto prompts = events("permissionPrompt");
    ASSERT_EQ(prompts.size(), 2u);
    EXPECT_EQ(prompts[1].at("permission"), "screenRecording");
    EXPECT_EQ(prompts[1].at("granted"), true);
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
