// Inside of the simulated camera: the state behind orkasim::Camera and the
// procedures shared by its source files (USB side and control side in
// camera.cpp, the host's packets in host.cpp, the commands in commands.cpp,
// the camera's own requests in requests.cpp, live view in liveview.cpp,
// capture and file transfer in capture.cpp, the pictures in stills.cpp,
// half press and the focus motor in focus.cpp).
//
// Lock rules:
//  - `m` guards every field below that is not marked otherwise. Functions
//    named ...Locked require it held; they never call plug listeners and
//    never block.
//  - `plugMutex` guards the plug listeners and serialises plug changes; it is
//    taken before `m`, and listeners run with it held (so removing a listener
//    waits for a call in progress). A listener must not add or remove
//    listeners nor plug or unplug.
//  - The timer thread (`timers`) runs tasks without `m`; every task takes `m`
//    and checks `epoch` first, so work scheduled before an unplug, a reset or
//    the end of a session is dropped. Rendering (frames, pictures) runs on
//    that thread without `m`, from settings copied beforehand.
//  - `scene` has its own lock and may be used with or without `m`.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "orkasim.h"
#include "parameters.h"
#include "pipe.h"
#include "protocol.h"
#include "scene.h"
#include "scheduler.h"
#include "stills.h"

namespace orkasim {

using Millis = std::chrono::milliseconds;

constexpr size_t kDefaultLogEntries = 50000;
constexpr size_t kDefaultLogBytes = 1024;

// printf-style text for protocol errors.
std::string errorText(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

// A camera request waiting for the host's reply. `onReply` runs with `m`
// held and gets the reply's status (first 16 or, for FileOpen, 32 bits) and
// its whole payload.
struct PendingRequest {
    uint16_t code = 0;
    uint32_t transaction = 0;
    std::function<void(uint32_t status, const std::vector<uint8_t>& payload)> onReply;
};

// What a command handler decided: the status, the payload behind the status
// word, and follow-ups that start once the response is on its way.
struct Response {
    uint16_t status = wire::kStatusOk;
    std::vector<uint8_t> body;
    // Camera actions that follow the response (a state notice, a
    // LiveViewReady, the files of a capture); each runs with `m` held after
    // its delay, counted from the moment the response is queued.
    struct FollowUp {
        Millis delay;
        std::function<void()> action;
    };
    std::vector<FollowUp> followUps;
    // The connection ends once the response is queued (Close).
    bool endsSession = false;
    // Heavy payloads (frames, after-view pictures): produced on the timer
    // thread without `m` and appended to `body`; the response leaves no
    // earlier than `notBefore`.
    std::function<Bytes()> produce;
    Clock::time_point notBefore{};
};

// File transfer of one connection: one file at a time, each FileOpen,
// FileIn..., FileClose waiting for the host's reply before the next step.
struct Transfer {
    enum class Stage { Idle, Rendering, Opening, Sending, Closing };
    Stage stage = Stage::Idle;
    std::deque<CaptureRecord> captures;  // taken, files not rendered yet
    std::deque<OutgoingFile> files;      // ready to go
    std::optional<OutgoingFile> current;
    uint64_t offset = 0;        // bytes of `current` sent
    uint32_t handle = 0;        // the host's handle for `current`
    size_t renderingFiles = 0;  // files of the capture being rendered
};

// Protocol state of one connection (Open to Close, unplug or reset).
struct Session {
    bool open = false;
    bool ready = false;  // CamStateNotice(1, 1) has gone out
    bool liveView = false;
    int liveViewMode = 0;
    bool pressed = false;
    bool capturing = false;
    bool intervalMode = false;
    std::optional<CaptureRecord> capture;  // from Capture to TerminateCapture
    Transfer transfer;
    // The command received and not answered yet (one at a time).
    std::optional<std::pair<uint16_t, uint32_t>> inFlight;
    // Number the next command must carry (known once Open has been seen).
    std::optional<uint32_t> expectedCommand;
};

// Settings of the camera that live outside the parameter table; they
// survive a connection and go back to these values on reset().
struct Controls {
    int ffpX = 1632, ffpY = 1224;  // flexible focus point (camera frame)
    int fdmX = 1632, fdmY = 1224;  // manual-focus magnifier point
    bool spotFollowsFocusPoint = false;
    int focusAction = 0;    // 0 stopped, 1 farther, 2 nearer
    uint64_t focusRun = 0;  // advanced by every AdjFocusAction: ends older motor runs
    uint16_t customGainFirst = 0, customGainSecond = 0;  // 0 = never set
    std::optional<std::array<int, 6>> clock;             // year, month, day, hour, minute, second
    bool focusSucceeds = true;
    int bracketShot = 0;  // position in a bracketing series of three
    int nextPicture = 1;  // the camera's file number, 1..9999
    size_t chunkSize = 65536;
    std::optional<uint32_t> handleOverride;
    Millis liveViewReadyDelay{30};
    Millis fileDelay{10};  // from TerminateCapture to the first FileOpen
    Millis focusStep{50};  // focus motor: one step per period
};

// Live-view serving: pre-rendered loops and the rate limit.
struct LiveViewServing {
    std::array<std::vector<std::shared_ptr<const Bytes>>, 2> loops;  // per mode
    size_t nextFrame = 0;
    double maxFramesPerSecond = 0;
    Clock::time_point lastFrame{};
};

struct Counters {
    size_t filesSent = 0;
    size_t filesRefused = 0;
    size_t framesServed = 0;
};

// The next message with `code` is cut after `afterBytes` and the camera is
// unplugged when the host has read them (`skip` messages first go whole).
struct Cut {
    uint16_t code;
    size_t afterBytes;
    int skip;
};

struct Faults {
    std::set<uint16_t> stalled;
    std::map<uint16_t, uint16_t> failing;
    std::map<uint16_t, Millis> delayed;
    Millis stateNoticeDelay{300};
    bool bulkOutStalled = false;
    std::vector<Cut> cuts;
};

struct Camera::Impl {
    Impl() = default;

    // ---- state (guarded by m) ------------------------------------------
    mutable std::mutex m;
    std::condition_variable inCv;   // IN data queued, unplug, cancel
    std::condition_variable outCv;  // bulk-out stall released, unplug, cancel
    mutable std::condition_variable logCv;

    bool plugged = true;
    Camera::HostAccess hostAccess = Camera::HostAccess::Granted;
    std::string hostHolder;  // the program holding the camera, when Held
    uint64_t plugCount = 0;  // advanced by every unplug: wakes transfers in progress
    uint64_t epoch = 0;      // advanced by unplug, reset, Open and Close
    InPipe in;
    Faults faults;
    Session session;
    Controls controls;
    ParameterTable params;
    LiveViewServing liveView;
    Counters counters;
    Scene scene;           // own lock
    StillRenderer stills;  // timer thread only
    const Clock::time_point born = Clock::now();

    uint32_t lastRequestNumber = wire::kLastRequestNumber;  // camera-side numbering
    std::optional<uint32_t> lastReplyNumber;                // host-side numbering seen so far
    std::deque<PendingRequest> awaiting;
    // Requests of a session that has ended: their replies may still be on
    // the way and are accepted without a complaint.
    std::deque<PendingRequest> orphaned;
    std::vector<std::string> errors;

    std::deque<LogEntry> log;
    uint64_t logTotal = 0;  // entries ever logged (the deque holds the last ones)
    size_t logMaxEntries = kDefaultLogEntries;
    size_t logMaxBytes = kDefaultLogBytes;

    Scheduler timers;  // own lock; taken after m

    // ---- plug listeners (guarded by plugMutex) --------------------------
    std::mutex plugMutex;
    std::map<int, std::function<void(bool)>> listeners;
    int nextListenerId = 1;

    // ---- camera.cpp ---------------------------------------------------
    void logPacketLocked(Direction direction, const std::vector<uint8_t>& bytes);
    void errorLocked(std::string text);
    // Queues one message on the bulk-in pipe and logs it.
    void queueInLocked(std::vector<uint8_t> message);
    // Runs `action` with m held after `delay`, unless the epoch has moved on
    // or the camera was unplugged meanwhile. `work`, when given, runs first
    // on the timer thread without m (rendering).
    void laterLocked(Clock::duration delay, std::function<void()> action,
                     std::function<void()> work = {});
    // Drops the connection: session, pending replies, timers, IN data.
    void endSessionLocked();
    void resetLocked();
    void callListeners(bool plugged);  // requires plugMutex, not m

    // ---- host.cpp -------------------------------------------------------
    // One bulk-out transfer that reached the camera.
    void hostPacketLocked(const std::vector<uint8_t>& bytes);
    // A bulk-out transfer the stalled endpoint refused: the host has still
    // used up its number.
    void refusedPacketLocked(const uint8_t* data, size_t length);
    void commandLocked(uint16_t code, uint32_t transaction, const std::vector<uint8_t>& payload);
    void replyLocked(uint16_t code, uint32_t transaction, const std::vector<uint8_t>& payload);
    void sendResponseLocked(uint16_t code, uint32_t transaction, Response response);

    // ---- commands.cpp -----------------------------------------------------
    // Carries out one command and returns the camera's response.
    Response executeLocked(uint16_t code, uint32_t transaction,
                           const std::vector<uint8_t>& payload);
    // The response a refusing camera sends: the status and zeros in place of
    // the fields the operation's response normally carries.
    std::vector<uint8_t> refusalBodyLocked(uint16_t code) const;
    Response refuseLocked(uint16_t code, uint16_t status) const;
    Response setCamStatLocked(const std::vector<uint8_t>& payload);
    Response allCamStatLocked() const;
    // A parameter changed by the camera itself, announced to the host.
    void changeParameterLocked(int index, int32_t value);

    // ---- liveview.cpp -----------------------------------------------------
    // The scene as the current parameters show it, and the scene's clock.
    SceneSettings sceneSettingsLocked() const;
    double sceneSecondsLocked() const;
    Response liveViewFrameLocked();
    Response afterViewImageLocked();

    // ---- capture.cpp ------------------------------------------------------
    Response captureLocked(uint32_t transaction, const std::vector<uint8_t>& payload);
    Response terminateCaptureLocked();
    Response afterViewLocked(const std::vector<uint8_t>& payload);
    // Moves the file transfer on when it is idle.
    void pumpFilesLocked();
    void fileOpenedLocked(uint32_t status, const Bytes& reply);
    void sendChunkLocked();
    void closeFileLocked();
    size_t filesWaitingLocked() const;

    // ---- focus.cpp ----------------------------------------------------------
    Response halfPressLocked(uint16_t press);
    Response focusActionLocked(uint16_t action);
    void focusStepLocked();

    // ---- requests.cpp -----------------------------------------------------
    // Sends a camera request with the next camera-side number; when the
    // request expects a reply, `onReply` runs when it arrives.
    void requestLocked(uint16_t code, const std::vector<uint8_t>& payload,
                       std::function<void(uint32_t, const std::vector<uint8_t>&)> onReply = {});
    void stateNoticeLocked(uint16_t value, uint16_t marker);
    void announceParametersLocked(const std::vector<int>& indexes);
};

}  // namespace orkasim
