// The window on the keyboard: the shortcuts (none of them takes a picture on
// a single press: the shutter key half-presses first), each shown at the end
// of its control's tooltip, and the tab order following the layout: the
// tabs of the settings, the shutter, the connection button, the strip of
// pictures. The keys are listed in the help page "Clavier".
#pragma once

#include <QKeySequence>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <vector>

class QWidget;
class TSessionStrip;
class TShutter;

namespace Ui {
class TBase;
}

class TKeyboard : public QObject {
    Q_OBJECT

  public:
    TKeyboard(QWidget* window, Ui::TBase& ui, TShutter& shutter, TSessionStrip* strip);

    // `keys` runs `action` while the window is active; `shownOn` (may be
    // null) shows the keys at the end of its tooltip.
    void AddShortcut(const QKeySequence& keys, QWidget* shownOn, std::function<void()> action,
                     bool autoRepeat = false);
    // Every tooltip ends with its keys; run again after the tooltips were
    // set anew (another language).
    void ShowShortcutsInTooltips();

    // The keys of the shutter: a first press half-presses, a second shoots.
    static QKeySequence ShutterKeys() { return QKeySequence(Qt::Key_F5); }

  private:
    void SetTabOrder();

    QWidget* window_;
    Ui::TBase& ui_;
    TSessionStrip* strip_;
    struct Shown {
        QPointer<QWidget> widget;
        QKeySequence keys;
    };
    std::vector<Shown> shown_;
};
