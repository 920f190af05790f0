#include "PictureReview.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QToolButton>

#include "EventPump.h"
#include "FormControls.h"
#include "LiveView.h"
#include "PictureNotes.h"
#include "SavedPictures.h"
#include "SessionStrip.h"
#include "StatusPanel.h"
#include "XmpSidecar.h"
#include "ui_OrkaCapture.h"

namespace {

// At most this many pictures wait for their time on screen: one whose
// picture never shows (it could not be decoded) is forgotten in time.
constexpr size_t kMaxWaiting = 32;

QString Decoded(const std::string& path) {
    return QFile::decodeName(path.c_str());
}

}  // namespace

TPictureReview::TPictureReview(QWidget* window, const Ui::TBase& ui, TEventPump& pump,
                               TSessionStrip* strip, const TSavedPictures& saved,
                               const TLiveView& live)
    : window_(window), ui_(ui), pump_(pump), strip_(strip), saved_(saved), live_(live) {
    connect(strip_, &TSessionStrip::reviewRequested, this, &TPictureReview::Open);
    connect(strip_, &TSessionStrip::selected, this, [this](const QString& path) {
        if (review_ && review_->isVisible())
            review_->ShowPicture(path);
    });
    connect(strip_, &TSessionStrip::thumbnailShown, this, &TPictureReview::ThumbnailShown);
    // The review turns with the preview (its aids are read when it opens).
    for (QToolButton* turn : {ui_.ImgHorz0, ui_.ImgHorz1, ui_.ImgVertG, ui_.ImgVertD})
        connect(turn, &QToolButton::clicked, this, [this] {
            if (review_ && review_->isVisible())
                review_->SetOrientation(CurrentOrientation(ui_));
        });
}

TPictureReview::~TPictureReview() {
    // Closed first, so that it remembers its place for the next run.
    if (review_)
        review_->close();
    delete review_.data();
}

void TPictureReview::Released(const orka::ShotRecord& shot) {
    shots_.Released(shot);
}

void TPictureReview::FilesNoted(const std::vector<orka::SavedFile>& files) {
    const QString newestBefore = items_.empty() ? QString() : items_.back().path;
    const bool reviewShown = review_ && review_->isVisible();
    const auto now = orka::ShotClock::now();
    for (const orka::SavedFile& file : files) {
        if (!file.IsPicture())
            continue;
        ReviewItem item;
        item.path = Decoded(file.path);
        item.shownFile = Decoded(saved_.Pictures().ShownFile(file.path));
        item.complete = file.complete;
        // The files of one shot share its number: NAME.EXT, NAME.partiel.EXT.
        const QString number = QFileInfo(item.path).absolutePath() + QLatin1Char('/') +
                               QFileInfo(item.path).baseName();
        if (const auto shot = shots_.Landed(number.toStdString(), now)) {
            item.status = shot->status;
            item.focusPoint = shot->focusPoint;
            if (waiting_.size() >= kMaxWaiting)
                waiting_.erase(waiting_.begin());
            waiting_[item.path] = {shot->released, orka::SavedPictureNote(file)};
        }
        ReadBackRating(item.path);
        if (orka::IsRawFile(file.path))
            raw_.push_back({items_.size(), file.path});
        items_.push_back(item);
        if (reviewShown)
            review_->AddPicture(item);
        else
            stale_ = true;
    }
    // A raw picture shows through its JPEG or ".thm" once that arrived.
    for (const RawPicture& raw : raw_) {
        ReviewItem& item = items_[raw.index];
        const QString shown = Decoded(saved_.Pictures().ShownFile(raw.path));
        if (shown == item.shownFile)
            continue;
        item.shownFile = shown;
        if (reviewShown)
            review_->UpdatePicture(item);
        else
            stale_ = true;
    }
    // The strip's selection follows the newest picture unless the
    // photographer chose an older one (the review, when shown, moves it).
    if (!reviewShown && !items_.empty() && !newestBefore.isEmpty() &&
        strip_->SelectedPath() == newestBefore)
        strip_->SelectPath(items_.back().path);
}

void TPictureReview::Open() {
    if (!review_) {
        review_ = new TReviewWindow(window_);
        connect(review_, &TReviewWindow::currentChanged, this, [this](const QString& path) {
            strip_->SelectPath(path);
            ReadBackRating(path);
        });
        connect(review_, &TReviewWindow::rated, this, &TPictureReview::Rated);
        connect(review_, &TReviewWindow::ratingFailed, this, &TPictureReview::RatingFailed);
        connect(review_, &TReviewWindow::pictureShown, this, &TPictureReview::OnScreen);
    }
    if (!review_->isVisible()) {
        review_->SetOrientation(CurrentOrientation(ui_));
        review_->SetAssistSettings(live_.AssistSettings());
        if (stale_)
            review_->SetPictures(items_);
        stale_ = false;
    }
    const QString selected = strip_->SelectedPath();
    if (!selected.isEmpty())
        review_->ShowPicture(selected);
    review_->show();
    review_->raise();
    review_->activateWindow();
}

void TPictureReview::ReadBackRating(const QString& path) {
    // The rating as the sidecar holds it: another session or program may
    // have given or changed it.
    orka::SidecarFacts facts;
    if (orka::ReadSidecar(path, facts, nullptr))
        strip_->SetRating(path, facts.rating);
}

void TPictureReview::Rated(const QString& path, int rating) {
    strip_->SetRating(path, rating);
    Q_EMIT ratingChanged(path, rating);
}

void TPictureReview::RatingFailed(const QString& path, const QString& message) {
    pump_.Status().Say(orka::status::Notice, QCoreApplication::translate(
                                                 "PictureReview", "Note de %1 non enregistrée : %2")
                                                 .arg(QFileInfo(path).fileName(), message));
}

bool TPictureReview::ReviewShows(const QString& path) const {
    return review_ && review_->isVisible() && review_->CurrentPath() == path;
}

void TPictureReview::ThumbnailShown(const QString& path) {
    // The review, when it shows the picture, is where it counts.
    if (ReviewShows(path))
        return;
    for (int row = 0; row < strip_->Count(); ++row)
        if (strip_->PathAt(row) == path && strip_->HasThumbnailAt(row))
            return OnScreen(path);
}

void TPictureReview::OnScreen(const QString& path) {
    const auto it = waiting_.find(path);
    if (it == waiting_.end())
        return;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        orka::ShotClock::now() - it->second.released);
    const QString note = it->second.note;
    waiting_.erase(it);
    // Only while the status area still tells of this picture.
    if (pump_.Status().Area().Text(orka::status::Picture) != note)
        return;
    pump_.Status().Say(orka::status::OnScreen,
                       note + QStringLiteral(", ") + orka::OnScreenText(elapsed));
}
