// The strip of the pictures saved in this session, newest first: each with
// its thumbnail (decoded off the window thread) and its file name; an
// incomplete picture is marked so. A double click opens a picture in the
// desktop's viewer; "Ouvrir le dossier" opens the folder of the newest one.
#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <memory>

#include "Thumbnails.h"

class QListWidget;
class QListWidgetItem;
class QPushButton;

class TSessionStrip : public QWidget {
    Q_OBJECT

  public:
    explicit TSessionStrip(QWidget* parent = nullptr);
    ~TSessionStrip() override;

    // A picture saved (or kept incomplete) at `path`.
    void AddPicture(const QString& path, bool incomplete);
    // A raw picture's ".thm" companion arrived at `path`: the picture it
    // belongs to gets its thumbnail now, if it has none yet.
    void CompanionArrived(const QString& path);
    int Count() const;
    bool Contains(const QString& path) const { return ItemOf(path) != nullptr; }
    QString PathAt(int row) const;  // row 0 is the newest
    bool IncompleteAt(int row) const;
    bool HasThumbnailAt(int row) const;

    // How a file or folder is opened; empty: the desktop's own handler.
    std::function<void(const QUrl&)> OpenUrlHook;

  Q_SIGNALS:
    // The thumbnail of `path` is in the strip (or could not be made).
    void thumbnailShown(const QString& path);

  private:
    void Open(const QUrl& url);
    void ShowThumbnail(const orka::Thumbnail& thumbnail);
    QListWidgetItem* ItemOf(const QString& path) const;

    QListWidget* list_;
    QPushButton* openFolder_;
    // Last member: destroyed first, so that no decoding outlives the strip.
    std::unique_ptr<orka::ThumbnailWorker> worker_;
};
