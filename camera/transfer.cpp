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

uint32_t takeHandle(State& s) {
    do {
        ++s.lastHandle;
    } while (s.lastHandle == 0 || s.open.count(s.lastHandle) != 0);
    return s.lastHandle;
}

}  // namespace

std::optional<uint32_t> openFile(const std::string& cameraName) {
    State& s = state();
    if (cameraName.size() >= files::kMaxText || s.open.size() >= kMaxOpenTransfers) {
        return std::nullopt;
    }
    std::optional<files::TempFile> file = files::createTempFile();
    if (!file) {
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
    return files::writeAll(it->second.file.fd, data.data(), data.size());
}

bool closeFile(uint32_t handle) {
    State& s = state();
    const auto it = s.open.find(handle);
    if (it == s.open.end()) {
        return false;
    }
    OpenTransfer transfer = std::move(it->second);
    s.open.erase(it);
    ::close(transfer.file.fd);

    Connection& c = connection();
    files::SaveRequest request;
    request.tempDirectory = transfer.file.directory;
    request.tempName = transfer.file.name;
    request.extension = transfer.extension;
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
    std::lock_guard lock(c.mutex);
    --c.waitingFiles;
    c.changed.notify_all();
    return true;
}

void abandonOpenFiles() {
    State& s = state();
    for (auto& [handle, transfer] : s.open) {
        ::close(transfer.file.fd);
    }
    s.open.clear();
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
