// The " Image ", " Exposition " and " Flash " boxes of the "Réglages" tab:
// each handler sends the value its list shows to the camera; the exposure
// program decides which of shutter speed and aperture can be chosen.
#pragma once

#include <QObject>

class QWidget;
class TCameraLink;

namespace Ui {
class TBase;
}

class TExposureControls : public QObject {
  public:
    // Connects the lists' handlers: each runs on a choice of the user.
    TExposureControls(QWidget* form, Ui::TBase& ui, TCameraLink& link);

    void QualImgChange();
    void DefImgChange();
    void ISOImgChange();
    void ModeAPNChange();
    void MesAPNChange();
    void VitAPNChange();
    void OuvAPNChange();
    void CompExpChange();
    void CompFlashChange();
    void MFlashAPNChange();
    void CFlashAPNChange();

  private:
    QWidget* form_;
    Ui::TBase& ui_;
    TCameraLink& link_;
};
