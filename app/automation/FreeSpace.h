// Free space for pictures: how many more fit in a folder, from the space
// statvfs reports and the size the last pictures of the same kind took.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>

#include "fotolien.h"

namespace orka {

// Below this many pictures the caller warns.
inline constexpr int64_t kFewPicturesLeft = 50;
// Kept free beside the pictures (the journal, the system's own needs).
inline constexpr uint64_t kSpaceReserve = 16ull << 20;

// What a picture's size depends on: quality code, size code, colour mode.
struct ShotKind {
    int32_t quality = 5;
    int32_t size = 0;
    int32_t colorMode = 0;
    auto operator<=>(const ShotKind&) const = default;
};
ShotKind ShotKindOf(const CameraStatusData& status);

// A guess for a kind never measured: the camera's biggest files of that
// quality at that size.
uint64_t DefaultBytesPerPicture(const ShotKind& kind);

struct FolderSpace {
    bool known = false;  // statvfs answered
    uint64_t freeBytes = 0;
    int64_t picturesThatFit = 0;  // after kSpaceReserve
};

// Not thread-safe: one owner calls it (Safekeeping holds it under its lock).
class FreeSpace {
  public:
    // Bytes an unprivileged user may still write in the folder's filesystem.
    using FreeBytes = std::function<std::optional<uint64_t>(const std::string& folder)>;
    static std::optional<uint64_t> FreeBytesOnDisk(const std::string& folder);

    explicit FreeSpace(FreeBytes freeBytes = FreeBytesOnDisk);

    // A shot asked for (`releases` pictures of `kind`); the files noted with
    // its number count for it.
    uint64_t NoteShot(const ShotKind& kind, int releases);
    void NoteFile(uint64_t shot, uint64_t bytes);

    // Bytes one picture of this kind takes: the mean of its last shots (the
    // newest left out while its files may still be coming, unless it is the
    // only one), else DefaultBytesPerPicture.
    uint64_t BytesPerPicture(const ShotKind& kind) const;
    FolderSpace Measure(const std::string& folder, const ShotKind& kind) const;

  private:
    struct Shot {
        ShotKind kind;
        int releases = 1;
        uint64_t bytes = 0;
    };
    static constexpr size_t kShotsKept = 12;

    FreeBytes freeBytes_;
    uint64_t next_ = 1;
    std::map<uint64_t, Shot> shots_;  // the last kShotsKept shots, by number
};

}  // namespace orka
