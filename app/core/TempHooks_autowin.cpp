// TEMPORARY stand-ins for the live view's members, until the live view lands
// on main. Delete this file (and the TEMPORARY declarations in OrkaCapture.h)
// when merging it.
#include "OrkaCapture.h"
#include "ui_OrkaCapture.h"

bool TBase::EventModeSelected() const {
    return form()->MonoMultiVue->itemIndex() == 3;
}

void TBase::ToggleLiveView() {
    LiveViewOn = !LiveViewOn;
}

void TBase::PreVisuActifClick() {}

void TBase::PriseVueMouseDown() {}
