#include "transfer.h"

#include <unistd.h>

#include <mutex>

#include "connection.h"
#include "files.h"

namespace fotolien::transfer {

namespace {

// A hostile camera cannot make the library hold more files open than this.
constexpr size_t kMaxOpenTransfers = 8;

uint32_t takeHandle(Connection& c) {
    do {
        ++c.lastFileHandle;
    } while (c.lastFileHandle == 0 || c.openFiles.count(c.lastFileHandle) != 0);
    return c.lastFileHandle;
}

// Closes and saves the file of one transfer (`partial`: it did not arrive
// whole) and records where it went; one file fewer to wait for.
void finish(Connection& c, OpenTransfer&& transfer, bool partial) {
    const bool closed = ::close(transfer.file.fd) == 0;

    files::SaveRequest request;
    request.tempDirectory = transfer.file.directory;
    request.tempName = transfer.file.name;
    request.extension = transfer.extension;
    request.partial = partial || transfer.writeFailed || !closed;
    std::string numberString;
    {
        std::lock_guard lock(c.mutex);
        request.imageQuality = c.capture.quality;
        request.targetDirectory = c.saveDirectory;
        request.prefix = c.savePrefix;
        numberString = c.numberString;
    }
    const files::SaveResult result = files::saveReceivedFile(request, numberString);
    std::lock_guard lock(c.mutex);
    c.numberString = numberString;
    files::fillSavedFileInfo(result, c.saved);
    c.lowerWaitingFilesLocked(1);
}

}  // namespace

std::optional<uint32_t> openFile(Connection& c, const std::string& cameraName) {
    std::optional<files::TempFile> file;
    if (cameraName.size() < files::kMaxText && c.openFiles.size() < kMaxOpenTransfers) {
        file = files::createTempFile();
    }
    if (!file) {
        // Refused, so never coming.
        std::lock_guard lock(c.mutex);
        c.lowerWaitingFilesLocked(1);
        return std::nullopt;
    }
    const uint32_t handle = takeHandle(c);
    c.openFiles.emplace(handle, OpenTransfer{std::move(*file), files::extensionOf(cameraName)});
    return handle;
}

bool appendToFile(Connection& c, uint32_t handle, std::span<const uint8_t> data) {
    const auto it = c.openFiles.find(handle);
    if (it == c.openFiles.end()) {
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

bool closeFile(Connection& c, uint32_t handle) {
    const auto it = c.openFiles.find(handle);
    if (it == c.openFiles.end()) {
        return false;
    }
    OpenTransfer transfer = std::move(it->second);
    c.openFiles.erase(it);
    finish(c, std::move(transfer), false);
    return true;
}

void abandonOpenFiles(Connection& c) {
    std::map<uint32_t, OpenTransfer> cutOff;
    cutOff.swap(c.openFiles);
    for (auto& [handle, transfer] : cutOff) {
        finish(c, std::move(transfer), true);
    }
}

bool setSaveSettings(Connection& c, const char* directory, const char* prefix) {
    if (!files::validSaveSettings(directory, prefix)) {
        return false;
    }
    std::lock_guard lock(c.mutex);
    c.saveDirectory = directory;
    c.savePrefix = prefix;
    c.saved.inDocumentsFolder = 0;
    c.saved.numberingExhausted = 0;
    return true;
}

void savedFileInfo(Connection& c, SavedFileInfo& info) {
    std::lock_guard lock(c.mutex);
    info = c.saved;
}

void clearSavedFileInfo(Connection& c) {
    std::lock_guard lock(c.mutex);
    c.saved = SavedFileInfo{};
}

}  // namespace fotolien::transfer
