// Shared ground of the tests that run Fotolien against the simulated camera
// (libUsbpipe.so from build/sim, which drives orkasim::Camera in-process).
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

#include "fotolien.h"
#include "orkasim.h"

namespace fotolien::test {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;
using orkasim::Direction;
using orkasim::LogEntry;

orkasim::Camera& sim();

// A folder of this test program's own, removed when it ends. Every test
// starts with the temporary, home and target folders of the library inside
// it, so that no file the simulated camera sends lands elsewhere.
const std::filesystem::path& sandbox();

// Little-endian reads of logged bytes.
uint16_t at16(const Bytes& bytes, size_t offset);
uint32_t at32(const Bytes& bytes, size_t offset);

// A whole packet as the camera would send it.
Bytes packet(uint16_t code, uint32_t transaction, const Bytes& payload);

// Each test starts with a fresh camera and a closed library, and ends by
// closing what it opened. The camera's protocol checks must stay quiet
// unless a test says otherwise.
class SimTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Points the library's temporary, home and target folders into `root`.
    static void useFolders(const std::filesystem::path& root);

    // OpenCamera succeeds.
    void openCamera();
    // OpenCamera, then StartPCControlMode once the camera is ready.
    void enterControlMode();
    // Waits until the camera's state notice has been answered.
    void waitUntilReady();
    // Returns once the library has dispatched every packet the camera sent
    // so far.
    void flushReceiver();

    // Packets of one direction (and code, when given) logged so far.
    static std::vector<LogEntry> packets(Direction direction, int code = -1);
    static std::vector<LogEntry> sent(int code = -1) {
        return packets(Direction::HostToCamera, code);
    }
    // Payload of a logged packet (after the 12-byte header).
    static Bytes payloadOf(const LogEntry& entry);
    // Waits for a packet of `direction` and `code` to be logged.
    static bool waitFor(Direction direction, uint16_t code, std::chrono::milliseconds limit = 2s);

    bool expectProtocolErrors_ = false;
};

// Whether CheckExistUSBCamera reports the camera gone within a second (the
// receive thread learns of an unplug asynchronously, from the transport).
bool reportedGone();

// How long `call` took.
std::chrono::milliseconds timed(const std::function<void()>& call);

}  // namespace fotolien::test
