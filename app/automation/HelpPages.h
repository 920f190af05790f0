// Where the help pages live inside the program. resources/help.qrc compiles
// resources/help/ into the program under ":/help", so the help window finds
// its pages wherever the program is installed. Plain functions, no widget.
#pragma once

namespace orkahelp {

// Help contexts: 0 is the contents page, 10 to 50 the main window's settings
// tabs in their order ("Réglages", "Compensations", "Automatismes",
// "Présentation", "Paramétrages").
constexpr int kContentsContext = 0;
constexpr int kFirstTabContext = 10;
constexpr int kLastTabContext = 50;

// Resource path (":/help/...") of the topic for a help context. The contents
// page for 0 and for any number that names no topic, so that F1 always opens
// something.
const char* HelpPagePath(int context);

// The contents page of the main help.
const char* HelpContentsPath();

// The page of the date and time schedule dialog.
const char* ProgDHHelpPath();

}  // namespace orkahelp
