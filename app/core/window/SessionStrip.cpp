#include "SessionStrip.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>

namespace {

// The icons leave room under their names for the strip's scroll bar.
constexpr int kIconWidth = 80;
constexpr int kIconHeight = 60;
constexpr int kIncompleteRole = Qt::UserRole + 1;
constexpr int kHasThumbnailRole = Qt::UserRole + 2;
constexpr int kVideoRole = Qt::UserRole + 3;

// The icon of a picture: its thumbnail fitted into the icon's box, or a
// grey box; an incomplete picture gets a red frame and a red band.
QPixmap PictureIcon(const QImage& image, bool incomplete) {
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
                   QStringLiteral("incomplète"));
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
    p.drawText(QRect(0, 0, kIconWidth, kIconHeight), Qt::AlignCenter, QStringLiteral("vidéo"));
    return icon;
}

}  // namespace

TSessionStrip::TSessionStrip(QWidget* parent)
    : QWidget(parent), list_(new QListWidget(this)), openFolder_(new QPushButton(this)) {
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
    list_->setToolTip(QStringLiteral("Images de la séance : double clic pour ouvrir"));

    openFolder_->setObjectName(QStringLiteral("OuvrirDossier"));
    openFolder_->setText(QStringLiteral("Ouvrir le\ndossier"));
    openFolder_->setToolTip(QStringLiteral("Ouvre le dossier de la dernière image"));
    openFolder_->setEnabled(false);

    layout_ = new QHBoxLayout(this);
    layout_->setContentsMargins(4, 2, 4, 2);
    layout_->addWidget(list_, 1);
    layout_->addWidget(openFolder_);

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
    openFolder_->setText(rows ? QStringLiteral("Ouvrir le dossier")
                              : QStringLiteral("Ouvrir le\ndossier"));
}

void TSessionStrip::AddPicture(const QString& path, bool incomplete) {
    auto* item = new QListWidgetItem(PictureIcon({}, incomplete), QFileInfo(path).fileName());
    item->setData(Qt::UserRole, path);
    item->setData(kIncompleteRole, incomplete);
    item->setData(kHasThumbnailRole, false);
    item->setToolTip(incomplete ? QStringLiteral("%1\nimage incomplète : la transmission a été "
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
        QStringLiteral("%1\nvidéo enregistrée par la fenêtre").arg(QDir::toNativeSeparators(path)));
    AddEntry(item);
}

void TSessionStrip::AddEntry(QListWidgetItem* item) {
    list_->insertItem(0, item);
    list_->scrollToItem(item);
    openFolder_->setEnabled(true);
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
        item->setIcon(PictureIcon(thumbnail.image, incomplete));
        item->setData(kHasThumbnailRole, !thumbnail.image.isNull());
        if (thumbnail.image.isNull() && !thumbnail.error.isEmpty())
            item->setToolTip(item->toolTip() + QStringLiteral("\n") + thumbnail.error);
    }
    Q_EMIT thumbnailShown(thumbnail.path);
}
