// The live view: the loop that fetches, decodes and shows the camera's
// frames, the orientation and preview-size handlers, the overlays, the
// frame-rate read-out and the mouse on the preview.
//
// The loop runs inside the handler that starts it and pumps the window's
// events once per frame, so every other handler runs nested inside it. A
// handler that stops it (ToggleLiveView, a disconnect, closing the window)
// only clears LiveViewOn; the loop sees that when the handler returns and
// ends without touching anything else.
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

#include "FrameDecoder.h"
#include "OrkaCapture.h"
#include "ShootingModes.h"
#include "UtilsOrka.h"
#include "ui_OrkaCapture.h"

namespace {

// Frames never exceed 544 pixels either way; a frame's bytes stay far below
// this (a 544 x 408 frame is some 15 to 100 KB).
constexpr int kMaxPreviewSide = 544;
constexpr uint32_t kMaxFrameBytes = 4u << 20;

int Round(double v) {
    return static_cast<int>(std::nearbyint(v));
}

}  // namespace

// Mouse presses and releases of the preview, the shutter button and the two
// focus buttons, for any mouse button (the toolkit's own button signals
// answer the left button only).
class TLiveInput : public QObject {
  public:
    TLiveInput(TBase* base, Ui::TBase* ui) : QObject(base), base_(base), ui_(ui) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
        const bool release = type == QEvent::MouseButtonRelease;
        const bool move = type == QEvent::MouseMove;
        if (!press && !release && !move)
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        if (watched == ui_->LiveView) {
            if (press)
                base_->LiveViewMouseDown(mouse->button(), mouse->buttons(), at.x(), at.y());
            else if (move)
                base_->LiveViewMouseMove(mouse->buttons(), mouse->modifiers(), at.x(), at.y());
            else
                base_->LiveViewMouseUp(at.x(), at.y());
            return true;
        }
        if (watched == ui_->PriseVue && press) {
            base_->PriseVueMouseDown();
            return true;
        }
        if (watched == ui_->FocM || watched == ui_->FocP) {
            if (!static_cast<QWidget*>(watched)->isEnabled())
                return false;
            if (press)
                watched == ui_->FocM ? base_->FocMMouseDown() : base_->FocPMouseDown();
            else if (release)
                base_->FocPMouseUp();
        }
        return false;
    }

  private:
    TBase* base_;
    Ui::TBase* ui_;
};

void TBase::SetUpLiveView() {
    frameDecoder_ = std::make_unique<orka::FrameDecoder>();
    liveInput_ = new TLiveInput(this, ui_.get());
    for (QWidget* w : {static_cast<QWidget*>(ui_->LiveView), static_cast<QWidget*>(ui_->PriseVue),
                       static_cast<QWidget*>(ui_->FocM), static_cast<QWidget*>(ui_->FocP)})
        w->installEventFilter(liveInput_);
    ui_->LiveView->setMouseTracking(true);  // hovering over the detection rectangle

    connect(ui_->ImgHorz0, &QToolButton::clicked, this, &TBase::ImgHorz0Click);
    connect(ui_->ImgHorz1, &QToolButton::clicked, this, &TBase::ImgHorz0Click);
    connect(ui_->ImgVertG, &QToolButton::clicked, this, &TBase::ImgVertGClick);
    connect(ui_->ImgVertD, &QToolButton::clicked, this, &TBase::ImgVertGClick);
    connect(ui_->DimPreView, &TRadioGroup::clicked, this, &TBase::DimPreViewClick);
    connect(ui_->PreVisuActif, &QCheckBox::toggled, this, &TBase::PreVisuActifClick);
    connect(ui_->PostVisuActif, &QCheckBox::toggled, this, &TBase::PostVisuActifClick);
    connect(ui_->MemoFocus, &QCheckBox::toggled, this, &TBase::MemoFocusClick);

    ImgHorz0Click();
    BlankLiveView();
}

bool TBase::EventModeSelected() const {
    return orka::ShootingModeOf(ui_->MonoMultiVue->itemIndex()).box == orka::ModeBox::Event;
}

orka::Orientation TBase::CurrentOrientation() const {
    if (ui_->ImgHorz1->isChecked())
        return orka::Orientation::UpsideDown;
    if (ui_->ImgVertG->isChecked())
        return orka::Orientation::Anticlockwise;
    if (ui_->ImgVertD->isChecked())
        return orka::Orientation::Clockwise;
    return orka::Orientation::Normal;
}

// ---- the loop ---------------------------------------------------------------

void TBase::ToggleLiveView() {
    if (LiveViewOn) {
        BlankLiveView();
        ui_->CamInfos->clear();
        ui_->FreqImg->clear();
        LiveViewOn = false;
        return;
    }
    LiveViewOn = true;
    const orka::ActivityScope live(activities_, orka::Activity::LiveView);
    // The loop refreshes the read-outs once per frame: the idle timer rests.
    if (live.Outermost() && idleTimer_)
        idleTimer_->stop();
    int32_t info = 0;
    while (LiveViewOn && !activities_->Running(orka::Activity::Closing) &&
           (info = LiveViewGetInfo(&LiveInfo)) == 0) {
        try {
            LiveViewFrame();
        } catch (const std::exception&) {
            // A frame that cannot be shown is skipped; the next one may.
        }
        if (!PumpOnce())
            return;
    }
    if (info == kNoCamera)
        CheckResult(info);  // the camera is gone: the idle refresh leaves the connection
    if (live.Outermost() && idleTimer_ && !activities_->Running(orka::Activity::Closing))
        idleTimer_->start();
}

void TBase::LiveViewFrame() {
    const auto width = LiveInfo.width;
    const auto height = LiveInfo.height;
    if (width == 0 || height == 0 || width > kMaxPreviewSide || height > kMaxPreviewSide ||
        LiveInfo.size == 0 || LiveInfo.size > kMaxFrameBytes)
        return;  // nothing sensible announced: skip the frame
    if (int(width) != PreviewWidth || int(height) != PreviewHeight)
        ApplyFrameSize();

    FrameBuffer.resize(LiveInfo.size);
    // Refreshes Status with the frame; whatever the buffer holds is decoded.
    LiveViewGetFrame(FrameBuffer.data(), LiveInfo.size, &Status);
    if (!DecodeFrame(true))
        return;

    DrawRoiThumbnailIfDirty();
    if (VideoStart != 0)
        VideoTick();
    DrawOverlays();
    ShowLiveImage();
    ++FramesShown;
    ui_->CamInfos->setText(orka::FormatCameraInfo(Status));
    IdleRefresh();
    ui_->FreqImg->setText(orka::FrameRateText(FrameRate()));
}

double TBase::FrameRate() {
    return FrameIntervals.FrameRate(TickCount());
}

// ---- decoding ---------------------------------------------------------------

bool TBase::DecodeFrame(bool liveFrame) {
    using orka::FrameDecoder;
    const int w = PreviewWidth;
    const int h = PreviewHeight;
    if (w <= 0 || h <= 0 || FrameBuffer.empty())
        return false;
    const orka::Orientation orientation = CurrentOrientation();
    orka::MotionDetector* detector = liveFrame ? &Detector : nullptr;
    const orka::AssistSettings assist = AssistSettings();
    Assist.Start(assist, w, h);
    const FrameDecoder::Result result =
        orka::DecodeShownFrame(*frameDecoder_, FrameBuffer.data(), FrameBuffer.size(), w, h,
                               orientation, WorkBitmap, LiveImage, Histogram, detector, &Assist);
    if (!result.ok()) {
        // The displayed picture may hold part of the broken frame: take back
        // what LiveView shows.
        const QImage shownNow = ui_->LiveView->pixmap().toImage();
        if (shownNow.size() == LiveImage.size())
            LiveImage = shownNow.convertToFormat(QImage::Format_BGR888);
        return false;
    }

    if (liveFrame && EventModeSelected())
        DetectionAfterAnalyse();
    orka::DrawHistogram(Histogram, HistoImage);
    if (assist.rgbHistogram) {
        std::array<uint32_t*, orka::HistogramHeight> rows;
        for (int y = 0; y < orka::HistogramHeight; ++y)
            rows[size_t(y)] = reinterpret_cast<uint32_t*>(HistoImage.scanLine(y));
        orka::DrawRgbHistogram(Assist.Rgb(), assist.highlightLevel, assist.shadowLevel,
                               rows.data());
    }
    ui_->ImgHisto->setPixmap(QPixmap::fromImage(HistoImage));
    return true;
}

void TBase::ShowLiveImage() {
    ui_->LiveView->setPixmap(QPixmap::fromImage(LiveImage));
}

void TBase::BlankLiveView() {
    const QColor face = palette().color(QPalette::Button);
    QPixmap blank(ui_->LiveView->size());
    blank.fill(face);
    ui_->LiveView->setPixmap(blank);
    QPixmap histo(orka::HistogramWidth, orka::HistogramHeight);
    histo.fill(face);
    ui_->ImgHisto->setPixmap(histo);
}

// ---- orientation and size -----------------------------------------------------

void TBase::LayoutLiveView(int width, int height) {
    const QWidget* box = ui_->ViewBox;
    ui_->LiveView->setGeometry((box->width() - width) / 2, (box->height() - height) / 2, width,
                               height);
    if (!LiveViewOn)
        BlankLiveView();
}

void TBase::ImgHorz0Click() {
    LayoutLiveView(PreviewWidth, PreviewHeight);
    FocusMark[0] = PreviewWidth / 2;
    FocusMark[1] = PreviewHeight / 2;
    PreviewToCamera(FocusMark[0], FocusMark[1], FocusPoint);
    RoiThumbDirty = true;
}

void TBase::ImgVertGClick() {
    LayoutLiveView(PreviewHeight, PreviewWidth);
    FocusMark[0] = PreviewHeight / 2;
    FocusMark[1] = PreviewWidth / 2;
    PreviewToCamera(FocusMark[0], FocusMark[1], FocusPoint);
    RoiThumbDirty = true;
}

void TBase::ApplyFrameSize() {
    PreviewWidth = static_cast<int32_t>(LiveInfo.width);
    PreviewHeight = static_cast<int32_t>(LiveInfo.height);
    if (ui_->ImgVertG->isChecked() || ui_->ImgVertD->isChecked())
        ImgVertGClick();
    else
        ImgHorz0Click();
}

void TBase::DimPreViewClick() {
    const int item = ui_->DimPreView->itemIndex() == orka::kSmallPreviewItem
                         ? orka::kSmallPreviewItem
                         : orka::kLargePreviewItem;
    const QSize frame = orka::PreviewFrameSize(item);
    const auto width = uint32_t(frame.width());
    const auto height = uint32_t(frame.height());
    CheckResult(SetLiveViewMode(item));
    LiveInfo.width = width;
    LiveInfo.height = height;
    LoadDetectionRectangle(item);
    LayoutForPreviewSize(item);
    if (Status.param13 == 3)  // leave the magnified manual-focus view first
        CheckResult(ChangeFDMMode());
    CheckResult(LiveViewGetInfo(&LiveInfo));
    if (LastResult != 0) {
        // No frame (no camera): lay the preview out for the size chosen
        // rather than for the empty answer.
        LiveInfo.width = width;
        LiveInfo.height = height;
    }
    ui_->ViewBox->resize(int(LiveInfo.width) + 2, int(LiveInfo.width) + 2);
    ApplyFrameSize();
}

void TBase::PreviewToCamera(int x, int y, std::array<int32_t, 2>& target) const {
    target = orka::PreviewToCamera(x, y, CurrentOrientation(), PreviewWidth, PreviewHeight);
}

// ---- check boxes ------------------------------------------------------------

void TBase::PreVisuActifClick() {
    ui_->TestProfChamp->setEnabled(ui_->PreVisuActif->isChecked());
    FollowPreviewBox();
}

void TBase::FollowPreviewBox() {
    if ((Connected && ui_->PreVisuActif->isChecked()) != LiveViewOn)
        ToggleLiveView();
}

void TBase::PostVisuActifClick() {
    AfterViewOn = ui_->PostVisuActif->isChecked();
    CheckResult(SetDisplayAfterView(AfterViewOn ? 1 : 0));
}

// ---- overlays ---------------------------------------------------------------

orka::AssistSettings TBase::AssistSettings() const {
    orka::AssistSettings s;
    s.peaking = ui_->FocusPeaking->isChecked();
    s.peakingSensitivity = ui_->PeakSeuil->value();
    s.peakingColour =
        static_cast<orka::PeakingColour>(std::clamp(ui_->PeakCouleur->currentIndex(), 0, 3));
    s.highlights = ui_->AlerteHL->isChecked();
    s.highlightLevel = ui_->NiveauHL->value();
    s.shadows = ui_->AlerteOmbres->isChecked();
    s.shadowLevel = ui_->NiveauOmbres->value();
    s.clipStyle =
        ui_->StyleAlerte->currentIndex() == 1 ? orka::ClipStyle::Solid : orka::ClipStyle::Zebra;
    s.rgbHistogram = ui_->HistoRVB->isChecked();
    return s;
}

void TBase::DrawOverlays() {
    // The aids first, so that the focus marks, reticle, grid and detection
    // rectangle stay on top of them.
    if (Assist.complete() &&
        LiveImage.size() ==
            orka::DisplaySize(CurrentOrientation(), Assist.width(), Assist.height())) {
        const orka::RowAddresses rows(LiveImage);
        orka::DrawAssist(Assist, CurrentOrientation(), rows.writableRows());
    }
    QPainter painter(&LiveImage);
    painter.setBrush(Qt::NoBrush);
    if (ui_->ModeFFP->isChecked()) {
        if (Status.focusMode == 0)
            orka::DrawFocusMarker(painter, FocusMark[0], FocusMark[1]);
        if (Status.focusPointMode == 0) {
            if (FocusMark != DrawnFocusMark) {
                // The mark moved: the half press refocuses on the new point.
                PreviewToCamera(FocusMark[0], FocusMark[1], FocusPoint);
                RefocusPending = true;
                HalfPressed = false;
            }
            orka::DrawSpotCircle(painter, FocusMark[0], FocusMark[1]);
            DrawnFocusMark = FocusMark;
        } else if (Status.focusMode == 0) {
            orka::DrawSpotCircle(painter, LiveImage.width() / 2, LiveImage.height() / 2);
        }
    }
    if (ui_->Reticule->isChecked())
        DrawReticle(painter);
    if (ui_->Grille->isChecked())
        DrawGrid(painter);
    if (EventModeSelected())
        DrawDetectionOverlay(painter);
}

void TBase::DrawReticle(QPainter& painter) const {
    const int w = LiveImage.width();
    const int h = LiveImage.height();
    painter.save();
    painter.setPen(QPen(Qt::white, 0, Qt::SolidLine));
    painter.drawLine(Round(w / 10.0), h / 2, Round(9 * w / 10.0), h / 2);
    painter.drawLine(w / 2, Round(h / 10.0), w / 2, Round(9 * h / 10.0));
    for (int i = 1; i <= 9; ++i) {
        const int x = Round(i * w / 10.0);
        painter.drawLine(x, h / 2 - 5, x, h / 2 + 5);
        const int y = Round(i * h / 10.0);
        painter.drawLine(w / 2 - 5, y, w / 2 + 5, y);
    }
    painter.restore();
}

void TBase::DrawGrid(QPainter& painter) const {
    const int w = LiveImage.width();
    const int h = LiveImage.height();
    painter.save();
    painter.setPen(QPen(Qt::white, 0, Qt::DotLine));
    for (int a = 1; a <= 9; a += 2) {
        const int x = Round(a * w / 10.0);
        painter.drawLine(x, Round(h / 10.0), x, Round(9 * h / 10.0));
        const int y = Round(a * h / 10.0);
        painter.drawLine(Round(w / 10.0), y, Round(9 * w / 10.0), y);
    }
    painter.restore();
}

// ---- the mouse on the preview -------------------------------------------------

void TBase::LiveViewMouseDown(Qt::MouseButton button, Qt::MouseButtons buttons, int x, int y) {
    if (EventModeSelected()) {
        RoiMouseDownEvent(button, x, y);
        return;
    }
    if (button == Qt::LeftButton && buttons == Qt::LeftButton && !ui_->DefWB->isChecked()) {
        FocusMark[0] = x;
        FocusMark[1] = y;
    }
}

void TBase::LiveViewMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, int x, int y) {
    if (EventModeSelected()) {
        RoiMouseMoveEvent(buttons, mods, x, y);
        return;
    }
    if (buttons == Qt::LeftButton && !ui_->DefWB->isChecked()) {
        FocusMark[0] = std::clamp(x, 0, ui_->LiveView->width());
        FocusMark[1] = std::clamp(y, 0, ui_->LiveView->height());
    }
}

void TBase::LiveViewMouseUp(int x, int y) {
    if (EventModeSelected())
        RoiMouseUpEvent(x, y);
    // A release dragged off the preview counts at its edge.
    x = std::clamp(x, 0, ui_->LiveView->width());
    y = std::clamp(y, 0, ui_->LiveView->height());
    if (ui_->DefWB->isChecked()) {
        ui_->LiveView->unsetCursor();
        ui_->DefWB->setChecked(false);
        ui_->Appliquer->setEnabled(true);
        PreviewToCamera(x, y, GreyPoint);
        return;
    }
    if (ui_->ModeFFP->isChecked()) {
        PreviewToCamera(x, y, FocusPoint);
        CheckResult(SetFFPPosition(FocusPoint.data()));
    }
    if (ui_->ModeMF->isChecked() && !EventModeSelected()) {
        PreviewToCamera(x, y, FocusPoint);
        CheckResult(SetFDMPosition(FocusPoint.data()));
        CheckResult(ChangeFDMMode());
    }
}

// The colour under the mouse while "Prélever" is down.
void TBase::ShowGreySample() {
    if (!ui_->DefWB->isChecked())
        return;
    const QPoint at = ui_->LiveView->mapFromGlobal(QCursor::pos());
    const int w = ui_->LiveView->width();
    const int h = ui_->LiveView->height();
    if (at.x() <= 0 || at.x() >= w || at.y() <= 0 || at.y() >= h)
        return;
    // The live picture as shown; with live view off, the blank preview.
    const QImage shown = LiveViewOn && LiveImage.size() == ui_->LiveView->size()
                             ? LiveImage
                             : ui_->LiveView->pixmap().toImage();
    if (!shown.valid(at))
        return;
    const QColor colour = shown.pixelColor(at);
    const QString text =
        QStringLiteral("RVB = %1 ,%2 ,%3").arg(colour.red()).arg(colour.green()).arg(colour.blue());
    if (ui_->BalPersRVB->text() != text) {
        ui_->BalPersRVB->setText(text);
        QPixmap swatch(ui_->BalPersImg->size());
        swatch.fill(colour);
        ui_->BalPersImg->setPixmap(swatch);
    }
}
