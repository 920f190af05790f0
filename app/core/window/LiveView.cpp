#include "LiveView.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

#include "CameraLink.h"
#include "EventPump.h"
#include "FormControls.h"
#include "FrameDecoder.h"
#include "MotionTrigger.h"
#include "MouseFilter.h"
#include "TickClock.h"
#include "UtilsOrka.h"
#include "VideoSequence.h"
#include "ui_OrkaCapture.h"

namespace {

// Frames never exceed 544 pixels either way; a frame's bytes stay far below
// this (a 544 x 408 frame is some 15 to 100 KB).
constexpr int kMaxPreviewSide = 544;
constexpr uint32_t kMaxFrameBytes = 4u << 20;
constexpr uint32_t kMaxAfterViewBytes = 64u << 20;

int Round(double v) {
    return static_cast<int>(std::nearbyint(v));
}

}  // namespace

TLiveView::TLiveView(QWidget* form, Ui::TBase& ui, TCameraLink& link, TEventPump& pump,
                     const orka::TickClock& clock, TMotionTrigger& motion, TVideoSequence& video,
                     orka::LiveViewState& state, QTimer* idleTimer)
    : form_(form),
      ui_(ui),
      link_(link),
      pump_(pump),
      clock_(clock),
      motion_(motion),
      video_(video),
      state_(state),
      idleTimer_(idleTimer),
      frameDecoder_(std::make_unique<orka::FrameDecoder>()) {
    state_.FrameIntervals.Reset();
    state_.PreviewWidth = 320;
    state_.PreviewHeight = 240;
    state_.WorkBitmap = QImage(state_.PreviewWidth, state_.PreviewHeight, QImage::Format_BGR888);

    // The preview takes every mouse button; hovering over it matters for
    // the detection rectangle.
    auto* mouse =
        new TMouseFilter(this, [this](QWidget*, TMouseFilter::Kind kind, const QMouseEvent& event) {
            const QPoint at = event.position().toPoint();
            if (kind == TMouseFilter::Kind::Press)
                LiveViewMouseDown(event.button(), event.buttons(), at.x(), at.y());
            else if (kind == TMouseFilter::Kind::Move)
                LiveViewMouseMove(event.buttons(), event.modifiers(), at.x(), at.y());
            else
                LiveViewMouseUp(at.x(), at.y());
            return true;
        });
    mouse->Watch(ui_.LiveView);
    ui_.LiveView->setMouseTracking(true);

    using T = TLiveView;
    connect(ui_.ImgHorz0, &QToolButton::clicked, this, &T::ImgHorz0Click);
    connect(ui_.ImgHorz1, &QToolButton::clicked, this, &T::ImgHorz0Click);
    connect(ui_.ImgVertG, &QToolButton::clicked, this, &T::ImgVertGClick);
    connect(ui_.ImgVertD, &QToolButton::clicked, this, &T::ImgVertGClick);
    connect(ui_.DimPreView, &TRadioGroup::clicked, this, &T::DimPreViewClick);
    connect(ui_.PreVisuActif, &QCheckBox::toggled, this, &T::PreVisuActifClick);
    // The peaking sensitivity as a number beside its slider, in words in
    // the tooltip.
    connect(ui_.PeakSeuil, &QSlider::valueChanged, this, &T::ShowPeakingSensitivity);
    ShowPeakingSensitivity();

    ImgHorz0Click();
    BlankLiveView();
}

TLiveView::~TLiveView() = default;

bool TLiveView::EventModeSelected() const {
    return CurrentShootingMode(ui_).box == orka::ModeBox::Event;
}

void TLiveView::ReleaseBuffers() {
    state_.WorkBitmap = QImage();
    state_.FrameBuffer.clear();
}

void TLiveView::ReadFrameInfo() {
    link_.CheckResult(LiveViewGetInfo(&state_.LiveInfo));
}

// ---- the loop ---------------------------------------------------------------

void TLiveView::ToggleLiveView() {
    if (state_.LiveViewOn) {
        BlankLiveView();
        ui_.CamInfos->clear();
        ui_.FreqImg->clear();
        state_.LiveViewOn = false;
        return;
    }
    state_.LiveViewOn = true;
    const orka::ActivityScope live(pump_.Activities(), orka::Activity::LiveView);
    // The loop refreshes the read-outs once per frame: the idle timer rests.
    if (live.Outermost() && idleTimer_)
        idleTimer_->stop();
    int32_t info = 0;
    while (state_.LiveViewOn && !pump_.Activities()->Running(orka::Activity::Closing) &&
           (info = LiveViewGetInfo(&state_.LiveInfo)) == 0) {
        try {
            LiveViewFrame();
        } catch (const std::exception&) {
            // A frame that cannot be shown is skipped; the next one may.
        }
        if (!pump_.PumpOnce())
            return;
    }
    if (info == TCameraLink::kNoCamera)
        link_.CheckResult(info);  // the camera is gone: the idle refresh leaves the connection
    if (live.Outermost() && idleTimer_ && !pump_.Activities()->Running(orka::Activity::Closing))
        idleTimer_->start();
}

void TLiveView::LiveViewFrame() {
    const auto width = state_.LiveInfo.width;
    const auto height = state_.LiveInfo.height;
    if (width == 0 || height == 0 || width > kMaxPreviewSide || height > kMaxPreviewSide ||
        state_.LiveInfo.size == 0 || state_.LiveInfo.size > kMaxFrameBytes)
        return;  // nothing sensible announced: skip the frame
    // The buffer is reused frame after frame; the camera status comes with
    // the frame. Whatever the buffer holds is decoded.
    std::vector<uint8_t> bytes = std::move(state_.FrameBuffer);
    bytes.resize(state_.LiveInfo.size);
    link_.GetFrame(bytes.data(), state_.LiveInfo.size);
    ShowCameraFrame(width, height, std::move(bytes));
}

bool TLiveView::ShowCameraFrame(uint32_t w, uint32_t h, std::vector<uint8_t> bytes) {
    state_.LiveInfo = {w, h, uint32_t(bytes.size())};
    if (int(w) != state_.PreviewWidth || int(h) != state_.PreviewHeight)
        ApplyFrameSize();
    state_.FrameBuffer = std::move(bytes);
    if (!DecodeFrame(true))
        return false;

    motion_.DrawRoiThumbnailIfDirty();
    video_.VideoTick();
    DrawOverlays();
    ShowLiveImage();
    ++state_.FramesShown;
    ui_.CamInfos->setText(orka::FormatCameraInfo(link_.Status()));
    Q_EMIT frameShown();
    ui_.FreqImg->setText(orka::FrameRateText(state_.FrameIntervals.FrameRate(clock_.TickCount())));
    return true;
}

bool TLiveView::ShowAfterViewPicture() {
    if (link_.CheckResult(AfterViewGetInfo(&state_.LiveInfo)) != 0 || state_.LiveInfo.size == 0 ||
        state_.LiveInfo.size > kMaxAfterViewBytes)
        return false;
    state_.FrameBuffer.resize(state_.LiveInfo.size);
    if (link_.CheckResult(AfterViewGetFrame(state_.FrameBuffer.data(), state_.LiveInfo.size)) !=
            0 ||
        !DecodeFrame(false))
        return false;
    ShowLiveImage();
    ui_.LiveView->repaint();
    ui_.ImgHisto->repaint();
    return true;
}

// ---- decoding ---------------------------------------------------------------

bool TLiveView::DecodeFrame(bool liveFrame) {
    using orka::FrameDecoder;
    const int w = state_.PreviewWidth;
    const int h = state_.PreviewHeight;
    if (w <= 0 || h <= 0 || state_.FrameBuffer.empty())
        return false;
    const orka::Orientation orientation = CurrentOrientation(ui_);
    orka::MotionDetector* detector = liveFrame ? motion_.DetectorForFrame() : nullptr;
    const orka::AssistSettings assist = AssistSettings();
    state_.Assist.Start(assist, w, h);
    // The video and the detection rectangle's thumbnail take the picture
    // without the marks; else they are painted while the rows are in cache.
    const bool paintMarks = liveFrame && !video_.Recording() && !motion_.ThumbnailDue();
    const FrameDecoder::Result result =
        orka::DecodeShownFrame(*frameDecoder_, state_.FrameBuffer.data(), state_.FrameBuffer.size(),
                               w, h, orientation, state_.WorkBitmap, state_.LiveImage,
                               state_.Histogram, detector, &state_.Assist, paintMarks);
    state_.MarksPainted = paintMarks && result.ok();
    if (!result.ok()) {
        // The displayed picture may hold part of the broken frame: take back
        // what LiveView shows.
        const QImage shownNow = ui_.LiveView->pixmap().toImage();
        if (shownNow.size() == state_.LiveImage.size())
            state_.LiveImage = shownNow.convertToFormat(QImage::Format_BGR888);
        return false;
    }

    if (liveFrame && EventModeSelected())
        motion_.DetectionAfterAnalyse();
    orka::DrawHistogram(state_.Histogram, state_.HistoImage);
    if (assist.rgbHistogram) {
        std::array<uint32_t*, orka::HistogramHeight> rows;
        for (int y = 0; y < orka::HistogramHeight; ++y)
            rows[size_t(y)] = reinterpret_cast<uint32_t*>(state_.HistoImage.scanLine(y));
        orka::DrawRgbHistogram(state_.Assist.Rgb(), assist.highlightLevel, assist.shadowLevel,
                               rows.data());
    }
    ui_.ImgHisto->setPixmap(QPixmap::fromImage(state_.HistoImage));
    return true;
}

void TLiveView::ShowLiveImage() {
    ui_.LiveView->setPixmap(QPixmap::fromImage(state_.LiveImage));
}

void TLiveView::BlankLiveView() {
    const QColor face = form_->palette().color(QPalette::Button);
    QPixmap blank(ui_.LiveView->size());
    blank.fill(face);
    ui_.LiveView->setPixmap(blank);
    QPixmap histo(orka::HistogramWidth, orka::HistogramHeight);
    histo.fill(face);
    ui_.ImgHisto->setPixmap(histo);
}

// ---- orientation and size -----------------------------------------------------

void TLiveView::LayoutLiveView(int width, int height) {
    const QWidget* box = ui_.ViewBox;
    ui_.LiveView->setGeometry((box->width() - width) / 2, (box->height() - height) / 2, width,
                              height);
    if (!state_.LiveViewOn)
        BlankLiveView();
}

void TLiveView::ImgHorz0Click() {
    LayoutLiveView(state_.PreviewWidth, state_.PreviewHeight);
    state_.FocusMark[0] = state_.PreviewWidth / 2;
    state_.FocusMark[1] = state_.PreviewHeight / 2;
    PreviewToCamera(state_.FocusMark[0], state_.FocusMark[1], state_.FocusPoint);
    motion_.MarkThumbnailDirty();
}

void TLiveView::ImgVertGClick() {
    LayoutLiveView(state_.PreviewHeight, state_.PreviewWidth);
    state_.FocusMark[0] = state_.PreviewHeight / 2;
    state_.FocusMark[1] = state_.PreviewWidth / 2;
    PreviewToCamera(state_.FocusMark[0], state_.FocusMark[1], state_.FocusPoint);
    motion_.MarkThumbnailDirty();
}

void TLiveView::ApplyFrameSize() {
    state_.PreviewWidth = static_cast<int32_t>(state_.LiveInfo.width);
    state_.PreviewHeight = static_cast<int32_t>(state_.LiveInfo.height);
    if (ui_.ImgVertG->isChecked() || ui_.ImgVertD->isChecked())
        ImgVertGClick();
    else
        ImgHorz0Click();
}

void TLiveView::DimPreViewClick() {
    const int item = ui_.DimPreView->itemIndex() == orka::kSmallPreviewItem
                         ? orka::kSmallPreviewItem
                         : orka::kLargePreviewItem;
    const QSize frame = orka::PreviewFrameSize(item);
    const auto width = uint32_t(frame.width());
    const auto height = uint32_t(frame.height());
    link_.CheckResult(SetLiveViewMode(item));
    state_.LiveInfo.width = width;
    state_.LiveInfo.height = height;
    motion_.LoadDetectionRectangle(item);
    Q_EMIT previewSizeChosen(item);
    if (link_.Status().param13 == 3)  // leave the magnified manual-focus view first
        link_.CheckResult(ChangeFDMMode());
    if (link_.CheckResult(LiveViewGetInfo(&state_.LiveInfo)) != 0) {
        // No frame (no camera): lay the preview out for the size chosen
        // rather than for the empty answer.
        state_.LiveInfo.width = width;
        state_.LiveInfo.height = height;
    }
    ui_.ViewBox->resize(int(state_.LiveInfo.width) + 2, int(state_.LiveInfo.width) + 2);
    ApplyFrameSize();
}

void TLiveView::PreviewToCamera(int x, int y, std::array<int32_t, 2>& target) const {
    target = orka::PreviewToCamera(x, y, CurrentOrientation(ui_), state_.PreviewWidth,
                                   state_.PreviewHeight);
}

// ---- check boxes ------------------------------------------------------------

void TLiveView::PreVisuActifClick() {
    ui_.TestProfChamp->setEnabled(ui_.PreVisuActif->isChecked());
    FollowPreviewBox();
}

void TLiveView::FollowPreviewBox() {
    if ((link_.Connected() && ui_.PreVisuActif->isChecked()) != state_.LiveViewOn)
        ToggleLiveView();
}

// ---- overlays ---------------------------------------------------------------

void TLiveView::ShowPeakingSensitivity() {
    const int sensitivity = ui_.PeakSeuil->value();
    ui_.PeakValeur->setText(QStringLiteral("%1 %").arg(orka::PeakingSharePercent(sensitivity)));
    const QString words =
        QCoreApplication::translate("LiveView",
                                    "Sensibilité du focus peaking : marque les contours "
                                    "d'au moins %1")
            .arg(orka::PeakingSensitivityText(sensitivity));
    ui_.PeakSeuil->setToolTip(words);
    ui_.PeakValeur->setToolTip(words);
}

orka::AssistSettings TLiveView::AssistSettings() const {
    orka::AssistSettings s;
    s.peaking = ui_.FocusPeaking->isChecked();
    s.peakingSensitivity = ui_.PeakSeuil->value();
    s.peakingColour =
        static_cast<orka::PeakingColour>(std::clamp(ui_.PeakCouleur->currentIndex(), 0, 3));
    s.highlights = ui_.AlerteHL->isChecked();
    s.highlightLevel = ui_.NiveauHL->value();
    s.shadows = ui_.AlerteOmbres->isChecked();
    s.shadowLevel = ui_.NiveauOmbres->value();
    s.clipStyle =
        ui_.StyleAlerte->currentIndex() == 1 ? orka::ClipStyle::Solid : orka::ClipStyle::Zebra;
    s.rgbHistogram = ui_.HistoRVB->isChecked();
    s.rgbRowStep = orka::kLiveViewRgbRowStep;
    return s;
}

void TLiveView::DrawOverlays() {
    // The aids first, so that the focus marks, reticle, grid and detection
    // rectangle stay on top of them.
    if (!state_.MarksPainted && state_.Assist.complete() &&
        state_.LiveImage.size() == orka::DisplaySize(CurrentOrientation(ui_), state_.Assist.width(),
                                                     state_.Assist.height())) {
        const orka::RowAddresses rows(state_.LiveImage);
        orka::DrawAssist(state_.Assist, CurrentOrientation(ui_), rows.writableRows());
    }
    QPainter painter(&state_.LiveImage);
    painter.setBrush(Qt::NoBrush);
    if (ui_.ModeFFP->isChecked()) {
        if (link_.Status().focusMode == 0)
            orka::DrawFocusMarker(painter, state_.FocusMark[0], state_.FocusMark[1]);
        if (link_.Status().focusPointMode == 0) {
            if (state_.FocusMark != state_.DrawnFocusMark) {
                // The mark moved: the half press refocuses on the new point.
                PreviewToCamera(state_.FocusMark[0], state_.FocusMark[1], state_.FocusPoint);
                Q_EMIT focusMarkMoved();
            }
            orka::DrawSpotCircle(painter, state_.FocusMark[0], state_.FocusMark[1]);
            state_.DrawnFocusMark = state_.FocusMark;
        } else if (link_.Status().focusMode == 0) {
            orka::DrawSpotCircle(painter, state_.LiveImage.width() / 2,
                                 state_.LiveImage.height() / 2);
        }
    }
    if (ui_.Reticule->isChecked())
        DrawReticle(painter);
    if (ui_.Grille->isChecked())
        DrawGrid(painter);
    if (EventModeSelected())
        motion_.DrawDetectionOverlay(painter);
}

void TLiveView::DrawReticle(QPainter& painter) const {
    const int w = state_.LiveImage.width();
    const int h = state_.LiveImage.height();
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

void TLiveView::DrawGrid(QPainter& painter) const {
    const int w = state_.LiveImage.width();
    const int h = state_.LiveImage.height();
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

void TLiveView::LiveViewMouseDown(Qt::MouseButton button, Qt::MouseButtons buttons, int x, int y) {
    if (EventModeSelected()) {
        motion_.RoiMouseDownEvent(x, y);
        return;
    }
    if (button == Qt::LeftButton && buttons == Qt::LeftButton && !ui_.DefWB->isChecked()) {
        state_.FocusMark[0] = x;
        state_.FocusMark[1] = y;
    }
}

void TLiveView::LiveViewMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, int x,
                                  int y) {
    if (EventModeSelected()) {
        motion_.RoiMouseMoveEvent(buttons, mods, x, y);
        return;
    }
    if (buttons == Qt::LeftButton && !ui_.DefWB->isChecked()) {
        state_.FocusMark[0] = std::clamp(x, 0, ui_.LiveView->width());
        state_.FocusMark[1] = std::clamp(y, 0, ui_.LiveView->height());
    }
}

void TLiveView::LiveViewMouseUp(int x, int y) {
    if (EventModeSelected())
        motion_.RoiMouseUpEvent();
    // A release dragged off the preview counts at its edge.
    x = std::clamp(x, 0, ui_.LiveView->width());
    y = std::clamp(y, 0, ui_.LiveView->height());
    if (ui_.DefWB->isChecked()) {
        ui_.LiveView->unsetCursor();
        ui_.DefWB->setChecked(false);
        ui_.Appliquer->setEnabled(true);
        PreviewToCamera(x, y, state_.GreyPoint);
        return;
    }
    if (ui_.ModeFFP->isChecked()) {
        PreviewToCamera(x, y, state_.FocusPoint);
        link_.CheckResult(SetFFPPosition(state_.FocusPoint.data()));
    }
    if (ui_.ModeMF->isChecked() && !EventModeSelected()) {
        PreviewToCamera(x, y, state_.FocusPoint);
        link_.CheckResult(SetFDMPosition(state_.FocusPoint.data()));
        link_.CheckResult(ChangeFDMMode());
    }
}
