// The photographer's own choices kept between runs (orka::RememberedChoices):
// put back on the controls when the window opens, their handlers run as a
// click would run them, and stored shortly after each change and when the
// window closes. A picture folder that no longer exists gives way to the
// default one, and the status area says so.
#pragma once

#include <QObject>
#include <QString>

#include "RememberedChoices.h"

class QTimer;
class TLiveView;
class TStatusPanel;

namespace Ui {
class TBase;
}

class TChoicesMemory : public QObject {
  public:
    TChoicesMemory(Ui::TBase& ui, TLiveView& live, TStatusPanel& status);

    // The folder, prefixes and display choices stored, on the controls.
    // defaultFolder: the folder of a first run.
    void Restore(const QString& defaultFolder);
    // The choices the controls show, stored.
    void Save();

  private:
    orka::RememberedChoices Shown() const;

    Ui::TBase& ui_;
    TLiveView& live_;
    TStatusPanel& status_;
    QTimer* saveSoon_;
    bool restoring_ = false;
};
