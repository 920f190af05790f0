// The photographer's own choices that the window remembers between runs:
// the picture folder and the prefixes, the backup folder and the command
// run after each picture, the preview size and orientation,
// the display aids and the peaking and clipping settings. Camera settings
// are not among them: they come from the camera, and templates restore
// them.
//
// They are kept in the program's settings (QSettings, group "Choix"), which
// Qt writes to a temporary file and renames, so that a crash leaves the
// previous choices whole. Everything read back is checked: a value of the
// wrong type or out of range keeps the window's default.
#pragma once

#include <QString>

#include "LiveAssist.h"

class QSettings;

namespace orka {

struct RememberedChoices {
    QString pictureFolder;
    QString imagePrefix = QStringLiteral("ImageOrka");
    QString videoPrefix = QStringLiteral("VideoOrka");
    QString backupFolder;    // the second copies; empty: none
    QString pictureCommand;  // run after each picture; empty: none
    int previewSize = 1;     // DimPreView: 0 small, 1 large
    int orientation = 0;     // 0 ImgHorz0, 1 ImgVertG, 2 ImgVertD, 3 ImgHorz1
    bool reticle = false;
    bool grid = false;
    bool tooltips = true;
    AssistSettings assist;
};

// The choices stored in `store`, each over its value in `defaults`.
RememberedChoices LoadChoices(QSettings& store, const RememberedChoices& defaults);
void SaveChoices(QSettings& store, const RememberedChoices& choices);

// The folder the window starts with: the stored one when it is still a
// folder, else `fallback` with a note that says so (empty note otherwise).
struct StartFolder {
    QString folder;
    QString note;
};
StartFolder ChooseStartFolder(const QString& stored, bool storedIsFolder, const QString& fallback);

}  // namespace orka
