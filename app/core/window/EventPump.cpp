#include "EventPump.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>

#include <algorithm>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

const QString kTemplateFilter = QStringLiteral("Configuration Orka (*.cfg)");

}  // namespace

TEventPump::TEventPump(QWidget* window, QLabel* statusArea)
    : window_(window), statusArea_(statusArea) {}

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
        SayNow(countdown.arg(shown));
        std::this_thread::sleep_until(shown > 1 ? deadline - (seconds(shown - 1) + half)
                                                : deadline);
    }
    SayNow(QString());
}

void TEventPump::SayNow(const QString& text) {
    statusArea_->setText(text);
    statusArea_->repaint();
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
