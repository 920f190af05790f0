#include "SessionJournal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <map>
#include <nlohmann/json.hpp>
#include <tuple>

#include "Messages.h"

namespace orka {

namespace {

// Keys in the order written: "time" and "event" first, for a reader of the file.
using json = nlohmann::ordered_json;

constexpr std::string_view kJournalStem = "PCOrka-journal-";
constexpr std::string_view kJournalExtension = ".jsonl";

// The status record's fields by name, in the record's order.
struct StatusField {
    const char* name;
    int32_t CameraStatusData::*member;
};
#define ORKA_FIELD(f) \
    { #f, &CameraStatusData::f }
constexpr StatusField kStatusFields[] = {
    ORKA_FIELD(imageSize),
    ORKA_FIELD(imageQuality),
    ORKA_FIELD(shutterSpeed),
    ORKA_FIELD(aperture),
    ORKA_FIELD(maxAperture),
    ORKA_FIELD(battery),
    ORKA_FIELD(param36),
    ORKA_FIELD(macro),
    ORKA_FIELD(flashActive),
    ORKA_FIELD(exposureProgram),
    ORKA_FIELD(flashMode),
    ORKA_FIELD(whiteBalance),
    ORKA_FIELD(driveMode),
    ORKA_FIELD(meteringMode),
    ORKA_FIELD(sensitivity),
    ORKA_FIELD(focusMode),
    ORKA_FIELD(exposureCompensation),
    ORKA_FIELD(bracketStep),
    ORKA_FIELD(param18),
    ORKA_FIELD(colorMode),
    ORKA_FIELD(sceneSelect),
    ORKA_FIELD(param28),
    ORKA_FIELD(flashCompensation),
    ORKA_FIELD(saturation),
    ORKA_FIELD(contrast),
    ORKA_FIELD(sharpness),
    ORKA_FIELD(colorFilter),
    ORKA_FIELD(bwFilter),
    ORKA_FIELD(warnings),
    ORKA_FIELD(flashCharge),
    ORKA_FIELD(focusDistance),
    ORKA_FIELD(param65),
    ORKA_FIELD(param53),
    ORKA_FIELD(flashControl),
    ORKA_FIELD(focusPointMode),
    ORKA_FIELD(param13),
    ORKA_FIELD(aperturePreview),
    ORKA_FIELD(shutterSound),
    ORKA_FIELD(infocusSound),
};
#undef ORKA_FIELD
static_assert(std::size(kStatusFields) == 39);

constexpr const char* kBackupResultNames[] = {"verified", "owed", "failed", "cancelled"};

// A reason for refusing a line; thrown inside the decoder only.
struct Unsound {
    std::string why;
};

std::string LocalTimeText(std::chrono::system_clock::time_point when) {
    const auto sinceEpoch = when.time_since_epoch();
    const time_t seconds =
        time_t(std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch).count());
    const int millis =
        int(std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count() -
            int64_t(seconds) * 1000);
    tm local{};
    localtime_r(&seconds, &local);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    char zone[8];
    std::strftime(zone, sizeof zone, "%z", &local);  // "+0200"
    char text[64];
    std::snprintf(text, sizeof text, "%s.%03d%.3s:%.2s", date, std::max(0, millis), zone,
                  zone + std::min<size_t>(3, std::strlen(zone)));
    return text;
}

// Dumps without ever throwing: bytes that are not UTF-8 (a folder name of
// another encoding) are replaced.
std::string Dump(const json& value) {
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

json StatusToJson(const CameraStatusData& status) {
    json object = json::object();
    for (const StatusField& f : kStatusFields)
        object[f.name] = status.*f.member;
    return object;
}

struct Encoder {
    json& j;
    void operator()(const JournalSessionStart& e) const {
        j["event"] = "session_start";
        j["program"] = e.program;
        j["folder"] = e.folder;
        j["prefix"] = e.prefix;
        j["backup_folder"] = e.backupFolder;
        j["command"] = e.command;
    }
    void operator()(const JournalSettings& e) const {
        j["event"] = "settings";
        j["backup_folder"] = e.backupFolder;
        j["command"] = e.command;
    }
    void operator()(const JournalShot& e) const {
        j["event"] = "shot";
        j["mode"] = e.mode;
        j["releases"] = e.releases;
        if (e.status)
            j["status"] = StatusToJson(*e.status);
    }
    void operator()(const JournalFile& e) const {
        j["event"] = "file";
        j["path"] = e.path;
        j["size"] = e.size;
        j["sha256"] = e.sha256;
        if (!e.companionOf.empty())
            j["companion_of"] = e.companionOf;
        j["complete"] = e.complete;
        if (e.inDocuments)
            j["in_documents"] = true;
        if (e.missing) {
            j["missing"] = true;
            j["reason"] = e.reason;
        }
        if (!e.resumedFrom.empty())
            j["resumed_from"] = e.resumedFrom;
    }
    void operator()(const JournalBackup& e) const {
        j["event"] = "backup";
        j["path"] = e.path;
        j["result"] = BackupResultName(e.result);
        if (e.result == BackupResult::Verified) {
            j["copy"] = e.copy;
            j["size"] = e.size;
            j["sha256"] = e.sha256;
        }
        if (!e.reason.empty())
            j["reason"] = e.reason;
    }
    void operator()(const JournalCommand& e) const {
        j["event"] = "command";
        j["path"] = e.path;
        j["for_copy"] = e.forCopy;
        if (e.exitCode)
            j["exit"] = *e.exitCode;
        if (e.signal != 0)
            j["signal"] = e.signal;
        if (e.killed)
            j["killed"] = true;
        if (!e.error.empty())
            j["error"] = e.error;
        j["stderr"] = e.stderrLines;
    }
    void operator()(const JournalRating& e) const {
        j["event"] = "rating";
        j["path"] = e.path;
        j["rating"] = e.rating;
    }
    void operator()(const JournalSessionClose& e) const {
        j["event"] = "session_close";
        j["copies_owed"] = e.copiesOwed;
    }
};

// ---- decoding: typed access that refuses what does not fit ----

const json* Field(const json& j, const char* name) {
    const auto it = j.find(name);
    return it == j.end() ? nullptr : &*it;
}

std::string Text(const json& j, const char* name, bool required = false) {
    const json* f = Field(j, name);
    if (f == nullptr) {
        if (required)
            throw Unsound{std::string("champ « ") + name + " » absent"};
        return {};
    }
    if (!f->is_string())
        throw Unsound{std::string("champ « ") + name + " » qui n'est pas un texte"};
    return f->get<std::string>();
}

bool Flag(const json& j, const char* name, bool otherwise) {
    const json* f = Field(j, name);
    if (f == nullptr)
        return otherwise;
    if (!f->is_boolean())
        throw Unsound{std::string("champ « ") + name + " » qui n'est pas vrai ou faux"};
    return f->get<bool>();
}

int64_t Integer(const json& j, const char* name, int64_t low, int64_t high, int64_t otherwise,
                bool required = false) {
    const json* f = Field(j, name);
    if (f == nullptr) {
        if (required)
            throw Unsound{std::string("champ « ") + name + " » absent"};
        return otherwise;
    }
    int64_t value;
    if (f->is_number_unsigned()) {
        const uint64_t u = f->get<uint64_t>();
        if (u > uint64_t(INT64_MAX))
            throw Unsound{std::string("champ « ") + name + " » hors limites"};
        value = int64_t(u);
    } else if (f->is_number_integer()) {
        value = f->get<int64_t>();
    } else {
        throw Unsound{std::string("champ « ") + name + " » qui n'est pas un nombre entier"};
    }
    if (value < low || value > high)
        throw Unsound{std::string("champ « ") + name + " » hors limites"};
    return value;
}

CameraStatusData StatusFromJson(const json& j) {
    if (!j.is_object())
        throw Unsound{"réglages qui ne sont pas un objet"};
    CameraStatusData status{};
    for (const StatusField& f : kStatusFields)
        status.*f.member = int32_t(Integer(j, f.name, INT32_MIN, INT32_MAX, 0));
    return status;
}

bool IsHexDigest(const std::string& s) {
    return s.empty() || (s.size() == 64 && std::all_of(s.begin(), s.end(), [](char c) {
                             return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
                         }));
}

std::optional<JournalEvent> DecodeEvent(const json& j, const std::string& kind) {
    if (kind == "session_start") {
        return JournalSessionStart{Text(j, "program"), Text(j, "folder"), Text(j, "prefix"),
                                   Text(j, "backup_folder"), Text(j, "command")};
    }
    if (kind == "settings")
        return JournalSettings{Text(j, "backup_folder"), Text(j, "command")};
    if (kind == "shot") {
        JournalShot e;
        e.mode = Text(j, "mode");
        e.releases = int(Integer(j, "releases", 0, INT32_MAX, 1));
        if (const json* s = Field(j, "status"))
            e.status = StatusFromJson(*s);
        return e;
    }
    if (kind == "file") {
        JournalFile e;
        e.path = Text(j, "path", true);
        e.size = uint64_t(Integer(j, "size", 0, INT64_MAX, 0));
        e.sha256 = Text(j, "sha256");
        if (!IsHexDigest(e.sha256))
            throw Unsound{"empreinte SHA-256 mal formée"};
        e.companionOf = Text(j, "companion_of");
        e.complete = Flag(j, "complete", true);
        e.inDocuments = Flag(j, "in_documents", false);
        e.missing = Flag(j, "missing", false);
        e.reason = Text(j, "reason");
        e.resumedFrom = Text(j, "resumed_from");
        return e;
    }
    if (kind == "backup") {
        JournalBackup e;
        e.path = Text(j, "path", true);
        const std::string result = Text(j, "result", true);
        const auto* name =
            std::find_if(std::begin(kBackupResultNames), std::end(kBackupResultNames),
                         [&](const char* n) { return result == n; });
        if (name == std::end(kBackupResultNames))
            throw Unsound{"résultat de copie inconnu"};
        e.result = BackupResult(name - std::begin(kBackupResultNames));
        e.copy = Text(j, "copy");
        e.size = uint64_t(Integer(j, "size", 0, INT64_MAX, 0));
        e.sha256 = Text(j, "sha256");
        if (!IsHexDigest(e.sha256))
            throw Unsound{"empreinte SHA-256 mal formée"};
        e.reason = Text(j, "reason");
        return e;
    }
    if (kind == "command") {
        JournalCommand e;
        e.path = Text(j, "path", true);
        e.forCopy = Flag(j, "for_copy", false);
        if (Field(j, "exit") != nullptr)
            e.exitCode = int(Integer(j, "exit", 0, 255, 0));
        e.signal = int(Integer(j, "signal", 0, 128, 0));
        e.killed = Flag(j, "killed", false);
        e.error = Text(j, "error");
        if (const json* lines = Field(j, "stderr")) {
            if (!lines->is_array())
                throw Unsound{"champ « stderr » qui n'est pas une liste"};
            for (const json& line : *lines) {
                if (!line.is_string())
                    throw Unsound{"ligne d'erreur qui n'est pas un texte"};
                e.stderrLines.push_back(line.get<std::string>());
            }
        }
        return e;
    }
    if (kind == "rating")
        return JournalRating{Text(j, "path", true),
                             int(Integer(j, "rating", INT32_MIN, INT32_MAX, 0, true))};
    if (kind == "session_close")
        return JournalSessionClose{uint64_t(Integer(j, "copies_owed", 0, INT64_MAX, 0))};
    return std::nullopt;
}

// "PCOrka-journal-AAAAMMJJ-HHMMSS[-N].jsonl" as (date, time, N); nullopt for
// any other name.
std::optional<std::tuple<std::string, std::string, long>> JournalNameKey(const std::string& name) {
    if (name.size() < kJournalStem.size() + 15 + kJournalExtension.size() ||
        name.compare(0, kJournalStem.size(), kJournalStem) != 0 ||
        !name.ends_with(kJournalExtension))
        return std::nullopt;
    const std::string middle = name.substr(
        kJournalStem.size(), name.size() - kJournalStem.size() - kJournalExtension.size());
    const auto digits = [](std::string_view s) {
        return !s.empty() &&
               std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (middle.size() < 15 || middle[8] != '-' || !digits(middle.substr(0, 8)) ||
        !digits(middle.substr(9, 6)))
        return std::nullopt;
    long index = 1;
    if (middle.size() > 15) {
        const std::string rest = middle.substr(15);
        if (rest[0] != '-' || rest.size() > 7 || !digits(rest.substr(1)))
            return std::nullopt;
        index = std::stol(rest.substr(1));
    }
    return std::make_tuple(middle.substr(0, 8), middle.substr(9, 6), index);
}

std::string Join(const std::string& directory, const std::string& name) {
    if (directory.empty() || directory.back() == '/')
        return directory + name;
    return directory + '/' + name;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

const char* BackupResultName(BackupResult result) {
    return kBackupResultNames[int(result)];
}

std::string EncodeJournalLine(const JournalLine& line) {
    json j = json::object();
    j["time"] = line.time;
    std::visit(Encoder{j}, line.event);
    return Dump(j);
}

std::optional<JournalLine> DecodeJournalLine(std::string_view text, std::string* problem,
                                             bool* ignored) {
    if (ignored != nullptr)
        *ignored = false;
    const auto refuse = [&](std::string why) -> std::optional<JournalLine> {
        if (problem != nullptr)
            *problem = std::move(why);
        return std::nullopt;
    };
    if (text.size() > kMaxJournalLine)
        return refuse("ligne trop longue");
    const json j = json::parse(text.begin(), text.end(), nullptr, false);
    if (j.is_discarded())
        return refuse("ligne qui n'est pas du JSON valable (coupée ou abîmée)");
    if (!j.is_object())
        return refuse("ligne qui n'est pas un objet JSON");
    try {
        JournalLine line;
        line.time = Text(j, "time", true);
        const std::string kind = Text(j, "event", true);
        std::optional<JournalEvent> event = DecodeEvent(j, kind);
        if (!event) {
            if (ignored != nullptr)
                *ignored = true;
            return refuse("événement inconnu « " + kind + " »");
        }
        line.event = std::move(*event);
        return line;
    } catch (const Unsound& u) {
        return refuse(u.why);
    } catch (const json::exception&) {
        return refuse("ligne mal formée");
    }
}

// ---- writing ----------------------------------------------------------------

std::string JournalFileName(std::chrono::system_clock::time_point start, int index) {
    const time_t seconds = std::chrono::system_clock::to_time_t(start);
    tm local{};
    localtime_r(&seconds, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string name = std::string(kJournalStem) + stamp;
    if (index > 1)
        name += "-" + std::to_string(index);
    return name + std::string(kJournalExtension);
}

std::unique_ptr<JournalWriter> JournalWriter::Create(const std::string& folder,
                                                     std::string* problem) {
    const auto now = std::chrono::system_clock::now();
    if (folder.empty()) {
        if (problem != nullptr)
            *problem = Message(QT_TRANSLATE_NOOP(
                "Safekeeping",
                "Le journal de la séance n'a pas de dossier des images où s'écrire."));
        return nullptr;
    }
    int error = 0;
    for (int index = 1; index <= 100; ++index) {
        const std::string path = Join(folder, JournalFileName(now, index));
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0666);
        if (fd >= 0)
            return std::unique_ptr<JournalWriter>(new JournalWriter(fd, path));
        error = errno;
        if (error != EEXIST)
            break;
    }
    if (problem != nullptr)
        *problem = Message(QT_TRANSLATE_NOOP("Safekeeping",
                                             "Le journal de la séance ne peut pas être créé dans "
                                             "« %1 » : %2."),
                           {folder, std::strerror(error)});
    return nullptr;
}

JournalWriter::JournalWriter(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

JournalWriter::~JournalWriter() {
    Flush();
    ::close(fd_);
}

bool JournalWriter::Append(const JournalEvent& event) {
    std::string line = EncodeJournalLine({LocalTimeText(std::chrono::system_clock::now()), event});
    line += '\n';
    std::lock_guard lock(mutex_);
    backlog_.push_back(std::move(line));
    return WriteBacklogLocked();
}

// Writes the held lines in order, each whole or not at all: a line the file
// took only in part is cut off again, so that a reader never meets half a
// line followed by more events.
bool JournalWriter::WriteBacklogLocked() {
    size_t done = 0;
    for (; done < backlog_.size(); ++done) {
        const std::string& line = backlog_[done];
        struct stat before {};
        if (::fstat(fd_, &before) != 0)
            break;
        size_t written = 0;
        int error = 0;
        while (written < line.size()) {
            const ssize_t n = ::write(fd_, line.data() + written, line.size() - written);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                error = n < 0 ? errno : ENOSPC;
                break;
            }
            written += size_t(n);
        }
        if (written == line.size())
            continue;
        if (written > 0 && ::ftruncate(fd_, before.st_size) != 0) {
            // The part written cannot be taken back: end it as a line of its
            // own, which the reader stops at, rather than glue the next event
            // to it.
            backlog_[done] = "\n" + line;
        }
        problem_ = Message(QT_TRANSLATE_NOOP("Safekeeping",
                                             "Le journal de la séance ne peut plus être écrit "
                                             "(%1) : les événements sont gardés et écrits dès que "
                                             "possible."),
                           {std::strerror(error)});
        break;
    }
    backlog_.erase(backlog_.begin(), backlog_.begin() + std::ptrdiff_t(done));
    if (backlog_.empty())
        problem_.clear();
    return backlog_.empty();
}

bool JournalWriter::Flush() {
    std::lock_guard lock(mutex_);
    const bool written = WriteBacklogLocked();
    return ::fdatasync(fd_) == 0 && written;
}

size_t JournalWriter::Backlog() const {
    std::lock_guard lock(mutex_);
    return backlog_.size();
}

std::string JournalWriter::Problem() const {
    std::lock_guard lock(mutex_);
    return problem_;
}

// ---- reading ----------------------------------------------------------------

JournalRead ParseJournal(std::string_view text) {
    JournalRead read;
    size_t number = 0;
    while (!text.empty()) {
        ++number;
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.find_first_not_of(" \t\r") == std::string_view::npos)
            continue;
        std::string problem;
        bool ignored = false;
        std::optional<JournalLine> decoded = DecodeJournalLine(line, &problem, &ignored);
        if (decoded) {
            read.lines.push_back(std::move(*decoded));
        } else if (ignored) {
            ++read.ignoredLines;
        } else {
            read.readToEnd = false;
            read.stoppedAtLine = number;
            read.problem = "ligne " + std::to_string(number) + " : " + problem;
            break;
        }
    }
    return read;
}

JournalRead ReadJournal(const std::string& path) {
    JournalRead read;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        read.readToEnd = false;
        read.problem = "le journal « " + path + " » ne peut pas être lu : " + std::strerror(errno);
        return read;
    }
    std::string text;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n < 0) {
                read.readToEnd = false;
                read.problem = std::string("lecture interrompue : ") + std::strerror(errno);
            }
            break;
        }
        text.append(buffer, size_t(n));
    }
    ::close(fd);
    JournalRead parsed = ParseJournal(text);
    if (!read.readToEnd && parsed.readToEnd) {
        parsed.readToEnd = false;
        parsed.problem = read.problem;
    }
    return parsed;
}

std::string LastJournalIn(const std::string& folder) {
    std::optional<std::tuple<std::string, std::string, long>> best;
    std::string bestName;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            const auto key = JournalNameKey(name);
            if (key && (!best || *key > *best)) {
                best = key;
                bestName = name;
            }
        }
        ::closedir(dir);
    }
    return best ? Join(folder, bestName) : std::string();
}

JournalSummary SummariseJournal(const JournalRead& read, const std::string& path) {
    JournalSummary summary;
    summary.journal = path;
    summary.readToEnd = read.readToEnd;
    summary.stoppedAtLine = read.stoppedAtLine;
    // The files whose copy is due, by path, in the order they were saved.
    std::vector<JournalFile> due;
    const auto settle = [&](const std::string& picture) {
        due.erase(std::remove_if(due.begin(), due.end(),
                                 [&](const JournalFile& f) { return f.path == picture; }),
                  due.end());
    };
    for (const JournalLine& line : read.lines) {
        const JournalEvent& e = line.event;
        if (const auto* start = std::get_if<JournalSessionStart>(&e)) {
            summary.folder = start->folder;
            summary.backupFolder = start->backupFolder;
        } else if (const auto* settings = std::get_if<JournalSettings>(&e)) {
            summary.backupFolder = settings->backupFolder;
        } else if (const auto* shot = std::get_if<JournalShot>(&e)) {
            summary.shots += uint64_t(std::max(0, shot->releases));
        } else if (const auto* file = std::get_if<JournalFile>(&e)) {
            if (file->resumedFrom.empty())
                summary.saved.push_back(*file);
            settle(file->path);
            if (!summary.backupFolder.empty())
                due.push_back(*file);
        } else if (const auto* backup = std::get_if<JournalBackup>(&e)) {
            if (backup->result == BackupResult::Verified) {
                ++summary.copiesVerified;
                settle(backup->path);
            } else if (backup->result == BackupResult::Failed) {
                ++summary.copiesFailed;
                settle(backup->path);
            } else if (backup->result == BackupResult::Cancelled) {
                settle(backup->path);
            }
        }
    }
    // A close marker counts only as the last event of a journal read whole.
    summary.cleanClose = read.readToEnd && !read.lines.empty() &&
                         std::holds_alternative<JournalSessionClose>(read.lines.back().event);
    summary.backupOwed = std::move(due);
    return summary;
}

std::optional<JournalSummary> SummariseLastJournal(const std::string& folder) {
    const std::string path = LastJournalIn(folder);
    if (path.empty())
        return std::nullopt;
    return SummariseJournal(ReadJournal(path), path);
}

std::string JournalSummary::Text() const {
    std::string text;
    const std::string name = BaseName(journal);
    if (!cleanClose)
        text = Message(QT_TRANSLATE_NOOP("Safekeeping",
                                         "La séance précédente ne s'est pas terminée normalement "
                                         "(journal « %1 »). "),
                       {name});
    else
        text = Message(QT_TRANSLATE_NOOP(
                           "Safekeeping",
                           "La séance précédente (journal « %1 ») a laissé des copies à faire. "),
                       {name});
    text += Count(saved.size(), QT_TRANSLATE_NOOP("Safekeeping", "fichier enregistré y est noté"),
                  QT_TRANSLATE_NOOP("Safekeeping", "fichiers enregistrés y sont notés"));
    if (!backupOwed.empty())
        text += Message(
            QT_TRANSLATE_NOOP("Safekeeping", " ; %1 dans « %2 »"),
            {Count(
                 backupOwed.size(),
                 QT_TRANSLATE_NOOP("Safekeeping",
                                   "copie de sécurité reste à faire : elle va être faite"),
                 QT_TRANSLATE_NOOP("Safekeeping",
                                   "copies de sécurité restent à faire : elles vont être faites")),
             backupFolder});
    text += ".";
    if (!readToEnd)
        text += Message(QT_TRANSLATE_NOOP("Safekeeping",
                                          " Le journal n'a pu être lu que jusqu'à sa ligne %1 "
                                          "(ligne coupée ou abîmée)."),
                        {std::to_string(stoppedAtLine)});
    return text;
}

}  // namespace orka
