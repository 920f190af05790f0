#include "PictureFolder.h"

namespace orka {

bool MustCreatePictureFolder(const QString& folder, bool isDefault, bool exists) {
    return isDefault && !exists && !folder.trimmed().isEmpty();
}

QString PictureFolderNote(const QString& folder, bool created) {
    if (created)
        return QStringLiteral("Dossier des images créé : %1").arg(folder);
    return QStringLiteral("Impossible de créer le dossier %1 : les images iront dans Documents")
        .arg(folder);
}

}  // namespace orka
