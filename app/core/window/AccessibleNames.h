// What assistive technology says of the window's controls: each has a name
// and a description, translated with the window's texts. The status area
// keeps its name ("Zone d'état"); its message is its description and its
// text, and each new message is announced: a notification named by the
// message shows (what screen readers speak wherever the focus is), and the
// text and the description change.
#pragma once

class QString;
class QWidget;

namespace Ui {
class TBase;
}

// Names and describes the controls of the window (the form, the strip, the
// dialogs made with it).
void NameControls(Ui::TBase& ui);
// The status area's message changed: what readers announce.
void AnnounceStatus(QWidget* panel, const QString& oldText, const QString& newText);
