#include "SessionSafety.h"

#include <QCoreApplication>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

#include "CameraLink.h"
#include "EventPump.h"
#include "MouseFilter.h"
#include "Schedule.h"
#include "SessionStrip.h"
#include "ShootingModes.h"
#include "StatusPanel.h"
#include "ui_OrkaCapture.h"

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

std::string Bytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The command line of the settings tab, as the safekeeping runs it.
std::string CommandOf(const Ui::TBase& ui) {
    return ui.CommandeImage->text().trimmed().toStdString();
}

// How often the marks and the texts are brought up to date.
constexpr int kRefreshMs = 500;

}  // namespace

TSessionSafety::TSessionSafety(Ui::TBase& ui, const TCameraLink& link, TEventPump& pump,
                               TSessionStrip* strip)
    : ui_(ui), link_(link), pump_(pump), strip_(strip), timer_(new QTimer(this)) {
    // The backup folder is chosen in a dialog, never typed.
    auto* click =
        new TMouseFilter(this, [this](QWidget*, TMouseFilter::Kind kind, const QMouseEvent& event) {
            if (kind == TMouseFilter::Kind::Press && event.button() == Qt::LeftButton) {
                QTimer::singleShot(0, this, &TSessionSafety::DossierSauvegardeClick);
                return true;
            }
            return false;
        });
    click->Watch(ui_.DossierSauvegarde);
    connect(ui_.SansSauvegarde, &QToolButton::clicked, this, &TSessionSafety::SansSauvegardeClick);
    connect(ui_.CommandeImage, &QLineEdit::editingFinished, this,
            &TSessionSafety::CommandeImageChange);
    connect(timer_, &QTimer::timeout, this, &TSessionSafety::Refresh);
    timer_->start(kRefreshMs);
}

TSessionSafety::~TSessionSafety() {
    Close(std::chrono::seconds(2));
}

void TSessionSafety::RecoverLastSession() {
    const QString folder = ui_.NomRep->text();
    if (folder.isEmpty())
        return;
    std::optional<orka::JournalSummary> summary = orka::SummariseLastJournal(Bytes(folder));
    // A session that ended abruptly before saving anything lost nothing.
    if (!summary || !summary->NeedsRecovery() ||
        (summary->saved.empty() && summary->backupOwed.empty() && summary->readToEnd))
        return;
    const QString found = Text(summary->Text());
    pump_.Status().Say(orka::status::Recovery, found);
    // Once the copies it left are made, the same line says so.
    if (!summary->backupOwed.empty())
        recoveryText_ = found;
    // The pictures of that session are taken over by a safekeeping of this
    // folder, made now: its owed copies are finished in the background.
    folder_ = folder;
    prefix_ = ui_.PrefixImg->text();
    targetSince_ = {};
    if (orka::Safekeeping* keeping = Ensure())
        keeping->Resume(*summary);
}

void TSessionSafety::TargetChanged(const QString& folder, const QString& prefix) {
    if (folder == folder_ && prefix == prefix_)
        return;
    folder_ = folder;
    prefix_ = prefix;
    targetSince_ = std::chrono::steady_clock::now();
}

orka::Safekeeping* TSessionSafety::Ensure() {
    if (closed_ || folder_.isEmpty())
        return nullptr;
    const std::string folder = Bytes(folder_);
    const std::string prefix = Bytes(prefix_);
    if (keeping_) {
        if (lastFolder_ == folder && lastPrefix_ == prefix)
            return keeping_.get();
        CloseCurrent(std::chrono::seconds(2));
    }
    orka::SafekeepingSettings settings;
    settings.folder = folder;
    settings.prefix = prefix;
    settings.backupFolder = Bytes(ui_.DossierSauvegarde->text());
    settings.command = CommandOf(ui_);
    if (FreeBytesHook)
        settings.freeBytes = FreeBytesHook;
    keeping_ = std::make_unique<orka::Safekeeping>(std::move(settings));
    lastFolder_ = folder;
    lastPrefix_ = prefix;
    shownGeneration_ = 0;
    return keeping_.get();
}

void TSessionSafety::CloseCurrent(std::chrono::milliseconds limit) {
    if (!keeping_)
        return;
    const uint64_t owed = keeping_->Close(limit);
    if (owed > 0)
        pump_.Status().Say(
            orka::status::Notice,
            QCoreApplication::translate(
                "SessionSafety",
                "%1 copie(s) de sécurité encore à faire, notées dans le journal %2 : "
                "elles seront terminées au prochain démarrage.")
                .arg(owed)
                .arg(QDir::toNativeSeparators(Text(keeping_->JournalPath()))));
    keeping_.reset();
    shownMarks_.clear();
    notInStrip_.clear();
    recoveryText_.clear();
    lastFolder_.clear();
    lastPrefix_.clear();
}

int TSessionSafety::PicturesPerRelease() const {
    return link_.Status().driveMode == orka::kDriveBracketing ? 3 : 1;
}

bool TSessionSafety::ShotAsked(int releases) {
    orka::Safekeeping* keeping = Ensure();
    if (keeping == nullptr)
        return true;
    const orka::SpaceCheck check = keeping->CheckShot(link_.Status(), releases);
    if (!check.allowed) {
        pump_.Status().Say(orka::status::NoRoom, Text(check.message));
        return false;
    }
    pump_.Status().Clear(orka::status::NoRoom);
    keeping->ShotAsked(orka::ShotModeName(ui_.MonoMultiVue->itemIndex()), link_.Status(), releases);
    return true;
}

bool TSessionSafety::RunStarts(int64_t shots) {
    orka::Safekeeping* keeping = Ensure();
    if (keeping == nullptr)
        return true;
    const orka::SpaceCheck check = keeping->CheckRun(link_.Status(), shots * PicturesPerRelease());
    if (check.message.empty())
        pump_.Status().Clear(orka::status::NoRoom);
    else
        pump_.Status().Say(
            orka::status::NoRoom,
            check.allowed ? Text(check.message)
                          : Text(check.message) + QCoreApplication::translate(
                                                      "SessionSafety", " Séquence non lancée."));
    return check.allowed;
}

void TSessionSafety::TriggerArmed(const orka::Schedule* schedule) {
    orka::Safekeeping* keeping = Ensure();
    if (keeping == nullptr)
        return;
    // The most a trigger can take: one picture a second through the slots
    // still to come; without a schedule, no end: it should at least have
    // room for the few pictures the warning counts.
    int64_t pictures = orka::kFewPicturesLeft;
    if (schedule != nullptr) {
        const orka::WallTime now = orka::ToWallTime(QDateTime::currentDateTime());
        int64_t seconds = 0;
        for (const orka::ScheduleDay& day : schedule->Days())
            for (const orka::ScheduleSlot& slot : day.Slots)
                if (slot.End > now)
                    seconds += slot.End - std::max(slot.Start, now);
        pictures = std::max<int64_t>(1, seconds) * PicturesPerRelease();
    }
    const orka::SpaceCheck check = keeping->CheckRun(link_.Status(), pictures);
    if (check.message.empty())
        pump_.Status().Clear(orka::status::NoRoom);
    else
        pump_.Status().Say(
            orka::status::NoRoom,
            QCoreApplication::translate("SessionSafety", "Déclenchement sur mouvement : ") +
                Text(check.message));
}

void TSessionSafety::FilesSaved(const std::vector<orka::SavedFile>& files) {
    if (files.empty())
        return;
    if (orka::Safekeeping* keeping = Ensure())
        keeping->FilesSaved(files);
}

void TSessionSafety::RatingChanged(const QString& path, int rating) {
    if (keeping_)
        keeping_->RatingChanged(Bytes(path), rating);
}

void TSessionSafety::DossierSauvegardeClick() {
    const QString start = ui_.DossierSauvegarde->text().isEmpty() ? ui_.NomRep->text()
                                                                  : ui_.DossierSauvegarde->text();
    const QString chosen = pump_.ChooseDirectory(
        QCoreApplication::translate("SessionSafety", "Dossier de la copie de sécurité"), start);
    if (chosen.isEmpty())
        return;
    if (QDir(chosen) == QDir(ui_.NomRep->text())) {
        pump_.Status().Say(
            orka::status::Notice,
            QCoreApplication::translate("SessionSafety",
                                        "La copie de sécurité doit aller dans un autre dossier "
                                        "que les images (de préférence sur un autre disque)."));
        return;
    }
    ui_.DossierSauvegarde->setText(QDir::toNativeSeparators(chosen));
    if (keeping_)
        keeping_->SetBackupFolder(Bytes(ui_.DossierSauvegarde->text()));
    Refresh();
}

void TSessionSafety::SansSauvegardeClick() {
    if (ui_.DossierSauvegarde->text().isEmpty())
        return;
    ui_.DossierSauvegarde->clear();
    if (keeping_)
        keeping_->SetBackupFolder({});
    pump_.Status().Clear(orka::status::Backup);
    Refresh();
}

void TSessionSafety::CommandeImageChange() {
    if (keeping_)
        keeping_->SetCommand(CommandOf(ui_));
}

void TSessionSafety::Refresh() {
    // A new folder or prefix is taken up once settled.
    if (!folder_.isEmpty() && std::chrono::steady_clock::now() - targetSince_ >= kSettle &&
        (keeping_ || link_.Connected()))
        Ensure();
    if (!keeping_)
        return;
    const orka::SafekeepingView view = keeping_->View();
    // The marks that changed, and those of pictures that were not in the
    // strip yet when it grew since.
    const bool stripGrew = strip_->Count() != stripCount_;
    if (view.generation != shownGeneration_ || stripGrew) {
        shownGeneration_ = view.generation;
        stripCount_ = strip_->Count();
        for (const orka::FileState& file : view.files) {
            if (!file.companionOf.empty())
                continue;
            const auto shown = shownMarks_.find(file.path);
            if (shown != shownMarks_.end() && shown->second.first == file.mark &&
                shown->second.second == file.reason &&
                !(stripGrew && notInStrip_.count(file.path) != 0))
                continue;
            shownMarks_[file.path] = {file.mark, file.reason};
            const QString path = QFile::decodeName(file.path.c_str());
            if (!strip_->Contains(path)) {
                notInStrip_.insert(file.path);
                continue;
            }
            notInStrip_.erase(file.path);
            strip_->MarkKept(path, file.mark, Text(file.reason));
        }
        // What the last session left is done: said beside what was found.
        if (!recoveryText_.isEmpty() && view.owed == 0) {
            if (pump_.Status().Area().Text(orka::status::Recovery) == recoveryText_)
                pump_.Status().Say(
                    orka::status::Recovery,
                    recoveryText_ +
                        (view.failed == 0
                             ? QCoreApplication::translate("SessionSafety",
                                                           " Les copies en attente sont faites.")
                             : QCoreApplication::translate("SessionSafety",
                                                           " Des copies n'ont pas pu être faites : "
                                                           "voir la copie de sécurité.")));
            recoveryText_.clear();
        }
    }
    TStatusPanel& status = pump_.Status();
    const auto sayOrClear = [&status](const orka::StatusKind& kind, bool on,
                                      const std::string& text) {
        if (on && !text.empty()) {
            if (status.Area().Text(kind) != Text(text))
                status.Say(kind, Text(text));
        } else if (!status.Area().Text(kind).isEmpty()) {
            status.Clear(kind);
        }
    };
    sayOrClear(orka::status::Backup, view.backupFailing, view.backupText);
    sayOrClear(orka::status::Command, view.commandFailing, view.commandText);
    sayOrClear(orka::status::RoomLow, view.spaceLow, view.spaceText);
    sayOrClear(orka::status::Room, !view.spaceLow, view.spaceText);
    sayOrClear(orka::status::Journal, true, view.journalText);
}

void TSessionSafety::Close(std::chrono::milliseconds limit) {
    if (closed_)
        return;
    closed_ = true;
    timer_->stop();
    if (keeping_ && !keeping_->WaitIdle(std::chrono::milliseconds(0)))
        pump_.Status().SayNow(
            orka::status::Wait,
            QCoreApplication::translate("SessionSafety",
                                        "Fin des copies de sécurité en cours (au plus %1 s)…")
                .arg((limit.count() + 999) / 1000));
    CloseCurrent(limit);
    pump_.Status().Clear(orka::status::Wait);
}
