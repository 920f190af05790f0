// The session's pictures as the window shows them: where the library saves
// (told to the library and to orka::SessionPictures by one function), every
// file it saved, once each, in the strip, and the newest in the status area.
#pragma once

#include <QString>

#include "SessionPictures.h"

class QLabel;
class QLineEdit;
class TCameraLink;
class TSessionStrip;

class TSavedPictures {
  public:
    // folder, prefix: the boxes NomRep and PrefixImg.
    TSavedPictures(TCameraLink& link, TSessionStrip* strip, QLabel* statusArea,
                   const QLineEdit* folder, const QLineEdit* prefix);

    // Where the library saves from now on: the folder and prefix the boxes
    // show, told to the library and to the session's pictures.
    void SendSaveTarget();
    // Puts the files the library saved since the last look in the strip,
    // once each, and the place of the newest picture in the status area.
    void NoteSavedPicture();
    // The camera went away: what it saved last is noted, and the status area
    // says so, naming a cut-off picture kept (once).
    void NoteCameraGone();

    const orka::SessionPictures& Pictures() const { return pictures_; }

  private:
    void Say(const QString& text);

    TCameraLink& link_;
    TSessionStrip* strip_;
    QLabel* statusArea_;
    const QLineEdit* folder_;
    const QLineEdit* prefix_;
    orka::SessionPictures pictures_;
    QString shownPartial_;  // the cut-off picture last named by NoteCameraGone
};
