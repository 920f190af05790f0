#include "PictureNotes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace orka {

namespace {

QString ShownPath(const SavedFile& file) {
    return QDir::toNativeSeparators(QFile::decodeName(file.path.c_str()));
}

}  // namespace

QString SavedPictureNote(const SavedFile& file) {
    QString text =
        file.complete
            ? QCoreApplication::translate("PictureNotes", "Image enregistrée : %1")
            : QCoreApplication::translate("PictureNotes", "Image incomplète conservée : %1");
    text = text.arg(ShownPath(file));
    if (file.inDocuments)
        text += QCoreApplication::translate(
            "PictureNotes", " (dans Documents : le dossier choisi n'était pas utilisable)");
    if (file.numberingExhausted)
        text += QCoreApplication::translate("PictureNotes",
                                            " (numéros du préfixe épuisés : nom en « 99999~ »)");
    return text;
}

QString CameraGoneNote(const SavedFile* last, QString& shownPartial) {
    QString text =
        QCoreApplication::translate("PictureNotes", "L'appareil photo a été déconnecté.");
    if (last != nullptr && !last->complete) {
        const QString path = ShownPath(*last);
        if (path != shownPartial) {
            shownPartial = path;
            text += QCoreApplication::translate("PictureNotes", " Image incomplète conservée : %1")
                        .arg(path);
        }
    }
    return text;
}

}  // namespace orka
