#include "SessionPictures.h"

#include <dirent.h>

#include <algorithm>
#include <cstring>
#include <tuple>

namespace orka {

namespace {

constexpr std::string_view kPartial = ".partiel";
constexpr std::string_view kExhausted = "99999~";

bool EndsWithNoCase(const std::string& name, std::string_view tail) {
    if (name.size() < tail.size())
        return false;
    return std::equal(tail.begin(), tail.end(), name.end() - std::ptrdiff_t(tail.size()),
                      [](char a, char b) {
                          const auto lower = [](char c) {
                              return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
                          };
                          return lower(a) == lower(b);
                      });
}

bool AllDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Join(const std::string& directory, const std::string& name) {
    if (directory.empty() || directory.back() == '/')
        return directory + name;
    return directory + '/' + name;
}

// The text of a fixed field, up to its first NUL or its end.
std::string FieldText(const char* field, size_t size) {
    return std::string(field, strnlen(field, size));
}

// The name without its ".partiel" mark and extension: what the files of one
// number share.
std::string NumberBase(const std::string& name) {
    std::string base = name.substr(0, name.rfind('.'));
    if (base.size() >= kPartial.size() &&
        base.compare(base.size() - kPartial.size(), kPartial.size(), kPartial) == 0)
        base.resize(base.size() - kPartial.size());
    return base;
}

// Sweep order: by number as the library counts (five digits before the
// "99999~N" forms), the files of one number in name order with ".thm" last.
auto SweepKey(const std::string& name, const NumberedName& parts) {
    const bool exhausted = parts.number.compare(0, kExhausted.size(), kExhausted) == 0;
    const std::string digits = exhausted ? parts.number.substr(kExhausted.size()) : parts.number;
    return std::make_tuple(exhausted, digits.size(), digits, IsThumbnailFile(name), name);
}

}  // namespace

std::optional<NumberedName> ParseNumberedName(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot < prefix.size())
        return std::nullopt;
    NumberedName parts;
    parts.extension = name.substr(dot);
    std::string number = name.substr(prefix.size(), dot - prefix.size());
    if (number.size() > kPartial.size() &&
        number.compare(number.size() - kPartial.size(), kPartial.size(), kPartial) == 0) {
        parts.partial = true;
        number.resize(number.size() - kPartial.size());
    }
    const bool fiveDigits = number.size() == 5 && AllDigits(number);
    const bool extended = number.size() > kExhausted.size() &&
                          number.compare(0, kExhausted.size(), kExhausted) == 0 &&
                          AllDigits(std::string_view(number).substr(kExhausted.size()));
    if (!fiveDigits && !extended)
        return std::nullopt;
    parts.number = std::move(number);
    return parts;
}

bool IsThumbnailFile(const std::string& name) {
    return EndsWithNoCase(name, ".thm");
}
bool IsRawFile(const std::string& name) {
    return EndsWithNoCase(name, ".qrw");
}
bool IsJpegFile(const std::string& name) {
    return EndsWithNoCase(name, ".jpg") || EndsWithNoCase(name, ".jpeg");
}

std::vector<std::string> SessionPictures::ListFolderOnDisk(const std::string& directory) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(directory.c_str())) {
        while (const dirent* entry = ::readdir(dir))
            if (entry->d_name[0] != '.')
                names.emplace_back(entry->d_name);
        ::closedir(dir);
    }
    return names;
}

SessionPictures::SessionPictures(ListFolder list) : list_(std::move(list)) {}

void SessionPictures::SetTarget(const std::string& directory, const std::string& prefix) {
    if (directory == directory_ && prefix == prefix_)
        return;
    directory_ = directory;
    prefix_ = prefix;
    before_.clear();
    if (directory_.empty())
        return;
    for (const std::string& name : list_(directory_))
        if (ParseNumberedName(name, prefix_))
            before_.insert(name);
}

std::vector<SavedFile> SessionPictures::Note(const SavedFileInfo& info) {
    std::vector<SavedFile> out;
    if (info.fileName[0] == '\0' || std::memcmp(&info, &last_, sizeof info) == 0)
        return out;
    last_ = info;

    SavedFile file;
    file.directory = FieldText(info.directory, sizeof info.directory);
    file.name = FieldText(info.fileName, sizeof info.fileName);
    file.path = Join(file.directory, file.name);
    file.inDocuments = info.inDocumentsFolder != 0;
    file.numberingExhausted = info.numberingExhausted != 0;
    // Whatever landed before this file comes first; the file itself is
    // reported as the record names it.
    const bool fresh = known_.insert(file.path).second;
    out = Sweep();
    if (fresh) {
        known_.erase(file.path);
        Add(std::move(file), out);
    }
    return out;
}

std::vector<SavedFile> SessionPictures::Sweep() {
    std::vector<SavedFile> out;
    if (directory_.empty())
        return out;
    std::vector<std::pair<NumberedName, std::string>> found;
    for (std::string& name : list_(directory_)) {
        // The sidecars the review writes beside the pictures carry their
        // numbers but are not pictures.
        if (EndsWithNoCase(name, ".xmp"))
            continue;
        auto parts = ParseNumberedName(name, prefix_);
        if (parts && before_.count(name) == 0 && known_.count(Join(directory_, name)) == 0)
            found.emplace_back(std::move(*parts), std::move(name));
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return SweepKey(a.second, a.first) < SweepKey(b.second, b.first);
    });
    for (auto& [parts, name] : found) {
        SavedFile file;
        file.directory = directory_;
        file.name = name;
        file.path = Join(directory_, name);
        file.numberingExhausted = parts.number.compare(0, kExhausted.size(), kExhausted) == 0;
        file.foundBySweep = true;
        Add(std::move(file), out);
    }
    return out;
}

bool SessionPictures::Add(SavedFile file, std::vector<SavedFile>& out) {
    if (!known_.insert(file.path).second)
        return false;
    file.complete = file.name.find(std::string(kPartial) + '.') == std::string::npos;
    if (IsThumbnailFile(file.name))
        file.companionOf = CompanionTarget(file.directory, file.name);
    files_.push_back(file);
    out.push_back(std::move(file));
    return true;
}

// The raw picture of a ".thm" file: the last picture of the session with its
// number in its folder (a raw file if there is one). When none was noted
// (the raw file was cut off and kept elsewhere), the ".thm" is a picture.
std::string SessionPictures::CompanionTarget(const std::string& directory,
                                             const std::string& name) const {
    const std::string base = NumberBase(name);
    const SavedFile* match = nullptr;
    for (const SavedFile& f : files_) {
        if (f.directory != directory || !f.IsPicture() || NumberBase(f.name) != base)
            continue;
        if (match == nullptr || IsRawFile(f.name) || !IsRawFile(match->name))
            match = &f;
    }
    return match ? match->path : std::string();
}

const SavedFile* SessionPictures::Find(const std::string& path) const {
    for (const SavedFile& f : files_)
        if (f.path == path)
            return &f;
    return nullptr;
}

std::string SessionPictures::ShownFile(const std::string& path) const {
    const SavedFile* picture = Find(path);
    if (picture == nullptr || !IsRawFile(picture->name))
        return path;
    const std::string base = NumberBase(picture->name);
    std::string thumbnail;
    for (const SavedFile& f : files_) {
        if (f.directory != picture->directory || NumberBase(f.name) != base)
            continue;
        if (IsJpegFile(f.name) && f.complete)
            return f.path;
        if (f.companionOf == path)
            thumbnail = f.path;
    }
    return thumbnail;
}

}  // namespace orka
