// The "Compensations" tab: colour mode and sharpness, the colour or
// monochrome filter, saturation and contrast, and the white balance with its
// custom temperature and CC index and the measurement of a grey point picked
// on the preview ("Prélever"). Writes orka::ColourState.
#pragma once

#include <QObject>

#include <cstdint>

#include "TBaseState.h"

class QWidget;
class TCameraLink;

namespace Ui {
class TBase;
}

class TColourControls : public QObject {
  public:
    // Connects the handlers and shows the design positions in the read-outs
    // (sending them; the failures of these sends without a camera are
    // forgotten).
    TColourControls(QWidget* form, Ui::TBase& ui, TCameraLink& link, orka::ColourState& state,
                    const orka::LiveViewState& live);

    void RCouleurChange();
    void RNetteteChange();
    void FCoulChange();
    void SatChange();
    void ContrChange();
    void BalBlancChange();
    void TCoulChange();
    void ICCChange();
    void DefWBClick();
    void AppliquerClick();

    // The filter track bar's value sent as the filter of this colour mode:
    // the black and white filter or the colour filter.
    void SendColourFilter(int32_t colourMode);
    // The colour under the mouse while "Prélever" is down (idle refresh).
    void ShowGreySample();

  private:
    void SendCustomWB();
    void ClearGreySample();

    QWidget* form_;
    Ui::TBase& ui_;
    TCameraLink& link_;
    orka::ColourState& state_;
    const orka::LiveViewState& live_;
};
