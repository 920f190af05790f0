#include "StatusPanel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>

#include "AccessibleNames.h"

TStatusPanel::TStatusPanel(QLabel* panel) : panel_(panel) {
    panel_->installEventFilter(this);
}

void TStatusPanel::Say(const orka::StatusKind& kind, const QString& text) {
    area_.Say(kind, text);
    Show();
}

void TStatusPanel::Clear(const orka::StatusKind& kind) {
    area_.Clear(kind);
    Show();
}

void TStatusPanel::SayNow(const orka::StatusKind& kind, const QString& text) {
    Say(kind, text);
    panel_->repaint();
}

void TStatusPanel::Show() {
    // One line: a message of several lines is shown joined.
    QString line = area_.Shown();
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const int room = panel_->contentsRect().width() - 2 * panel_->margin() - 4;
    const QString shown = panel_->fontMetrics().elidedText(line, Qt::ElideMiddle, room);
    if (panel_->text() != shown)
        panel_->setText(shown);
    // An alarm in red, anything else in the panel's black.
    const orka::StatusKind* kind = area_.ShownKind();
    const QString colour = QStringLiteral("color: %1;")
                               .arg(kind != nullptr && kind->alarm ? QStringLiteral("#d00000")
                                                                   : QStringLiteral("#000000"));
    if (panel_->styleSheet() != colour)
        panel_->setStyleSheet(colour);
    if (line != announced_) {
        AnnounceStatus(panel_, announced_, line);
        announced_ = line;
    }
    const QString details = area_.Details();
    if (panel_->toolTip() != details)
        panel_->setToolTip(details);
}

bool TStatusPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == panel_ && event->type() == QEvent::Resize)
        Show();
    return QObject::eventFilter(watched, event);
}
