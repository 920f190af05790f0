#include "VideoSequence.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "FormControls.h"
#include "NumericEdit.h"
#include "SavedPictures.h"
#include "StatusPanel.h"
#include "TickClock.h"
#include "ui_OrkaCapture.h"

TVideoSequence::TVideoSequence(Ui::TBase& ui, const orka::TickClock& clock,
                               TSavedPictures& pictures, TStatusPanel& status,
                               orka::VideoState& state, const orka::LiveViewState& live)
    : ui_(ui), clock_(clock), pictures_(pictures), status_(status), state_(state), live_(live) {
    connect(ui_.SeqVideo, &QPushButton::clicked, this, [this] { SeqVideoClick(true); });
}

void TVideoSequence::eDureeVideoKeyUp(int seconds) {
    state_.VideoDuration = seconds;
}

void TVideoSequence::eDepVideoKeyUp(int minutes) {
    state_.VideoDelay = minutes * 60000;
}

void TVideoSequence::EnterMode() {
    ui_.eDureeVideo->setText(QStringLiteral("0"));
    ui_.eDepVideo->setText(QStringLiteral("0"));
    state_.VideoDuration = 0;
    state_.VideoDelay = 0;
}

void TVideoSequence::SeqVideoClick(bool fromUser) {
    if (!fromUser)
        ui_.SeqVideo->setChecked(false);
    if (ui_.SeqVideo->isChecked())
        StartVideo();
    else
        StopVideo();
}

void TVideoSequence::StartVideo() {
    orka::TNumericEdit::ValidatePending({ui_.eDureeVideo, ui_.eDepVideo});

    ui_.DimPreView->setEnabled(false);
    ui_.SeqVideo->setText(QCoreApplication::translate("VideoSequence", "Stopper la séquence"));
    if (state_.VideoDuration == 0)
        state_.VideoDuration = 99999;
    ui_.eDepVideo->setReadOnly(true);
    ui_.eDureeVideo->setReadOnly(true);

    // The stream takes the size of the picture as displayed: a quarter turn
    // gives an upright stream. Should the orientation change during the
    // recording, the recorder carries on in a new file of the new size.
    const int32_t frameWidth = live_.LiveInfo.width > 0 ? live_.LiveInfo.width : live_.PreviewWidth;
    const int32_t frameHeight =
        live_.LiveInfo.height > 0 ? live_.LiveInfo.height : live_.PreviewHeight;
    const QSize shown = orka::DisplaySize(CurrentOrientation(ui_), frameWidth, frameHeight);
    orka::DefaultAVIOptions(state_.VideoOptions);
    state_.VideoOptions.Width = shown.width();
    state_.VideoOptions.Height = shown.height();
    state_.VideoOptions.FrameRate = ui_.DimPreView->itemIndex() == 0 ? 10 : 5;

    state_.SavedQuickCompress = orka::SetIndeoQuickCompress(1);

    const uint32_t now = clock_.TickCount();
    state_.VideoCompressor = std::make_unique<orka::VideoRecorder>();
    if (state_.VideoCompressor->Start(ui_.NomRep->text(), ui_.PrefixVideo->text(),
                                      state_.VideoOptions,
                                      qint64(now) + state_.VideoDelay) != orka::kAviOk)
        ShowError(state_.VideoCompressor->ErrorText());
    state_.VideoFileName = state_.VideoCompressor->FileName();
    state_.VideoStart = now;

    // Armed before the live view starts, so that its first frames are kept.
    if (!ui_.PreVisuActif->isChecked())
        ui_.PreVisuActif->setChecked(true);
}

void TVideoSequence::StopVideo() {
    ui_.DimPreView->setEnabled(true);
    ui_.SeqVideo->setText(QCoreApplication::translate("VideoSequence", "Lancer la séquence"));
    ui_.eDepVideo->setReadOnly(false);
    ui_.eDureeVideo->setReadOnly(false);

    // The codec setting goes back to what it was before the recording; with
    // no recording to end, the stored setting is left alone.
    if (state_.VideoCompressor) {
        orka::SetIndeoQuickCompress(state_.SavedQuickCompress);
        const bool stopped = state_.VideoCompressor->Stop(clock_.TickCount()) == orka::kAviOk;
        // Every file of the recording is named, the last one too when
        // closing it failed: what it holds is on disk.
        QStringList files;
        for (const QString& file : state_.VideoCompressor->FileNames())
            if (QFileInfo(file).isFile())
                files << file;
        pictures_.NoteVideo(files);
        if (!stopped)
            ShowError(state_.VideoCompressor->ErrorText());
        state_.VideoCompressor.reset();
    }
    state_.VideoStart = 0;
}

void TVideoSequence::VideoTick() {
    if (state_.VideoStart == 0 || !state_.VideoCompressor)
        return;
    const int64_t now = clock_.TickCount();
    const int64_t recordingFrom = int64_t(state_.VideoStart) + state_.VideoDelay;
    if (recordingFrom > now)
        return;
    if (state_.VideoCompressor->AddFrame(live_.LiveImage, now) != orka::kAviOk)
        ShowError(state_.VideoCompressor->ErrorText());
    state_.VideoFileName = state_.VideoCompressor->FileName();
    if (recordingFrom + int64_t(state_.VideoDuration) * 1000 <= now)
        SeqVideoClick();
}

void TVideoSequence::ShowError(const QString& text) {
    status_.Say(orka::status::Video, text);
}
