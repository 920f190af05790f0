#include "SavedPictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QUrl>

#include "CameraLink.h"
#include "EventPump.h"
#include "PictureNotes.h"
#include "SessionStrip.h"
#include "StatusPanel.h"

TSavedPictures::TSavedPictures(TCameraLink& link, TEventPump& pump, TSessionStrip* strip,
                               const QLineEdit* folder, const QLineEdit* prefix)
    : link_(link), pump_(pump), strip_(strip), folder_(folder), prefix_(prefix) {
    QObject::connect(strip_, &TSessionStrip::openFailed, strip_,
                     [this](const QString& path) { OpenFailed(path); });
}

void TSavedPictures::SendSaveTarget() {
    const QByteArray directory = QFile::encodeName(folder_->text());
    const QByteArray prefix = QFile::encodeName(prefix_->text());
    pictures_.SetTarget(directory.toStdString(), prefix.toStdString());
    targetSent_ = true;
    if (TargetHook)
        TargetHook(folder_->text(), prefix_->text());
    link_.CheckResult(SetSaveFileInformation(directory.constData(), prefix.constData()));
}

void TSavedPictures::NoteSavedPicture() {
    // A query of the library's own record: no camera traffic, and not a
    // camera call whose result CheckResult would latch. This runs on every
    // idle pass and every frame: SessionPictures compares the record as
    // bytes and looks at the folder only when it changed. Before the first
    // connection the record can only name a file of another session.
    if (!targetSent_)
        return;
    SavedFileInfo info{};
    if (GetSavedFileInfo(&info) != 0)
        return;
    Show(pictures_.Note(info));
}

void TSavedPictures::LastLook() {
    if (!targetSent_)
        return;
    NoteSavedPicture();
    Show(pictures_.Sweep());
}

void TSavedPictures::Show(const std::vector<orka::SavedFile>& files) {
    const orka::SavedFile* newest = nullptr;
    for (const orka::SavedFile& file : files) {
        const QString path = QFile::decodeName(file.path.c_str());
        if (!file.IsPicture()) {
            strip_->CompanionArrived(path);
            continue;
        }
        strip_->AddPicture(path, !file.complete);
        newest = pictures_.Find(file.path);
    }
    if (newest != nullptr)
        pump_.Status().Say(orka::status::Picture, orka::SavedPictureNote(*newest));
    if (!files.empty() && FilesNoted)
        FilesNoted(files);
}

void TSavedPictures::NoteCameraGone() {
    const auto& files = pictures_.Files();
    pump_.Status().Say(
        orka::status::Camera,
        orka::CameraGoneNote(files.empty() ? nullptr : &files.back(), shownPartial_));
}

void TSavedPictures::NoteVideo(const QStringList& files) {
    for (const QString& file : files)
        strip_->AddVideo(file);
    if (files.isEmpty())
        return;
    QStringList shown;
    for (const QString& file : files)
        shown << QDir::toNativeSeparators(file);
    pump_.Status().Say(
        orka::status::Video,
        (files.size() == 1 ? QCoreApplication::translate("SavedPictures", "Vidéo enregistrée : %1")
                           : QCoreApplication::translate("SavedPictures",
                                                         "Vidéo enregistrée en %2 fichiers : %1"))
            .arg(shown.join(QStringLiteral(", ")))
            .arg(files.size()));
}

void TSavedPictures::OpenFailed(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    pump_.Status().Say(
        orka::status::Notice,
        QCoreApplication::translate("SavedPictures", "Aucun programme installé n'ouvre %1")
            .arg(QFileInfo(path).fileName()));
    const QPointer<QMessageBox> box = new QMessageBox(
        QMessageBox::Information, strip_->window()->windowTitle(),
        QCoreApplication::translate("SavedPictures",
                                    "Aucun programme installé sur cet ordinateur n'ouvre « %1 ».")
            .arg(QFileInfo(path).fileName()),
        QMessageBox::NoButton, strip_->window());
    box->setInformativeText(
        QCoreApplication::translate("SavedPictures", "Le fichier est dans le dossier %1.")
            .arg(QDir::toNativeSeparators(folder)));
    QPushButton* open = box->addButton(
        QCoreApplication::translate("SavedPictures", "Ouvrir le dossier"), QMessageBox::AcceptRole);
    box->addButton(QCoreApplication::translate("SavedPictures", "Fermer"), QMessageBox::RejectRole);
    box->setDefaultButton(open);
    if (!pump_.Exec(box) || !box)
        return;
    const bool openFolder = box->clickedButton() == open;
    delete box;
    if (openFolder && !strip_->Open(QUrl::fromLocalFile(folder)))
        pump_.ShowMessage(TEventPump::MessageKind::Warning,
                          QCoreApplication::translate(
                              "SavedPictures", "Le dossier %1 n'a pas pu être ouvert non plus.")
                              .arg(QDir::toNativeSeparators(folder)));
}
