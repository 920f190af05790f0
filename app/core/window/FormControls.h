// The form's widgets of the controls that show a value table or that a
// settings record sets (orka::Control), found by the names the form gives
// them, and what they show and send; and the choices of the form that
// several parts of the window read.
#pragma once

#include <cstdint>

#include "InterfaceOrka.h"
#include "LiveViewMath.h"
#include "ShootingModes.h"

class QComboBox;
class QSlider;
class QWidget;

namespace Ui {
class TBase;
}

// The list or the track bar of a control in form; null when the control is
// not one.
QComboBox* ListBox(const QWidget* form, orka::Control control);
QSlider* TrackBar(const QWidget* form, orka::Control control);

// The value the selected entry of a list sends; 0 when none is selected.
int32_t Selected(const QWidget* form, orka::Control control);

// Gives every list its entries and its start entry, and every track bar its
// range, start and ticks.
void FillControls(QWidget* form);

// The orientation the buttons ImgHorz0, ImgHorz1, ImgVertG, ImgVertD choose.
orka::Orientation CurrentOrientation(const Ui::TBase& ui);
// The shooting mode MonoMultiVue shows.
const orka::ShootingMode& CurrentShootingMode(const Ui::TBase& ui);
// The item of DimPreView, read as the large preview for item 1 only.
int PreviewSizeItem(const Ui::TBase& ui);
