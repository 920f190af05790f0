// Reception of the camera's image files on the receive thread: FileOpen
// creates a temporary file, FileIn appends to it, FileClose places it in the
// target folder under the next free number and lowers the waiting-file count.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace fotolien::transfer {

// Creates the temporary file for the camera's file `cameraName`; the handle
// the camera quotes back, or nullopt when the file is refused.
std::optional<uint32_t> openFile(const std::string& cameraName);

// Appends `data` to the file of `handle`; false (nothing done) for a handle
// the library did not hand out.
bool appendToFile(uint32_t handle, std::span<const uint8_t> data);

// Finishes the file of `handle`: saves it and lowers the waiting-file count;
// false (nothing done) for a handle the library did not hand out.
bool closeFile(uint32_t handle);

// Empties the record of the last saved file (both texts and both flags).
void clearSavedFileInfo();

}  // namespace fotolien::transfer
