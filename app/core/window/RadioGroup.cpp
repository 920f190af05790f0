#include "RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>

TRadioGroup::TRadioGroup(QWidget* parent) : QGroupBox(parent), group_(new QButtonGroup(this)) {
    connect(group_, &QButtonGroup::idClicked, this, &TRadioGroup::clicked);
}

void TRadioGroup::setItems(const QStringList& items) {
    // An index set before the items were given selects among them.
    const int keep = group_->buttons().isEmpty() ? requestedIndex_ : itemIndex();
    for (QAbstractButton* b : group_->buttons()) {
        group_->removeButton(b);
        delete b;
    }
    items_ = items;
    for (int i = 0; i < items_.size(); ++i) {
        auto* b = new QRadioButton(items_[i], this);
        b->setObjectName(objectName() + QStringLiteral("Item") + QString::number(i));
        group_->addButton(b, i);
        b->show();
    }
    setItemIndex(keep);
    layoutItems();
}

void TRadioGroup::setColumns(int columns) {
    columns_ = qMax(1, columns);
    layoutItems();
}

int TRadioGroup::itemIndex() const {
    return group_->checkedId();
}

void TRadioGroup::setItemIndex(int index) {
    requestedIndex_ = index;
    if (QAbstractButton* b = group_->button(index)) {
        b->setChecked(true);
        return;
    }
    // No selection: an exclusive group cannot uncheck its last button directly.
    group_->setExclusive(false);
    for (QAbstractButton* b : group_->buttons())
        b->setChecked(false);
    group_->setExclusive(true);
}

QAbstractButton* TRadioGroup::item(int index) const {
    return group_->button(index);
}

void TRadioGroup::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    layoutItems();
}

// Items fill the columns top to bottom, the first columns taking the extra
// items, each column as wide as the group allows.
void TRadioGroup::layoutItems() {
    const int count = static_cast<int>(items_.size());
    if (count == 0)
        return;
    const QRect area = contentsRect().adjusted(8, fontMetrics().height() + 2, -4, -4);
    const int rows = (count + columns_ - 1) / columns_;
    const int columnWidth = area.width() / columns_;
    const int rowHeight = qMax(16, area.height() / qMax(1, rows));
    for (int i = 0; i < count; ++i) {
        QAbstractButton* b = group_->button(i);
        const int column = i / rows;
        const int row = i % rows;
        const int h = qMin(rowHeight, b->sizeHint().height());
        b->setGeometry(area.left() + column * columnWidth,
                       area.top() + row * rowHeight + (rowHeight - h) / 2, columnWidth - 4, h);
    }
}
