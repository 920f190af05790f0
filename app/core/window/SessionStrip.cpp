#include "SessionStrip.h"

#include "Safekeeping.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

namespace {

// The icons leave room under their names for the strip's scroll bar.
constexpr int kIconWidth = 80;
constexpr int kIconHeight = 60;
constexpr int kIncompleteRole = Qt::UserRole + 1;
constexpr int kHasThumbnailRole = Qt::UserRole + 2;
constexpr int kVideoRole = Qt::UserRole + 3;
constexpr int kImageRole = Qt::UserRole + 4;   // the thumbnail, to draw the icon again
constexpr int kRatingRole = Qt::UserRole + 5;  // -1..5; absent: none
constexpr int kKeptRole = Qt::UserRole + 6;    // int(orka::FileMark)
constexpr int kNameRole = Qt::UserRole + 7;    // the text before any mark
constexpr int kTipRole = Qt::UserRole + 8;     // the tooltip before any mark

// The icon of a picture: its thumbnail fitted into the icon's box, or a
// grey box; an incomplete picture gets a red frame and a red band; a rated
// one its stars in the top left corner, a rejected one a red cross.
QPixmap PictureIcon(const QImage& image, bool incomplete, int rating = 0) {
    QPixmap icon(kIconWidth, kIconHeight);
    icon.fill(QColor(200, 200, 200));
    QPainter p(&icon);
    if (!image.isNull()) {
        const QImage fitted =
            image.scaled(kIconWidth, kIconHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        p.drawImage((kIconWidth - fitted.width()) / 2, (kIconHeight - fitted.height()) / 2, fitted);
    }
    if (incomplete) {
        p.setPen(QPen(QColor(220, 0, 0), 3));
        p.drawRect(1, 1, kIconWidth - 3, kIconHeight - 3);
        p.fillRect(0, kIconHeight - 16, kIconWidth, 16, QColor(220, 0, 0));
        p.setPen(Qt::white);
        p.drawText(QRect(0, kIconHeight - 16, kIconWidth, 16), Qt::AlignCenter,
                   QCoreApplication::translate("SessionStrip", "incomplète"));
    }
    if (rating > 0) {
        const QString stars(std::min(rating, 5), QChar(0x2605));
        QFont font = p.font();
        font.setPixelSize(12);
        p.setFont(font);
        const QRect band(0, 0, p.fontMetrics().horizontalAdvance(stars) + 4, 14);
        p.fillRect(band, QColor(0, 0, 0, 170));
        p.setPen(QColor(255, 210, 0));
        p.drawText(band, Qt::AlignCenter, stars);
    } else if (rating < 0) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0, 0, 0, 170), 6));
        p.drawLine(10, 8, kIconWidth - 10, kIconHeight - 8);
        p.drawLine(kIconWidth - 10, 8, 10, kIconHeight - 8);
        p.setPen(QPen(QColor(230, 0, 0), 3));
        p.drawLine(10, 8, kIconWidth - 10, kIconHeight - 8);
        p.drawLine(kIconWidth - 10, 8, 10, kIconHeight - 8);
    }
    return icon;
}

// The icon of a video: a strip of film.
QPixmap VideoIcon() {
    QPixmap icon(kIconWidth, kIconHeight);
    icon.fill(QColor(40, 40, 40));
    QPainter p(&icon);
    for (int x = 4; x < kIconWidth; x += 10) {
        p.fillRect(x, 3, 5, 5, Qt::white);
        p.fillRect(x, kIconHeight - 8, 5, 5, Qt::white);
    }
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, kIconWidth, kIconHeight), Qt::AlignCenter,
               QCoreApplication::translate("SessionStrip", "vidéo"));
    return icon;
}

}  // namespace

TSessionStrip::TSessionStrip(QWidget* parent)
    : QWidget(parent),
      list_(new QListWidget(this)),
      openFolder_(new QPushButton(this)),
      review_(new QPushButton(this)) {
    list_->setObjectName(QStringLiteral("Vignettes"));
    list_->setViewMode(QListView::IconMode);
    list_->setFlow(QListView::LeftToRight);
    list_->setWrapping(false);
    list_->setMovement(QListView::Static);
    list_->setIconSize(QSize(kIconWidth, kIconHeight));
    list_->setGridSize(QSize(kIconWidth + 24, kIconHeight + 20));
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setTextElideMode(Qt::ElideMiddle);
    list_->setToolTip(QCoreApplication::translate(
        "SessionStrip", "Images de la séance : Entrée ou R pour revoir, double clic pour ouvrir"));
    list_->installEventFilter(this);

    openFolder_->setObjectName(QStringLiteral("OuvrirDossier"));
    openFolder_->setText(QCoreApplication::translate("SessionStrip", "Ouvrir le\ndossier"));
    openFolder_->setToolTip(
        QCoreApplication::translate("SessionStrip", "Ouvre le dossier de la dernière image"));
    openFolder_->setEnabled(false);

    layout_ = new QHBoxLayout(this);
    layout_->setContentsMargins(4, 2, 4, 2);
    layout_->addWidget(list_, 1);
    layout_->addWidget(openFolder_);
    review_->setObjectName(QStringLiteral("Revoir"));
    review_->setText(QCoreApplication::translate("SessionStrip", "Revoir"));
    review_->setToolTip(QCoreApplication::translate(
        "SessionStrip", "Revoit l'image choisie en grand (Entrée ou R)"));
    review_->setEnabled(false);
    layout_->addWidget(review_);
    connect(review_, &QPushButton::clicked, this, &TSessionStrip::reviewRequested);
    connect(list_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item && !item->data(kVideoRole).toBool())
            Q_EMIT selected(item->data(Qt::UserRole).toString());
    });

    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const QString path = item->data(Qt::UserRole).toString();
        if (!Open(QUrl::fromLocalFile(path)))
            Q_EMIT openFailed(path);
    });
    connect(openFolder_, &QPushButton::clicked, this, [this] {
        if (Count() > 0)
            Open(QUrl::fromLocalFile(QFileInfo(PathAt(0)).absolutePath()));
    });
    worker_ = std::make_unique<orka::ThumbnailWorker>([this](orka::Thumbnail t) {
        // Back on the window thread; dropped if the strip is gone by then.
        QMetaObject::invokeMethod(
            this, [this, t = std::move(t)] { ShowThumbnail(t); }, Qt::QueuedConnection);
    });
}

TSessionStrip::~TSessionStrip() {
    worker_.reset();
}

void TSessionStrip::Browse(int step) {
    const int from = list_->currentRow();  // before the focus picks a first row
    list_->setFocus(Qt::ShortcutFocusReason);
    if (list_->count() == 0)
        return;
    const int row = from < 0 ? 0 : qBound(0, from + step, list_->count() - 1);
    list_->setCurrentRow(row);
    list_->scrollToItem(list_->item(row));
}

int TSessionStrip::CurrentRow() const {
    return list_->currentRow();
}

QWidget* TSessionStrip::List() const {
    return list_;
}

QWidget* TSessionStrip::FolderButton() const {
    return openFolder_;
}

void TSessionStrip::SetRows(bool rows) {
    list_->setWrapping(rows);
    list_->setHorizontalScrollBarPolicy(rows ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    list_->setVerticalScrollBarPolicy(rows ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    layout_->setDirection(rows ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    openFolder_->setText(rows ? QCoreApplication::translate("SessionStrip", "Ouvrir le dossier")
                              : QCoreApplication::translate("SessionStrip", "Ouvrir le\ndossier"));
}

void TSessionStrip::AddPicture(const QString& path, bool incomplete) {
    auto* item = new QListWidgetItem(PictureIcon({}, incomplete), QFileInfo(path).fileName());
    item->setData(Qt::UserRole, path);
    item->setData(kIncompleteRole, incomplete);
    item->setData(kHasThumbnailRole, false);
    item->setToolTip(
        incomplete ? QCoreApplication::translate("SessionStrip",
                                                 "%1\nimage incomplète : la transmission a été "
                                                 "interrompue, les octets reçus sont conservés")
                         .arg(QDir::toNativeSeparators(path))
                   : QDir::toNativeSeparators(path));
    if (incomplete)
        item->setForeground(QColor(200, 0, 0));
    AddEntry(item);
    worker_->request(path);
}

void TSessionStrip::AddVideo(const QString& path) {
    auto* item = new QListWidgetItem(VideoIcon(), QFileInfo(path).fileName());
    item->setData(Qt::UserRole, path);
    item->setData(kVideoRole, true);
    item->setToolTip(
        QCoreApplication::translate("SessionStrip", "%1\nvidéo enregistrée par la fenêtre")
            .arg(QDir::toNativeSeparators(path)));
    AddEntry(item);
}

void TSessionStrip::AddEntry(QListWidgetItem* item) {
    list_->insertItem(0, item);
    list_->scrollToItem(item);
    openFolder_->setEnabled(true);
    review_->setEnabled(true);
}

void TSessionStrip::CompanionArrived(const QString& path) {
    const QFileInfo companion(path);
    for (int i = 0; i < list_->count(); ++i) {
        const QFileInfo picture(PathAt(i));
        if (!HasThumbnailAt(i) && picture.absolutePath() == companion.absolutePath() &&
            picture.completeBaseName() == companion.completeBaseName())
            worker_->request(picture.filePath());
    }
}

int TSessionStrip::Count() const {
    return list_->count();
}

QString TSessionStrip::PathAt(int row) const {
    const QListWidgetItem* item = list_->item(row);
    return item ? item->data(Qt::UserRole).toString() : QString();
}

bool TSessionStrip::IncompleteAt(int row) const {
    const QListWidgetItem* item = list_->item(row);
    return item && item->data(kIncompleteRole).toBool();
}

bool TSessionStrip::HasThumbnailAt(int row) const {
    const QListWidgetItem* item = list_->item(row);
    return item && item->data(kHasThumbnailRole).toBool();
}

bool TSessionStrip::VideoAt(int row) const {
    const QListWidgetItem* item = list_->item(row);
    return item && item->data(kVideoRole).toBool();
}

void TSessionStrip::MarkKept(const QString& path, orka::FileMark mark, const QString& reason) {
    QListWidgetItem* item = ItemOf(path);
    if (item == nullptr)
        return;
    if (item->data(kKeptRole).isValid() && item->data(kKeptRole).toInt() == int(mark) &&
        (reason.isEmpty() || item->toolTip().endsWith(reason)))
        return;
    if (!item->data(kNameRole).isValid()) {
        item->setData(kNameRole, item->text());
        item->setData(kTipRole, item->toolTip());
    }
    struct Look {
        const char* sign;
        QColor colour;
        const char* tip;
    };
    using M = orka::FileMark;
    const Look look =
        mark == M::SavedTwice
            ? Look{"\u2714\u2714 ", QColor(0, 130, 0),
                   QT_TRANSLATE_NOOP("SessionStrip", "enregistrée deux fois (copie vérifiée)")}
        : mark == M::Owed
            ? Look{"\u26A0 ", QColor(200, 110, 0),
                   QT_TRANSLATE_NOOP("SessionStrip",
                                     "enregistrée une fois, copie de sécurité en attente")}
        : mark == M::Failed
            ? Look{"\u2718 ", QColor(200, 0, 0),
                   QT_TRANSLATE_NOOP("SessionStrip", "copie de sécurité impossible")}
            : Look{"\u2714 ", QColor(60, 60, 60),
                   QT_TRANSLATE_NOOP("SessionStrip", "enregistrée une fois")};
    item->setData(kKeptRole, int(mark));
    item->setText(QString::fromUtf8(look.sign) + item->data(kNameRole).toString());
    if (!item->data(kIncompleteRole).toBool())
        item->setForeground(look.colour);
    QString tip = item->data(kTipRole).toString() + QStringLiteral("\n") +
                  QCoreApplication::translate("SessionStrip", look.tip);
    if (!reason.isEmpty())
        tip += QStringLiteral(" : ") + reason;
    item->setToolTip(tip);
}

std::optional<orka::FileMark> TSessionStrip::KeptAt(int row) const {
    const QListWidgetItem* item = list_->item(row);
    if (item == nullptr || !item->data(kKeptRole).isValid())
        return std::nullopt;
    return static_cast<orka::FileMark>(item->data(kKeptRole).toInt());
}

bool TSessionStrip::Open(const QUrl& url) {
    return OpenUrlHook ? OpenUrlHook(url) : QDesktopServices::openUrl(url);
}

QListWidgetItem* TSessionStrip::ItemOf(const QString& path) const {
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->data(Qt::UserRole).toString() == path)
            return list_->item(i);
    return nullptr;
}

void TSessionStrip::ShowThumbnail(const orka::Thumbnail& thumbnail) {
    if (QListWidgetItem* item = ItemOf(thumbnail.path)) {
        const bool incomplete = item->data(kIncompleteRole).toBool();
        item->setIcon(PictureIcon(thumbnail.image, incomplete, item->data(kRatingRole).toInt()));
        item->setData(kImageRole, thumbnail.image);
        item->setData(kHasThumbnailRole, !thumbnail.image.isNull());
        if (thumbnail.image.isNull() && !thumbnail.error.isEmpty())
            item->setToolTip(item->toolTip() + QStringLiteral("\n") + thumbnail.error);
    }
    Q_EMIT thumbnailShown(thumbnail.path);
}

void TSessionStrip::SetRating(const QString& path, std::optional<int> rating) {
    QListWidgetItem* item = ItemOf(path);
    if (!item || item->data(kVideoRole).toBool())
        return;
    if (rating && *rating != 0)
        item->setData(kRatingRole, *rating);
    else
        item->setData(kRatingRole, QVariant());
    item->setIcon(PictureIcon(item->data(kImageRole).value<QImage>(),
                              item->data(kIncompleteRole).toBool(), rating.value_or(0)));
}

std::optional<int> TSessionStrip::RatingAt(int row) const {
    const QListWidgetItem* item = list_->item(row);
    if (!item || !item->data(kRatingRole).isValid())
        return std::nullopt;
    return item->data(kRatingRole).toInt();
}

QString TSessionStrip::SelectedPath() const {
    const QListWidgetItem* item = list_->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void TSessionStrip::SelectPath(const QString& path) {
    QListWidgetItem* item = ItemOf(path);
    if (!item || item == list_->currentItem())
        return;
    const QSignalBlocker quiet(list_);
    list_->setCurrentItem(item);
    list_->scrollToItem(item);
}

bool TSessionStrip::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_R) {
            Q_EMIT reviewRequested();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
