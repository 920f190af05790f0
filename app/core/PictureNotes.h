// What the status area says of the session's pictures: a picture saved, a
// picture cut off and kept, the camera gone with a cut-off picture kept.
#pragma once

#include <QString>

#include "SessionPictures.h"

namespace orka {

// "Image enregistrée : PATH", or "Image incomplète conservée : PATH" for a
// file cut off; with the reason when the file went to the documents folder
// and when the prefix's numbers ran out.
QString SavedPictureNote(const SavedFile& file);

// The camera went away. last is the file the library saved last (null when
// none): when it was cut off and was not named yet in such a note, the note
// names it and shownPartial keeps its path, so that it is named once.
QString CameraGoneNote(const SavedFile* last, QString& shownPartial);

}  // namespace orka
