// Video sequence of the window: every live-view frame shown during the
// recording, turned as displayed and before the overlays, goes into an AVI
// file (Motion-JPEG) named after the video prefix in the image directory.
// The recording continues in the next numbered file before a file reaches
// the size plain AVI readers handle, and each file's frame rate is rewritten
// at its close so that it plays for as long as it recorded.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "OrkaCapture.h"
#include "ui_OrkaCapture.h"

void TBase::SeqVideoClick(bool fromUser) {
    if (!fromUser)
        ui_->SeqVideo->setChecked(false);
    if (ui_->SeqVideo->isChecked())
        StartVideo();
    else
        StopVideo();
}

void TBase::StartVideo() {
    ValidatePendingEdits({ui_->eDureeVideo, ui_->eDepVideo});

    ui_->DimPreView->setEnabled(false);
    ui_->SeqVideo->setText(QStringLiteral("Stopper la séquence"));
    if (VideoDuration == 0)
        VideoDuration = 99999;
    ui_->eDepVideo->setReadOnly(true);
    ui_->eDureeVideo->setReadOnly(true);

    // The stream takes the size of the picture as displayed: a quarter turn
    // gives an upright stream. Should the orientation change during the
    // recording, the recorder carries on in a new file of the new size.
    const int32_t frameWidth = LiveInfo.width > 0 ? LiveInfo.width : PreviewWidth;
    const int32_t frameHeight = LiveInfo.height > 0 ? LiveInfo.height : PreviewHeight;
    const QSize shown = orka::DisplaySize(CurrentOrientation(), frameWidth, frameHeight);
    orka::DefaultAVIOptions(VideoOptions);
    VideoOptions.Width = shown.width();
    VideoOptions.Height = shown.height();
    VideoOptions.FrameRate = ui_->DimPreView->itemIndex() == 0 ? 10 : 5;

    SavedQuickCompress = orka::SetIndeoQuickCompress(1);

    const uint32_t now = TickCount();
    VideoCompressor = std::make_unique<orka::VideoRecorder>();
    if (VideoCompressor->Start(ui_->NomRep->text(), ui_->PrefixVideo->text(), VideoOptions,
                               qint64(now) + VideoDelay) != orka::kAviOk)
        ShowAutomationError(VideoCompressor->ErrorText());
    VideoFileName = VideoCompressor->FileName();
    VideoStart = now;

    // Armed before the live view starts, so that its first frames are kept.
    if (!ui_->PreVisuActif->isChecked())
        ui_->PreVisuActif->setChecked(true);
}

void TBase::StopVideo() {
    ui_->DimPreView->setEnabled(true);
    ui_->SeqVideo->setText(QStringLiteral("Lancer la séquence"));
    ui_->eDepVideo->setReadOnly(false);
    ui_->eDureeVideo->setReadOnly(false);

    // The codec setting goes back to what it was before the recording; with
    // no recording to end, the stored setting is left alone.
    if (VideoCompressor) {
        orka::SetIndeoQuickCompress(SavedQuickCompress);
        if (VideoCompressor->Stop(TickCount()) != orka::kAviOk)
            ShowAutomationError(VideoCompressor->ErrorText());
        VideoCompressor.reset();
    }
    VideoStart = 0;
}

void TBase::VideoTick() {
    if (VideoStart == 0 || !VideoCompressor)
        return;
    const int64_t now = TickCount();
    const int64_t recordingFrom = int64_t(VideoStart) + VideoDelay;
    if (recordingFrom > now)
        return;
    if (VideoCompressor->AddFrame(LiveImage, now) != orka::kAviOk)
        ShowAutomationError(VideoCompressor->ErrorText());
    VideoFileName = VideoCompressor->FileName();
    if (recordingFrom + int64_t(VideoDuration) * 1000 <= now)
        SeqVideoClick();
}

void TBase::ShowAutomationError(const QString& text) {
    ui_->InfoStatut->setText(text);
}
