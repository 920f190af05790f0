#include "ReviewWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

#include "Histogram.h"
#include "ReviewGeometry.h"
#include "SessionPictures.h"
#include "ShotFacts.h"
#include "XmpSidecar.h"

namespace {

const QColor kBackground(40, 40, 40);

QSettings Store() {
    return QSettings(QStringLiteral("PCOrka"), QStringLiteral("PCOrka"));
}

QString Stars(int rating) {
    if (rating == orka::RatingRejected)
        return QCoreApplication::translate("ReviewWindow", "Rejetée");
    if (rating <= 0)
        return QCoreApplication::translate("ReviewWindow", "Sans note");
    return QString(rating, QChar(0x2605)) + QString(orka::RatingMaxStars - rating, QChar(0x2606));
}

}  // namespace

// The picture itself: fitted with the loupe's place, or at 100 %; a click
// toggles between them, a drag pans the 100 % view.
class TReviewView : public QWidget {
  public:
    explicit TReviewView(TReviewWindow* window) : QWidget(window), window_(window) {
        setObjectName(QStringLiteral("vue"));
        setMinimumSize(320, 240);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::NoFocus);
    }

    // Where the fitted picture lies in the view.
    QRectF Fit() const { return orka::FitRect(window_->DisplayedSize(), QSizeF(size())); }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        TReviewWindow& w = *window_;
        if (!w.fit_ || w.fit_->shown.isNull() || w.zoomed_)
            p.fillRect(rect(), kBackground);
        const QSizeF picture = w.DisplayedSize();
        if (w.zoomed_ && !w.viewport_.isEmpty()) {
            if (w.full_ && !w.full_->shown.isNull()) {
                if ((w.focusMask_ || w.clipping_) && w.markedFull_.isNull())
                    w.markedFull_ = orka::MarkedRows(*w.full_, 0, w.full_->shown.height(),
                                                     w.focusMask_, w.clipping_);
                const QImage& image = w.markedFull_.isNull() ? w.full_->shown : w.markedFull_;
                p.drawImage(-w.viewport_.topLeft(), image);
                return;
            }
            if (w.fit_ && !w.fit_->shown.isNull()) {
                // The fit view enlarged while the full picture comes.
                p.setRenderHint(QPainter::SmoothPixmapTransform);
                p.drawImage(QRectF(-w.viewport_.topLeft(), picture), w.fit_->shown);
                Note(p,
                     QCoreApplication::translate("ReviewWindow", "Chargement de l'image entière…"));
                return;
            }
        } else if (w.fit_ && !w.fit_->shown.isNull()) {
            const QRectF fit = Fit();
            p.setClipRegion(QRegion(rect()).subtracted(QRegion(fit.toAlignedRect())));
            p.fillRect(rect(), kBackground);  // only the bars round the picture
            p.setClipping(false);
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(fit, w.markedFit_.isNull() ? w.fit_->shown : w.markedFit_);
            // The loupe's place: where 100 % would show, around the focus point
            // unless the photographer chose another.
            const QRectF viewport =
                w.viewport_.isEmpty()
                    ? orka::LoupeViewport(picture, QSizeF(size()), w.FocusOnPicture())
                    : w.viewport_;
            const QRectF marker = orka::LoupeMarker(viewport, picture, fit);
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(QPen(Qt::black, 1));
            p.drawRect(marker.adjusted(1, 1, 1, 1));
            p.setPen(QPen(Qt::white, 1));
            p.drawRect(marker);
            if (!w.shownSignalled_) {
                w.shownSignalled_ = true;
                const QString path = w.CurrentPath();
                QMetaObject::invokeMethod(
                    &w, [&w, path] { Q_EMIT w.pictureShown(path); }, Qt::QueuedConnection);
            }
            return;
        }
        const QString message = w.MessageText();
        Note(p, w.Count() == 0 ? QCoreApplication::translate("ReviewWindow", "Aucune image.")
                : (w.fit_ || w.full_) && !message.isEmpty()
                    ? message
                    : QCoreApplication::translate("ReviewWindow", "Chargement…"));
    }

    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton)
            return;
        press_ = last_ = e->position();
        dragged_ = false;
    }

    void mouseMoveEvent(QMouseEvent* e) override {
        if (!(e->buttons() & Qt::LeftButton))
            return;
        if ((e->position() - press_).manhattanLength() >= QApplication::startDragDistance())
            dragged_ = true;
        if (dragged_ && window_->zoomed_)
            window_->Pan(e->position() - last_);
        last_ = e->position();
    }

    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton || dragged_)
            return;
        if (window_->zoomed_)
            window_->ToggleZoom(std::nullopt);
        else if (Fit().contains(e->position()))
            window_->ToggleZoom(orka::FitToPicture(e->position(), window_->DisplayedSize(), Fit()));
    }

    void resizeEvent(QResizeEvent*) override { window_->resized_->start(); }

  private:
    void Note(QPainter& p, const QString& text) {
        p.setPen(Qt::white);
        p.drawText(rect().adjusted(20, 20, -20, -20), Qt::AlignCenter | Qt::TextWordWrap, text);
    }

    TReviewWindow* window_;
    QPointF press_, last_;
    bool dragged_ = false;
};

TReviewWindow::TReviewWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("ReviewWindow"));
    setWindowTitle(QCoreApplication::translate("ReviewWindow", "Revue des images"));
    setFocusPolicy(Qt::StrongFocus);
    resize(1200, 900);

    resized_ = new QTimer(this);
    resized_->setSingleShot(true);
    resized_->setInterval(150);
    connect(resized_, &QTimer::timeout, this, [this] {
        if (zoomed_ && !viewport_.isEmpty())
            viewport_ =
                orka::LoupeViewport(DisplayedSize(), QSizeF(view_->size()), viewport_.center());
        Request();
        view_->update();
    });

    view_ = new TReviewView(this);
    histogram_ = new QLabel(this);
    histogram_->setObjectName(QStringLiteral("histogramme"));
    histogram_->setFixedSize(orka::HistogramWidth, orka::HistogramHeight);
    settings_ = new QLabel(this);
    settings_->setObjectName(QStringLiteral("reglages"));
    file_ = new QLabel(this);
    file_->setObjectName(QStringLiteral("fichier"));
    rating_ = new QLabel(this);
    rating_->setObjectName(QStringLiteral("note"));
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("message"));
    message_->setWordWrap(true);
    message_->setStyleSheet(QStringLiteral("color: #b00000"));
    newer_ =
        new QLabel(QCoreApplication::translate(
                       "ReviewWindow", "Une image plus récente est arrivée (Fin pour y aller)."),
                   this);
    newer_->setObjectName(QStringLiteral("plusRecente"));
    newer_->setStyleSheet(QStringLiteral("background: #ffd84a; color: black; padding: 2px"));
    newer_->hide();
    auto* keys =
        new QLabel(QCoreApplication::translate(
                       "ReviewWindow",
                       "← → Home Fin : images · 1-5 0 X : note · Z : 100 % au point de mise au "
                       "point · F : masque de netteté · C : écrêtage"),
                   this);
    for (QLabel* l : {settings_, file_, rating_, message_, newer_, keys})
        l->setTextInteractionFlags(Qt::NoTextInteraction);

    auto* facts = new QVBoxLayout;
    facts->addWidget(file_);
    facts->addWidget(rating_);
    facts->addWidget(message_);
    facts->addWidget(newer_);
    facts->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(histogram_, 0, Qt::AlignTop);
    bottom->addWidget(settings_, 0, Qt::AlignTop);
    bottom->addLayout(facts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(view_, 1);
    layout->addLayout(bottom);
    layout->addWidget(keys);

    loader_ = std::make_unique<orka::ReviewLoader>(
        [this](const orka::ReviewRequest& request, orka::ReviewPicturePtr picture) {
            QMetaObject::invokeMethod(
                this, [this, request, picture] { Made(request, picture); }, Qt::QueuedConnection);
        });
    Refresh();
}

TReviewWindow::~TReviewWindow() = default;

void TReviewWindow::SetPictures(std::vector<ReviewItem> items) {
    items_ = std::move(items);
    current_ = -1;
    newerWaiting_ = false;
    Show(Count() - 1);
    if (items_.empty())
        Refresh();
}

void TReviewWindow::AddPicture(const ReviewItem& item) {
    const bool following = !Browsing();
    items_.push_back(item);
    if (following)
        Show(Count() - 1);
    else
        newerWaiting_ = true;
    Refresh();
}

void TReviewWindow::UpdatePicture(const ReviewItem& item) {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].path != item.path)
            continue;
        const bool shownChanged = items_[i].shownFile != item.shownFile;
        items_[i] = item;
        if (int(i) == current_ && shownChanged) {
            fit_ = full_ = nullptr;
            markedFit_ = markedFull_ = {};
            shownSignalled_ = false;
            Request();
        }
        Refresh();
        return;
    }
}

void TReviewWindow::ShowPicture(const QString& path) {
    for (int i = 0; i < Count(); ++i)
        if (items_[size_t(i)].path == path)
            return Show(i);
}

void TReviewWindow::SetOrientation(orka::Orientation orientation) {
    if (orientation == orientation_)
        return;
    orientation_ = orientation;
    viewport_ = {};
    if (current_ >= 0)
        Show(current_);
}

void TReviewWindow::SetAssistSettings(const orka::AssistSettings& settings) {
    assist_ = settings;
    if (current_ >= 0)
        Show(current_);
}

QString TReviewWindow::CurrentPath() const {
    const ReviewItem* item = Current();
    return item ? item->path : QString();
}

const ReviewItem* TReviewWindow::Current() const {
    return current_ >= 0 && current_ < Count() ? &items_[size_t(current_)] : nullptr;
}

std::optional<int> TReviewWindow::CurrentRating() const {
    const auto it = ratings_.find(CurrentPath());
    return it == ratings_.end() ? std::nullopt : std::optional<int>(it->second);
}

bool TReviewWindow::PictureOnScreen() const {
    if (zoomed_)
        return full_ && !full_->shown.isNull() && !viewport_.isEmpty();
    return fit_ && !fit_->shown.isNull() && shownSignalled_;
}

void TReviewWindow::Show(int index) {
    if (index < 0 || index >= Count())
        return;
    const bool changed = index != current_;
    current_ = index;
    if (current_ == Count() - 1)
        newerWaiting_ = false;
    fit_ = full_ = nullptr;
    markedFit_ = markedFull_ = {};
    shownSignalled_ = false;
    viewport_ = {};
    // The rating as the sidecar holds it now: another program may have
    // changed it.
    const QString path = CurrentPath();
    orka::SidecarFacts facts;
    ratingError_.clear();
    if (orka::ReadSidecar(path, facts, &ratingError_) && facts.rating)
        ratings_[path] = *facts.rating;
    else
        ratings_.erase(path);
    Request();
    Refresh();
    if (changed)
        Q_EMIT currentChanged(path);
}

orka::ReviewRequest TReviewWindow::FitRequest() const {
    orka::ReviewRequest r;
    r.file = Current() ? Current()->shownFile : QString();
    r.view = view_->size();
    r.orientation = orientation_;
    r.assist = assist_;
    return r;
}

orka::ReviewRequest TReviewWindow::FullRequest() const {
    orka::ReviewRequest r = FitRequest();
    r.full = true;
    r.view = {};
    return r;
}

void TReviewWindow::Request() {
    const ReviewItem* item = Current();
    if (!item || item->shownFile.isEmpty()) {
        loader_->Show({});
        return;
    }
    const orka::ReviewRequest fit = FitRequest();
    const orka::ReviewRequest full = FullRequest();
    // What is in the cache shows at once; what is not is made, the view's own
    // first, the other ahead. A fit view of another view size stays shown
    // until the new one comes.
    std::vector<orka::ReviewRequest> todo;
    if (auto cached = loader_->Cached(fit))
        fit_ = std::move(cached);
    else
        todo.push_back(fit);
    if (!full_)
        full_ = loader_->Cached(full);
    if (!full_)
        todo.insert(zoomed_ ? todo.begin() : todo.end(), full);
    loader_->Show(std::move(todo));
    if (full_ || fit_)
        MarksChanged();
}

void TReviewWindow::Made(const orka::ReviewRequest& request, orka::ReviewPicturePtr picture) {
    const ReviewItem* item = Current();
    if (!item)
        return;
    if (request.full) {
        if (request.Key() != FullRequest().Key())
            return;
        full_ = std::move(picture);
    } else {
        if (request.Key() != FitRequest().Key())
            return;
        fit_ = std::move(picture);
        shownSignalled_ = false;
    }
    if (zoomed_ && viewport_.isEmpty())
        viewport_ = orka::LoupeViewport(DisplayedSize(), QSizeF(view_->size()), FocusOnPicture());
    MarksChanged();
    Refresh();
}

QSizeF TReviewWindow::DisplayedSize() const {
    const orka::ReviewPicture* p = full_ ? full_.get() : fit_.get();
    if (!p || p->delivered.isEmpty())
        return {};
    return QSizeF(orka::DisplaySize(orientation_, p->delivered.width(), p->delivered.height()));
}

QPointF TReviewWindow::FocusOnPicture() const {
    const orka::ReviewPicture* p = full_ ? full_.get() : fit_.get();
    const ReviewItem* item = Current();
    if (!p || !item)
        return {};
    return orka::CameraToPicture(item->focusPoint, p->delivered, orientation_);
}

void TReviewWindow::ToggleZoom(std::optional<QPointF> at) {
    zoomed_ = !zoomed_;
    if (zoomed_) {
        const QSizeF picture = DisplayedSize();
        viewport_ = picture.isEmpty() ? QRectF()
                                      : orka::LoupeViewport(picture, QSizeF(view_->size()),
                                                            at ? *at : FocusOnPicture());
        if (!full_)
            Request();  // the full picture first
    }
    view_->update();
}

void TReviewWindow::Pan(QPointF delta) {
    if (!zoomed_ || viewport_.isEmpty())
        return;
    viewport_ = orka::PanViewport(viewport_, DisplayedSize(), delta);
    view_->update();
}

void TReviewWindow::MarksChanged() {
    markedFit_ = markedFull_ = {};  // the full one is marked when it is painted
    if (!(focusMask_ || clipping_) || !full_ || !full_->full || !fit_ || fit_->shown.isNull())
        return;
    markedFit_ = fit_->shown.copy();
    orka::MarkFitView(*full_, focusMask_, clipping_, markedFit_);
}

void TReviewWindow::Rate(int rating) {
    const ReviewItem* item = Current();
    if (!item)
        return;
    const orka::ExposureFigures exposure =
        item->status ? orka::ExposureOf(*item->status) : orka::ExposureFigures{};
    QString error;
    if (orka::WriteRating(item->path, rating, exposure, &error)) {
        ratings_[item->path] = rating;
        ratingError_.clear();
        Q_EMIT rated(item->path, rating);
    } else {
        ratingError_ = error;
        Q_EMIT ratingFailed(item->path, error);
    }
    Refresh();
}

QString TReviewWindow::MessageText() const {
    const ReviewItem* item = Current();
    if (!item)
        return {};
    QStringList lines;
    const std::string name = QFileInfo(item->path).fileName().toStdString();
    if (orka::IsRawFile(name)) {
        if (item->shownFile.isEmpty())
            lines << QCoreApplication::translate(
                "ReviewWindow", "Image brute : pas encore d'aperçu (ni JPEG ni .thm).");
        else
            lines << QCoreApplication::translate("ReviewWindow",
                                                 "Image brute : affichée par son compagnon %1.")
                         .arg(QFileInfo(item->shownFile).fileName());
    }
    if (!item->complete)
        lines << QCoreApplication::translate(
            "ReviewWindow",
            "Fichier coupé pendant le transfert (.partiel) : l'image "
            "s'arrête là où les données s'arrêtent.");
    const orka::ReviewPicture* p = full_ ? full_.get() : fit_.get();
    if (p && !p->message.isEmpty())
        lines << p->message;
    if (!ratingError_.isEmpty())
        lines << ratingError_;
    return lines.join(QLatin1Char('\n'));
}

QString TReviewWindow::SettingsText() const {
    const ReviewItem* item = Current();
    if (!item)
        return {};
    if (!item->status)
        return QCoreApplication::translate("ReviewWindow", "Réglages de la prise inconnus.");
    return orka::ShotSettingsLines(*item->status, item->focusPoint).join(QLatin1Char('\n'));
}

QString TReviewWindow::FileText() const {
    const ReviewItem* item = Current();
    if (!item)
        return {};
    const QFileInfo info(item->path);
    return orka::FileFactsLines(item->path, info.exists() ? info.size() : -1)
        .join(QLatin1Char('\n'));
}

void TReviewWindow::Refresh() {
    const ReviewItem* item = Current();
    setWindowTitle(
        item ? QCoreApplication::translate("ReviewWindow", "Revue des images — %1 (%2 / %3)")
                   .arg(QFileInfo(item->path).fileName())
                   .arg(current_ + 1)
                   .arg(Count())
             : QCoreApplication::translate("ReviewWindow", "Revue des images"));
    settings_->setText(SettingsText());
    file_->setText(FileText());
    const auto rating = CurrentRating();
    rating_->setText(item ? QCoreApplication::translate("ReviewWindow", "Note : %1")
                                .arg(Stars(rating.value_or(0)))
                          : QString());
    message_->setText(MessageText());
    newer_->setVisible(newerWaiting_);

    QImage histogram(orka::HistogramWidth, orka::HistogramHeight, QImage::Format_ARGB32);
    histogram.fill(kBackground);
    if (full_ && full_->full && full_->rgb.pixels > 0) {
        std::vector<uint32_t*> rows(size_t(histogram.height()));
        for (int y = 0; y < histogram.height(); ++y)
            rows[size_t(y)] = reinterpret_cast<uint32_t*>(histogram.scanLine(y));
        orka::DrawRgbHistogram(full_->rgb, assist_.highlightLevel, assist_.shadowLevel,
                               rows.data());
    }
    histogram_->setPixmap(QPixmap::fromImage(histogram));
    view_->update();
}

void TReviewWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
            Show(current_ - 1);
            break;
        case Qt::Key_Right:
            Show(current_ + 1);
            break;
        case Qt::Key_Home:
            Show(0);
            break;
        case Qt::Key_End:
            Show(Count() - 1);
            break;
        case Qt::Key_1:
        case Qt::Key_2:
        case Qt::Key_3:
        case Qt::Key_4:
        case Qt::Key_5:
            Rate(event->key() - Qt::Key_0);
            break;
        case Qt::Key_0:
            Rate(orka::RatingNone);
            break;
        case Qt::Key_X:
            Rate(orka::RatingRejected);
            break;
        case Qt::Key_Z:
        case Qt::Key_Space:
            ToggleZoom(std::nullopt);
            break;
        case Qt::Key_Escape:
            if (zoomed_)
                ToggleZoom(std::nullopt);
            break;
        case Qt::Key_F:
            focusMask_ = !focusMask_;
            MarksChanged();
            Refresh();
            break;
        case Qt::Key_C:
            clipping_ = !clipping_;
            MarksChanged();
            Refresh();
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

void TReviewWindow::showEvent(QShowEvent* event) {
    if (!geometryRestored_) {
        geometryRestored_ = true;
        const QByteArray geometry = Store().value(QStringLiteral("Review/geometry")).toByteArray();
        if (!geometry.isEmpty())
            restoreGeometry(geometry);
    }
    QWidget::showEvent(event);
}

void TReviewWindow::closeEvent(QCloseEvent* event) {
    SaveGeometry();
    QWidget::closeEvent(event);
}

void TReviewWindow::SaveGeometry() {
    Store().setValue(QStringLiteral("Review/geometry"), saveGeometry());
}
