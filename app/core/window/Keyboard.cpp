#include "Keyboard.h"

#include <QCheckBox>
#include <QListWidget>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>

#include "SessionStrip.h"
#include "Shutter.h"
#include "ui_OrkaCapture.h"

namespace {

// What a tooltip ends with to show its keys.
QString KeysSuffix(const QKeySequence& keys) {
    return QStringLiteral(" (%1)").arg(keys.toString(QKeySequence::NativeText));
}

}  // namespace

TKeyboard::TKeyboard(QWidget* window, Ui::TBase& ui, TShutter& shutter, TSessionStrip* strip)
    : QObject(window), window_(window), ui_(ui), strip_(strip) {
    // Connecting and disconnecting, as a click on the button does.
    AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_K), ui.ConnectAPN,
                [&ui] { ui.ConnectAPN->click(); });
    // The live view on and off (its box is greyed without a camera).
    AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), ui.PreVisuActif,
                [&ui] { ui.PreVisuActif->click(); });
    // The shutter: half press first, the picture on the second press. A key
    // held down does not repeat.
    AddShortcut(ShutterKeys(), ui.PriseVue, [&shutter] { shutter.ShutterKeyPress(false); });
    // The strip: the next (older) and previous (newer) picture from anywhere
    // in the window; the arrows alone inside the strip.
    AddShortcut(
        QKeySequence(Qt::ALT | Qt::Key_Right), nullptr, [strip] { strip->Browse(1); }, true);
    AddShortcut(
        QKeySequence(Qt::ALT | Qt::Key_Left), nullptr, [strip] { strip->Browse(-1); }, true);
    // The tabs of the settings, in their order; Ctrl+, the last one, where
    // the program's own settings are.
    static constexpr Qt::Key kDigits[] = {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5};
    QTabWidget* tabs = ui.CommandeAPN;
    for (int i = 0; i < tabs->count() && i < int(std::size(kDigits)); ++i)
        AddShortcut(QKeySequence(Qt::CTRL | kDigits[i]), nullptr, [tabs, i] {
            tabs->setCurrentIndex(i);
            tabs->currentWidget()->setFocus(Qt::ShortcutFocusReason);
        });
    AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma), nullptr, [tabs] {
        tabs->setCurrentWidget(tabs->widget(tabs->count() - 1));
        tabs->currentWidget()->setFocus(Qt::ShortcutFocusReason);
    });
    // F1 is the window's own key (the page of the tab shown); the help
    // button shows it.
    shown_.push_back({ui.Aide, QKeySequence(Qt::Key_F1)});

    ShowShortcutsInTooltips();
    SetTabOrder();
}

void TKeyboard::AddShortcut(const QKeySequence& keys, QWidget* shownOn,
                            std::function<void()> action, bool autoRepeat) {
    auto* shortcut = new QShortcut(keys, window_);
    shortcut->setContext(Qt::WindowShortcut);
    shortcut->setAutoRepeat(autoRepeat);
    connect(shortcut, &QShortcut::activated, this, std::move(action));
    if (shownOn)
        shown_.push_back({shownOn, keys});
}

void TKeyboard::ShowShortcutsInTooltips() {
    for (const Shown& shown : shown_) {
        if (!shown.widget)
            continue;
        const QString suffix = KeysSuffix(shown.keys);
        QString tip = shown.widget->toolTip();
        if (tip.endsWith(suffix))
            continue;
        if (tip.isEmpty())
            tip = shown.widget->accessibleName();
        shown.widget->setToolTip(tip + suffix);
    }
}

// The reading order of the window: the right column from top to bottom (the
// tabs and their controls, the shutter, the connection button), then the
// strip of pictures. Inside a tab the order is the form's.
void TKeyboard::SetTabOrder() {
    QWidget* const chain[] = {ui_.CommandeAPN, ui_.PriseVue, ui_.ConnectAPN, strip_->List(),
                              strip_->FolderButton()};
    for (size_t i = 1; i < std::size(chain); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    for (QWidget* w : chain)
        if (w->focusPolicy() == Qt::NoFocus)
            w->setFocusPolicy(Qt::StrongFocus);
}
