// The numeric edit boxes of the window: the digit filter and range rule of
// UtilsOrka.h applied to a QLineEdit as the user types.
#pragma once

#include <QMessageBox>
#include <QObject>

#include <functional>
#include <initializer_list>

#include "UtilsOrka.h"

class QLineEdit;
class QTimer;

namespace orka {

// Gives a numeric QLineEdit its behaviour: the digit filter on every change,
// and one second after the last key release the range rule. Out of range: a
// warning box, the box then shows the default and accepted(default) is
// emitted. Not a number: an error box and nothing emitted, so the setting
// keeps its previous value. Each key release restarts the second.
class TNumericEdit : public QObject {
    Q_OBJECT
  public:
    // Shows a message box; replaceable so that tests need no modal dialog.
    using MessageHook = std::function<void(QMessageBox::Icon icon, const QString& text)>;

    TNumericEdit(QLineEdit* edit, EditRange range);

    void setMessageHook(MessageHook hook) { messageHook_ = std::move(hook); }
    void setDelay(int milliseconds);
    bool pending() const;
    EditRange range() const { return range_; }

    // The range rule applied now to those of the boxes whose second is still
    // running: values typed less than a second ago count for what starts now.
    static void ValidatePending(std::initializer_list<QLineEdit*> boxes);
    // The integer a box holds when it passes the range rule, else current.
    static int32_t ValueOr(const QLineEdit* edit, EditRange range, int32_t current);

  public Q_SLOTS:
    // Applies the range rule now (the timer's time-out).
    void validateNow();

  Q_SIGNALS:
    void accepted(int value);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void filterDigits();
    void showMessage(QMessageBox::Icon icon, const QString& text);

    QLineEdit* edit_;
    EditRange range_;
    QTimer* timer_;
    MessageHook messageHook_;
    bool filtering_ = false;
};

}  // namespace orka
