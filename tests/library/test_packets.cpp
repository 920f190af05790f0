// Wire codec: byte layouts, and every decoder against truncated and lying
// payloads (copied to exact-size buffers so an overread lands in a redzone).
#include "packets.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace fotolien {
namespace {

using Bytes = std::vector<uint8_t>;

// An exact-size heap copy of `bytes`: reading one byte past it is caught
// by AddressSanitizer.
class Exact {
  public:
    explicit Exact(const Bytes& bytes)
        : size_(bytes.size()), data_(new uint8_t[bytes.size() == 0 ? 1 : bytes.size()]) {
        std::copy(bytes.begin(), bytes.end(), data_.get());
    }
    std::span<const uint8_t> span() const { return {data_.get(), size_}; }

  private:
    size_t size_;
    std::unique_ptr<uint8_t[]> data_;
};

Bytes header(uint32_t length, uint16_t code, uint32_t transaction) {
    return PayloadBuilder{}.u32(length).u16(code).u16(0).u32(transaction).bytes();
}

// Received payloads grow as reads arrive and shrink to the packet's length:
// the bytes already there survive both, and a moved-from buffer is empty.
TEST(ReceivedBytes, KeepsItsBytesWhenItGrowsShrinksAndMoves) {
    const uint8_t head[] = {1, 2, 3, 4, 5};
    ReceivedBytes bytes;
    bytes.assign(head, head + 5);
    bytes.resize(3);
    bytes.resize(5000);
    bytes.data()[4999] = 9;
    bytes.resize(5000);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 3), (Bytes{1, 2, 3}));
    EXPECT_EQ(bytes.data()[4999], 9);
    ReceivedBytes moved = std::move(bytes);
    EXPECT_EQ(moved.size(), 5000u);
    EXPECT_TRUE(bytes.empty());  // NOLINT(bugprone-use-after-move)
    std::span<const uint8_t> view = moved;
    EXPECT_EQ(view.size(), 5000u);
    EXPECT_EQ(view[1], 2);
}

TEST(PacketHeader, EncodesLittleEndianWithLengthIncludingHeader) {
    const Bytes payload = {0xAA, 0xBB};
    const Bytes packet = encodePacket(0x100C, 0x01020304, payload);
    EXPECT_EQ(packet, (Bytes{14, 0, 0, 0, 0x0C, 0x10, 0, 0, 4, 3, 2, 1, 0xAA, 0xBB}));
    const auto h = decodeHeader(packet);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->length, 14u);
    EXPECT_EQ(h->code, 0x100C);
    EXPECT_EQ(h->transaction, 0x01020304u);
}

TEST(PacketHeader, RefusesShortInputAndImpossibleLengths) {
    EXPECT_FALSE(decodeHeader(Exact(Bytes(11, 0)).span()));
    for (uint32_t length : {0u, 11u, kMaxPacketLength + 1, 0xFFFFFFFFu}) {
        EXPECT_FALSE(decodeHeader(Exact(header(length, 0x1001, 1)).span())) << length;
    }
    EXPECT_TRUE(decodeHeader(Exact(header(12, 0x1001, 1)).span()));
    EXPECT_TRUE(decodeHeader(Exact(header(kMaxPacketLength, 0x100A, 1)).span()));
}

TEST(CommandPayloads, SetCamStatLayout) {
    const Bytes packet = encodePacket(op::kSetCamStat, 7, encodeSetCamStat(89, -2));
    EXPECT_EQ(packet, (Bytes{28, 0, 0,  0, 0x0C, 0x10, 0, 0, 7, 0, 0,    0,    1,    0,
                             0,  0, 89, 0, 0,    0,    1, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF}));
}

// Every payload the library writes, for one typical input each: field
// order, widths, byte order, sign and the meaning of each flag.
TEST(CommandPayloads, EveryEncoderLaysOutItsFields) {
    const struct {
        const char* name;
        Bytes bytes;
        Bytes expected;
    } cases[] = {
        {"Close sleep", encodeClose(1, 0x0203), {1, 0, 3, 2}},
        {"S1On", encodeS1(true), {1, 0}},
        {"S1Off", encodeS1(false), {0, 0}},
        {"SetFFPPos", encodePosition(1600, -1200), {0x40, 6, 0, 0, 0x50, 0xFB, 0xFF, 0xFF}},
        {"Capture 30 s",
         encodeCapture(2, 1, -3, 30),
         {2, 0, 0, 0, 1, 0, 0, 0, 0xFD, 0xFF, 0xFF, 0xFF, 0x30, 0x75, 0, 0}},
        {"AfterView discard", encodeAfterView(true, 0x01020304), {1, 0, 0, 0, 4, 3, 2, 1}},
        {"AfterView keep", encodeAfterView(false, 7), {0, 0, 0, 0, 7, 0, 0, 0}},
        {"SetLiveViewMode", encodeSetLiveViewMode(2), {2, 0, 0, 0}},
        {"ChangeFFP on", encodeChangeFFP(true), {1, 0}},
        {"ChangeFFP off", encodeChangeFFP(false), {0, 0}},
        {"AdjFocusAction nearer", encodeAdjFocusAction(2), {2, 0}},
        {"SetSpotAEMode linked", encodeSetSpotAEMode(true), {0, 0}},
        {"SetSpotAEMode unlinked", encodeSetSpotAEMode(false), {1, 0}},
        {"SetPreviewMode on", encodeSetPreviewMode(true), {1, 0, 0, 0}},
        {"SetCustomWBGain", encodeSetCustomWBGain(0x0102, 0x0304), {2, 1, 4, 3}},
        {"GetPointWBGain", encodeGetPointWBGain(-1, 2), {0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0}},
        {"SetIntervalMode start", encodeSetIntervalMode(true), {1, 0, 0, 0}},
        {"SetIntervalMode end", encodeSetIntervalMode(false), {0, 0, 0, 0}},
        {"SetDateTime",
         encodeSetDateTime(0x07EA0C07, 0x17120500),
         {7, 0x0C, 0xEA, 0x07, 0, 5, 0x12, 0x17}},
        {"status reply", encodeStatusReply(1), {1, 0}},
        {"FileOpen reply", encodeFileOpenReply(5), {0, 0, 0, 0, 5, 0, 0, 0}},
        {"FileOpen refusal", encodeFileOpenReply(std::nullopt), {1, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.bytes, c.expected) << c.name;
    }
}

TEST(TransactionNumbers, CommandAndReplyNumbersWrap) {
    EXPECT_EQ(nextCommandNumber(0), 1u);
    EXPECT_EQ(nextCommandNumber(kLastCommandNumber - 1), kLastCommandNumber);
    EXPECT_EQ(nextCommandNumber(kLastCommandNumber), 1u);
    EXPECT_EQ(nextReplyNumber(kLastCommandNumber), kLastCommandNumber + 1);
    EXPECT_EQ(nextReplyNumber(0xFFFFFFFEu), 0xA0000001u);
    EXPECT_TRUE(isCameraRequestNumber(0xA0000001u));
    EXPECT_FALSE(isCameraRequestNumber(kLastCommandNumber));
}

TEST(TransactionNumbers, ServingReachedAcrossTheWrap) {
    EXPECT_TRUE(servingReached(5, 5));
    EXPECT_FALSE(servingReached(4, 5));
    EXPECT_TRUE(servingReached(6, 5));  // a stray response moved it on
    EXPECT_TRUE(servingReached(1, kLastCommandNumber));
    EXPECT_FALSE(servingReached(kLastCommandNumber, 1));
    EXPECT_TRUE(servingReached(kLastCommandNumber, kLastCommandNumber - 3));
}

// Each decoder takes a good payload, refuses every truncation of it, and
// refuses a length or count field claiming more than the payload holds. One
// claiming less leaves trailing bytes that lists and file data ignore, while
// a picture must fill its payload exactly.
TEST(Decoders, GoodTruncatedAndLyingLengths) {
    const auto entry24 = [](uint32_t index, int32_t value) {
        return PayloadBuilder{}.u32(index).u32(0).s32(value).u32(0).s32(0).s32(0).bytes();
    };
    const auto cat = [](std::initializer_list<Bytes> parts) {
        Bytes out;
        for (const Bytes& p : parts) {
            out.insert(out.end(), p.begin(), p.end());
        }
        return out;
    };
    constexpr size_t kNoLength = ~size_t{0};
    const Bytes sub28 =
        PayloadBuilder{}.u16(0).u16(0).u16(4).u16(2).s32(1).s32(2).s32(3).s32(4).u32(3).bytes();
    const Bytes sub12 = PayloadBuilder{}.u16(0).u16(0).u16(4).u16(2).u32(3).bytes();
    const struct {
        const char* name;
        std::function<bool(std::span<const uint8_t>)> decodes;
        Bytes good;
        size_t lengthAt;  // offset of the 32-bit length or count field
        bool acceptsShorterLength;
    } cases[] = {
        {"status", [](auto p) { return decodeStatus(p).has_value(); }, {0, 0}, kNoLength, false},
        {"point", [](auto p) { return decodeStatusAndPoint(p).has_value(); },
         PayloadBuilder{}.u16(0).s32(1).s32(-1).bytes(), kNoLength, false},
        {"preset gains", [](auto p) { return decodeStatusAndGains(p, 4).has_value(); },
         PayloadBuilder{}.u16(0).u16(1).u16(2).u16(3).u16(4).bytes(), kNoLength, false},
        {"point gains", [](auto p) { return decodeStatusAndGains(p, 3).has_value(); },
         PayloadBuilder{}.u16(0).u16(1).u16(2).u16(3).bytes(), kNoLength, false},
        {"all parameters", [](auto p) { return decodeAllCamStat(p).has_value(); },
         cat({PayloadBuilder{}.u16(0).u16(0).u32(2).bytes(), entry24(8, 40), entry24(9, 50)}), 4,
         true},
        {"frame", [](auto p) { return decodeFrameHeader(p).has_value(); }, cat({sub28, {1, 2, 3}}),
         24, false},
        {"after-view image", [](auto p) { return decodeImageHeader(p).has_value(); },
         cat({sub12, {1, 2, 3}}), 8, false},
        {"state notice",
         [](auto p) { return decodeStateNotice(p).has_value(); },
         {1, 0, 1, 0},
         kNoLength,
         false},
        {"parameter changes", [](auto p) { return decodeCamStatChanged(p).has_value(); },
         PayloadBuilder{}.u32(2).u32(27).u32(1).s32(1500).u32(8).u32(3).s32(-1).bytes(), 0, true},
        {"file open", [](auto p) { return decodeFileOpen(p).has_value(); },
         PayloadBuilder{}.u32(0).u32(2).u16('A').u16('B').bytes(), 4, true},
        {"file data", [](auto p) { return decodeFileIn(p).has_value(); },
         PayloadBuilder{}.u32(77).u32(2).u32(0).u8(5).u8(6).bytes(), 4, true},
        {"file close",
         [](auto p) { return decodeFileClose(p).has_value(); },
         {9, 0, 0, 0},
         kNoLength,
         false},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(c.decodes(Exact(c.good).span())) << c.name;
        for (size_t n = 0; n < c.good.size(); ++n) {
            EXPECT_FALSE(c.decodes(Exact(Bytes(c.good.begin(), c.good.begin() + n)).span()))
                << c.name << " cut to " << n;
        }
        if (c.lengthAt == kNoLength) {
            continue;
        }
        Bytes lying = c.good;
        const uint32_t length = load32(&lying[c.lengthAt]);
        store32(&lying[c.lengthAt], length + 1);
        EXPECT_FALSE(c.decodes(Exact(lying).span())) << c.name << " longer";
        store32(&lying[c.lengthAt], length - 1);
        EXPECT_EQ(c.decodes(Exact(lying).span()), c.acceptsShorterLength) << c.name << " shorter";
    }
}

TEST(ResponsePayloads, StatusNeedsTwoBytes) {
    EXPECT_FALSE(decodeStatus(Exact({}).span()));
    EXPECT_FALSE(decodeStatus(Exact({0}).span()));
    EXPECT_EQ(decodeStatus(Exact({1, 2}).span()), 0x0201);
}

TEST(ResponsePayloads, PointIsUnalignedAfterTheStatusAndOnlyReadOnSuccess) {
    const Bytes ok = PayloadBuilder{}.u16(0).s32(1600).s32(-1200).bytes();
    const auto r = decodeStatusAndPoint(Exact(ok).span());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->x, 1600);
    EXPECT_EQ(r->y, -1200);
    EXPECT_FALSE(decodeStatusAndPoint(Exact(Bytes(ok.begin(), ok.end() - 1)).span()));
    // A refusal needs no point.
    const auto refused = decodeStatusAndPoint(Exact({1, 0}).span());
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 1);
}

TEST(ResponsePayloads, Gains) {
    const Bytes preset = PayloadBuilder{}.u16(0).u16(500).u16(256).u16(300).u16(700).bytes();
    const auto r = decodeStatusAndGains(Exact(preset).span(), 4);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->gains[0], 500);
    EXPECT_EQ(r->gains[3], 700);
    EXPECT_FALSE(decodeStatusAndGains(Exact(Bytes(preset.begin(), preset.end() - 1)).span(), 4));
    EXPECT_TRUE(decodeStatusAndGains(Exact(Bytes(preset.begin(), preset.end() - 2)).span(), 3));
}

TEST(ResponsePayloads, AllCamStatEntriesAndLyingCounts) {
    PayloadBuilder b;
    b.u16(0).u16(0).u32(2);
    b.u32(8).u32(0).s32(40).u32(0).s32(22).s32(11);
    b.u32(89).u32(0).s32(-1).u32(0).s32(0).s32(0);
    const auto entries = decodeAllCamStat(Exact(b.bytes()).span());
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 2u);
    EXPECT_EQ((*entries)[0].index, 8u);
    EXPECT_EQ((*entries)[0].value, 40);
    EXPECT_EQ((*entries)[0].aux1, 11);
    EXPECT_EQ((*entries)[0].aux2, 22);
    EXPECT_EQ((*entries)[1].value, -1);

    Bytes lying = b.bytes();
    lying[4] = 3;  // one entry more than present
    EXPECT_FALSE(decodeAllCamStat(Exact(lying).span()));
    lying[4] = 0xFF, lying[7] = 0xFF;  // a count that would overflow a product
    EXPECT_FALSE(decodeAllCamStat(Exact(lying).span()));
    EXPECT_FALSE(decodeAllCamStat(Exact({0, 0, 0, 0, 0, 0, 0}).span()));
}

TEST(ResponsePayloads, FrameSizeMustMatchTheDataAndStayBounded) {
    auto frame = [](uint16_t status, uint32_t size, size_t dataBytes) {
        PayloadBuilder b;
        b.u16(status).u16(0).u16(544).u16(408).s32(40).s32(50).s32(1).s32(7).u32(size);
        Bytes bytes = b.bytes();
        bytes.resize(bytes.size() + dataBytes, 0xD8);
        return bytes;
    };
    const auto good = decodeFrameHeader(Exact(frame(0, 100, 100)).span());
    ASSERT_TRUE(good);
    EXPECT_EQ(good->width, 544);
    EXPECT_EQ(good->height, 408);
    EXPECT_EQ(good->shutter, 40);
    EXPECT_EQ(good->aperture, 50);
    EXPECT_EQ(good->battery, 1);
    EXPECT_EQ(good->param36, 7);
    EXPECT_FALSE(decodeFrameHeader(Exact(frame(0, 101, 100)).span()));
    EXPECT_FALSE(decodeFrameHeader(Exact(frame(0, 99, 100)).span()));
    EXPECT_FALSE(decodeFrameHeader(Exact(frame(0, kMaxDataSize + 1, 0)).span()));
    EXPECT_FALSE(decodeFrameHeader(Exact(Bytes(27, 0)).span()));
    // A refused frame carries no data, whatever its size field says.
    EXPECT_TRUE(decodeFrameHeader(Exact(frame(1, 5000, 0)).span()));

    PayloadBuilder image;
    image.u16(0).u16(0).u16(3264).u16(2448).u32(3);
    Bytes bytes = image.bytes();
    bytes.insert(bytes.end(), {1, 2, 3});
    EXPECT_TRUE(decodeImageHeader(Exact(bytes).span()));
    bytes.pop_back();
    EXPECT_FALSE(decodeImageHeader(Exact(bytes).span()));
}

TEST(RequestPayloads, StateNoticeAndParameterChanges) {
    const auto notice = decodeStateNotice(Exact({1, 0, 1, 0}).span());
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->value, 1);
    EXPECT_EQ(notice->marker, 1);
    EXPECT_FALSE(decodeStateNotice(Exact({1, 0, 1}).span()));

    PayloadBuilder b;
    b.u32(2).u32(27).u8(1).u8(9).u8(9).u8(9).s32(1500).u32(8).u8(2).u8(0).u8(0).u8(0).s32(1);
    const auto changes = decodeCamStatChanged(Exact(b.bytes()).span());
    ASSERT_TRUE(changes);
    ASSERT_EQ(changes->size(), 2u);
    EXPECT_EQ((*changes)[0].kind, 1);
    EXPECT_EQ((*changes)[0].value, 1500);
    EXPECT_EQ((*changes)[1].kind, 2);
    Bytes truncated = b.bytes();
    truncated.pop_back();
    EXPECT_FALSE(decodeCamStatChanged(Exact(truncated).span()));
}

TEST(RequestPayloads, FileOpenNameTakesTheLowBytes) {
    const auto payload = [](uint32_t count, std::string_view chars) {
        Bytes bytes(8 + 2 * chars.size(), 0xA5);
        store32(&bytes[4], count);
        for (size_t i = 0; i < chars.size(); ++i) {
            bytes[8 + 2 * i] = static_cast<uint8_t>(chars[i]);
            bytes[9 + 2 * i] = 0x30;  // high byte, ignored
        }
        return bytes;
    };
    const auto decode = [](const Bytes& bytes) { return decodeFileOpen(Exact(bytes).span()); };
    EXPECT_EQ(decode(payload(12, "IMG_0001.JPG")), "IMG_0001.JPG");
    EXPECT_EQ(decode(payload(3, "abcdef")), "abc");  // trailing bytes are ignored
    EXPECT_EQ(decode(payload(0, "")), "");
    EXPECT_FALSE(decode(payload(13, "IMG_0001.JPG")));  // count beyond the data
    EXPECT_FALSE(decode(payload(0xFFFFFFFF, "ab")));
    Bytes halfCharacter = payload(2, "ab");
    halfCharacter.pop_back();
    EXPECT_FALSE(decode(halfCharacter));
    EXPECT_FALSE(decode({0, 0, 0, 0, 1, 0, 0}));  // shorter than the count field
    // Names too long to save are refused when the file is opened, not here.
    const std::string longName(300, 'n');
    EXPECT_EQ(decode(payload(300, longName)), longName);
}

TEST(RequestPayloads, FileRequests) {
    PayloadBuilder open;
    open.u32(0).u32(3);
    for (char ch : std::string("A.j")) {
        open.u16(static_cast<uint16_t>(0x4100 | static_cast<uint8_t>(ch)));  // high byte ignored
    }
    EXPECT_EQ(decodeFileOpen(Exact(open.bytes()).span()), std::string("A.j"));
    Bytes lying = open.bytes();
    lying[4] = 4;
    EXPECT_FALSE(decodeFileOpen(Exact(lying).span()));

    PayloadBuilder in;
    in.u32(77).u32(2).u32(0).u8(5).u8(6);
    const Exact inBytes(in.bytes());  // the chunk points into it
    const auto chunk = decodeFileIn(inBytes.span());
    ASSERT_TRUE(chunk);
    EXPECT_EQ(chunk->handle, 77u);
    EXPECT_EQ(Bytes(chunk->data.begin(), chunk->data.end()), (Bytes{5, 6}));
    Bytes longer = in.bytes();
    longer[4] = 3;
    EXPECT_FALSE(decodeFileIn(Exact(longer).span()));

    EXPECT_EQ(decodeFileClose(Exact({9, 0, 0, 0}).span()), 9u);
    EXPECT_FALSE(decodeFileClose(Exact({9, 0, 0}).span()));
}

}  // namespace
}  // namespace fotolien
