#include "PictureFolder.h"

#include <QCoreApplication>

namespace orka {

bool MustCreatePictureFolder(const QString& folder, bool isDefault, bool exists) {
    return isDefault && !exists && !folder.trimmed().isEmpty();
}

QString PictureFolderNote(const QString& folder, bool created) {
    if (created)
        return QCoreApplication::translate("PictureFolder", "Dossier des images créé : %1")
            .arg(folder);
    return QCoreApplication::translate(
               "PictureFolder",
               "Impossible de créer le dossier %1 : les images iront dans Documents")
        .arg(folder);
}

}  // namespace orka
