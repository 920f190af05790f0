#include "transfer.h"

namespace fotolien::transfer {

// Files are refused until the transfer is built.
std::optional<uint32_t> openFile(const std::string&) {
    return std::nullopt;
}

bool appendToFile(uint32_t, std::span<const uint8_t>) {
    return false;
}

bool closeFile(uint32_t) {
    return false;
}

void clearSavedFileInfo() {}

}  // namespace fotolien::transfer
