#include "FreeSpace.h"

#include <sys/statvfs.h>

#include <algorithm>

namespace orka {

ShotKind ShotKindOf(const CameraStatusData& status) {
    return {status.imageQuality, status.imageSize, status.colorMode};
}

uint64_t DefaultBytesPerPicture(const ShotKind& kind) {
    constexpr uint64_t MiB = 1ull << 20;
    // Pixels of each size code against the full 3264 x 2448 frame, in
    // thousandths.
    uint64_t share;
    switch (kind.size) {
        case 8:
            share = 889;
            break;  // 3264 x 2176
        case 7:
            share = 615;
            break;  // 2560 x 1920
        case 6:
            share = 406;
            break;  // 2080 x 1560
        case 1:
            share = 240;
            break;  // 1600 x 1200
        case 3:
            share = 38;
            break;  // 640 x 480
        default:
            share = 1000;
            break;
    }
    const uint64_t raw = 12 * MiB;  // the full mosaic, whatever the size
    const uint64_t thumbnail = 64 << 10;
    const auto scaled = [&](uint64_t full) { return full * share / 1000 + thumbnail; };
    switch (kind.quality) {
        case 0:
            return raw + thumbnail;
        case 1:
            return scaled(23 * MiB);
        case 6:
            return raw + scaled(5 * MiB);
        case 5:
            return scaled(5 * MiB);
        case 2:
            return scaled(3 * MiB);
        case 3:
            return scaled(2 * MiB);
        default:
            return raw + scaled(23 * MiB);
    }
}

std::optional<uint64_t> FreeSpace::FreeBytesOnDisk(const std::string& folder) {
    struct statvfs fs {};
    if (folder.empty() || ::statvfs(folder.c_str(), &fs) != 0)
        return std::nullopt;
    return uint64_t(fs.f_bavail) * uint64_t(fs.f_frsize);
}

FreeSpace::FreeSpace(FreeBytes freeBytes) : freeBytes_(std::move(freeBytes)) {}

uint64_t FreeSpace::NoteShot(const ShotKind& kind, int releases) {
    const uint64_t number = next_++;
    shots_[number] = Shot{kind, releases < 1 ? 1 : releases, 0};
    while (shots_.size() > kShotsKept)
        shots_.erase(shots_.begin());
    return number;
}

void FreeSpace::NoteFile(uint64_t shot, uint64_t bytes) {
    const auto it = shots_.find(shot);
    if (it != shots_.end())
        it->second.bytes += bytes;
}

uint64_t FreeSpace::BytesPerPicture(const ShotKind& kind) const {
    uint64_t bytes = 0;
    uint64_t pictures = 0;
    const Shot* newest = nullptr;
    for (const auto& [number, shot] : shots_) {
        if (shot.kind == kind && shot.bytes > 0) {
            bytes += shot.bytes;
            pictures += uint64_t(shot.releases);
            newest = &shot;
        }
    }
    if (newest != nullptr && pictures > uint64_t(newest->releases)) {
        bytes -= newest->bytes;
        pictures -= uint64_t(newest->releases);
    }
    return pictures > 0 ? std::max<uint64_t>(1, bytes / pictures) : DefaultBytesPerPicture(kind);
}

FolderSpace FreeSpace::Measure(const std::string& folder, const ShotKind& kind) const {
    FolderSpace space;
    const std::optional<uint64_t> free = freeBytes_ ? freeBytes_(folder) : std::nullopt;
    if (!free)
        return space;
    space.known = true;
    space.freeBytes = *free;
    space.picturesThatFit =
        *free > kSpaceReserve ? int64_t((*free - kSpaceReserve) / BytesPerPicture(kind)) : 0;
    return space;
}

}  // namespace orka
