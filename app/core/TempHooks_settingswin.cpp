// TEMPORARY: stand-ins for handlers of the live-view and automation blocks,
// until they land. Delete this file then (duplicate symbols will tell).
#include "OrkaCapture.h"

void TBase::RCouleurChange() {}
void TBase::RNetteteChange() {}
void TBase::FCoulChange() {}
void TBase::SatChange() {}
void TBase::ContrChange() {}
void TBase::BalBlancChange() {}
void TBase::ModeMFClick() {}
void TBase::ModeFFPClick() {}
void TBase::ToggleLiveView() {
    LiveViewOn = !LiveViewOn;
}
void TBase::MonoMultiVueClick() {}
