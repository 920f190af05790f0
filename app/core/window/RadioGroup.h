// A titled group of radio buttons chosen by index, laid out in columns.
//
// The items are radio buttons named <group name>Item<index>. Setting the
// index from code changes the selection without any signal; `clicked` is
// emitted for every click of the user on an item, also on the item already
// selected, so a handler connected to it runs exactly once per user choice
// and code that sets the index calls its handler itself.
#pragma once

#include <QGroupBox>
#include <QStringList>

class QAbstractButton;
class QButtonGroup;

class TRadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QStringList items READ items WRITE setItems)
    Q_PROPERTY(int columns READ columns WRITE setColumns)
    Q_PROPERTY(int itemIndex READ itemIndex WRITE setItemIndex)

  public:
    explicit TRadioGroup(QWidget* parent = nullptr);

    QStringList items() const { return items_; }
    void setItems(const QStringList& items);
    int columns() const { return columns_; }
    void setColumns(int columns);
    // -1 when no item is selected.
    int itemIndex() const;
    void setItemIndex(int index);
    QAbstractButton* item(int index) const;

  Q_SIGNALS:
    void clicked(int index);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void layoutItems();

    QStringList items_;
    int columns_ = 1;
    int requestedIndex_ = -1;
    QButtonGroup* group_;
};
