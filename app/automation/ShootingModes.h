// The shooting modes of the radio group MonoMultiVue, one row per item: the
// drive mode (and bracket step) the camera is given, whether the after-view
// option may be chosen, the box of the "Automatismes" tab that holds the
// mode's settings, and the window caption. The window's mode handler and the
// application of a settings record both read this table.
#pragma once

#include <cstdint>

namespace orka {

// The box of the "Automatismes" tab a mode shows.
enum class ModeBox : uint8_t {
    None,
    Interval,   // ModeIntervalle
    Event,      // ClicSurEvent
    SelfTimer,  // Retardateur
    Video,      // SequenceVideo
};

struct ShootingMode {
    int32_t driveMode;    // SetDriveMode: 0 single shot, 3 three-shot bracketing
    int32_t bracketStep;  // SetExposureBracketStep: 0 = 0.3 EV, 1 = 0.5 EV; -1 not sent
    bool afterView;       // "Visualisation des images prises" may be chosen
    ModeBox box;
    const char* caption;  // the window caption, UTF-8
};

inline constexpr int kShootingModeCount = 7;
// The drive mode of the three-shot bracketing series.
inline constexpr int32_t kDriveBracketing = 3;

// The row of an item; an item outside the group reads as the first one.
const ShootingMode& ShootingModeOf(int item);
// The item whose row shows box (not None); -1 when none does.
int ShootingModeItem(ModeBox box);
// The item a status record selects by its drive mode and bracket step: the
// first whose drive mode is driveMode and whose step is bracketStep or not
// sent; -1 when none.
int ShootingModeOfDrive(int32_t driveMode, int32_t bracketStep);

}  // namespace orka
