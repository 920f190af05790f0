// Event pumping of the window, under the rule of re-entrancy (Activity.h):
// the one way the window handles messages while its work goes on (PumpOnce),
// the waits that handle none (BlockUntil), the waits the photographer can
// cancel (WaitCancellable), what the status area says at once (SayNow), and
// every modal dialog's event loop (Exec and the dialogs built on it: message
// boxes, the directory chooser, the template file dialogs).
#pragma once

#include <QPointer>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

#include "Activity.h"

class QDialog;
class QFileDialog;
class QWidget;
class TStatusPanel;

class TEventPump {
  public:
    enum class MessageKind { Warning, Error };

    // Tests put their own dialogs here; empty: the real dialogs. The
    // choosers return an empty path when the user cancels.
    struct DialogHooks {
        std::function<QString(const QString& start)> ChooseDirectory;
        std::function<QString()> ChooseTemplateToSave;
        std::function<QString()> ChooseTemplateToOpen;
        std::function<void(MessageKind kind, const QString& text)> ShowMessage;
    };

    // How a cancellable wait ended.
    enum class WaitEnd { Reached, Cancelled, Stopped, WindowGone };

    // window: the main window, parent of the dialogs; status: where SayNow
    // and the countdowns write.
    TEventPump(QWidget* window, TStatusPanel& status);

    // What the window is doing; shared with the scopes that mark it.
    const std::shared_ptr<orka::Activities>& Activities() const { return activities_; }

    // Handles the window messages waiting; false when a handler run from
    // here destroyed the window: the caller returns at once, touching nothing.
    [[nodiscard]] bool PumpOnce();
    // Runs a modal dialog's event loop, marked ModalDialog. The dialog may be
    // a child of the window: when a handler run from its loop destroys the
    // window, the dialog goes with it. False when the window was destroyed;
    // result (when given) receives exec's result, 0 when the dialog went.
    [[nodiscard]] bool Exec(QDialog* dialog, int* result = nullptr);

    // Waits without handling any message: nothing may run in between. A
    // countdown text (with %1 for the seconds left) is repainted in the
    // status area each second, so that the window does not seem dead.
    void BlockUntil(std::chrono::steady_clock::time_point deadline,
                    const QString& countdown = QString());
    // Waits until deadline, handling the window's messages (paints, timers)
    // but holding back the user's input except the gestures that cancel the
    // wait: Échap, a press on cancelButton (when given), closing the window.
    // The countdown is said as in BlockUntil; stop, when given, is asked
    // between two turns and ends the wait early (Stopped) when true.
    [[nodiscard]] WaitEnd WaitCancellable(std::chrono::steady_clock::time_point deadline,
                                          const QString& countdown, QWidget* cancelButton,
                                          const std::function<bool()>& stop = {});
    // Says something in the status area at once, even while the window
    // handles no message: the wait under way (an empty text clears it).
    void SayNow(const QString& text);
    // The status area, where the parts that pump say what happened.
    TStatusPanel& Status() { return status_; }

    // The modal dialogs of the window, each through Exec (or its hook).
    DialogHooks& Hooks() { return hooks_; }
    void ShowMessage(MessageKind kind, const QString& text);
    QString ChooseDirectory(const QString& title, const QString& start);
    // A ".cfg" template to save (save) or to open: the dialog starts in the
    // process's current directory and adds ".cfg" to a name typed without
    // it; the save dialog asks before overwriting.
    QString ChooseTemplate(bool save);

  private:
    // The file a file dialog returns; empty when cancelled or gone.
    QString ChosenFile(const QPointer<QFileDialog>& dialog);

    // The countdown text for the time left until deadline.
    static QString CountdownText(const QString& countdown,
                                 std::chrono::steady_clock::duration left);

    QPointer<QWidget> window_;
    TStatusPanel& status_;
    std::shared_ptr<orka::Activities> activities_ = std::make_shared<orka::Activities>();
    DialogHooks hooks_;
};
