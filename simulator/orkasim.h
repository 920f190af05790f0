// The simulated Orka camera: a device-side model of the camera's packet
// protocol, strict like the real camera and controllable like a test double.
//
// Two faces:
//  - the USB side (bulkOut, bulkIn, plug listeners), which the simulated
//    transport driver and the emulated-device test serve from;
//  - the control side (unplug, faults, injection, the packet log), for tests,
//    benchmarks and the demo.
// All members are thread-safe.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orkasim {

constexpr uint16_t kVendorId = 0x4F52;
constexpr uint16_t kProductId = 0x4B41;
constexpr uint32_t kMaxPacketSize = 512;
constexpr int kParameterCount = 90;

using Clock = std::chrono::steady_clock;

enum class Direction { HostToCamera, CameraToHost };

// One whole packet as it crossed the bus.
struct LogEntry {
    Clock::time_point time;
    Direction direction;
    uint16_t code;         // operation code from the header (0 if shorter than 6 bytes)
    uint32_t transaction;  // transaction number from the header
    std::vector<uint8_t> bytes;
    // Length of the whole transfer; `bytes` may hold only its beginning
    // (see Camera::setLogLimits).
    size_t size = 0;
};

// What the camera is doing, for tests and tools.
struct Snapshot {
    bool plugged = false;
    bool sessionOpen = false;   // between Open and Close
    bool ready = false;         // CamStateNotice(1, 1) has been sent
    bool liveView = false;      // between StartLV and EndLV
    int liveViewMode = 0;       // 0 = 320 x 240, 1 = 544 x 408
    bool halfPressed = false;   // between S1On and S1Off
    bool capturing = false;     // between Capture and TerminateCapture
    bool intervalMode = false;  // SetIntervalMode(1) in force
    size_t queuedInMessages = 0;
    size_t awaitingReplies = 0;  // camera requests the host has not answered yet
    // Focus and white balance as the camera holds them.
    int focusPoint[2] = {1632, 1224};  // flexible focus point (camera frame)
    int fdmPoint[2] = {1632, 1224};    // manual-focus magnifier point
    bool spotFollowsFocusPoint = false;
    int focusAction = 0;  // focus motor: 0 stopped, 1 farther, 2 nearer
    uint16_t customGains[2] = {0, 0};
    // Clock set by SetDateTime: year, month, day, hour, minute, second.
    std::optional<std::array<int, 6>> clock;
    // Files: waiting to be sent (captures not yet rendered included), sent
    // completely, refused by the host's FileOpen reply.
    size_t filesWaiting = 0;
    size_t filesSent = 0;
    size_t filesRefused = 0;
    size_t framesServed = 0;
};

// Result of a USB-side operation.
enum class UsbResult { Ok, NoDevice, Timeout, Cancelled, Stalled };

class Camera {
  public:
    // The camera on the simulated bus (one per process).
    static Camera& instance();

    // ---- USB side ----------------------------------------------------
    bool plugged() const;
    // One bulk-out transfer from the host (expected: one whole packet).
    UsbResult bulkOut(const uint8_t* data, size_t length, uint32_t timeoutMs);
    // The same, ending early with Cancelled once `cancel` becomes true (call
    // wakeReaders() after setting it), as an aborted write does.
    UsbResult bulkOut(const uint8_t* data, size_t length, uint32_t timeoutMs,
                      const std::atomic<bool>* cancel);
    // One bulk-in transfer: up to `length` bytes (a whole number of
    // 512-byte packets). Data travels as a USB pipe carries it: a message
    // longer than `length` fills the request and the rest waits for the next
    // one; a shorter one ends the transfer (short packet). Blocks until data
    // arrives, the time limit passes (0 = none), `cancel` becomes true (call
    // wakeReaders() after setting it), or the camera is unplugged.
    UsbResult bulkIn(uint8_t* buffer, size_t length, uint32_t timeoutMs, size_t* transferred,
                     const std::atomic<bool>* cancel);
    void wakeReaders();
    // USB device reset: drops queued IN data, keeps the protocol state.
    void usbReset();
    // Listener called with true on plug-in and false on unplug (on the thread
    // that caused it). Returns an id for removePlugListener.
    int addPlugListener(std::function<void(bool plugged)> listener);
    void removePlugListener(int id);

    // ---- control side ---------------------------------------------------
    // Back to the initial state: plugged, default parameters, no faults,
    // default timings, empty log.
    void reset();
    void unplug();
    void replug();

    // How the host may open the camera while it is plugged: as usual; refused
    // (no permission on its device node, as without the udev rule); or held
    // by another program, named by `holder` ("" for one that cannot be seen).
    // The simulated transport reads it at each attach; reset() restores
    // Granted.
    enum class HostAccess { Granted, Denied, Held };
    void setHostAccess(HostAccess access, std::string holder = {});
    HostAccess hostAccess(std::string* holder = nullptr) const;

    // Delay between the host's Open and the camera's CamStateNotice(1, 1).
    void setStateNoticeDelay(std::chrono::milliseconds delay);
    // Never answer this operation code.
    void stallOperation(uint16_t code, bool stall = true);
    // Answer this operation code with a non-zero status (0 clears).
    void failOperation(uint16_t code, uint16_t status);
    // Answer this operation code only after `delay`.
    void delayOperation(uint16_t code, std::chrono::milliseconds delay);
    // The bulk-out endpoint stops accepting data: writes time out.
    void stallBulkOut(bool stall);
    // Queue raw bytes as one bulk-in transfer (malformed packets included).
    void injectRaw(std::vector<uint8_t> bytes);
    // Send a camera request with the next camera-side transaction number.
    void sendRequest(uint16_t code, const std::vector<uint8_t>& payload);

    // Parameter table (current values).
    int32_t parameter(int index) const;
    void setParameter(int index, int32_t value);
    // Sets a parameter as the camera's own controls would and announces it
    // to the host with a CamStatChanged request (kind 1).
    void changeParameter(int index, int32_t value);

    Snapshot snapshot() const;

    // ---- live view, capture and files --------------------------------
    // Whether a half press reaches focus (default true).
    void setFocusSucceeds(bool inFocus);
    // Serve live-view frames from a loop of `count` frames per preview size,
    // rendered now with the current settings, so that a reader measures the
    // transport and not the renderer; 0 renders every frame again.
    void prerenderFrames(int count);
    // Answer at most `framesPerSecond` GetLVFrame per second (0 = no limit);
    // a request that comes sooner is answered when its time comes.
    void setFrameRateLimit(double framesPerSecond);
    // A visible change inside this rectangle (pixels of each rendered frame
    // or picture, clipped to it) until clearSceneChange().
    void setSceneChange(int x, int y, int width, int height);
    void clearSceneChange();
    // FileIn data per request (default 65536 bytes; at least 1).
    void setChunkSize(size_t bytes);
    // Sends a file through FileOpen/FileIn/FileClose after the files already
    // waiting, under exactly this name (any bytes: hostile names included).
    // Needs an open connection: false (and nothing sent) without one.
    bool sendFile(const std::string& name, std::vector<uint8_t> content);
    // The same with `size` bytes of filePatternByte(offset), produced chunk by
    // chunk (never held whole).
    bool sendFile(const std::string& name, uint64_t size);
    static uint8_t filePatternByte(uint64_t offset);
    // FileIn and FileClose quote this handle instead of the host's (nullopt:
    // the host's handle again).
    void setFileHandleOverride(std::optional<uint32_t> handle);
    // The (skip + 1)-th next message with this operation code stops after
    // `afterBytes` bytes and the camera is unplugged once the host has read
    // them: an unplug in the middle of a frame or a file.
    void unplugDuring(uint16_t code, size_t afterBytes, int skip = 0);

    // Every packet in both directions, in order.
    std::vector<LogEntry> log() const;
    void clearLog();
    // Waits until a logged packet satisfies `match` (true) or the limit passes.
    bool waitForPacket(const std::function<bool(const LogEntry&)>& match,
                       std::chrono::milliseconds limit) const;
    // Rule breaches seen in the host's traffic (bad reply, wrong order, ...).
    std::vector<std::string> protocolErrors() const;
    void clearProtocolErrors();
    // The log keeps at most `maxEntries` packets (oldest dropped) and the
    // first `maxBytes` bytes of each (defaults 50000 and 1024).
    void setLogLimits(size_t maxEntries, size_t maxBytes);

    Camera(const Camera&) = delete;
    Camera& operator=(const Camera&) = delete;

  private:
    Camera();
    ~Camera();
    struct Impl;
    Impl* impl_;
};

}  // namespace orkasim
