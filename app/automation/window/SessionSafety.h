// Where every picture of the session is, as the window shows it: the
// window's orka::Safekeeping (the journal in the picture folder, the
// verified second copy, the command after each picture, the free space).
//
// One safekeeping per picture folder and prefix: made when the library saves
// somewhere (or at start, when the last session of the folder left work
// undone, which it then finishes) and made anew, the old one closed, when
// the folder or the prefix changed and settled. It is told every shot asked
// for (a shot with no room left is refused here, before the release), every
// file saved and every rating; twice a second its state goes to the strip's
// marks and to the status area. The backup folder (DossierSauvegarde, chosen
// in a dialog, empty for none) and the command (CommandeImage) are read from
// the settings tab.
#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Safekeeping.h"

class QTimer;
namespace orka {
class Schedule;
}
class TCameraLink;
class TEventPump;
class TSessionStrip;

namespace Ui {
class TBase;
}

class TSessionSafety : public QObject {
  public:
    TSessionSafety(Ui::TBase& ui, const TCameraLink& link, TEventPump& pump, TSessionStrip* strip);
    ~TSessionSafety() override;

    // At start, once the picture folder is known: what the last session of
    // that folder left unfinished is said and finished.
    void RecoverLastSession();
    // The library saves into folder with prefix from now on.
    void TargetChanged(const QString& folder, const QString& prefix);

    // Before a press of the shutter that releases `releases` pictures in
    // the mode shown: false when the picture folder has no room for them
    // (said in the status area; do not release), else the shot is
    // journalled.
    bool ShotAsked(int releases);
    // An interval run of `shots` releases starts: false when its pictures
    // cannot fit in the picture folder (said); a warning for the backup.
    bool RunStarts(int64_t shots);
    // The motion trigger is armed, under `schedule` (null: none in force):
    // said when the pictures it may take cannot fit.
    void TriggerArmed(const orka::Schedule* schedule);
    void FilesSaved(const std::vector<orka::SavedFile>& files);
    void RatingChanged(const QString& path, int rating);

    void DossierSauvegardeClick();
    void SansSauvegardeClick();
    void CommandeImageChange();

    // The strip's marks and the status area's texts, from the state now.
    void Refresh();
    // The window closes: copies under way are given at most `limit`, those
    // left are journalled as owed for the next start; said if any.
    void Close(std::chrono::milliseconds limit);

    // Where the free space of a folder is read; empty: the disk's. For
    // tests, read when a safekeeping is made.
    orka::FreeSpace::FreeBytes FreeBytesHook;
    // The safekeeping of the present target (null before any).
    orka::Safekeeping* Current() const { return keeping_.get(); }
    // A folder or prefix change is taken up once it has not changed for
    // this long (a prefix is typed letter by letter).
    static constexpr std::chrono::milliseconds kSettle{1500};

  private:
    // The safekeeping of the present target, made if need be; null without
    // a target.
    orka::Safekeeping* Ensure();
    void CloseCurrent(std::chrono::milliseconds limit);
    int PicturesPerRelease() const;

    Ui::TBase& ui_;
    const TCameraLink& link_;
    TEventPump& pump_;
    TSessionStrip* strip_;
    QTimer* timer_;
    std::unique_ptr<orka::Safekeeping> keeping_;
    QString folder_, prefix_;              // the target; folder_ empty: none yet
    std::string lastFolder_, lastPrefix_;  // those of keeping_
    std::chrono::steady_clock::time_point targetSince_{};
    uint64_t shownGeneration_ = 0;
    // The marks given to the strip, by path; those of pictures it did not
    // hold yet are given again when it grows.
    std::map<std::string, std::pair<orka::FileMark, std::string>> shownMarks_;
    std::set<std::string> notInStrip_;
    int stripCount_ = 0;
    QString recoveryText_;  // what the start found, until its copies are done
    bool closed_ = false;
};
