#include "transfer.h"

#include <unistd.h>

#include <map>
#include <mutex>

#include "connection.h"
#include "files.h"
#include "translations.h"

namespace fotolien::transfer {

namespace {

// A hostile camera cannot make the library hold more files open than this.
constexpr size_t kMaxOpenTransfers = 8;

struct OpenTransfer {
    files::TempFile file;
    std::string extension;
    bool writeFailed = false;  // a chunk could not be written: the file is not whole
};

struct State {
    // Receive thread only (and abandonOpenFiles, after the thread was joined).
    std::map<uint32_t, OpenTransfer> open;
    uint32_t lastHandle = 0;

    // ---- Guarded by `mutex`; shared with the caller's thread.
    std::mutex mutex;
    std::string directory;  // save settings
    std::string prefix;
    SavedFileInfo saved{};
    // The number of the last saved file, reused by the files that share it.
    std::string numberString;
};

State& state() {
    static State* const instance = new State;
    return *instance;
}

// One file fewer to wait for: saved, or refused and so never coming.
void lowerWaitingCount() {
    Connection& c = connection();
    std::lock_guard lock(c.mutex);
    c.lowerWaitingFilesLocked(1);
}

uint32_t takeHandle(State& s) {
    do {
        ++s.lastHandle;
    } while (s.lastHandle == 0 || s.open.count(s.lastHandle) != 0);
    return s.lastHandle;
}

// Closes and saves the file of one transfer (`partial`: it did not arrive
// whole) and records where it went; one file fewer to wait for.
void finish(State& s, OpenTransfer&& transfer, bool partial) {
    const bool closed = ::close(transfer.file.fd) == 0;

    Connection& c = connection();
    files::SaveRequest request;
    request.tempDirectory = transfer.file.directory;
    request.tempName = transfer.file.name;
    request.extension = transfer.extension;
    request.partial = partial || transfer.writeFailed || !closed;
    {
        std::lock_guard lock(c.mutex);
        request.imageQuality = c.capture.quality;
    }
    std::string numberString;
    {
        std::lock_guard lock(s.mutex);
        request.targetDirectory = s.directory;
        request.prefix = s.prefix;
        numberString = s.numberString;
    }
    const files::SaveResult result = files::saveReceivedFile(request, numberString);
    {
        std::lock_guard lock(s.mutex);
        s.numberString = numberString;
        files::fillSavedFileInfo(result, s.saved);
    }
    lowerWaitingCount();
}

}  // namespace

std::optional<uint32_t> openFile(const std::string& cameraName) {
    State& s = state();
    std::optional<files::TempFile> file;
    if (cameraName.size() < files::kMaxText && s.open.size() < kMaxOpenTransfers) {
        file = files::createTempFile();
    }
    if (!file) {
        lowerWaitingCount();
        return std::nullopt;
    }
    const uint32_t handle = takeHandle(s);
    s.open.emplace(handle, OpenTransfer{std::move(*file), files::extensionOf(cameraName)});
    return handle;
}

bool appendToFile(uint32_t handle, std::span<const uint8_t> data) {
    State& s = state();
    const auto it = s.open.find(handle);
    if (it == s.open.end()) {
        return false;
    }
    OpenTransfer& transfer = it->second;
    // After one failed write nothing more is appended: later chunks would
    // land after a gap and pass the file off as whole.
    if (transfer.writeFailed || !files::writeAll(transfer.file.fd, data.data(), data.size())) {
        transfer.writeFailed = true;
        return false;
    }
    return true;
}

bool closeFile(uint32_t handle) {
    State& s = state();
    const auto it = s.open.find(handle);
    if (it == s.open.end()) {
        return false;
    }
    OpenTransfer transfer = std::move(it->second);
    s.open.erase(it);
    finish(s, std::move(transfer), false);
    return true;
}

void abandonOpenFiles() {
    State& s = state();
    std::map<uint32_t, OpenTransfer> cutOff;
    cutOff.swap(s.open);
    for (auto& [handle, transfer] : cutOff) {
        finish(s, std::move(transfer), true);
    }
}

bool setSaveSettings(const char* directory, const char* prefix) {
    if (!files::validSaveSettings(directory, prefix)) {
        return false;
    }
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.directory = directory;
    s.prefix = prefix;
    s.saved.inDocumentsFolder = 0;
    s.saved.numberingExhausted = 0;
    return true;
}

void savedFileInfo(SavedFileInfo& info) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    info = s.saved;
}

void clearSavedFileInfo() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.saved = SavedFileInfo{};
}

}  // namespace fotolien::transfer
