// Capture and file transfer as the camera carries them out.
#include <gtest/gtest.h>

#include "host.h"
#include "jpeg.h"
#include "parameters.h"
#include "stills.h"

namespace orkasim::test {
namespace {

using namespace std::chrono_literals;
using namespace wire;

class Capture : public ::testing::Test {
  protected:
    void SetUp() override {
        camera.reset();
        host.open();
        ASSERT_EQ(host.call(kStartLV)->status(), 0);
    }
    void TearDown() override { camera.reset(); }

    // Capture (640 x 480) and TerminateCapture; returns the Capture's number.
    uint32_t shoot(uint32_t quality, bool keep = true, bool confirm = false) {
        auto captured = host.call(kCapture, u32s({0, 3, quality, 0}));
        EXPECT_EQ(captured->status(), 0);
        const uint32_t number = captured->transaction;
        if (confirm) {
            EXPECT_EQ(host.call(kAfterView, u32s({keep ? 0u : 1u, number}))->status(), 0);
        }
        EXPECT_EQ(host.call(kTerminateCapture)->status(), 0);
        return number;
    }
    std::vector<std::string> names(const std::vector<Host::File>& files) {
        std::vector<std::string> out;
        for (const auto& f : files)
            out.push_back(f.name);
        return out;
    }

    Host host;
    Camera& camera = host.camera;
};

TEST(Stills, FilesPerPictureFollowQualityAndColourMode) {
    using V = std::vector<std::string>;
    EXPECT_EQ(captureExtensions(0, 0), (V{".qrw", ".thm"}));
    EXPECT_EQ(captureExtensions(1, 132), (V{".tif", ".thm"}));
    EXPECT_EQ(captureExtensions(6, 0), (V{".jpg", ".qrw"}));
    EXPECT_EQ(captureExtensions(6, 132), (V{".jpg", ".qrw", ".thm"}));
    EXPECT_EQ(captureExtensions(5, 0), (V{".jpg"}));
    EXPECT_EQ(captureExtensions(3, 132), (V{".jpg", ".thm"}));
}

TEST(Stills, TiffAndRawDescribeTheirPixels) {
    RgbImage image{3, 2, {}};
    for (int i = 0; i < 18; ++i)
        image.pixels.push_back(static_cast<uint8_t>(i * 10));
    const Bytes tiff = tiffFile(image);
    ASSERT_EQ(tiff.size(), 140u + 18);
    EXPECT_EQ(std::string(tiff.begin(), tiff.begin() + 4), std::string("II*\0", 4));
    const uint32_t ifd = get32(&tiff[4]);
    EXPECT_EQ(get16(&tiff[ifd]), 10);
    EXPECT_EQ(get16(&tiff[ifd + 2]), 256);  // ImageWidth
    EXPECT_EQ(get32(&tiff[ifd + 2 + 8]), 3u);
    EXPECT_EQ(get32(&tiff[ifd + 2 + 12 + 8]), 2u);
    EXPECT_EQ(tiff.back(), 170);

    const Bytes raw = rawFile(image);
    ASSERT_EQ(raw.size(), 32u + 9);  // six 12-bit sites in nine bytes
    EXPECT_EQ(get32(&raw[8]), 3u);
    EXPECT_EQ(get32(&raw[12]), 2u);
    // Site (0,0) is red: 0 << 4; site (1,0) is green: 40 << 4 = 0x280.
    EXPECT_EQ(raw[32], 0x00);
    EXPECT_EQ(raw[33], 0x02);
    EXPECT_EQ(raw[34], 0x80);
}

TEST_F(Capture, AJpegPictureArrivesAfterTerminateCapture) {
    shoot(5);
    EXPECT_EQ(camera.snapshot().filesWaiting, 1u);
    auto files = host.receiveFiles(1);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].name, "PICT0001.jpg");
    const RgbImage picture = decodeJpeg(files[0].bytes);
    EXPECT_EQ(picture.width, 640);
    EXPECT_EQ(picture.height, 480);
    for (uint32_t h : files[0].quotedHandles)
        EXPECT_EQ(h, 7u);
    EXPECT_EQ(camera.snapshot().filesSent, 1u);
    EXPECT_EQ(camera.snapshot().filesWaiting, 0u);
    EXPECT_TRUE(camera.protocolErrors().empty());

    shoot(5);
    EXPECT_EQ(host.receiveFiles(1).at(0).name, "PICT0002.jpg");
}

TEST_F(Capture, RawJpegAndProfileGiveThreeFilesInOrder) {
    ASSERT_EQ(host.call(kSetCamStat, u32s({1, kPColorMode, 1, 132}))->status(), 0);
    shoot(6);
    auto files = host.receiveFiles(3);
    EXPECT_EQ(names(files),
              (std::vector<std::string>{"PICT0001.jpg", "PICT0001.qrw", "PICT0001.thm"}));
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(std::string(files[1].bytes.begin(), files[1].bytes.begin() + 3), "QRW");
    EXPECT_EQ(decodeJpeg(files[2].bytes).width, 160);
}

TEST_F(Capture, TiffIsTheSceneAtTheChosenSize) {
    shoot(1);
    auto files = host.receiveFiles(2);
    ASSERT_EQ(names(files), (std::vector<std::string>{"PICT0001.tif", "PICT0001.thm"}));
    EXPECT_EQ(files[0].bytes.size(), 140u + 640 * 480 * 3);
}

TEST_F(Capture, ChunkSizeSetsTheFileInCount) {
    camera.setChunkSize(1000);
    ASSERT_TRUE(camera.sendFile("DATA.BIN", uint64_t{4500}));
    auto files = host.receiveFiles(1);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].fileIns, 5);
    ASSERT_EQ(files[0].bytes.size(), 4500u);
    for (size_t i = 0; i < 4500; ++i) {
        ASSERT_EQ(files[0].bytes[i], Camera::filePatternByte(i)) << "offset " << i;
    }
}

TEST_F(Capture, DiscardedPictureSendsNothing) {
    ASSERT_EQ(host.call(kSetCamStat, u32s({1, kPAfterView, 1, 3}))->status(), 0);
    shoot(0, /*keep=*/false, /*confirm=*/true);
    EXPECT_EQ(camera.snapshot().filesWaiting, 0u);
    EXPECT_TRUE(host.receiveFiles(1, 7, 200).empty());

    shoot(5, /*keep=*/true, /*confirm=*/true);
    EXPECT_EQ(host.receiveFiles(1).size(), 1u);
}

TEST_F(Capture, AfterViewMustNameTheCapture) {
    const uint32_t number = host.call(kCapture, u32s({0, 3, 5, 0}))->transaction;
    EXPECT_NE(host.call(kAfterView, u32s({0, number + 5}))->status(), 0);
    EXPECT_EQ(camera.protocolErrors().size(), 1u);
}

TEST_F(Capture, RefusedCaptures) {
    EXPECT_EQ(host.call(kCapture, u32s({0, 2, 5, 0}))->status(), kStatusBadValue);  // size code
    EXPECT_EQ(host.call(kCapture, u32s({0, 3, 4, 0}))->status(), kStatusBadValue);  // quality
    EXPECT_EQ(host.call(kCapture, u32s({0, 3, 5, 0}))->status(), 0);
    EXPECT_EQ(host.call(kCapture, u32s({0, 3, 5, 0}))->status(), kStatusBusy);
}

TEST_F(Capture, ARefusedFileIsSkipped) {
    ASSERT_TRUE(camera.sendFile("A.JPG", std::vector<uint8_t>{1, 2, 3}));
    ASSERT_TRUE(camera.sendFile("B.JPG", std::vector<uint8_t>{4}));
    auto open = host.read();
    ASSERT_EQ(open->code, kFileOpen);
    host.reply(kFileOpen, u32s({1, 0}));  // refused
    auto files = host.receiveFiles(1);
    EXPECT_EQ(names(files), std::vector<std::string>{"B.JPG"});
    EXPECT_EQ(camera.snapshot().filesRefused, 1u);
}

TEST_F(Capture, HostileNamesAndHandlesGoOutAsTold) {
    const std::string name = "../../" + std::string(300, 'x');
    camera.setFileHandleOverride(0xDEADBEEF);
    ASSERT_TRUE(camera.sendFile(name, std::vector<uint8_t>(10, 1)));
    auto files = host.receiveFiles(1);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].name, name);
    for (uint32_t h : files[0].quotedHandles)
        EXPECT_EQ(h, 0xDEADBEEFu);
}

TEST_F(Capture, UnplugInTheMiddleOfAFile) {
    camera.setChunkSize(4096);
    camera.unplugDuring(kFileIn, 100, 1);  // the second FileIn stops after 100 bytes
    ASSERT_TRUE(camera.sendFile("BIG.BIN", uint64_t{20000}));
    auto files = host.receiveFiles(1, 7, 500);
    EXPECT_TRUE(files.empty());
    EXPECT_FALSE(camera.plugged());
    const auto log = camera.log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().code, kFileIn);
    EXPECT_EQ(log.back().size, 100u);
}

TEST_F(Capture, FilesNeedAConnection) {
    ASSERT_EQ(host.call(kClose, u16s({0, 0}))->status(), 0);
    EXPECT_FALSE(camera.sendFile("A.JPG", uint64_t{10}));
}

}  // namespace
}  // namespace orkasim::test
