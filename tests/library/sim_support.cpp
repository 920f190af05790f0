#include "sim_support.h"

#include <cstdlib>
#include <thread>

namespace fotolien::test {

orkasim::Camera& sim() {
    return orkasim::Camera::instance();
}

const std::filesystem::path& sandbox() {
    static const std::filesystem::path path = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "fotolien-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        return std::filesystem::path(pattern);
    }();
    return path;
}

namespace {

class SandboxRemoval : public ::testing::Environment {
  public:
    void TearDown() override { std::filesystem::remove_all(sandbox()); }
};

[[maybe_unused]] const auto* const sandboxRemoval =
    ::testing::AddGlobalTestEnvironment(new SandboxRemoval);

}  // namespace

uint16_t at16(const Bytes& b, size_t i) {
    return static_cast<uint16_t>(b.at(i) | (b.at(i + 1) << 8));
}

uint32_t at32(const Bytes& b, size_t i) {
    return at16(b, i) | (static_cast<uint32_t>(at16(b, i + 2)) << 16);
}

Bytes packet(uint16_t code, uint32_t transaction, const Bytes& payload) {
    const uint32_t length = static_cast<uint32_t>(12 + payload.size());
    Bytes bytes;
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<uint8_t>(length >> (8 * i)));
    }
    bytes.push_back(static_cast<uint8_t>(code));
    bytes.push_back(static_cast<uint8_t>(code >> 8));
    bytes.push_back(0);
    bytes.push_back(0);
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<uint8_t>(transaction >> (8 * i)));
    }
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return bytes;
}

void SimTest::SetUp() {
    sim().reset();
    sim().setStateNoticeDelay(2ms);
    useFolders(sandbox());
}

void SimTest::useFolders(const std::filesystem::path& root) {
    for (const char* sub : {"tmp", "home", "target"}) {
        std::filesystem::create_directories(root / sub);
    }
    // Read by the library when it saves a file; set while no file is on
    // its way.
    ::setenv("TMPDIR", (root / "tmp").c_str(), 1);
    ::setenv("HOME", (root / "home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (root / "home" / ".config").c_str(), 1);
    ASSERT_EQ(SetSaveFileInformation((root / "target").c_str(), "P"), 0);
}

void SimTest::TearDown() {
    if (!expectProtocolErrors_) {
        for (const std::string& error : sim().protocolErrors()) {
            ADD_FAILURE() << "camera saw: " << error;
        }
    }
    // Leave the library closed whatever state the test left it in: a fresh
    // OpenCamera ends any connection still open, then closes cleanly.
    sim().reset();
    if (OpenCamera(ORKA_PRODUCT_ID) == 0) {
        CloseCamera();
    }
}

void SimTest::flushReceiver() {
    // Packets are handled in order: once this request is answered, every
    // packet the camera sent before it has been dispatched.
    const auto asked = orkasim::Clock::now();
    sim().sendRequest(0x2001, {});
    ASSERT_TRUE(sim().waitForPacket(
        [&](const LogEntry& e) {
            return e.direction == Direction::HostToCamera && e.code == 0x2001 && e.time >= asked;
        },
        2s));
}

void SimTest::openCamera() {
    ASSERT_EQ(OpenCamera(ORKA_PRODUCT_ID), 0);
}

void SimTest::waitUntilReady() {
    // Generous: under a sanitizer the camera's timer thread may still be
    // busy with an earlier test's pictures.
    ASSERT_TRUE(waitFor(Direction::HostToCamera, 0x2003, 10s))
        << "the state notice was not answered";
}

void SimTest::enterControlMode() {
    openCamera();
    waitUntilReady();
    // The library takes the state right after replying to the notice.
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (StartPCControlMode() == 0) {
            return;
        }
        std::this_thread::sleep_for(1ms);
    }
    FAIL() << "StartPCControlMode kept failing";
}

std::vector<LogEntry> SimTest::packets(Direction direction, int code) {
    std::vector<LogEntry> found;
    for (LogEntry& e : sim().log()) {
        if (e.direction == direction && (code < 0 || e.code == code)) {
            found.push_back(std::move(e));
        }
    }
    return found;
}

Bytes SimTest::payloadOf(const LogEntry& entry) {
    return Bytes(entry.bytes.begin() + 12, entry.bytes.end());
}

bool SimTest::waitFor(Direction direction, uint16_t code, std::chrono::milliseconds limit) {
    return sim().waitForPacket(
        [&](const LogEntry& e) { return e.direction == direction && e.code == code; }, limit);
}

bool reportedGone() {
    for (int i = 0; i < 1000; ++i) {
        if (CheckExistUSBCamera() == 4) {
            return true;
        }
        std::this_thread::sleep_for(1ms);
    }
    return false;
}

std::chrono::milliseconds timed(const std::function<void()>& call) {
    const auto start = std::chrono::steady_clock::now();
    call();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start);
}

}  // namespace fotolien::test
