// The review of the session's pictures in a window of its own (resizable, so
// that it can fill a second screen; it remembers its place): the picture
// fitted to the view with the loupe's place marked on it, or at 100 % around
// a point, dragged to pan; the focus mask and the clipping of the live view
// computed on the full-resolution picture; its channel histogram with clip
// markers; the shot's settings and the file's facts; ratings saved in the
// picture's XMP sidecar. It follows the newest picture as it lands unless the
// photographer is browsing; then a marker says a newer one came.
//
// Keys: Left / Right the previous / next picture, Home / End the first / the
// newest; 1 to 5 stars, 0 no rating, X rejected; Z or Space 100 % at the
// shot's focus point (and back), Escape back to the fit view; F the focus
// mask, C the clipping. A click toggles 100 % at the point clicked.
//
// It knows the pictures only through ReviewItem records (the main window
// feeds them); decoding runs on a loader thread.
#pragma once

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "LiveAssist.h"
#include "LiveViewMath.h"
#include "ReviewLoader.h"
#include "fotolien.h"

class QLabel;
class QTimer;

// One picture of the session as the review shows it.
struct ReviewItem {
    QString path;       // the picture as saved; its sidecar goes beside it
    QString shownFile;  // what shows it: itself, or a raw picture's companion; empty: none yet
    std::optional<CameraStatusData> status;  // the status the window held when it shot
    std::array<int32_t, 2> focusPoint{orka::CameraFrameWidth / 2, orka::CameraFrameHeight / 2};
    bool complete = true;  // false: cut off during the transfer (NAME.partiel.EXT)
};

class TReviewView;

class TReviewWindow : public QWidget {
    Q_OBJECT

  public:
    explicit TReviewWindow(QWidget* parent = nullptr);
    ~TReviewWindow() override;

    // The session's pictures, oldest first; shows the newest.
    void SetPictures(std::vector<ReviewItem> items);
    // A picture landed: shown at once unless the photographer is browsing.
    void AddPicture(const ReviewItem& item);
    // A picture's record changed (its companion arrived, it was completed).
    void UpdatePicture(const ReviewItem& item);
    // Shows the picture at path (the strip's selection).
    void ShowPicture(const QString& path);
    // The live view's orientation and aids (mask sensitivity and colour,
    // clipping levels and style).
    void SetOrientation(orka::Orientation orientation);
    void SetAssistSettings(const orka::AssistSettings& settings);

    int Count() const { return int(items_.size()); }
    int CurrentIndex() const { return current_; }
    QString CurrentPath() const;
    bool Browsing() const { return current_ >= 0 && current_ + 1 < Count(); }
    bool NewerWaiting() const { return newerWaiting_; }
    bool Zoomed() const { return zoomed_; }
    QRectF Viewport() const { return viewport_; }  // 100 %: the picture's part shown
    bool FocusMask() const { return focusMask_; }
    bool Clipping() const { return clipping_; }
    // The rating of the current picture as its sidecar holds it (-1..5), or
    // empty.
    std::optional<int> CurrentRating() const;
    QString MessageText() const;   // what is wrong with the current picture
    QString SettingsText() const;  // the shot's settings
    QString FileText() const;      // the file's facts
    // The current picture is on screen: its fit view, or its full picture
    // when at 100 %.
    bool PictureOnScreen() const;

  Q_SIGNALS:
    void currentChanged(const QString& path);
    // The rating was saved in the picture's sidecar.
    void rated(const QString& path, int rating);
    void ratingFailed(const QString& path, const QString& message);
    // The fit view of the picture was painted for the first time.
    void pictureShown(const QString& path);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    friend class TReviewView;

    const ReviewItem* Current() const;
    void Show(int index);
    void Request();
    void Made(const orka::ReviewRequest& request, orka::ReviewPicturePtr picture);
    void Rate(int rating);
    void ToggleZoom(std::optional<QPointF> at);
    void Pan(QPointF delta);
    void MarksChanged();
    void Refresh();  // texts, histogram, view
    QPointF FocusOnPicture() const;
    QSizeF DisplayedSize() const;
    orka::ReviewRequest FitRequest() const;
    orka::ReviewRequest FullRequest() const;
    void SaveGeometry();

    std::vector<ReviewItem> items_;
    int current_ = -1;
    bool newerWaiting_ = false;
    bool zoomed_ = false;
    QRectF viewport_;
    bool focusMask_ = false;
    bool clipping_ = false;
    orka::Orientation orientation_ = orka::Orientation::Normal;
    orka::AssistSettings assist_;
    std::map<QString, int> ratings_;  // read from or written to the sidecars
    QString ratingError_;

    // The current picture as made so far, and what is drawn from it.
    orka::ReviewPicturePtr fit_;
    orka::ReviewPicturePtr full_;
    QImage markedFit_;   // fit_ with the marks; null when none
    QImage markedFull_;  // full_ with the marks; null when none
    bool shownSignalled_ = false;

    TReviewView* view_;
    QLabel* histogram_;
    QLabel* settings_;
    QLabel* file_;
    QLabel* rating_;
    QLabel* message_;
    QLabel* newer_;
    QTimer* resized_;  // asks for the fit view again once a resize settles
    bool geometryRestored_ = false;
    // Last member: destroyed first, so that no decode outlives the window.
    std::unique_ptr<orka::ReviewLoader> loader_;
};
