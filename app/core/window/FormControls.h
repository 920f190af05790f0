// The form's widgets of the controls that show a value table or that a
// settings record sets (orka::Control), found by the names the form gives
// them, and what they show and send.
#pragma once

#include <cstdint>

#include "InterfaceOrka.h"

class QComboBox;
class QSlider;
class QWidget;

// The list or the track bar of a control in form; null when the control is
// not one.
QComboBox* ListBox(const QWidget* form, orka::Control control);
QSlider* TrackBar(const QWidget* form, orka::Control control);

// The value the selected entry of a list sends; 0 when none is selected.
int32_t Selected(const QWidget* form, orka::Control control);

// Gives every list its entries and its start entry, and every track bar its
// range, start and ticks.
void FillControls(QWidget* form);
