#include "Safekeeping.h"

#include <cstdio>
#include <cstring>

#include "FileDigest.h"
#include "Messages.h"

namespace orka {

namespace {

using Clock = std::chrono::steady_clock;

// "1 image", "12 images".
std::string Pictures(uint64_t n) {
    return Count(n, QT_TRANSLATE_NOOP("Safekeeping", "image"),
                 QT_TRANSLATE_NOOP("Safekeeping", "images"));
}

std::chrono::milliseconds Remaining(Clock::time_point deadline) {
    const auto left = deadline - Clock::now();
    return left.count() > 0 ? std::chrono::duration_cast<std::chrono::milliseconds>(left)
                            : std::chrono::milliseconds(0);
}

}  // namespace

std::string ShotModeName(int modeIndex) {
    static const char* const kNames[] = {"unique", "bracketing-0.3", "intervalometer",
                                         "event",  "bracketing-0.5", "self-timer",
                                         "video"};
    return modeIndex >= 0 && modeIndex < 7 ? kNames[modeIndex]
                                           : "mode-" + std::to_string(modeIndex);
}

Safekeeping::Safekeeping(SafekeepingSettings settings)
    : initial_(std::move(settings)),
      backupFolder_(initial_.backupFolder),
      command_(initial_.command),
      space_(initial_.freeBytes) {
    journal_ = JournalWriter::Create(initial_.folder, &journalProblem_);
    if (journal_)
        journalPath_ = journal_->Path();
    Journal(JournalSessionStart{initial_.program, initial_.folder, initial_.prefix,
                                initial_.backupFolder, initial_.command});
    if (!backupFolder_.empty())
        StartBackupLocked(backupFolder_);
    if (!command_.empty())
        runner_ = std::make_shared<PictureCommand>(
            command_, [this](const CommandResult& r) { OnCommand(r); }, initial_.commandLimit);
    intakeThread_ = std::thread([this] { IntakeLoop(); });
}

Safekeeping::~Safekeeping() {
    Close(std::chrono::seconds(2));
}

void Safekeeping::Journal(const JournalEvent& event) {
    if (journal_)
        journal_->Append(event);
}

void Safekeeping::StartBackupLocked(const std::string& folder) {
    BackupCopier::Options options;
    options.retryPause = initial_.backupRetryPause;
    copier_ = std::make_shared<BackupCopier>(
        folder, initial_.prefix, [this](const BackupReport& r) { OnBackup(r); }, options);
}

FileState* Safekeeping::StateLocked(const std::string& path) {
    const auto it = index_.find(path);
    return it == index_.end() ? nullptr : &files_[it->second];
}

ShotKind Safekeeping::LastKindLocked() const {
    return lastKind_.value_or(ShotKind{});
}

// ---- fed by the caller ----

void Safekeeping::ShotAsked(const std::string& mode, const CameraStatusData& status, int releases) {
    {
        std::lock_guard lock(mutex_);
        if (closed_)
            return;
        currentShot_ = space_.NoteShot(ShotKindOf(status), releases);
        lastKind_ = ShotKindOf(status);
        ChangedLocked();
    }
    Journal(JournalShot{mode, releases, status});
}

void Safekeeping::FilesSaved(const std::vector<SavedFile>& files) {
    std::lock_guard lock(mutex_);
    if (closed_)
        return;
    for (const SavedFile& file : files) {
        if (index_.count(file.path) != 0)
            continue;
        FileState state;
        state.path = file.path;
        state.complete = file.complete;
        state.companionOf = file.companionOf;
        state.mark = copier_ ? FileMark::Owed : FileMark::SavedOnce;
        index_[file.path] = files_.size();
        files_.push_back(std::move(state));
        intake_.push_back({file, currentShot_, {}});
    }
    intakeWake_.notify_all();
    ChangedLocked();
}

void Safekeeping::RatingChanged(const std::string& path, int rating) {
    {
        std::lock_guard lock(mutex_);
        if (closed_)
            return;
    }
    Journal(JournalRating{path, rating});
}

void Safekeeping::SetBackupFolder(const std::string& folder) {
    std::shared_ptr<BackupCopier> old;
    {
        std::lock_guard lock(mutex_);
        if (closed_ || folder == backupFolder_)
            return;
        old = std::move(copier_);
        backupFolder_ = folder;
        backupFailing_ = false;
        backupProblem_.clear();
    }
    // Outside the lock: the old worker may be reporting, which takes it.
    std::vector<BackupJob> owed = old ? old->Stop(folder.empty()) : std::vector<BackupJob>();
    old.reset();
    std::string command;
    {
        std::lock_guard lock(mutex_);
        command = command_;
    }
    Journal(JournalSettings{folder, command});
    std::lock_guard lock(mutex_);
    if (folder.empty() || closed_)
        return;
    StartBackupLocked(folder);
    for (BackupJob& job : owed)
        copier_->Enqueue(std::move(job));
    // The files saved while there was no backup folder are copied too.
    for (FileState& state : files_) {
        if (state.mark == FileMark::SavedOnce && !state.sha256.empty()) {
            state.mark = FileMark::Owed;
            copier_->Enqueue({state.path, state.sha256});
        }
    }
    ChangedLocked();
}

void Safekeeping::SetCommand(const std::string& command) {
    std::shared_ptr<PictureCommand> old;
    std::string backup;
    {
        std::lock_guard lock(mutex_);
        if (closed_ || command == command_)
            return;
        old = std::move(runner_);
        command_ = command;
        if (!command.empty())
            runner_ = std::make_shared<PictureCommand>(
                command, [this](const CommandResult& r) { OnCommand(r); }, initial_.commandLimit);
        commandFailing_ = false;
        commandText_.clear();
        backup = backupFolder_;
        ChangedLocked();
    }
    old.reset();  // outside the lock: its last report takes it
    Journal(JournalSettings{backup, command});
}

void Safekeeping::Resume(const JournalSummary& summary) {
    if (summary.backupOwed.empty())
        return;
    bool needFolder;
    {
        std::lock_guard lock(mutex_);
        needFolder = backupFolder_.empty();
    }
    if (needFolder)
        SetBackupFolder(summary.backupFolder);
    std::lock_guard lock(mutex_);
    if (closed_)
        return;
    for (const JournalFile& file : summary.backupOwed) {
        if (index_.count(file.path) != 0)
            continue;
        FileState state;
        state.path = file.path;
        state.complete = file.complete;
        state.companionOf = file.companionOf;
        state.size = file.size;
        state.sha256 = file.sha256;
        state.mark = FileMark::Owed;
        index_[file.path] = files_.size();
        files_.push_back(std::move(state));
        Intake item;
        item.file.path = file.path;
        item.resumed = file;
        item.resumed.resumedFrom = summary.journal.empty() ? "?" : summary.journal;
        intake_.push_back(std::move(item));
    }
    intakeWake_.notify_all();
    ChangedLocked();
}

void Safekeeping::RetryBackup() {
    std::shared_ptr<BackupCopier> copier;
    {
        std::lock_guard lock(mutex_);
        copier = copier_;
    }
    if (copier)
        copier->RetryNow();
}

// ---- the workers' side ----

void Safekeeping::IntakeLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        intakeWake_.wait(lock, [&] { return stopping_ || !intake_.empty(); });
        if (intake_.empty())
            break;  // stopping, everything taken in
        Intake item = std::move(intake_.front());
        intake_.pop_front();
        intakeBusy_ = true;
        lock.unlock();
        TakeIn(item);
        lock.lock();
        intakeBusy_ = false;
        if (intake_.empty())
            intakeIdle_.notify_all();
    }
    intakeIdle_.notify_all();
}

// Hashes a saved file, journals it, and hands it to the copy and the
// command. Runs on the intake thread.
void Safekeeping::TakeIn(const Intake& item) {
    JournalFile record = item.resumed;
    const bool resumed = !record.path.empty();
    if (!resumed) {
        const SavedFile& file = item.file;
        record.path = file.path;
        record.companionOf = file.companionOf;
        record.complete = file.complete;
        record.inDocuments = file.inDocuments;
        int error = 0;
        if (const std::optional<FileDigest> digest = DigestFile(file.path, &error)) {
            record.size = digest->size;
            record.sha256 = digest->sha256;
        } else {
            record.missing = true;
            record.reason = Message(
                QT_TRANSLATE_NOOP("Safekeeping", "Le fichier « %1 » ne peut pas être lu (%2)."),
                {file.name, std::strerror(error)});
        }
    }
    Journal(record);

    std::lock_guard lock(mutex_);
    FileState* state = StateLocked(record.path);
    if (state == nullptr)
        return;
    state->size = record.size;
    state->sha256 = record.sha256;
    if (record.missing) {
        state->mark = FileMark::Failed;
        state->reason = record.reason;
    } else {
        if (!resumed)
            space_.NoteFile(item.shot, record.size);
        if (copier_) {
            state->mark = FileMark::Owed;
            copier_->Enqueue({record.path, record.sha256});
        } else {
            state->mark = FileMark::SavedOnce;
        }
        if (runner_ && !resumed)
            runner_->Enqueue({record.path, false});
    }
    ChangedLocked();
}

void Safekeeping::OnBackup(const BackupReport& report) {
    JournalBackup event;
    event.path = report.job.source;
    event.reason = report.reason;
    switch (report.outcome) {
        case CopyOutcome::Verified:
            event.result = BackupResult::Verified;
            event.copy = report.copy;
            event.size = report.size;
            event.sha256 = report.sha256;
            break;
        case CopyOutcome::Owed:
            event.result = BackupResult::Owed;
            break;
        case CopyOutcome::Failed:
            event.result = BackupResult::Failed;
            break;
        case CopyOutcome::Cancelled:
            event.result = BackupResult::Cancelled;
            break;
    }
    Journal(event);

    std::lock_guard lock(mutex_);
    FileState* state = StateLocked(report.job.source);
    if (state != nullptr) {
        switch (report.outcome) {
            case CopyOutcome::Verified:
                state->mark = FileMark::SavedTwice;
                state->copy = report.copy;
                state->reason.clear();
                break;
            case CopyOutcome::Owed:
                state->mark = FileMark::Owed;
                state->reason = report.reason;
                break;
            case CopyOutcome::Failed:
                state->mark = FileMark::Failed;
                state->reason = report.reason;
                break;
            case CopyOutcome::Cancelled:
                state->mark = FileMark::SavedOnce;
                state->reason.clear();
                break;
        }
    }
    if (report.outcome == CopyOutcome::Verified) {
        backupFailing_ = false;
        backupProblem_.clear();
        if (runner_)
            runner_->Enqueue({report.copy, true});
    } else if (report.outcome == CopyOutcome::Owed) {
        backupFailing_ = true;
        backupProblem_ = report.reason;
    }
    ChangedLocked();
}

void Safekeeping::OnCommand(const CommandResult& result) {
    JournalCommand event;
    event.path = result.job.path;
    event.forCopy = result.job.forCopy;
    event.exitCode = result.exitCode;
    event.signal = result.signal;
    event.killed = result.killed;
    event.error = result.error;
    event.stderrLines = result.stderrLines;
    Journal(event);

    std::lock_guard lock(mutex_);
    commandFailing_ = !result.Succeeded();
    if (commandFailing_) {
        ++commandFailures_;
        commandText_ = result.Text();
    } else {
        commandText_.clear();
    }
    ChangedLocked();
}

// ---- checks ----

SpaceCheck Safekeeping::CheckShot(const CameraStatusData& status, int releases) const {
    std::lock_guard lock(mutex_);
    const ShotKind kind = ShotKindOf(status);
    const FolderSpace space = space_.Measure(initial_.folder, kind);
    SpaceCheck check;
    if (space.known && space.picturesThatFit < std::max(1, releases)) {
        check.allowed = false;
        check.message = Message(
            QT_TRANSLATE_NOOP("Safekeeping",
                              "Plus assez de place dans « %1 » : il reste %2 et une image en "
                              "demande environ %3. Libérez de la place ou choisissez un autre "
                              "dossier avant de déclencher."),
            {initial_.folder, Megabytes(space.freeBytes), Megabytes(space_.BytesPerPicture(kind))});
    }
    return check;
}

SpaceCheck Safekeeping::CheckRun(const CameraStatusData& status, int64_t pictures) const {
    std::lock_guard lock(mutex_);
    const ShotKind kind = ShotKindOf(status);
    SpaceCheck check;
    const FolderSpace space = space_.Measure(initial_.folder, kind);
    if (space.known && space.picturesThatFit < pictures) {
        check.allowed = false;
        check.message = Message(
            QT_TRANSLATE_NOOP("Safekeeping",
                              "La séquence de %1 ne tient pas dans « %2 » : il y a place pour "
                              "environ %3."),
            {Pictures(uint64_t(pictures)), initial_.folder,
             Pictures(uint64_t(space.picturesThatFit))});
    }
    if (!backupFolder_.empty()) {
        const FolderSpace backup = space_.Measure(backupFolder_, kind);
        if (backup.known && backup.picturesThatFit < pictures) {
            if (!check.message.empty())
                check.message += " ";
            check.message +=
                Message(QT_TRANSLATE_NOOP("Safekeeping",
                                          "Les copies de sécurité de la séquence ne tiendront "
                                          "pas dans « %1 » : place pour environ %2."),
                        {backupFolder_, Pictures(uint64_t(backup.picturesThatFit))});
        }
    }
    return check;
}

// ---- polled ----

uint64_t Safekeeping::Generation() const {
    std::lock_guard lock(mutex_);
    return generation_;
}

std::optional<FileState> Safekeeping::StateOf(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const auto it = index_.find(path);
    if (it == index_.end())
        return std::nullopt;
    return files_[it->second];
}

std::vector<std::string> Safekeeping::OwedCopies() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> owed;
    for (const FileState& f : files_)
        if (f.mark == FileMark::Owed)
            owed.push_back(f.path);
    return owed;
}

SafekeepingView Safekeeping::View() const {
    std::lock_guard lock(mutex_);
    SafekeepingView view;
    view.generation = generation_;
    view.files = files_;
    std::string lastFailure;
    for (const FileState& f : files_) {
        switch (f.mark) {
            case FileMark::SavedOnce:
                ++view.savedOnce;
                break;
            case FileMark::Owed:
                ++view.owed;
                break;
            case FileMark::SavedTwice:
                ++view.savedTwice;
                break;
            case FileMark::Failed:
                ++view.failed;
                lastFailure = f.reason;
                break;
        }
    }

    view.backupOn = !backupFolder_.empty();
    if (view.backupOn) {
        if (view.owed > 0 && backupFailing_) {
            view.backupText =
                backupProblem_ + " " +
                Count(view.owed, QT_TRANSLATE_NOOP("Safekeeping", "copie en attente."),
                      QT_TRANSLATE_NOOP("Safekeeping", "copies en attente."));
        } else if (view.owed > 0) {
            view.backupText =
                Message(QT_TRANSLATE_NOOP("Safekeeping", "Copie de sécurité en cours : %1"),
                        {Count(view.owed, QT_TRANSLATE_NOOP("Safekeeping", "fichier en attente."),
                               QT_TRANSLATE_NOOP("Safekeeping", "fichiers en attente."))});
        } else {
            view.backupText = Message(
                QT_TRANSLATE_NOOP("Safekeeping", "Copie de sécurité à jour : %1 dans « %2 »."),
                {Count(view.savedTwice, QT_TRANSLATE_NOOP("Safekeeping", "fichier en double"),
                       QT_TRANSLATE_NOOP("Safekeeping", "fichiers en double")),
                 backupFolder_});
        }
        view.backupFailing = (view.owed > 0 && backupFailing_) || view.failed > 0;
    }
    if (view.failed > 0) {
        if (!view.backupText.empty())
            view.backupText += " ";
        view.backupText +=
            Count(
                view.failed, QT_TRANSLATE_NOOP("Safekeeping", "fichier n'a pas sa copie : "),
                QT_TRANSLATE_NOOP("Safekeeping", "fichiers n'ont pas leur copie ; le dernier : ")) +
            lastFailure;
        view.backupFailing = true;
    }

    const auto now = Clock::now();
    if (now - spaceMeasured_ >= std::chrono::seconds(1)) {
        spaceMeasured_ = now;
        pictureSpace_ = space_.Measure(initial_.folder, LastKindLocked());
        backupSpace_ =
            view.backupOn ? space_.Measure(backupFolder_, LastKindLocked()) : FolderSpace{};
    }
    if (pictureSpace_.known) {
        view.picturesThatFit = pictureSpace_.picturesThatFit;
        view.spaceLow = pictureSpace_.picturesThatFit < kFewPicturesLeft;
        view.spaceText = Message(QT_TRANSLATE_NOOP("Safekeeping", "Place pour environ %1"),
                                 {Pictures(uint64_t(pictureSpace_.picturesThatFit))});
    }
    if (view.backupOn && backupSpace_.known) {
        view.backupPicturesThatFit = backupSpace_.picturesThatFit;
        view.spaceLow = view.spaceLow || backupSpace_.picturesThatFit < kFewPicturesLeft;
        const std::string fit = Pictures(uint64_t(backupSpace_.picturesThatFit));
        view.spaceText +=
            view.spaceText.empty()
                ? Message(QT_TRANSLATE_NOOP("Safekeeping", "Sauvegarde : place pour environ %1"),
                          {fit})
                : Message(QT_TRANSLATE_NOOP("Safekeeping", " (sauvegarde : %1)"), {fit});
    }
    if (!view.spaceText.empty())
        view.spaceText = view.spaceLow
                             ? Message(QT_TRANSLATE_NOOP("Safekeeping",
                                                         "Attention, bientôt plus de place : %1."),
                                       {view.spaceText})
                             : view.spaceText + ".";

    view.commandFailing = commandFailing_;
    view.commandFailures = commandFailures_;
    view.commandText = commandText_;

    view.journalPath = journalPath_;
    if (!journal_)
        view.journalText = journalProblem_;
    else
        view.journalText = journal_->Problem();
    return view;
}

// ---- the end ----

bool Safekeeping::WaitIdle(std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    for (;;) {
        std::shared_ptr<BackupCopier> copier;
        std::shared_ptr<PictureCommand> runner;
        {
            std::unique_lock lock(mutex_);
            if (!intakeIdle_.wait_for(lock, Remaining(deadline),
                                      [&] { return intake_.empty() && !intakeBusy_; }))
                return false;
            copier = copier_;
            runner = runner_;
        }
        if (copier && !copier->WaitIdle(Remaining(deadline)))
            return false;
        if (runner && !runner->WaitIdle(Remaining(deadline)))
            return false;
        // A copy made may have started a command, a command nothing new:
        // idle when a second look finds all three idle at once.
        std::lock_guard lock(mutex_);
        const bool intakeIdle = intake_.empty() && !intakeBusy_;
        if (intakeIdle && (!copier_ || copier_->WaitIdle(std::chrono::milliseconds(0))) &&
            (!runner_ || runner_->WaitIdle(std::chrono::milliseconds(0))))
            return true;
        if (Clock::now() >= deadline)
            return false;
    }
}

uint64_t Safekeeping::Close(std::chrono::milliseconds limit) {
    WaitIdle(limit);
    std::shared_ptr<BackupCopier> copier;
    std::shared_ptr<PictureCommand> runner;
    {
        std::lock_guard lock(mutex_);
        if (closed_)
            return 0;
        closed_ = true;
        stopping_ = true;
        intakeWake_.notify_all();
    }
    // The intake drains its queue: every file saved is journalled.
    if (intakeThread_.joinable())
        intakeThread_.join();
    // The copier first: its last copy may still start a command.
    {
        std::lock_guard lock(mutex_);
        copier = std::move(copier_);
    }
    if (copier)
        copier->Stop();
    copier.reset();
    {
        std::lock_guard lock(mutex_);
        runner = std::move(runner_);
    }
    runner.reset();  // ends a command still running
    uint64_t owed = 0;
    {
        std::lock_guard lock(mutex_);
        for (const FileState& f : files_)
            if (f.mark == FileMark::Owed)
                ++owed;
        ChangedLocked();
    }
    Journal(JournalSessionClose{owed});
    if (journal_)
        journal_->Flush();
    return owed;
}

}  // namespace orka
