// The pictures of a session, as the library saves them.
//
// The library reports only the last file it saved (SavedFileInfo), and the
// window or a script looks at that record now and then: between two looks
// several files may land (a bracketing series, a raw file and its ".thm",
// files of a disconnect). SessionPictures turns the records it is shown into
// every file saved, once each, in the order they were saved:
//  - a record that differs from the last one names a new file;
//  - the files of the target folder whose names the library's numbering
//    could have given (prefix, number, optional ".partiel", extension) and
//    that were neither there at the start nor noted since are found by a
//    sweep of the folder, which every new record triggers;
//  - a ".thm" file is the thumbnail of the raw picture with the same number
//    (its companion), not a picture of its own; a raw file shows the JPEG of
//    its number when there is one, else its ".thm";
//  - a file named NAME.partiel.EXT was cut off and is kept as it arrived.
//
// Plain C++ without Qt: the window and orkactl share it. Not thread-safe:
// one owner calls it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fotolien.h"

namespace orka {

// One file the library saved.
struct SavedFile {
    std::string path;       // directory + '/' + name
    std::string directory;  // as the library reported it (or the folder swept)
    std::string name;
    // The picture this file accompanies (a ".thm" beside its raw file), as a
    // path; empty for a picture of its own.
    std::string companionOf;
    bool complete = true;  // false: cut off, kept as NAME.partiel.EXT
    // The chosen folder could not take the file: it went to the documents
    // folder.
    bool inDocuments = false;
    // The prefix's five-digit numbers ran out: the name carries "99999~N".
    bool numberingExhausted = false;
    // Found by the sweep of the folder, not named by a record.
    bool foundBySweep = false;

    bool IsPicture() const { return companionOf.empty(); }
};

// The parts of a name the library's numbering gives: prefix + number
// ("00013" or "99999~5") + optional ".partiel" + extension.
struct NumberedName {
    std::string number;
    std::string extension;  // with its dot, as written
    bool partial = false;
};
std::optional<NumberedName> ParseNumberedName(const std::string& name, const std::string& prefix);

// Extension tests, without regard to case.
bool IsThumbnailFile(const std::string& name);  // ".thm"
bool IsRawFile(const std::string& name);        // ".qrw"
bool IsJpegFile(const std::string& name);       // ".jpg", ".jpeg"

class SessionPictures {
  public:
    // Lists the plain names in a folder; empty when it cannot be listed.
    using ListFolder = std::function<std::vector<std::string>(const std::string& directory)>;
    // Lists the real folder.
    static std::vector<std::string> ListFolderOnDisk(const std::string& directory);

    explicit SessionPictures(ListFolder list = ListFolderOnDisk);

    // Where the library saves from now on (as given to
    // SetSaveFileInformation). The numbered files already there are not part
    // of the session.
    void SetTarget(const std::string& directory, const std::string& prefix);

    // The library's record of its last saved file: the files not noted yet,
    // oldest first (the sweep's finds, then the file the record names).
    // Nothing when the record is empty or the same as last time.
    std::vector<SavedFile> Note(const SavedFileInfo& info);
    // The numbered files of the target folder that were neither there at
    // SetTarget nor noted since (a file saved between two looks).
    std::vector<SavedFile> Sweep();

    // Every file noted, oldest first.
    const std::vector<SavedFile>& Files() const { return files_; }
    const SavedFile* Find(const std::string& path) const;
    // The file that shows picture `path`: itself; for a raw file, the JPEG
    // of the same number if the session has one, else its ".thm"; empty when
    // a raw picture has neither yet.
    std::string ShownFile(const std::string& path) const;

  private:
    // Adds a file not noted yet; false when it is known already.
    bool Add(SavedFile file, std::vector<SavedFile>& out);
    std::string CompanionTarget(const std::string& directory, const std::string& name) const;

    ListFolder list_;
    std::string directory_;
    std::string prefix_;
    std::set<std::string> before_;  // numbered names in the target at SetTarget
    std::set<std::string> known_;   // paths noted
    std::vector<SavedFile> files_;
    SavedFileInfo last_{};  // the record last noted, compared as bytes
};

}  // namespace orka
