#include "EventPump.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>

#include <algorithm>
#include <thread>

#include "StatusPanel.h"

namespace {

using Clock = std::chrono::steady_clock;

const QString kTemplateFilter =
    QCoreApplication::translate("EventPump", "Configuration Orka (*.cfg)");

// For the length of a cancellable wait: the user's input goes nowhere, except
// the gestures that cancel the wait.
class TCancelGate : public QObject {
  public:
    TCancelGate(QWidget* window, QWidget* button) : window_(window), button_(button) {
        qApp->installEventFilter(this);
    }
    ~TCancelGate() override { qApp->removeEventFilter(this); }
    bool cancelled = false;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
                if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
                    cancelled = true;
                return true;
            case QEvent::MouseButtonPress:
                if (button_ && watched == button_)
                    cancelled = true;
                return true;
            case QEvent::Close:
                if (watched != window_)
                    return false;
                cancelled = true;  // the window stays: a second close closes it
                event->ignore();
                return true;
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::Shortcut:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
            case QEvent::ContextMenu:
                return true;
            default:
                return false;
        }
    }

  private:
    QWidget* window_;
    QWidget* button_;
};

}  // namespace

TEventPump::TEventPump(QWidget* window, TStatusPanel& status) : window_(window), status_(status) {}

bool TEventPump::PumpOnce() {
    const QPointer<QWidget> window = window_;
    QCoreApplication::processEvents();
    return !window.isNull();
}

bool TEventPump::Exec(QDialog* dialog, int* result) {
    const QPointer<QWidget> window = window_;
    const QPointer<QDialog> guard = dialog;
    // The scope shares the activities: it leaves them even after a handler
    // run from the dialog's loop destroyed the window.
    const orka::ActivityScope modal(activities_, orka::Activity::ModalDialog);
    const int code = dialog->exec();
    if (result)
        *result = guard ? code : 0;
    return !window.isNull();
}

// The waits of the release sequence block the window on purpose: nothing
// may run between the click and the shutter.
void TEventPump::BlockUntil(Clock::time_point deadline, const QString& countdown) {
    if (countdown.isEmpty()) {
        std::this_thread::sleep_until(deadline);
        return;
    }
    // The seconds left, rounded to the nearest, 1 for the last one.
    using std::chrono::seconds;
    constexpr auto half = std::chrono::milliseconds(500);
    for (auto now = Clock::now(); now < deadline; now = Clock::now()) {
        const int64_t shown =
            std::max<int64_t>(1, std::chrono::ceil<seconds>(deadline - now - half).count());
        SayNow(CountdownText(countdown, deadline - now));
        std::this_thread::sleep_until(shown > 1 ? deadline - (seconds(shown - 1) + half)
                                                : deadline);
    }
    SayNow(QString());
}

QString TEventPump::CountdownText(const QString& countdown, Clock::duration left) {
    // The seconds left, rounded to the nearest, 1 for the last one.
    const int64_t shown = std::max<int64_t>(
        1, std::chrono::ceil<std::chrono::seconds>(left - std::chrono::milliseconds(500)).count());
    return countdown.arg(shown);
}

TEventPump::WaitEnd TEventPump::WaitCancellable(Clock::time_point deadline,
                                                const QString& countdown, QWidget* cancelButton,
                                                const std::function<bool()>& stop) {
    const QPointer<QWidget> window = window_;
    const TCancelGate gate(window_, cancelButton);
    constexpr auto turn = std::chrono::milliseconds(10);
    WaitEnd end = WaitEnd::Reached;
    QString said;
    for (auto now = Clock::now(); now < deadline; now = Clock::now()) {
        if (!countdown.isEmpty() && CountdownText(countdown, deadline - now) != said) {
            said = CountdownText(countdown, deadline - now);
            SayNow(said);
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (window.isNull())
            return WaitEnd::WindowGone;
        if (gate.cancelled) {
            end = WaitEnd::Cancelled;
            break;
        }
        if (stop && stop()) {
            end = WaitEnd::Stopped;
            break;
        }
        std::this_thread::sleep_until(std::min(deadline, Clock::now() + turn));
    }
    if (!countdown.isEmpty())
        SayNow(QString());
    return end;
}

void TEventPump::SayNow(const QString& text) {
    status_.SayNow(orka::status::Wait, text);
}

// The dialogs below are children of the window, made on the heap: a handler
// run from their loop may destroy the window, and the dialog with it.

void TEventPump::ShowMessage(MessageKind kind, const QString& text) {
    if (hooks_.ShowMessage) {
        hooks_.ShowMessage(kind, text);
        return;
    }
    const QPointer<QMessageBox> box =
        new QMessageBox(kind == MessageKind::Warning ? QMessageBox::Warning : QMessageBox::Critical,
                        window_->windowTitle(), text, QMessageBox::Ok, window_);
    if (Exec(box))
        delete box;
}

QString TEventPump::ChooseDirectory(const QString& title, const QString& start) {
    if (hooks_.ChooseDirectory)
        return hooks_.ChooseDirectory(start);
    const QPointer<QFileDialog> dialog = new QFileDialog(window_, title, start);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    return ChosenFile(dialog);
}

QString TEventPump::ChooseTemplate(bool save) {
    if (save && hooks_.ChooseTemplateToSave)
        return hooks_.ChooseTemplateToSave();
    if (!save && hooks_.ChooseTemplateToOpen)
        return hooks_.ChooseTemplateToOpen();
    const QPointer<QFileDialog> dialog =
        new QFileDialog(window_, QString(), QDir::currentPath(), kTemplateFilter);
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setDefaultSuffix(QStringLiteral("cfg"));
    return ChosenFile(dialog);
}

QString TEventPump::ChosenFile(const QPointer<QFileDialog>& dialog) {
    int result = 0;
    if (!Exec(dialog, &result) || !dialog)
        return QString();
    const QStringList chosen = dialog->selectedFiles();
    delete dialog;
    return result == QDialog::Accepted && !chosen.isEmpty() ? chosen.constFirst() : QString();
}
