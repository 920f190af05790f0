// The packet layer against the simulated camera: numbering and order on the
// wire, replies to camera requests, waiting rules, and malformed packets.
#include <future>
#include <string>

#include "sim_support.h"

namespace fotolien::test {
namespace {

class Protocol : public SimTest {
  protected:
    // SetCamStat of the focus mode: a cheap command with a visible effect.
    static int32_t focusMode() {
        CameraStatusData s;
        EXPECT_EQ(GetCameraStatusData(&s), 0);
        return s.focusMode;
    }
};

TEST_F(Protocol, CommandsGoOutOneAtATimeInNumberOrder) {
    enterControlMode();
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(SetFocusMode(i % 2), 0);
    }
    uint32_t expected = 1;
    bool awaitingResponse = false;
    for (const LogEntry& e : sim().log()) {
        if (e.code >= 0x2000) {
            continue;  // camera requests and their replies
        }
        if (e.direction == Direction::HostToCamera) {
            EXPECT_FALSE(awaitingResponse) << "command " << e.transaction << " overtook a response";
            EXPECT_EQ(e.transaction, expected++);
            awaitingResponse = true;
        } else {
            awaitingResponse = false;
        }
    }
    EXPECT_EQ(expected, 1u + 1 + 4 + 20);  // Open, control-mode start, 20 settings
}

TEST_F(Protocol, ReplyNumbersContinueAcrossConnections) {
    enterControlMode();
    flushReceiver();
    ASSERT_EQ(CloseCamera(), 0);
    enterControlMode();
    flushReceiver();
    std::vector<uint32_t> numbers;
    for (const LogEntry& e : sent()) {
        if (e.code >= 0x2000) {
            numbers.push_back(e.transaction);
        }
    }
    ASSERT_GE(numbers.size(), 4u);
    for (size_t i = 0; i < numbers.size(); ++i) {
        EXPECT_GT(numbers[i], 0xA0000000u);
        if (i > 0) {
            EXPECT_EQ(numbers[i], numbers[i - 1] + 1);
        }
    }
}

TEST_F(Protocol, ABusyLinkFailsAfterThreeSecondsWithoutTouchingTheWire) {
    enterControlMode();
    sim().stallOperation(0x100A);
    LiveViewInfo info;
    EXPECT_EQ(LiveViewGetInfo(&info), 1);  // the frame never comes
    sim().clearLog();
    const auto took = timed([] { EXPECT_EQ(SetFocusMode(1), 1); });
    EXPECT_GE(took, 2900ms);
    EXPECT_LT(took, 4000ms);
    EXPECT_TRUE(sent().empty());
}

TEST_F(Protocol, AFailedWriteDoesNotBlockTheNextCommand) {
    enterControlMode();
    sim().stallBulkOut(true);
    EXPECT_EQ(SetFocusMode(1), 1);
    sim().stallBulkOut(false);
    EXPECT_EQ(SetFocusMode(1), 0);
    EXPECT_EQ(focusMode(), 1);
}

TEST_F(Protocol, LosingTheLinkEndsAWaitingCommand) {
    enterControlMode();
    sim().stallOperation(0x100C);
    sim().clearLog();
    auto pending = std::async(std::launch::async, [] { return SetFocusMode(1); });
    ASSERT_TRUE(waitFor(Direction::HostToCamera, 0x100C));
    sim().unplug();
    ASSERT_EQ(pending.wait_for(1s), std::future_status::ready);
    EXPECT_EQ(pending.get(), 1);
    EXPECT_EQ(CheckExistUSBCamera(), 4);
}

// Acknowledged requests get the reply the camera expects (it checks the
// shape); codes outside the table get none and change nothing.
TEST_F(Protocol, RequestsAreAnsweredOrIgnoredByCode) {
    enterControlMode();
    const uint16_t acknowledged[] = {0x2001, 0x2006, 0x2007, 0x200D, 0x200E,
                                     0x2017, 0x2019, 0x2020, 0x2008};
    for (uint16_t code : acknowledged) {
        sim().sendRequest(code, {9, 9, 9, 9});
        EXPECT_TRUE(waitFor(Direction::HostToCamera, code)) << std::hex << code;
    }
    EXPECT_EQ(payloadOf(sent(0x2001)[0]).size(), 0u);
    EXPECT_EQ(payloadOf(sent(0x200D)[0]).size(), 0u);
    EXPECT_EQ(payloadOf(sent(0x2006)[0]), (Bytes{0, 0}));

    const uint16_t ignored[] = {0x2005, 0x2018, 0x201A, 0x201F, 0x2021, 0x3000, 0x0001};
    for (uint16_t code : ignored) {
        sim().injectRaw(packet(code, 0xA0001000, {1, 2, 3, 4}));
    }
    flushReceiver();
    for (uint16_t code : ignored) {
        EXPECT_TRUE(sent(code).empty()) << std::hex << code;
    }
    EXPECT_EQ(SetFocusMode(1), 0);
}

TEST_F(Protocol, StateNoticeCountsOnlyWithItsMarker) {
    enterControlMode();
    ASSERT_EQ(TerminatePCControlMode(), 0);
    sim().sendRequest(0x2003, {5, 0, 0, 0});  // value 5, marker 0
    flushReceiver();
    EXPECT_EQ(payloadOf(sent(0x2003).back()), (Bytes{0, 0}));
    EXPECT_EQ(StartPCControlMode(), 0);

    ASSERT_EQ(TerminatePCControlMode(), 0);
    sim().sendRequest(0x2003, {5, 0, 1, 0});  // value 5, marker 1
    flushReceiver();
    sim().clearLog();
    EXPECT_EQ(StartPCControlMode(), 1);
    EXPECT_TRUE(sent().empty());
}

TEST_F(Protocol, ParameterChangesApplyKindOneAndSkipTheRest) {
    enterControlMode();
    CameraStatusData before;
    ASSERT_EQ(GetCameraStatusData(&before), 0);
    auto entry = [](Bytes& b, uint32_t index, uint8_t kind, int32_t value) {
        for (int i = 0; i < 4; ++i) {
            b.push_back(static_cast<uint8_t>(index >> (8 * i)));
        }
        b.insert(b.end(), {kind, 0, 0, 0});
        for (int i = 0; i < 4; ++i) {
            b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
        }
    };
    Bytes payload = {4, 0, 0, 0};
    entry(payload, 8, 1, 40);   // shutter code 40: index 13
    entry(payload, 9, 2, 64);   // kind 2: skipped
    entry(payload, 10, 1, 1);   // manual focus
    entry(payload, 500, 1, 7);  // no such parameter: skipped
    sim().sendRequest(0x2009, payload);
    flushReceiver();
    CameraStatusData after;
    ASSERT_EQ(GetCameraStatusData(&after), 0);
    EXPECT_EQ(after.shutterSpeed, 13);
    EXPECT_EQ(after.aperture, before.aperture);
    EXPECT_EQ(after.focusMode, 1);
}

// Each malformed packet is dropped whole: no reply, no parameter change,
// and the link keeps working.
struct Malformed {
    const char* name;
    Bytes bytes;
};

Bytes withLength(Bytes bytes, uint32_t length) {
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<uint8_t>(length >> (8 * i));
    }
    return bytes;
}

std::vector<Malformed> malformedPackets() {
    const uint32_t request = 0xA0000100;
    // CamStatChanged that would set the shutter to code 137 (index 49).
    const Bytes change = {1, 0, 0, 0, 8, 0, 0, 0, 1, 0, 0, 0, 137, 0, 0, 0};
    Bytes lyingCount = change;
    lyingCount[0] = 2;
    Bytes hugeFrame = {0, 0, 0, 0, 64, 2, 240, 1, 137, 0, 0, 0, 64, 0,
                       0, 0, 0, 0, 0,  0, 0,   0, 0,   0, 0, 0, 0,  5};  // size 0x05000000
    Bytes allStat = {0, 0, 0, 0, 3, 0, 0, 0};  // three entries announced, none present
    Bytes longPacket = packet(0x2009, request, change);
    longPacket.resize(700, 0);
    return {
        {"Runt", {8, 0, 0, 0, 9, 0x20, 0, 0}},
        {"LengthBelowHeader", withLength(packet(0x2009, request, change), 5)},
        {"LengthBeyondBound", withLength(packet(0x2009, request, change), (64u << 20) + 65)},
        {"TransferShorterThanLength", withLength(packet(0x2009, request, change), 100)},
        {"TransferLongerThanLength", withLength(packet(0x2009, request, change), 20)},
        {"LongTransferCutShort", withLength(longPacket, 900)},
        {"ChangeCountBeyondPayload", packet(0x2009, request, lyingCount)},
        {"StateNoticeTooShort", packet(0x2003, request, {5, 0})},
        {"FileInLongerThanPayload",
         packet(0x200C, request, {1, 0, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 1})},
        {"FileOpenNameBeyondPayload", packet(0x200A, request, {0, 0, 0, 0, 9, 0, 0, 0, 'a', 0})},
        {"FileCloseTooShort", packet(0x200B, request, {1, 0})},
        {"ResponseWithoutStatus", packet(0x100C, 77, {})},
        {"ParameterListBeyondPayload", packet(0x100E, 78, allStat)},
        {"FrameSizeBeyondBound", packet(0x100A, 79, hugeFrame)},
    };
}

class MalformedPacket : public Protocol, public ::testing::WithParamInterface<Malformed> {};

TEST_P(MalformedPacket, IsDroppedAndTheLinkKeepsWorking) {
    enterControlMode();
    flushReceiver();
    CameraStatusData before;
    ASSERT_EQ(GetCameraStatusData(&before), 0);
    sim().clearLog();

    sim().injectRaw(GetParam().bytes);
    flushReceiver();
    const uint16_t code = GetParam().bytes.size() >= 6 ? at16(GetParam().bytes, 4) : 0;
    EXPECT_TRUE(sent(code).empty()) << "a malformed request was answered";
    CameraStatusData after;
    ASSERT_EQ(GetCameraStatusData(&after), 0);
    EXPECT_EQ(after.shutterSpeed, before.shutterSpeed);
    EXPECT_EQ(SetFocusMode(1), 0);
    EXPECT_EQ(focusMode(), 1);
}

INSTANTIATE_TEST_SUITE_P(Kinds, MalformedPacket, ::testing::ValuesIn(malformedPackets()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Protocol, AMalformedResponseFailsItsCommandAtOnce) {
    enterControlMode();
    sim().stallOperation(0x100C);
    sim().clearLog();
    auto pending = std::async(std::launch::async, [] { return SetFocusMode(1); });
    ASSERT_TRUE(waitFor(Direction::HostToCamera, 0x100C));
    const uint32_t number = sent(0x100C).back().transaction;
    sim().injectRaw(packet(0x100C, number, {0}));  // status cut in half
    ASSERT_EQ(pending.wait_for(1s), std::future_status::ready);
    EXPECT_EQ(pending.get(), 1);

    sim().stallOperation(0x100C, false);
    expectProtocolErrors_ = true;  // the camera still counts the stalled command as open
    EXPECT_EQ(SetFocusMode(1), 0);
}

TEST_F(Protocol, AStrayResponseDoesNotWedgeTheLink) {
    enterControlMode();
    sim().injectRaw(packet(0x100C, 999, {0, 0}));
    sim().injectRaw(packet(0x1100, 5, {}));
    flushReceiver();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(SetFocusMode(i % 2), 0);
    }
}

}  // namespace
}  // namespace fotolien::test
