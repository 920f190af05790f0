// The main window: creation and closing, the status panels, the single
// result check of library calls, help and tooltips.
#include "OrkaCapture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QSlider>
#include <QStandardPaths>
#include <QTabBar>
#include <QTimer>

#include "FormControls.h"
#include "FrameDecoder.h"
#include "HelpViewer.h"
#include "InterfaceOrka.h"
#include "NumericEdit.h"
#include "PictureFolder.h"
#include "ProgDH.h"
#include "SessionStrip.h"
#include "UtilsOrka.h"
#include "ui_OrkaCapture.h"

namespace {

// A status panel's own text colour, over the window's red.
void SetTextColour(QLabel* label, const QColor& colour) {
    label->setStyleSheet(QStringLiteral("color: %1;").arg(colour.name()));
}

// Resource names of Glyphs, in the order of TBase::GlyphIndex.
constexpr const char* kGlyphNames[TBase::gGlyphCount] = {
    "CLIC0",  "CLIC1",     "CLIC2",    "CLICOK",   "IMG1OK",  "IMG2OK",
    "IMG3OK", "BATTPLEIN", "BATTDEMI", "BATTVIDE", "LAMPOFF", "LAMPON"};

QPixmap LoadGlyph(const char* name) {
    return QPixmap(QStringLiteral(":/glyphs/") + QLatin1String(name));
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
    if (!activities_->Running(orka::Activity::Closing))
        FormClose();
}

void TBase::FormCreate() {
    setFixedSize(kClientWidthLarge, kClientHeight + kStripHeight);
    // The strip of the session's pictures sits above the status panels.
    for (QWidget* panel : std::initializer_list<QWidget*>{
             ui_->InfoConnect, ui_->InfoStatut, ui_->FreqImg, ui_->InfoBatterie, ui_->InfoErreur})
        panel->move(panel->x(), panel->y() + kStripHeight);
    strip_ = new TSessionStrip(this);
    strip_->setObjectName(QStringLiteral("BandeImages"));
    strip_->setGeometry(0, ui_->InfoConnect->y() - kStripHeight, width(), kStripHeight);
    QWidget* const anchoredRight[] = {ui_->CommandeAPN, ui_->HistoBox, ui_->PriseVue,
                                      ui_->ConnectAPN,  ui_->FreqImg,  ui_->InfoBatterie,
                                      ui_->InfoErreur};
    for (QWidget* w : anchoredRight)
        rightAnchored_.emplace_back(w, w->x());

    // Bitmaps.
    GlyphBtnOff = LoadGlyph("BTNOFF");
    GlyphBtnOn = LoadGlyph("BTNON");
    ui_->ConnectAPN->setIcon(GlyphBtnOff);
    for (int i = 0; i < gGlyphCount; ++i)
        Glyphs[i] = LoadGlyph(kGlyphNames[i]);
    ui_->PriseVue->setIcon(Glyphs[gClic0]);
    ui_->LampProg->setPixmap(Glyphs[gLampOff]);  // what LampState 0 stands for
    FrameIntervals.Reset();
    PreviewWidth = 320;
    PreviewHeight = 240;
    WorkBitmap = QImage(PreviewWidth, PreviewHeight, QImage::Format_BGR888);

    // The window's default font colour is red: the captions of labels, boxes
    // and groups without a colour of their own. The status panels set theirs.
    setStyleSheet(styleSheet() + QStringLiteral("\nQLabel, QCheckBox, QRadioButton, QGroupBox "
                                                "{ color: #ff0000; }\n"
                                                "QLabel:disabled, QCheckBox:disabled, "
                                                "QRadioButton:disabled { color: #a0a0a0; }"));

    for (QLabel* panel : {ui_->InfoStatut, ui_->FreqImg, ui_->InfoBatterie})
        SetTextColour(panel, Qt::black);

    // A blank preview in the button-face colour.
    QImage blank(ui_->LiveView->size(), QImage::Format_BGR888);
    blank.fill(palette().color(QPalette::Button));
    ui_->LiveView->setPixmap(QPixmap::fromImage(blank));

    ErrorLatch = 0;
    RoiThumbDirty = false;
    Connected = false;
    IntervalStart = 0;
    VideoStart = 0;

    ui_->lbMACRO->clear();
    SetInfoConnect(QStringLiteral("APN non connecté"), Qt::black);

    // The white balance box shows the preset list only.
    ui_->BoxBalCoul->resize(ui_->BoxBalCoul->width(), 51);

    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    ui_->NomRep->setText(pictures);
    if (orka::MustCreatePictureFolder(pictures, true, QFileInfo(pictures).isDir()))
        ui_->InfoStatut->setText(orka::PictureFolderNote(pictures, QDir().mkpath(pictures)));
    ui_->PrefixImg->setText(QStringLiteral("ImageOrka"));
    ui_->PrefixVideo->setText(QStringLiteral("VideoOrka"));

    FillLists();
    FitTabCaptions();
    ConnectHandlers();
    ParamPgm = new TParamPgm(this);
    InitAutomation();

    // One filter for the whole application switches the window's tooltips
    // and lets the two status panels at the right answer clicks.
    qApp->installEventFilter(this);
    VisuInfoBulleClick();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    idleTimer_ = new QTimer(this);
    connect(idleTimer_, &QTimer::timeout, this, &TBase::IdleRefresh);
    idleTimer_->start(kIdlePeriodMs);
}

void TBase::FillLists() {
    FillControls(this);
    // Entries longer than their box show in full in the open list.
    for (QComboBox* box : findChildren<QComboBox*>())
        box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) + 8);
}

// The five tab captions share the width of the page control: a font too
// wide for them gets smaller, down to a legible size.
void TBase::FitTabCaptions() {
    auto* bar = ui_->CommandeAPN->findChild<QTabBar*>();
    for (qreal size = 7.5; size >= 6.5 && bar->sizeHint().width() > ui_->CommandeAPN->width() - 2;
         size -= 0.5)
        bar->setStyleSheet(QStringLiteral("QTabBar { font-size: %1pt; }").arg(size));
}

void TBase::ConnectHandlers() {
    connect(ui_->ConnectAPN, &QToolButton::clicked, this, &TBase::ConnectAPNClick);
    connect(ui_->VisuInfoBulle, &QCheckBox::toggled, this, &TBase::VisuInfoBulleClick);
    ConnectExposureHandlers();
    ConnectSettingsTabHandlers();
    ConnectNumericEdits();
    SetUpLiveView();
    SetUpFocus();
    SetUpColour();
}

void TBase::ConnectNumericEdits() {
    using orka::TNumericEdit;
    const std::tuple<QLineEdit*, orka::EditRange, void (TBase::*)(int)> boxes[] = {
        {ui_->RetDecl, orka::RetDeclRange, &TBase::RetDeclKeyUp},
        {ui_->eNbImgT, orka::eNbImgTRange, &TBase::eNbImgTKeyUp},
        {ui_->eDepImg, orka::eDepImgRange, &TBase::eDepImgKeyUp},
        {ui_->eInterImg, orka::eInterImgRange, &TBase::eInterImgKeyUp},
        {ui_->eDureeVideo, orka::eDureeVideoRange, &TBase::eDureeVideoKeyUp},
        {ui_->eDepVideo, orka::eDepVideoRange, &TBase::eDepVideoKeyUp},
        {ui_->eDFoc, orka::eDFocRange, &TBase::eDFocKeyUp},
    };
    for (const auto& [edit, range, handler] : boxes)
        connect(new TNumericEdit(edit, range), &TNumericEdit::accepted, this, handler);
}

void TBase::RetDeclKeyUp(int seconds) {
    SelfTimerDelay = seconds;
}
void TBase::eNbImgTKeyUp(int shots) {
    IntervalTotal = shots;
}
void TBase::eDepImgKeyUp(int minutes) {
    IntervalDelay = minutes * 60;
}
void TBase::eInterImgKeyUp(int seconds) {
    IntervalSeconds = seconds;
}
void TBase::eDureeVideoKeyUp(int seconds) {
    VideoDuration = seconds;
}
void TBase::eDepVideoKeyUp(int minutes) {
    VideoDelay = minutes * 60000;
}
void TBase::eDFocKeyUp(int millimetres) {
    FocalLength = millimetres;
}

void TBase::closeEvent(QCloseEvent* event) {
    if (activities_->SkipsConnectClick()) {  // the disconnect under way finishes first
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TBase::FormClose() {
    if (activities_->Running(orka::Activity::Closing))
        return;
    activities_->Enter(orka::Activity::Closing);  // for good
    if (idleTimer_)
        idleTimer_->stop();
    SeqVideoClick();  // a recording in progress is closed properly
    DisconnectCamera();
    qApp->removeEventFilter(this);
    delete ParamPgm;
    ParamPgm = nullptr;
    GlyphBtnOff = QPixmap();
    GlyphBtnOn = QPixmap();
    Glyphs.fill(QPixmap());
    WorkBitmap = QImage();
    FrameBuffer.clear();
    Detector.ResizeDetectionBuffers(0);
}

void TBase::CheckResult(int32_t result) {
    LastResult = result;
    if (ErrorLatch == 0 && result != 0)
        ErrorLatch = 1;
    // "No camera" while connected is a definite sign that it went away; the
    // idle refresh leaves the connection.
    if (Connected && result == kNoCamera)
        CameraLost = true;
    if (!Connected) {
        SetErrorIndicator(QStringLiteral("O"));
        return;
    }
    if (ErrorLatch == 1)
        SetErrorIndicator(QStringLiteral("X"));
    GetCameraStatusData(&Status);
}

void TBase::InfoErreurClick() {
    ErrorLatch = 0;
    SetErrorIndicator(QStringLiteral("O"));
}

void TBase::SetErrorIndicator(const QString& text) {
    QLabel* panel = ui_->InfoErreur;
    if (panel->text() == text)
        return;
    panel->setText(text);
    SetTextColour(panel, text == QLatin1String("X") ? QColor(200, 0, 0) : QColor(0, 128, 0));
}

void TBase::SetInfoConnect(const QString& text, const QColor& colour) {
    QLabel* panel = ui_->InfoConnect;
    panel->setText(text);
    SetTextColour(panel, colour);
    panel->repaint();
}

void TBase::keyPressEvent(QKeyEvent* event) {
    FormShortCut(event->key());
    event->ignore();  // F1 stays unhandled for whoever comes next
}

void TBase::FormShortCut(int key) {
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
    setFixedSize(large ? kClientWidthLarge : kClientWidthSmall, kClientHeight + kStripHeight);
    ui_->InfoStatut->resize(large ? 601 : 377, ui_->InfoStatut->height());
}

void TBase::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int shift = width() - kClientWidthLarge;
    for (const auto& [widget, designX] : rightAnchored_)
        widget->move(designX + shift, widget->y());
    if (strip_)
        strip_->resize(width(), kStripHeight);
}
