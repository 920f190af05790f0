#include "files.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

namespace fotolien::files {

namespace {

// Numbers are handled as one ordinal: 1..99999 are the five-digit numbers,
// 99999 + k is the extended form "99999~k".
constexpr std::int64_t kLastFiveDigit = 99999;
// Numbers read from names saturate here, so a hostile name cannot overflow.
constexpr std::int64_t kNumberCeiling = 999'999'999;
// A directory is listed again at most this many times when the name it gave
// was taken meanwhile; beyond that the directory is treated as unusable.
constexpr int kMaxAttempts = 32;
constexpr std::string_view kExtendedMark = "99999~";

bool isAsciiAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

// Leading decimal digits of text, 0 if none, saturating at kNumberCeiling.
std::int64_t leadingNumber(std::string_view text) {
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        value = std::min(kNumberCeiling, value * 10 + (c - '0'));
    }
    return value;
}

std::string formatNumber(std::int64_t ordinal) {
    if (ordinal <= kLastFiveDigit) {
        char text[8];
        std::snprintf(text, sizeof text, "%05d", static_cast<int>(ordinal));
        return text;
    }
    return std::string(kExtendedMark) + std::to_string(ordinal - kLastFiveDigit);
}

std::int64_t ordinalOf(std::string_view number) {
    if (number.starts_with(kExtendedMark)) {
        return kLastFiveDigit + leadingNumber(number.substr(kExtendedMark.size()));
    }
    return leadingNumber(number);
}

// The numbering listing. The five-digit rule takes the prefix followed by at
// most five characters before the first dot or the end of the name (in the
// wildcard family "P?????.*" comes from, a "?" facing a dot or the end of the
// name matches nothing), so "P123.jpg" counts as 123 and "P000123.jpg" does
// not count. The extended rule takes every name starting with the prefix and
// "99999~". Only the leading digits are read in both cases.
std::optional<std::int64_t> nextOrdinal(const std::string& directory, std::string_view prefix) {
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr)
        return std::nullopt;
    std::int64_t highest = 0;
    std::int64_t highestExtended = 0;
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name == "." || name == ".." || !name.starts_with(prefix))
            continue;
        std::string_view rest = name.substr(prefix.size());
        if (rest.substr(0, rest.find('.')).size() <= 5) {
            highest = std::max(highest, leadingNumber(rest));
        }
        if (rest.starts_with(kExtendedMark)) {
            highestExtended =
                std::max(highestExtended, leadingNumber(rest.substr(kExtendedMark.size())));
        }
    }
    ::closedir(dir);
    if (highest < kLastFiveDigit)
        return highest + 1;
    return kLastFiveDigit + highestExtended + 1;
}

// A ".thm" file, and a ".qrw" file of a capture in quality 6, belong to the
// file saved just before them and take its number.
bool sharesPreviousNumber(std::string_view extension, std::int32_t imageQuality) {
    return equalsNoCase(extension, ".thm") ||
           (equalsNoCase(extension, ".qrw") && imageQuality == 6);
}

mode_t currentUmask() {
    // umask() cannot be read without setting it, which would race with other
    // threads creating files; the kernel reports it here.
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("Umask:")) {
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8) & 0777);
        }
    }
    return 022;
}

std::string homeDirectory() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr) {
        return found->pw_dir;
    }
    return {};
}

// XDG_DOCUMENTS_DIR from a user-dirs.dirs file: a quoted value that starts
// with "$HOME/" or "/", backslash escaping the next character. Empty when the
// file has no usable entry (the last entry wins, as for the shell).
std::string documentsEntry(const std::string& file, const std::string& home) {
    std::ifstream in(file);
    std::string line;
    std::string found;
    while (std::getline(in, line)) {
        std::string_view text = line;
        auto skipBlanks = [&text] {
            while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
                text.remove_prefix(1);
        };
        skipBlanks();
        if (!text.starts_with("XDG_DOCUMENTS_DIR"))
            continue;
        text.remove_prefix(std::strlen("XDG_DOCUMENTS_DIR"));
        skipBlanks();
        if (!text.starts_with('='))
            continue;
        text.remove_prefix(1);
        skipBlanks();
        if (!text.starts_with('"'))
            continue;
        text.remove_prefix(1);
        std::string value;
        bool closed = false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '"') {
                closed = true;
                break;
            }
            if (text[i] == '\\' && i + 1 < text.size())
                ++i;
            value += text[i];
        }
        if (!closed)
            continue;
        if (value == "$HOME" || value.starts_with("$HOME/")) {
            found = home + value.substr(5);
        } else if (value.starts_with('/')) {
            found = value;
        }
    }
    return found;
}

// mkdir -p: every missing component is created; the path must end up a
// directory.
bool makeDirectories(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
    }
    if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
        return false;
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool copyData(int in, int out) {
    // copy_file_range keeps the bytes in the kernel; where the filesystems do
    // not support it, plain reads and writes continue from the same offsets.
    for (;;) {
        ssize_t copied = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
        if (copied == 0)
            return true;
        if (copied > 0)
            continue;
        if (errno == EINTR)
            continue;
        if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)
            break;
        return false;
    }
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (!writeAll(out, buffer.data(), static_cast<std::size_t>(got)))
            return false;
    }
}

enum class Placement { Done, Exists, Failed };

// Creates `to` exclusively and fills it from `from`; a partial copy is
// removed.
Placement copyExclusive(const std::string& from, const std::string& to) {
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return Placement::Failed;
    // O_EXCL also refuses a symbolic link planted under the name.
    int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0) {
        int error = errno;
        ::close(in);
        return error == EEXIST ? Placement::Exists : Placement::Failed;
    }
    bool ok = copyData(in, out) && ::fsync(out) == 0;
    ok = ::close(out) == 0 && ok;
    ::close(in);
    if (!ok) {
        ::unlink(to.c_str());
        return Placement::Failed;
    }
    return Placement::Done;
}

// Gives the temporary file the name `to` without ever replacing an existing
// file: a hard link where both are on one filesystem (no bytes copied), an
// exclusive copy otherwise. The temporary file is removed once placed.
Placement placeFile(const std::string& from, const std::string& to) {
    Placement placement = Placement::Done;
    if (::link(from.c_str(), to.c_str()) == 0) {
        // The temporary file was created private (0600); the saved picture
        // gets the permissions of any new file of the user, as a copy would.
        ::chmod(from.c_str(), 0666 & ~currentUmask());
    } else {
        const int error = errno;
        if (error == EEXIST)
            return Placement::Exists;
        // Other filesystem, or one without hard links.
        if (error != EXDEV && error != EPERM && error != EOPNOTSUPP && error != EMLINK) {
            return Placement::Failed;
        }
        placement = copyExclusive(from, to);
    }
    if (placement == Placement::Done)
        ::unlink(from.c_str());
    return placement;
}

// Steps of numbering and placement in one directory. On success fills the
// name and the numbering flag of result and updates numberString.
bool placeInDirectory(const SaveRequest& request, const std::string& directory, bool shared,
                      std::string& numberString, SaveResult& result) {
    if (directory.empty())
        return false;
    const std::string from = request.tempDirectory + request.tempName;
    const std::string base = directory.ends_with('/') ? directory : directory + '/';
    // Never reuse a number already found taken, even if the listing misses it.
    std::int64_t floor = 1;
    // With no previous number (first file since the library was loaded) a
    // sharing file is numbered like any other. Only a number this code
    // formatted is reused, so it cannot carry anything into the name.
    bool reuse =
        shared && !numberString.empty() && formatNumber(ordinalOf(numberString)) == numberString;
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        std::int64_t ordinal;
        if (reuse) {
            ordinal = ordinalOf(numberString);
            reuse = false;
        } else {
            std::optional<std::int64_t> listed = nextOrdinal(directory, request.prefix);
            if (!listed)
                return false;
            ordinal = std::max(*listed, floor);
        }
        const std::string number = formatNumber(ordinal);
        const std::string name = request.prefix + number +
                                 std::string(request.partial ? kPartialMark : "") +
                                 request.extension;
        switch (placeFile(from, base + name)) {
            case Placement::Done:
                numberString = number;
                result.directory = directory;
                result.fileName = name;
                result.numberingExhausted = ordinal > kLastFiveDigit;
                result.saved = true;
                return true;
            case Placement::Exists:
                floor = std::max(floor, ordinal + 1);
                break;
            case Placement::Failed:
                return false;
        }
    }
    return false;
}

}  // namespace

std::string extensionOf(std::string_view cameraName) {
    const std::size_t dot = cameraName.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    std::string extension = ".";
    for (char c : cameraName.substr(dot + 1)) {
        if (extension.size() > kMaxExtensionChars)
            break;
        if (isAsciiAlnum(c))
            extension += c;
    }
    return extension;
}

std::optional<TempFile> createTempFile() {
    const char* env = std::getenv("TMPDIR");
    std::string directory = env != nullptr && *env != '\0' ? env : "/tmp";
    while (directory.size() > 1 && directory.ends_with('/'))
        directory.pop_back();
    if (!directory.ends_with('/'))
        directory += '/';
    std::string pattern = directory + "VQZXXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    return TempFile{fd, directory, pattern.substr(directory.size())};
}

bool writeAll(int fd, const void* data, std::size_t length) {
    const char* bytes = static_cast<const char*>(data);
    while (length > 0) {
        const ssize_t written = ::write(fd, bytes, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

bool validSaveSettings(const char* directory, const char* prefix) {
    return directory != nullptr && prefix != nullptr && ::strnlen(directory, kMaxText) < kMaxText &&
           ::strnlen(prefix, kMaxText) < kMaxText && std::strchr(prefix, '/') == nullptr;
}

std::optional<NumberChoice> nextNumber(const std::string& directory, std::string_view prefix) {
    std::optional<std::int64_t> ordinal = nextOrdinal(directory, prefix);
    if (!ordinal)
        return std::nullopt;
    return NumberChoice{formatNumber(*ordinal), *ordinal > kLastFiveDigit};
}

std::string documentsDirectory() {
    const std::string home = homeDirectory();
    if (home.empty())
        return {};
    const char* configEnv = std::getenv("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is invalid and ignored.
    const std::string config =
        configEnv != nullptr && configEnv[0] == '/' ? configEnv : home + "/.config";
    std::string documents = documentsEntry(config + "/user-dirs.dirs", home);
    if (documents.empty())
        documents = home + "/Documents";
    while (documents.size() > 1 && documents.ends_with('/'))
        documents.pop_back();
    return documents;
}

SaveResult saveReceivedFile(const SaveRequest& request, std::string& numberString) {
    SaveResult result;
    // The prefix comes from the caller and the extension from extensionOf();
    // should either lead into another directory, nothing is placed at all.
    const bool namesSafe = request.prefix.find('/') == std::string::npos &&
                           request.extension.find('/') == std::string::npos;
    const bool shared = sharesPreviousNumber(request.extension, request.imageQuality);
    if (namesSafe &&
        placeInDirectory(request, request.targetDirectory, shared, numberString, result)) {
        return result;
    }
    result.inDocumentsFolder = true;
    const std::string documents = documentsDirectory();
    if (namesSafe && !documents.empty() && makeDirectories(documents) &&
        placeInDirectory(request, documents, shared, numberString, result)) {
        return result;
    }
    // Nothing the camera sent is deleted: the temporary file stays and the
    // result names it.
    std::string directory = request.tempDirectory;
    if (directory.size() > 1)
        directory.pop_back();
    result.directory = directory;
    result.fileName = request.tempName;
    if (request.partial) {
        const std::string marked = request.tempName + std::string(kPartialMark);
        const std::string from = request.tempDirectory + request.tempName;
        // Same folder, a name only this library's temporary files start with.
        if (::link(from.c_str(), (request.tempDirectory + marked).c_str()) == 0) {
            ::unlink(from.c_str());
            result.fileName = marked;
        }
    }
    result.numberingExhausted = false;
    result.saved = false;
    return result;
}

void fillSavedFileInfo(const SaveResult& result, SavedFileInfo& info) {
    info = SavedFileInfo{};
    auto copyText = [](char* field, std::size_t size, const std::string& text) {
        const std::size_t n = std::min(text.size(), size - 1);
        std::memcpy(field, text.data(), n);
        field[n] = '\0';
    };
    copyText(info.directory, sizeof info.directory, result.directory);
    copyText(info.fileName, sizeof info.fileName, result.fileName);
    info.inDocumentsFolder = result.inDocumentsFolder ? 1 : 0;
    info.numberingExhausted = result.numberingExhausted ? 1 : 0;
}

}  // namespace fotolien::files
