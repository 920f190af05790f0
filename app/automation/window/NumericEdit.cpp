#include "NumericEdit.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTimer>

namespace orka {

TNumericEdit::TNumericEdit(QLineEdit* edit, EditRange range)
    : QObject(edit), edit_(edit), range_(range), timer_(new QTimer(this)) {
    timer_->setSingleShot(true);
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, &TNumericEdit::validateNow);
    connect(edit_, &QLineEdit::textChanged, this, &TNumericEdit::filterDigits);
    edit_->installEventFilter(this);
}

void TNumericEdit::setDelay(int milliseconds) {
    timer_->setInterval(milliseconds);
}

bool TNumericEdit::pending() const {
    return timer_->isActive();
}

bool TNumericEdit::eventFilter(QObject* watched, QEvent* event) {
    // A read-only box (a running sequence) keeps what it shows: no check.
    if (watched == edit_ && event->type() == QEvent::KeyRelease && !edit_->isReadOnly()) {
        timer_->start();
    }
    return QObject::eventFilter(watched, event);
}

void TNumericEdit::filterDigits() {
    if (filtering_) {
        return;
    }
    const DigitFilterResult r =
        eNbImgTChange(edit_->text(), edit_->cursorPosition(), int(edit_->selectedText().size()));
    if (!r.changed) {
        return;
    }
    filtering_ = true;
    edit_->setText(r.text);
    edit_->setCursorPosition(r.caret);
    filtering_ = false;
}

void TNumericEdit::validateNow() {
    timer_->stop();
    if (edit_->isReadOnly()) {
        return;
    }
    const EditRangeResult r = ReadEditInRange(edit_->text(), range_);
    switch (r.outcome) {
        case EditRangeResult::Accepted:
            Q_EMIT accepted(r.value);
            break;
        case EditRangeResult::OutOfRange:
            showMessage(QMessageBox::Warning, r.message);
            edit_->setText(QString::number(r.value));
            Q_EMIT accepted(r.value);
            break;
        case EditRangeResult::NotANumber:
            showMessage(QMessageBox::Critical, r.message);
            break;
    }
}

void TNumericEdit::showMessage(QMessageBox::Icon icon, const QString& text) {
    if (messageHook_) {
        messageHook_(icon, text);
        return;
    }
    const QString title = icon == QMessageBox::Warning
                              ? QCoreApplication::translate("NumericEdit", "Avertissement")
                              : QGuiApplication::applicationDisplayName();
    QMessageBox box(icon, title, text, QMessageBox::Ok, edit_->window());
    box.exec();
}

void TNumericEdit::ValidatePending(std::initializer_list<QLineEdit*> boxes) {
    for (QLineEdit* box : boxes)
        if (auto* rule = box->findChild<TNumericEdit*>(); rule && rule->pending())
            rule->validateNow();
}

int32_t TNumericEdit::ValueOr(const QLineEdit* edit, EditRange range, int32_t current) {
    const EditRangeResult r = ReadEditInRange(edit->text(), range);
    return r.outcome == EditRangeResult::Accepted ? r.value : current;
}

}  // namespace orka
