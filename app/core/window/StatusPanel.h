// The status area InfoStatut as the window shows it: the messages of
// orka::StatusArea, the one shown elided in the middle when it is longer
// than the panel (on one line), every message in full in the tooltip. Each
// new message is announced in full to assistive technology.
#pragma once

#include <QObject>
#include <QString>

#include "StatusArea.h"

class QLabel;

class TStatusPanel : public QObject {
  public:
    explicit TStatusPanel(QLabel* panel);

    void Say(const orka::StatusKind& kind, const QString& text);
    void Clear(const orka::StatusKind& kind);
    // The same, painted at once, even while the window handles no message.
    void SayNow(const orka::StatusKind& kind, const QString& text);

    const orka::StatusArea& Area() const { return area_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Show();

    QLabel* panel_;
    orka::StatusArea area_;
    QString announced_;  // the message readers were told last, in full
};
