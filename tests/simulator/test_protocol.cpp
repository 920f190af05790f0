// The simulated camera's protocol, driven byte by byte through its pipes.
#include <gtest/gtest.h>

#include <thread>

#include "host.h"
#include "parameters.h"

namespace orkasim::test {
namespace {

using namespace std::chrono_literals;
using namespace wire;

class Protocol : public ::testing::Test {
  protected:
    void SetUp() override { host.camera.reset(); }
    void TearDown() override { host.camera.reset(); }
    Host host;
    Camera& camera = host.camera;
};

TEST_F(Protocol, OpenIsAnsweredThenStateNoticeFollowsAfterTheDelay) {
    camera.setStateNoticeDelay(300ms);
    const auto sent = Clock::now();
    host.command(kOpen);
    auto response = host.read();
    ASSERT_TRUE(response);
    EXPECT_EQ(response->code, kOpen);
    EXPECT_EQ(response->transaction, 1u);
    EXPECT_EQ(response->payload, u16s({0}));
    EXPECT_FALSE(camera.snapshot().ready);

    auto notice = host.read();
    ASSERT_TRUE(notice);
    EXPECT_GE(Clock::now() - sent, 300ms);
    EXPECT_EQ(notice->code, kCamStateNotice);
    EXPECT_EQ(notice->transaction, 0xA0000001u);
    EXPECT_EQ(notice->payload, u16s({1, 1}));
    EXPECT_TRUE(camera.snapshot().ready);
    EXPECT_EQ(camera.snapshot().awaitingReplies, 1u);
    host.reply(kCamStateNotice, {0, 0});
    EXPECT_EQ(camera.snapshot().awaitingReplies, 0u);
    EXPECT_TRUE(camera.protocolErrors().empty());
}

TEST_F(Protocol, StartLiveViewIsRefusedUntilTheCameraIsReady) {
    camera.setStateNoticeDelay(10s);
    host.command(kOpen);
    host.read();
    auto refused = host.call(kStartLV);
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->status(), 0);
    EXPECT_FALSE(camera.snapshot().liveView);
    EXPECT_TRUE(camera.protocolErrors().empty());
}

TEST_F(Protocol, CommandsWithoutOpenAreRefused) {
    auto response = host.call(kGetAllCamStat);
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status(), kStatusNoSession);
}

TEST_F(Protocol, GetAllCamStatReportsTheWholeTable) {
    host.open();
    camera.setParameter(kPBattery, 2);
    auto response = host.call(kGetAllCamStat);
    ASSERT_TRUE(response);
    ASSERT_EQ(response->payload.size(), 8u + 24 * 90);
    EXPECT_EQ(response->status(), 0);
    EXPECT_EQ(get32(response->payload.data() + 4), 90u);
    const auto& defaults = parameterDefaults();
    for (int i = 0; i < 90; ++i) {
        const uint8_t* e = response->payload.data() + 8 + 24 * i;
        EXPECT_EQ(get32(e), static_cast<uint32_t>(i));
        const int32_t expected = i == kPBattery ? 2 : defaults[i].entry.value;
        EXPECT_EQ(static_cast<int32_t>(get32(e + 8)), expected) << "parameter " << i;
        EXPECT_EQ(static_cast<int32_t>(get32(e + 16)), defaults[i].entry.aux2);
        EXPECT_EQ(static_cast<int32_t>(get32(e + 20)), defaults[i].entry.aux1);
    }
    // A few factory settings the rest of the system relies on.
    EXPECT_EQ(defaults[kPShutter].entry.value, 104);  // 1/160 s
    EXPECT_EQ(defaults[kPAperture].entry.value, 48);  // F/5,6
    EXPECT_EQ(defaults[kPWhiteBalance].entry.value, 0x00800000);
}

TEST_F(Protocol, SetCamStatChangesTheTableAndRejectsBadEntries) {
    host.open();
    auto ok = host.call(kSetCamStat, u32s({1, 8, 1, 40}));
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->payload, u16s({0}));
    EXPECT_EQ(camera.parameter(kPShutter), 40);

    // Index beyond the table, kind other than 1, count that lies.
    for (const auto& payload : {u32s({1, 90, 1, 5}), u32s({1, 29, 3, 5}), u32s({2, 29, 1, 5})}) {
        auto refused = host.call(kSetCamStat, payload);
        ASSERT_TRUE(refused);
        EXPECT_NE(refused->status(), 0);
    }
    EXPECT_EQ(camera.parameter(kPColorMode), 0);
    EXPECT_EQ(camera.protocolErrors().size(), 3u);
}

TEST_F(Protocol, MalformedHostPacketsAreRecordedNotAnswered) {
    host.open();
    const std::vector<std::vector<uint8_t>> bad = {
        {1, 2, 3},  // shorter than a header
        [] {        // length field lies
            auto p = packet(kGetAllCamStat, 2, {});
            p[0] = 40;
            return p;
        }(),
        packet(0x1100, 2, {}),             // not a command
        packet(kSetLiveViewMode, 2, {1}),  // payload of the wrong size
    };
    for (const auto& bytes : bad)
        EXPECT_EQ(host.send(bytes), UsbResult::Ok);
    // Only the last one is a well-formed command: it gets a refusal.
    auto refusal = host.read();
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->code, kSetLiveViewMode);
    EXPECT_EQ(refusal->status(), kStatusBadPacket);
    EXPECT_FALSE(host.read(50));
    EXPECT_EQ(camera.protocolErrors().size(), 4u);
}

TEST_F(Protocol, CommandNumbersMustFollowEachOther) {
    host.open();  // Open was 1
    host.send(packet(kGetPresetWBGain, 2, {}));
    host.read();
    EXPECT_TRUE(camera.protocolErrors().empty());
    host.send(packet(kGetPresetWBGain, 4, {}));  // 3 skipped
    host.read();
    host.send(packet(kGetPresetWBGain, 4, {}));  // repeated
    host.read();
    EXPECT_EQ(camera.protocolErrors().size(), 2u);

    host.send(packet(kOpen, 9, {}));  // a connection starts at 1
    host.read();
    EXPECT_EQ(camera.protocolErrors().size(), 3u);
}

TEST_F(Protocol, AFailedWriteUsesUpItsNumber) {
    host.open();
    camera.stallBulkOut(true);
    EXPECT_EQ(host.send(packet(kGetPresetWBGain, 2, {}), 20), UsbResult::Timeout);
    camera.stallBulkOut(false);
    host.send(packet(kGetPresetWBGain, 3, {}));
    auto response = host.read();
    ASSERT_TRUE(response);
    EXPECT_EQ(response->transaction, 3u);
    EXPECT_TRUE(camera.protocolErrors().empty());
}

TEST_F(Protocol, ASecondCommandBeforeTheAnswerIsABreach) {
    host.open();
    camera.delayOperation(kGetPresetWBGain, 200ms);
    host.command(kGetPresetWBGain);
    host.command(kGetAllCamStat);
    ASSERT_EQ(camera.protocolErrors().size(), 1u);
    EXPECT_NE(camera.protocolErrors()[0].find("unanswered"), std::string::npos);
}

TEST_F(Protocol, RepliesAreCheckedAgainstTheRequests) {
    host.open();  // the notice got a correct reply
    camera.sendRequest(kLiveViewReady, {});
    camera.sendRequest(kCamStatChanged, u32s({0}));
    camera.sendRequest(0x2005, {});  // expects no reply
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(host.read());
    EXPECT_EQ(camera.snapshot().awaitingReplies, 2u);

    host.reply(kCamStatChanged, {0, 0});                    // out of order
    host.reply(kLiveViewReady, {0});                        // one byte short
    host.reply(0x2005, {0, 0});                             // answers nothing
    host.send(packet(kLiveViewReady, 0xFFFFFFFF, {0, 0}));  // beyond the reply range
    const auto errors = camera.protocolErrors();
    ASSERT_EQ(errors.size(), 5u);
    EXPECT_NE(errors[0].find("before"), std::string::npos);
    EXPECT_NE(errors[1].find("expected 2"), std::string::npos);
    EXPECT_NE(errors[2].find("answers no request"), std::string::npos);
    EXPECT_NE(errors[3].find("beyond"), std::string::npos);
    EXPECT_EQ(camera.snapshot().awaitingReplies, 0u);
}

TEST_F(Protocol, ReplyNumbersMustFollowEachOther) {
    host.open();  // reply 0xA0000001
    camera.sendRequest(kLiveViewReady, {});
    host.read();
    host.nextReply += 1;  // skips one
    host.reply(kLiveViewReady, {0, 0});
    ASSERT_EQ(camera.protocolErrors().size(), 1u);
}

TEST_F(Protocol, ParameterChangesAreAnnounced) {
    host.open();
    camera.changeParameter(kPBattery, 1);
    auto request = host.read();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->code, kCamStatChanged);
    EXPECT_GT(request->transaction, kLastCommandNumber);
    EXPECT_EQ(request->payload, u32s({1, kPBattery, 1, 1}));
}

TEST_F(Protocol, StalledOperationIsNeverAnswered) {
    host.open();
    camera.stallOperation(kGetAllCamStat);
    host.command(kGetAllCamStat);
    EXPECT_FALSE(host.read(100));
    camera.stallOperation(kGetAllCamStat, false);
}

TEST_F(Protocol, FailedOperationAnswersItsStatusAndChangesNothing) {
    host.open();
    camera.failOperation(kSetCamStat, 0x2019);
    auto response = host.call(kSetCamStat, u32s({1, 8, 1, 40}));
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status(), 0x2019);
    EXPECT_EQ(camera.parameter(kPShutter), 104);

    // A refused response keeps the layout of the operation's response.
    camera.failOperation(kS1, 1);
    auto s1 = host.call(kS1, u16s({1}));
    ASSERT_TRUE(s1);
    EXPECT_EQ(s1->payload.size(), 10u);
    camera.failOperation(kGetAllCamStat, 2);
    auto all = host.call(kGetAllCamStat);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->payload.size(), 8u);
    EXPECT_EQ(get32(all->payload.data() + 4), 0u);
}

TEST_F(Protocol, DelayedOperationIsAnsweredLate) {
    host.open();
    camera.delayOperation(kGetPresetWBGain, 150ms);
    const auto sent = Clock::now();
    auto response = host.call(kGetPresetWBGain);
    ASSERT_TRUE(response);
    EXPECT_GE(Clock::now() - sent, 150ms);
    EXPECT_EQ(response->status(), 0);
}

TEST_F(Protocol, CloseEndsTheConnectionAndItsPendingWork) {
    camera.setStateNoticeDelay(100ms);
    host.command(kOpen);
    host.read();
    auto closed = host.call(kClose, u16s({0, 0}));
    ASSERT_TRUE(closed);
    EXPECT_EQ(closed->status(), 0);
    EXPECT_FALSE(camera.snapshot().sessionOpen);
    EXPECT_FALSE(host.read(250)) << "no state notice after Close";
}

TEST_F(Protocol, SettingCommandsChangeTheirState) {
    host.open();
    ASSERT_EQ(host.call(kStartLV)->status(), 0);
    ASSERT_EQ(host.call(kSetLiveViewMode, u32s({1}))->status(), 0);
    auto ready = host.read();
    ASSERT_TRUE(ready);
    EXPECT_EQ(ready->code, kLiveViewReady);
    host.answer(*ready);
    EXPECT_EQ(camera.snapshot().liveViewMode, 1);

    ASSERT_EQ(host.call(kSetPreviewMode, u32s({1}))->status(), 0);
    EXPECT_EQ(camera.parameter(kPAperturePreview), 1);
    ASSERT_EQ(host.call(kChangeFFP, u16s({1}))->status(), 0);
    EXPECT_EQ(camera.parameter(kPFocusPointMode), 0);
    ASSERT_EQ(host.call(kChangeFDMMode)->status(), 0);
    EXPECT_EQ(camera.parameter(kPFocusView), 3);
    ASSERT_EQ(host.call(kSetIntervalMode, u32s({1}))->status(), 0);
    EXPECT_TRUE(camera.snapshot().intervalMode);

    auto point = host.call(kSetFFPPos, u32s({5000, 100}));
    ASSERT_TRUE(point);
    EXPECT_EQ(point->payload, [] {
        auto p = u16s({0});
        auto xy = u32s({3264, 100});
        p.insert(p.end(), xy.begin(), xy.end());
        return p;
    }());

    EXPECT_NE(host.call(kSetDateTime, u32s({0x060D07EA, 0x0004150B}))->status(), 0);  // month 13
    EXPECT_EQ(host.call(kSetDateTime, u32s({0x060C07EA, 0x0004150B}))->status(), 0);
    EXPECT_TRUE(camera.protocolErrors().empty());
}

}  // namespace
}  // namespace orkasim::test
