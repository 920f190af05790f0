// The main window: creation of its parts and their wiring, closing, the
// layout for the preview size, the status panels' colours, help and
// tooltips.
#include "OrkaCapture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QStandardPaths>
#include <QTabBar>
#include <QTimer>

#include "AccessibleNames.h"
#include "CameraLink.h"
#include "ChoicesMemory.h"
#include "ColourControls.h"
#include "Connection.h"
#include "EventPump.h"
#include "ExposureControls.h"
#include "FocusControls.h"
#include "FormControls.h"
#include "HelpViewer.h"
#include "IdleRefresh.h"
#include "IntervalSequence.h"
#include "Keyboard.h"
#include "LiveView.h"
#include "LiveViewMath.h"
#include "ModeChoice.h"
#include "MotionTrigger.h"
#include "NumericEdit.h"
#include "PictureFolder.h"
#include "PictureReview.h"
#include "ProgDH.h"
#include "SavedPictures.h"
#include "SessionSafety.h"
#include "SessionStrip.h"
#include "SettingsControls.h"
#include "SettingsTab.h"
#include "Shutter.h"
#include "StatusPanel.h"
#include "Templates.h"
#include "TriggerSchedule.h"
#include "VideoSequence.h"
#include "ui_OrkaCapture.h"

namespace {

// A status panel's own text colour, over the window's red.
void SetTextColour(QLabel* label, const QColor& colour) {
    label->setStyleSheet(QStringLiteral("color: %1;").arg(colour.name()));
}

}  // namespace

static void InitResources() {
    Q_INIT_RESOURCE(pcorka);
}

TBase::TBase(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      ui_(std::make_unique<Ui::TBase>()) {
    InitResources();
    ui_->setupUi(this);
    FormCreate();
}

TBase::~TBase() {
    if (!eventPump_->Activities()->Running(orka::Activity::Closing))
        FormClose();
}

void TBase::FormCreate() {
    setFixedSize(kClientWidthLarge, kClientHeight + kStripHeight);
    // The strip of the session's pictures sits above the status panels with
    // the large preview, under the small one (PlaceStrip).
    statusRowY_ = ui_->InfoConnect->y();
    strip_ = new TSessionStrip(this);
    strip_->setObjectName(QStringLiteral("BandeImages"));
    PlaceStrip(true);
    QWidget* const anchoredRight[] = {ui_->CommandeAPN, ui_->HistoBox, ui_->PriseVue,
                                      ui_->ConnectAPN,  ui_->FreqImg,  ui_->InfoBatterie,
                                      ui_->InfoErreur};
    for (QWidget* w : anchoredRight)
        rightAnchored_.emplace_back(w, w->x());

    // Bitmaps.
    GlyphBtnOff = LoadGlyph("BTNOFF");
    GlyphBtnOn = LoadGlyph("BTNON");
    ui_->ConnectAPN->setIcon(GlyphBtnOff);
    Glyphs = LoadGlyphs();
    ui_->PriseVue->setIcon(Glyphs[gClic0]);
    ui_->LampProg->setPixmap(Glyphs[gLampOff]);  // what LampState 0 stands for

    // The window's default font colour is red: the captions of labels, boxes
    // and groups without a colour of their own. The status panels set theirs.
    // Dialogs opened over the window (message boxes, file dialogs, the about
    // box) keep the desktop's colours.
    setStyleSheet(styleSheet() + QStringLiteral("\nQLabel, QCheckBox, QRadioButton, QGroupBox "
                                                "{ color: #ff0000; }\n"
                                                "QLabel:disabled, QCheckBox:disabled, "
                                                "QRadioButton:disabled { color: #a0a0a0; }\n"
                                                "QDialog QLabel, QDialog QCheckBox, "
                                                "QDialog QRadioButton, QDialog QGroupBox "
                                                "{ color: palette(window-text); }"));

    for (QLabel* panel : {ui_->InfoStatut, ui_->FreqImg, ui_->InfoBatterie})
        SetTextColour(panel, Qt::black);

    // A blank preview in the button-face colour.
    QImage blank(ui_->LiveView->size(), QImage::Format_BGR888);
    blank.fill(palette().color(QPalette::Button));
    ui_->LiveView->setPixmap(QPixmap::fromImage(blank));

    ui_->lbMACRO->clear();

    // The white balance box shows the preset list only.
    ui_->BoxBalCoul->resize(ui_->BoxBalCoul->width(), 51);

    statusPanel_ = std::make_unique<TStatusPanel>(ui_->InfoStatut);
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    ui_->NomRep->setText(pictures);
    ui_->PrefixImg->setText(QStringLiteral("ImageOrka"));
    ui_->PrefixVideo->setText(QStringLiteral("VideoOrka"));

    FillControls(this);
    // Entries longer than their box show in full in the open list.
    for (QComboBox* box : findChildren<QComboBox*>())
        box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) + 8);
    FitTabCaptions();

    idleTimer_ = new QTimer(this);
    connect(ui_->VisuInfoBulle, &QCheckBox::toggled, this, &TBase::VisuInfoBulleClick);
    CreateParts();
    ConnectNumericEdits();

    // The photographer's own choices of the last run; the default picture
    // folder is made when a fresh account does not have it yet.
    choicesMemory_->Restore(pictures);
    if (ui_->NomRep->text() == pictures &&
        orka::MustCreatePictureFolder(pictures, true, QFileInfo(pictures).isDir()))
        statusPanel_->Say(orka::status::Notice,
                          orka::PictureFolderNote(pictures, QDir().mkpath(pictures)));
    // What the last session of this folder left unfinished is said and
    // finished before anything else is shot.
    sessionSafety_->RecoverLastSession();

    // What the window shows before any camera: no detection rectangle, the
    // single shot, the threshold's read-out. No camera is open yet: what the
    // library refused here says nothing of a camera, and connecting starts
    // from a clear indicator anyway.
    motionTrigger_->ClearRoiThumbnail();
    modeChoice_->MonoMultiVueClick();
    cameraLink_->ForgetErrors();
    motionTrigger_->SeuilChange();

    // One filter for the whole application switches the window's tooltips
    // and lets the two status panels at the right answer clicks.
    qApp->installEventFilter(this);
    VisuInfoBulleClick();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    // The keyboard and assistive technology.
    NameControls(*ui_);
    keyboard_ = new TKeyboard(this, *ui_, *shutterButton_, strip_);
    // The review of the strip's picture from anywhere in the window.
    keyboard_->AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_R),
                           strip_->findChild<QWidget*>(QStringLiteral("Revoir")),
                           [this] { pictureReview_->Open(); });
    keyboard_->ShowShortcutsInTooltips();

    connect(idleTimer_, &QTimer::timeout, idleRefresh_.get(), &TIdleRefresh::IdleRefresh);
    idleTimer_->start(kIdlePeriodMs);
}

// The parts, each given what it writes by reference and what it reads by
// const reference, lowest first; then the signals by which a part tells the
// parts above it.
void TBase::CreateParts() {
    Ui::TBase& ui = *ui_;
    cameraLink_ = std::make_unique<TCameraLink>(camera_, ui.InfoErreur);
    eventPump_ = std::make_unique<TEventPump>(this, *statusPanel_);
    TCameraLink& link = *cameraLink_;
    TEventPump& pump = *eventPump_;
    sessionSafety_ = std::make_unique<TSessionSafety>(ui, link, pump, strip_);
    savedPictures_ = std::make_unique<TSavedPictures>(link, pump, strip_, ui.NomRep, ui.PrefixImg);
    exposureControls_ = std::make_unique<TExposureControls>(this, ui, link);
    focusControls_ = std::make_unique<TFocusControls>(ui, link, focus_);
    colourControls_ = std::make_unique<TColourControls>(this, ui, link, colour_, live_);
    triggerSchedule_ = std::make_unique<TTriggerSchedule>(this, ui, pump, schedule_,
                                                          Glyphs[gLampOff], Glyphs[gLampOn]);
    videoSequence_ =
        std::make_unique<TVideoSequence>(ui, clock_, *savedPictures_, *statusPanel_, video_, live_);
    motionTrigger_ = std::make_unique<TMotionTrigger>(this, ui, link, pump, *triggerSchedule_,
                                                      detection_, live_);
    liveView_ = std::make_unique<TLiveView>(this, ui, link, pump, clock_, *motionTrigger_,
                                            *videoSequence_, live_, idleTimer_);
    shutterButton_ =
        std::make_unique<TShutter>(this, ui, link, pump, *liveView_, live_, Glyphs, shutter_);
    intervalSequence_ = std::make_unique<TIntervalSequence>(ui, link, pump, clock_, *shutterButton_,
                                                            *liveView_, interval_);
    pictureReview_ =
        std::make_unique<TPictureReview>(this, ui, pump, strip_, *savedPictures_, *liveView_);
    modeChoice_ = std::make_unique<TModeChoice>(this, ui, link, *motionTrigger_, *intervalSequence_,
                                                *videoSequence_, *shutterButton_);
    settingsTab_ = std::make_unique<TSettingsTab>(this, ui, link, pump, *savedPictures_);
    settingsControls_ =
        std::make_unique<TSettingsControls>(this, ui, link, *exposureControls_, *colourControls_,
                                            *focusControls_, *modeChoice_, *settingsTab_);
    templates_ = std::make_unique<TTemplates>(ui, link, pump, *settingsControls_, *liveView_);
    choicesMemory_ = std::make_unique<TChoicesMemory>(ui, *liveView_, *statusPanel_);
    connection_ = std::make_unique<TConnection>(
        this, ui, link, pump,
        TConnection::Parts{*liveView_, *shutterButton_, *focusControls_, *triggerSchedule_,
                           *settingsControls_, *modeChoice_, *savedPictures_, *motionTrigger_,
                           *templates_},
        shutter_, GlyphBtnOff, GlyphBtnOn);
    idleRefresh_ = std::make_unique<TIdleRefresh>(
        ui, link, pump,
        TIdleRefresh::Parts{*connection_, *shutterButton_, *savedPictures_, *intervalSequence_,
                            *colourControls_, *triggerSchedule_},
        Glyphs, interval_, focus_, readout_);

    connect(liveView_.get(), &TLiveView::frameShown, idleRefresh_.get(),
            &TIdleRefresh::IdleRefresh);
    connect(liveView_.get(), &TLiveView::previewSizeChosen, this, &TBase::LayoutForPreviewSize);
    connect(liveView_.get(), &TLiveView::focusMarkMoved, shutterButton_.get(), &TShutter::Refocus);
    connect(shutterButton_.get(), &TShutter::shutterGlyphChanged, this,
            &TBase::shutterGlyphChanged);
    connect(connection_.get(), &TConnection::connectedNow, idleRefresh_.get(),
            &TIdleRefresh::ResetReadouts);
    // The review hears of every release and of every picture that lands.
    connect(shutterButton_.get(), &TShutter::released, pictureReview_.get(),
            &TPictureReview::Released);
    connect(motionTrigger_.get(), &TMotionTrigger::released, pictureReview_.get(),
            &TPictureReview::Released);

    // Where every picture is: the shots asked for (refused when no room is
    // left), the files saved, the runs started, the ratings.
    TSessionSafety* safety = sessionSafety_.get();
    savedPictures_->TargetHook = [safety](const QString& folder, const QString& prefix) {
        safety->TargetChanged(folder, prefix);
    };
    savedPictures_->FilesNoted = [this, safety](const std::vector<orka::SavedFile>& files) {
        safety->FilesSaved(files);
        if (pictureReview_)
            pictureReview_->FilesNoted(files);
    };
    connect(pictureReview_.get(), &TPictureReview::ratingChanged, safety,
            &TSessionSafety::RatingChanged);
    shutterButton_->BeforeRelease = [safety](int pictures) { return safety->ShotAsked(pictures); };
    motionTrigger_->BeforeCapture = [safety] { return safety->ShotAsked(1); };
    motionTrigger_->Armed = [this, safety] {
        const TParamPgm* schedule = triggerSchedule_->ParamPgm();
        safety->TriggerArmed(schedule->ScheduleInForce() ? &schedule->Schedule() : nullptr);
    };
    intervalSequence_->BeforeRun = [safety](int64_t shots) { return safety->RunStarts(shots); };
}

// Numeric edit boxes: each filters its digits as they are typed and checks
// its range one second after the last key release; the part that owns the
// setting stores the value it accepted.
void TBase::ConnectNumericEdits() {
    using orka::TNumericEdit;
    const auto rule = [](QLineEdit* edit, orka::EditRange range) {
        return new TNumericEdit(edit, range);
    };
    connect(rule(ui_->RetDecl, orka::RetDeclRange), &TNumericEdit::accepted, shutterButton_.get(),
            &TShutter::RetDeclKeyUp);
    TIntervalSequence* interval = intervalSequence_.get();
    connect(rule(ui_->eNbImgT, orka::eNbImgTRange), &TNumericEdit::accepted, interval,
            &TIntervalSequence::eNbImgTKeyUp);
    connect(rule(ui_->eDepImg, orka::eDepImgRange), &TNumericEdit::accepted, interval,
            &TIntervalSequence::eDepImgKeyUp);
    connect(rule(ui_->eInterImg, orka::eInterImgRange), &TNumericEdit::accepted, interval,
            &TIntervalSequence::eInterImgKeyUp);
    TVideoSequence* video = videoSequence_.get();
    connect(rule(ui_->eDureeVideo, orka::eDureeVideoRange), &TNumericEdit::accepted, video,
            &TVideoSequence::eDureeVideoKeyUp);
    connect(rule(ui_->eDepVideo, orka::eDepVideoRange), &TNumericEdit::accepted, video,
            &TVideoSequence::eDepVideoKeyUp);
    connect(rule(ui_->eDFoc, orka::eDFocRange), &TNumericEdit::accepted, focusControls_.get(),
            &TFocusControls::eDFocKeyUp);
}

// The five tab captions share the width of the page control: a font too
// wide for them gets smaller, down to a legible size.
void TBase::FitTabCaptions() {
    auto* bar = ui_->CommandeAPN->findChild<QTabBar*>();
    for (qreal size = 7.5; size >= 6.5 && bar->sizeHint().width() > ui_->CommandeAPN->width() - 2;
         size -= 0.5)
        bar->setStyleSheet(QStringLiteral("QTabBar { font-size: %1pt; }").arg(size));
}

void TBase::closeEvent(QCloseEvent* event) {
    if (eventPump_->Activities()->SkipsConnectClick()) {  // the disconnect under way finishes first
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TBase::FormClose() {
    const auto& activities = eventPump_->Activities();
    if (activities->Running(orka::Activity::Closing))
        return;
    activities->Enter(orka::Activity::Closing);  // for good
    if (idleTimer_)
        idleTimer_->stop();
    videoSequence_->SeqVideoClick();  // a recording in progress is closed properly
    choicesMemory_->Save();
    connection_->DisconnectCamera();
    // Copies under way get a few seconds; those left are journalled as owed.
    sessionSafety_->Close(std::chrono::seconds(5));
    qApp->removeEventFilter(this);
    GlyphBtnOff = QPixmap();
    GlyphBtnOn = QPixmap();
    liveView_->ReleaseBuffers();
    detection_.Detector.ResizeDetectionBuffers(0);
}

void TBase::InfoErreurClick() {
    cameraLink_->ClearErrorLatch();
}

void TBase::keyPressEvent(QKeyEvent* event) {
    FormShortCut(event->key());
    event->ignore();  // F1 stays unhandled for whoever comes next
}

void TBase::FormShortCut(int key) {
    if (key == Qt::Key_Escape) {             // the window no longer waits for a camera
        shutterButton_->ShutterKeyCancel();  // nor holds a half press by key
        connection_->StopSearchByUser();
        return;
    }
    if (key != Qt::Key_F1)
        return;
    if (const QWidget* page = ui_->CommandeAPN->currentWidget())
        ShowHelp(page->property("helpContext").toInt());
}

void TBase::ShowHelp(int context) {
    Q_EMIT helpRequested(context);
    THelpViewer::ShowHelpContext(this, context);
}

void TBase::VisuInfoBulleClick() {
    hintsShown_ = ui_->VisuInfoBulle->isChecked();
}

bool TBase::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::ToolTip:
            // Without tooltips no control of this window shows one.
            if (!hintsShown_ && watched->isWidgetType() &&
                static_cast<QWidget*>(watched)->window() == this)
                return true;
            break;
        case QEvent::MouseButtonRelease:
            if (watched == ui_->InfoErreur || watched == ui_->InfoBatterie) {
                const auto* mouse = static_cast<QMouseEvent*>(event);
                if (mouse->button() == Qt::LeftButton &&
                    static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint()))
                    InfoErreurClick();
            }
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void TBase::LayoutForPreviewSize(int item) {
    const bool large = item == 1;
    setFixedSize(large ? kClientWidthLarge : kClientWidthSmall,
                 kClientHeight + (large ? kStripHeight : 0));
    PlaceStrip(large);
    ui_->InfoStatut->resize(large ? 601 : 377, ui_->InfoStatut->height());
}

void TBase::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int shift = width() - kClientWidthLarge;
    for (const auto& [widget, designX] : rightAnchored_)
        widget->move(designX + shift, widget->y());
    if (strip_)
        PlaceStrip(width() == kClientWidthLarge);
}

// With the large preview the strip is a row across the window above the
// status panels; the small preview leaves room under it, where the strip
// becomes a block of rows and the window keeps the design's height.
void TBase::PlaceStrip(bool large) {
    const int shift = large ? kStripHeight : 0;
    for (QWidget* panel : std::initializer_list<QWidget*>{
             ui_->InfoConnect, ui_->InfoStatut, ui_->FreqImg, ui_->InfoBatterie, ui_->InfoErreur})
        panel->move(panel->x(), statusRowY_ + shift);
    strip_->SetRows(!large);
    if (large) {
        strip_->setGeometry(0, statusRowY_, width(), kStripHeight);
        return;
    }
    // The preview box of the small preview is a square as wide as its frame
    // (it may not be laid out yet when this runs).
    const int side = orka::PreviewFrameSize(orka::kSmallPreviewItem).width() + 2;
    const QWidget* box = ui_->ViewBox;
    const int top = box->y() + side + 4;
    strip_->setGeometry(box->x() - 4, top, side + 8, statusRowY_ - top - 2);
}
