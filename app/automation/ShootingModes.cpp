#include "ShootingModes.h"

#include <QCoreApplication>

#include <iterator>

namespace orka {

namespace {

// By item of MonoMultiVue.
constexpr ShootingMode kModes[] = {
    {0, -1, true, ModeBox::None,
     QT_TRANSLATE_NOOP("ShootingModes", "PC <--> Orka         en mode de Prise de vue unique")},
    {3, 0, false, ModeBox::None,
     QT_TRANSLATE_NOOP("ShootingModes", "PC <--> Orka         en mode Séquence décalée de ± 0,3")},
    {0, -1, false, ModeBox::Interval,
     QT_TRANSLATE_NOOP("ShootingModes", "PC <--> Orka         en mode Intervallomètre")},
    {0, -1, false, ModeBox::Event,
     QT_TRANSLATE_NOOP("ShootingModes",
                       "PC <--> Orka         en mode Déclenchement sur évènement")},
    {3, 1, false, ModeBox::None,
     QT_TRANSLATE_NOOP("ShootingModes", "PC <--> Orka         en mode Séquence décalée de ± 0,5")},
    {0, -1, false, ModeBox::SelfTimer,
     QT_TRANSLATE_NOOP("ShootingModes", "PC <--> Orka         en mode Retardateur")},
    {0, -1, false, ModeBox::Video,
     QT_TRANSLATE_NOOP("ShootingModes", "PC <--> Orka    en mode Séquence Vidéo")},
};
static_assert(std::size(kModes) == kShootingModeCount);

}  // namespace

const ShootingMode& ShootingModeOf(int item) {
    return kModes[item >= 0 && item < kShootingModeCount ? item : 0];
}

int ShootingModeItem(ModeBox box) {
    for (int item = 0; item < kShootingModeCount; ++item)
        if (box != ModeBox::None && kModes[item].box == box)
            return item;
    return -1;
}

int ShootingModeOfDrive(int32_t driveMode, int32_t bracketStep) {
    for (int item = 0; item < kShootingModeCount; ++item) {
        const ShootingMode& mode = kModes[item];
        if (mode.driveMode == driveMode &&
            (mode.bracketStep < 0 || mode.bracketStep == bracketStep))
            return item;
    }
    return -1;
}

}  // namespace orka
