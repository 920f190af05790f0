// The session's pictures as the window shows them: where the library saves
// (told to the library and to orka::SessionPictures by one function), every
// file it saved, once each, in the strip, whenever it arrives, and the
// newest in the status area; the videos the window recorded beside them.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

#include "SessionPictures.h"

class QLineEdit;
class TCameraLink;
class TEventPump;
class TSessionStrip;

class TSavedPictures : public QObject {
    Q_OBJECT

  public:
    // folder, prefix: the boxes NomRep and PrefixImg.
    TSavedPictures(TCameraLink& link, TEventPump& pump, TSessionStrip* strip,
                   const QLineEdit* folder, const QLineEdit* prefix);

    // Where the library saves from now on: the folder and prefix the boxes
    // show, told to the library and to the session's pictures.
    void SendSaveTarget();
    // Puts the files the library saved since the last look in the strip,
    // once each, and the place of the newest picture in the status area.
    void NoteSavedPicture();
    // The same, and a sweep of the folder for a file the library's record
    // no longer names: after the files still to come were waited for.
    void LastLook();
    // The camera went away: what it saved last is noted, and the status area
    // says so, naming a cut-off picture kept (once).
    void NoteCameraGone();
    // The files of a video the window recorded.
    void NoteVideo(const QStringList& files);

    const orka::SessionPictures& Pictures() const { return pictures_; }
    // Told of every batch of files the library saved, once each, oldest
    // first, just after they were put in the strip (pictures and
    // companions). Empty: nobody.
    std::function<void(const std::vector<orka::SavedFile>&)> FilesNoted;
    // Told where the library saves from now on (folder, prefix). Empty:
    // nobody.
    std::function<void(const QString& folder, const QString& prefix)> TargetHook;

  private:
    void Show(const std::vector<orka::SavedFile>& files);
    // No program opened `path`: said, and the folder offered.
    void OpenFailed(const QString& path);

    TCameraLink& link_;
    TEventPump& pump_;
    TSessionStrip* strip_;
    const QLineEdit* folder_;
    const QLineEdit* prefix_;
    orka::SessionPictures pictures_;
    QString shownPartial_;     // the cut-off picture last named by NoteCameraGone
    bool targetSent_ = false;  // the library was told where to save
};
