// The picture folder the window starts with: the desktop's Pictures folder,
// created when a fresh account does not have it yet, so that the first
// picture does not end up in the documents folder unannounced.
#pragma once

#include <QString>

namespace orka {

// Whether the default folder must be made before it is used: only when it is
// named, is the default (not a folder the photographer typed or chose) and
// does not exist yet.
bool MustCreatePictureFolder(const QString& folder, bool isDefault, bool exists);

// What the status area says once creation was tried.
QString PictureFolderNote(const QString& folder, bool created);

}  // namespace orka
