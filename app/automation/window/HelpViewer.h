// The in-app help window: the French help pages compiled into the program
// (HelpPages.h), shown in a text browser with "Précédent", "Suivant",
// "Sommaire" and "Fermer" buttons. The window is not modal, so the user can
// read it while working.
//
// Each top-level window owns at most one help window: the main window's F1
// and "&Aide" share one; the schedule dialog, which is modal, gets its own
// (a window outside a modal dialog would not take input while it is open).
#pragma once

#include <QDialog>
#include <QString>

class QPushButton;
class QTextBrowser;
class QUrl;

class THelpViewer : public QDialog {
    Q_OBJECT

  public:
    explicit THelpViewer(QWidget* parent = nullptr);

    // Open the help window of parent's top-level window (created on first
    // use; parentless when parent is null), show the page and bring the window
    // to the front. They return the help window.
    //   ShowHelpContext: the topic of a help context, 10 to 50 for the
    //     settings tabs; 0, or a number that names no topic, the contents.
    //   ShowHelpContents: the contents page ("&Aide").
    //   ShowProgDHHelp: the page of the schedule dialog.
    static THelpViewer* ShowHelpContext(QWidget* parent, int context);
    static THelpViewer* ShowHelpContents(QWidget* parent);
    static THelpViewer* ShowProgDHHelp(QWidget* parent);

    // Shows a page given by its resource path (":/help/...") and adds it to
    // the history. A path that names no page shows a French notice instead.
    void ShowPage(const QString& resourcePath);

    // The title of the page shown (its <title>), empty before the first page.
    QString PageTitle() const;

    QTextBrowser* Browser() const { return browser_; }

  private Q_SLOTS:
    void PageChanged(const QUrl& url);

  private:
    static THelpViewer* ViewerFor(QWidget* parent);
    static THelpViewer* Present(QWidget* parent, const QString& resourcePath);

    QTextBrowser* browser_;
    QPushButton* back_;
    QPushButton* forward_;
    QPushButton* home_;
};
