// Received image files: the extension a camera file name gives, temporary
// files, and placing a finished file under the next free running number.
//
// Pure and thread-agnostic: no library state, no locks. The caller owns the
// save settings and the number string and serialises access to them. Nothing
// here changes the process's current directory or any other process-wide
// setting, so the receive thread can run it while other threads use
// relative paths.
#ifndef FOTOLIEN_FILES_H
#define FOTOLIEN_FILES_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fotolien.h"

namespace fotolien::files {

// Texts of 260 bytes or more (camera file names, save directory, prefix)
// do not fit the fixed records of the interface and are refused.
inline constexpr std::size_t kMaxText = 260;
// At most this many letters and digits are kept after the extension's dot.
inline constexpr std::size_t kMaxExtensionChars = 15;

// The extension a saved file takes from the camera's file name: from its
// last "." to the end, the dot kept, then only ASCII letters and digits
// (at most kMaxExtensionChars of them). A name without "." has none. The
// result can never contain "/" or "..", so the camera cannot influence the
// directory a file is written to.
std::string extensionOf(std::string_view cameraName);

// A temporary file for one incoming transfer, open for writing.
struct TempFile {
    int fd = -1;
    std::string directory;  // with its trailing '/'
    std::string name;       // bare name, "VQZ" + six unique characters
    std::string path() const { return directory + name; }
};

// Creates a new, empty, exclusively owned temporary file in $TMPDIR (else
// /tmp) with the prefix "VQZ", mode 0600, close-on-exec. nullopt (errno
// set) when it cannot be created.
std::optional<TempFile> createTempFile();

// Writes all of data to fd, resuming after short writes and EINTR.
bool writeAll(int fd, const void* data, std::size_t length);

// The checks SetSaveFileInformation makes before storing new settings:
// both texts present and shorter than kMaxText bytes, and a prefix without
// '/' (a prefix names files, it must not lead into another directory).
bool validSaveSettings(const char* directory, const char* prefix);

// The next number for prefix in directory, from listing it: the files whose
// name is the prefix, up to five characters and any extension (or none) are
// read as numbers; the largest M gives M + 1 as five digits, or, once M
// reaches 99999, "99999~" + (largest N of the prefix + "99999~N" files) + 1.
// Names are compared byte for byte (the filesystem is case-sensitive).
// nullopt when the directory cannot be listed.
struct NumberChoice {
    std::string number;  // "00013" or "99999~5"
    bool exhausted = false;
};
std::optional<NumberChoice> nextNumber(const std::string& directory, std::string_view prefix);

// The user's documents folder: XDG_DOCUMENTS_DIR from user-dirs.dirs in
// $XDG_CONFIG_HOME (else $HOME/.config), else $HOME/Documents. Empty when
// there is no home directory. The folder is not created here.
std::string documentsDirectory();

// One finished transfer to be saved.
struct SaveRequest {
    std::string tempDirectory;    // as TempFile::directory, trailing '/'
    std::string tempName;         // as TempFile::name; the file is closed
    std::string targetDirectory;  // as given to SetSaveFileInformation
    std::string prefix;
    std::string extension;          // from extensionOf()
    std::int32_t imageQuality = 0;  // quality code of the capture
    // The transfer did not arrive whole (a write failed, or it was cut
    // off): the file is kept under its number with kPartialMark before the
    // extension, a name no complete picture has.
    bool partial = false;
};

// Marks the name of a file that did not arrive whole: "P00001.partiel.JPG".
inline constexpr std::string_view kPartialMark = ".partiel";

// Where the file ended up; mirrors SavedFileInfo.
struct SaveResult {
    std::string directory;  // target as given, documents folder, or the temp directory
    std::string fileName;
    bool inDocumentsFolder = false;
    bool numberingExhausted = false;
    bool saved = false;  // false: both folders failed, the temporary file stays
};

// Saves a received file: picks the next number in the target directory
// (".thm" files, and ".qrw" files when the quality code is 6, reuse
// numberString, the number of the file saved before them) and moves the
// temporary file to target + '/' + prefix + number + extension. A name that
// already exists is never overwritten: the number is chosen again, so two
// savers racing for one name each end up with their own. When the target
// cannot take the file, the documents folder (created if needed) is tried
// the same way; when that fails too, the temporary file is left in place
// and named by the result (a partial one renamed with kPartialMark after its
// name). numberString is updated to the number used.
SaveResult saveReceivedFile(const SaveRequest& request, std::string& numberString);

// Copies a result into the interface record, truncating each text to its
// field and always NUL-terminating.
void fillSavedFileInfo(const SaveResult& result, SavedFileInfo& info);

}  // namespace fotolien::files

#endif
