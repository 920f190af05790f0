// The library's single camera connection: everything shared by the caller's
// thread (the exports) and the receive thread, in one object, with the lock
// rule of each field beside it.
//
// Lock order: commandMutex before mutex. Nobody holds `mutex` across a USB
// transfer or a file operation.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "files.h"
#include "fotolien.h"
#include "packets.h"
#include "translations.h"

namespace fotolien {

using Clock = std::chrono::steady_clock;

// Completion and success flag of one command's response.
struct ResponseFlags {
    bool completed = false;
    bool succeeded = false;
};

// One entry of the parameter table: the current value and the two auxiliary
// values the camera also reports.
struct Parameter {
    int32_t value = 0;
    int32_t aux1 = 0;
    int32_t aux2 = 0;
};

// The last live-view frame or after-view image: the received payload, whose
// bytes from `offset` on are the picture.
struct StoredPicture {
    ReceivedBytes payload;
    size_t offset = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint32_t size = 0;
    bool ready = false;  // set at receipt, cleared when a caller takes the info

    const uint8_t* bytes() const { return payload.data() + offset; }
    void forget() { *this = StoredPicture{}; }
};

// What CaptureImage records for the files and the after-view exchange.
struct CaptureRecord {
    int32_t quality = 0;     // parameter 4 at the moment of capture
    int32_t colorMode = 0;   // parameter 29
    int32_t seconds = 0;     // the CaptureImage argument
    int32_t shutter = 0;     // parameter 8 when the command was written
    uint32_t number = 0;     // command number of the Capture command
    bool discarded = false;  // AfterViewConfirmation(0): its files will not come
};

enum class PressState { Released, Pressed };

// A camera file being received: its temporary file and the extension the
// saved file takes.
struct OpenTransfer {
    files::TempFile file;
    std::string extension;
    bool writeFailed = false;  // a chunk could not be written: the file is not whole
};

struct Connection {
    // ---- Written by the caller's thread only while no receive thread runs
    // (OpenCamera before it starts it, teardown after joining it), `device`
    // also under `mutex`; the receive thread is handed the device when it
    // starts and reads the identifiers.
    void* device = nullptr;
    int32_t vendorId = 0;
    int32_t productId = 0;
    // Started by OpenCamera, joined by teardown; caller's thread only.
    std::thread receiver;

    // Held only across the write of a command, so that one command at a
    // time reaches the bus. Replies are written without it.
    std::mutex commandMutex;

    // ---- Guarded by `mutex`. Every change somebody may wait for is
    // followed by changed.notify_all().
    std::mutex mutex;
    std::condition_variable changed;

    uint32_t nextCommand = 0;  // last command number handed out
    uint32_t serving = 1;      // the command number allowed onto the wire
    uint32_t outstanding = 0;  // commands written and camera requests received, not yet dispatched
    std::array<ResponseFlags, kCommandCount> responses{};

    bool stop = false;             // asks the receive thread to end; no read starts once set
    bool reading = false;          // the receive thread is inside a read of the bulk-in pipe
    bool closeInProgress = false;  // Close was answered with success
    bool linkLost = false;         // camera gone, or it ended the session: no exchange can finish

    int32_t waitingFiles = 0;  // files the camera is still expected to send; never below 0
    uint16_t cameraState = 5;  // last value of CamStateNotice
    bool liveViewReady = true;

    PressState press = PressState::Released;
    int32_t pressPoint[2] = {};    // from the last S1On answered with status 0
    int32_t ffpPoint[2] = {};      // from the last SetFFPPos answered with status 0
    int32_t fdmPoint[2] = {};      // from the last SetFDMPos answered with status 0
    uint16_t presetGains[4] = {};  // d1, d2, t1, t2 from GetPresetWBGain
    uint16_t pointGains[3] = {};   // P1, P2, P3 from GetPointWBGain

    std::array<Parameter, kParameterCount> parameters{};
    StoredPicture liveFrame;
    StoredPicture afterView;
    CaptureRecord capture;

    // Save settings (SetSaveFileInformation), the record of the last saved
    // file, and the number of that file, which the files sharing it reuse.
    // They outlive connections.
    std::string saveDirectory;
    std::string savePrefix;
    SavedFileInfo saved{};
    std::string numberString;

    // ---- Receive thread only (transfer.cpp), and the caller's thread once
    // the receive thread has been joined: the files being received, by the
    // handle the camera quotes back. Handles run on across connections.
    std::map<uint32_t, OpenTransfer> openFiles;
    uint32_t lastFileHandle = 0;

    // ---- Caller's thread only (the exports are called from one thread at
    // a time); atomic so that a caller switching threads stays defined.
    std::atomic<bool> controlMode{false};
    std::atomic<bool> capturing{false};
    std::atomic<bool> intervalMode{false};
    std::atomic<bool> liveViewStarted{false};

    // ---- Helpers; the `Locked` ones need `mutex` held.
    void forgetPicturesLocked() {
        liveFrame.forget();
        afterView.forget();
    }
    // The camera has gone (or ended the session): the receive thread stops,
    // no file will come, and every wait ends.
    void markLinkLostLocked() {
        stop = true;
        linkLost = true;
        waitingFiles = 0;
        changed.notify_all();
    }
    // A file that will not come (saved, refused, discarded, unsolicited)
    // never takes the count below 0, so a later capture's files still count.
    void lowerWaitingFilesLocked(int32_t n) {
        waitingFiles = n >= waitingFiles ? 0 : waitingFiles - n;
        changed.notify_all();
    }
    ResponseFlags& responseLocked(uint16_t code) { return responses[code - op::kFirstCommand]; }
    // A connection exists and can still exchange packets.
    bool usableLocked() const { return device != nullptr && !linkLost; }
    ParameterValues parameterValuesLocked() const {
        ParameterValues v{};
        for (int i = 0; i < kParameterCount; ++i) {
            v[i] = parameters[i].value;
        }
        return v;
    }
};

// The one connection of the library (never destroyed: a receive thread may
// still run when the process exits). The exports reach it here; the layers
// below them (commands aside) are handed it.
Connection& connection();

}  // namespace fotolien
