#include "SavedPictures.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>

#include "CameraLink.h"
#include "PictureNotes.h"
#include "SessionStrip.h"

TSavedPictures::TSavedPictures(TCameraLink& link, TSessionStrip* strip, QLabel* statusArea,
                               const QLineEdit* folder, const QLineEdit* prefix)
    : link_(link), strip_(strip), statusArea_(statusArea), folder_(folder), prefix_(prefix) {}

void TSavedPictures::SendSaveTarget() {
    const QByteArray directory = QFile::encodeName(folder_->text());
    const QByteArray prefix = QFile::encodeName(prefix_->text());
    pictures_.SetTarget(directory.toStdString(), prefix.toStdString());
    link_.CheckResult(SetSaveFileInformation(directory.constData(), prefix.constData()));
}

void TSavedPictures::NoteSavedPicture() {
    // A query of the library's own record: no camera traffic, and not a
    // camera call whose result CheckResult would latch. This runs on every
    // idle pass and every frame: SessionPictures compares the record as
    // bytes and looks at the folder only when it changed.
    SavedFileInfo info{};
    if (GetSavedFileInfo(&info) != 0)
        return;
    const orka::SavedFile* newest = nullptr;
    for (const orka::SavedFile& file : pictures_.Note(info)) {
        const QString path = QFile::decodeName(file.path.c_str());
        if (!file.IsPicture()) {
            strip_->CompanionArrived(path);
            continue;
        }
        strip_->AddPicture(path, !file.complete);
        newest = pictures_.Find(file.path);
    }
    if (newest != nullptr)
        Say(orka::SavedPictureNote(*newest));
}

void TSavedPictures::NoteCameraGone() {
    const auto& files = pictures_.Files();
    Say(orka::CameraGoneNote(files.empty() ? nullptr : &files.back(), shownPartial_));
}

void TSavedPictures::Say(const QString& text) {
    statusArea_->setText(text);
    statusArea_->setToolTip(text);
}
