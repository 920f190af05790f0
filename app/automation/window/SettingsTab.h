// The " Paramétrages " tab: the camera clock, where images are saved, the
// camera's sounds, the about box and the help.
#pragma once

#include <QObject>

class QComboBox;
class QWidget;
class TCameraLink;
class TEventPump;
class TInfosPgm;
class TSavedPictures;

namespace Ui {
class TBase;
}

class TSettingsTab : public QObject {
  public:
    // Creates the about box, a child of window.
    TSettingsTab(QWidget* window, Ui::TBase& ui, TCameraLink& link, TEventPump& pump,
                 TSavedPictures& pictures);

    void SynchroNowClick();
    void NomRepClick();
    void NomRepKeyUp(int key);
    // Both prefix boxes: the library keeps the image prefix only; the video
    // prefix is read when a recording starts.
    void PrefixImgChange();
    void SonMapChange();
    void SonDeclChange();
    void AProposClick();
    void AideClick();
    // Remembers the language chosen for the next start and says so.
    void LanguageChange();

    TInfosPgm* InfosPgm() const { return infosPgm_; }

  private:
    QWidget* window_;
    Ui::TBase& ui_;
    TCameraLink& link_;
    TEventPump& pump_;
    TSavedPictures& pictures_;
    QComboBox* language_;  // "Langue", a child of the settings tab
    TInfosPgm* infosPgm_;  // the about box, a child of the window
};
