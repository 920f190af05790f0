// The review of the session's pictures from the main window: the review
// window (TReviewWindow), opened from the strip ("Revoir", Entrée or R) on
// the picture selected there and kept in step with the strip's selection,
// fed every picture as it lands with what the window knew when it shot it
// (the status and the focus point, taken at the release); the ratings on
// the strip's thumbnails, read back from the sidecars; and, in the status
// area, the time from each release to its picture on screen (the review
// when it shows that picture, else the strip's thumbnail).
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <map>
#include <string>
#include <vector>

#include "ReviewWindow.h"
#include "SessionPictures.h"
#include "ShotRecords.h"

class QWidget;
class TEventPump;
class TLiveView;
class TSavedPictures;
class TSessionStrip;

namespace Ui {
class TBase;
}

class TPictureReview : public QObject {
    Q_OBJECT

  public:
    TPictureReview(QWidget* window, const Ui::TBase& ui, TEventPump& pump, TSessionStrip* strip,
                   const TSavedPictures& saved, const TLiveView& live);
    ~TPictureReview() override;

    // The shutter was released (by a click, the intervalometer or the
    // motion detection).
    void Released(const orka::ShotRecord& shot);
    // Files the strip just got, oldest first.
    void FilesNoted(const std::vector<orka::SavedFile>& files);
    // Opens the review on the strip's selected picture (the newest when
    // none is selected).
    void Open();

    // The review window; null until it was first opened.
    TReviewWindow* Window() const { return review_; }
    const std::vector<ReviewItem>& Items() const { return items_; }

  Q_SIGNALS:
    // The photographer changed the rating of `path` (-1 rejected, 0 none,
    // 1 to 5 stars) and it was saved in its sidecar.
    void ratingChanged(const QString& path, int rating);

  private:
    void ReadBackRating(const QString& path);
    void Rated(const QString& path, int rating);
    void RatingFailed(const QString& path, const QString& message);
    void ThumbnailShown(const QString& path);
    void OnScreen(const QString& path);
    bool ReviewShows(const QString& path) const;

    QWidget* window_;
    const Ui::TBase& ui_;
    TEventPump& pump_;
    TSessionStrip* strip_;
    const TSavedPictures& saved_;
    const TLiveView& live_;

    std::vector<ReviewItem> items_;  // the session's pictures, oldest first
    // The raw pictures among them (index in items_, path as the library
    // wrote it), whose companion may land after them.
    struct RawPicture {
        size_t index;
        std::string path;
    };
    std::vector<RawPicture> raw_;
    orka::ShotRecords shots_;
    // Pictures landed from a release, not yet on screen: when they were
    // released and the status area's note of their place.
    struct Waiting {
        orka::ShotClock::time_point released;
        QString note;
    };
    std::map<QString, Waiting> waiting_;
    QPointer<TReviewWindow> review_;  // a window of its own, child of the main window
    bool stale_ = true;               // items_ changed while the review was hidden
};
