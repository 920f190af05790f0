// Reception of the camera's image files on the receive thread: FileOpen
// creates a temporary file, FileIn appends to it, FileClose places it in the
// target folder under the next free number and lowers the waiting-file
// count. Also the save settings and the record of the last saved file.
//
// Everything here lives in the connection it is handed (connection.h gives
// the lock rule of each field): openFile, appendToFile and closeFile run on
// the receive thread; the save settings and the saved-file record are
// shared with the caller's thread under the connection's `mutex`, never
// held during file I/O.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "fotolien.h"

namespace fotolien {
struct Connection;
}

namespace fotolien::transfer {

// Creates the temporary file for the camera's file `cameraName`; the handle
// the camera quotes back, or nullopt when the file is refused (a name of 260
// characters or more, too many files open at once, no temporary file). A
// refused file will not come: the waiting-file count is lowered for it.
std::optional<uint32_t> openFile(Connection& c, const std::string& cameraName);

// Appends `data` to the file of `handle`; false (nothing done) for a handle
// the library did not hand out, or when the data could not be written (then,
// and for every later chunk, the file is saved as a partial one).
bool appendToFile(Connection& c, uint32_t handle, std::span<const uint8_t> data);

// Finishes the file of `handle`: saves it (as a partial one if a write or
// the close failed) and lowers the waiting-file count;
// false (nothing done) for a handle the library did not hand out.
bool closeFile(Connection& c, uint32_t handle);

// Saves the files of transfers cut off with the connection as partial ones
// (nothing the camera sent is deleted, and none passes for a whole picture).
// Once the receive thread has been joined.
void abandonOpenFiles(Connection& c);

// SetSaveFileInformation: false, keeping the previous settings, for a
// missing or overlong text or a prefix leading into another folder.
bool setSaveSettings(Connection& c, const char* directory, const char* prefix);

// The record of the last saved file.
void savedFileInfo(Connection& c, SavedFileInfo& info);
// Empties it (both texts and both flags).
void clearSavedFileInfo(Connection& c);

}  // namespace fotolien::transfer
