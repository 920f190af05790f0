// The strip of the pictures saved in this session, newest first: each with
// its thumbnail (decoded off the window thread) and its file name; an
// incomplete picture is marked so; a video recorded by the window shows as a
// video entry; a rated picture shows its stars, a rejected one a cross.
// Entrée or R on the strip, or "Revoir", asks for the review of the picture
// selected. A double click opens the file in the desktop's viewer (a
// file no program opens is reported by openFailed); "Ouvrir le dossier"
// opens the folder of the newest one.
#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

#include "Thumbnails.h"

namespace orka {
enum class FileMark;
}

class QBoxLayout;
class QListWidget;
class QListWidgetItem;
class QPushButton;

class TSessionStrip : public QWidget {
    Q_OBJECT

  public:
    explicit TSessionStrip(QWidget* parent = nullptr);
    ~TSessionStrip() override;

    // A single row scrolled sideways, the folder button beside it (false),
    // or rows scrolled up and down, the button under them (true).
    void SetRows(bool rows);
    // The keyboard: selects the picture `step` places on (positive: older),
    // stopping at either end, and gives the strip the focus.
    void Browse(int step);
    // The row selected, -1 when none.
    int CurrentRow() const;
    QWidget* List() const;
    QWidget* FolderButton() const;

    // A picture saved (or kept incomplete) at `path`.
    void AddPicture(const QString& path, bool incomplete);
    // A video recorded at `path`.
    void AddVideo(const QString& path);
    // A raw picture's ".thm" companion arrived at `path`: the picture it
    // belongs to gets its thumbnail now, if it has none yet.
    void CompanionArrived(const QString& path);
    int Count() const;
    bool Contains(const QString& path) const { return ItemOf(path) != nullptr; }
    QString PathAt(int row) const;  // row 0 is the newest
    bool IncompleteAt(int row) const;
    bool HasThumbnailAt(int row) const;
    bool VideoAt(int row) const;

    // The rating of the picture at `path` as its thumbnail shows it: 1 to 5
    // stars, -1 rejected, 0 or empty none.
    void SetRating(const QString& path, std::optional<int> rating);
    std::optional<int> RatingAt(int row) const;
    // The picture selected (empty: none); selecting by code signals nothing.
    QString SelectedPath() const;
    void SelectPath(const QString& path);
    // Where the picture at `path` is kept: saved once or twice, its copy
    // owed or failed (why: `reason`), shown before its name and in its
    // tooltip.
    void MarkKept(const QString& path, orka::FileMark mark, const QString& reason);
    // The mark of row, empty when it has none.
    std::optional<orka::FileMark> KeptAt(int row) const;

    // Opens a file or folder with the desktop's handler; false when none
    // could open it.
    bool Open(const QUrl& url);
    // How a file or folder is opened; empty: the desktop's own handler.
    std::function<bool(const QUrl&)> OpenUrlHook;

  Q_SIGNALS:
    // No program opened the file at `path` (a double click on it).
    void openFailed(const QString& path);
    // The thumbnail of `path` is in the strip (or could not be made).
    void thumbnailShown(const QString& path);
    // The photographer selected the picture at `path`.
    void selected(const QString& path);
    // Entrée or R on the strip, or a click on "Revoir".
    void reviewRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void AddEntry(QListWidgetItem* item);
    void ShowThumbnail(const orka::Thumbnail& thumbnail);
    QListWidgetItem* ItemOf(const QString& path) const;

    QListWidget* list_;
    QPushButton* openFolder_;
    QPushButton* review_;
    QBoxLayout* layout_;
    // Last member: destroyed first, so that no decoding outlives the strip.
    std::unique_ptr<orka::ThumbnailWorker> worker_;
};
