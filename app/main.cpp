// PCOrka: tethered shooting with the Orka camera.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "OrkaCapture.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PCOrka"));
    QApplication::setApplicationVersion(QStringLiteral(PCORKA_VERSION));
    // French throughout, whatever the system locale: dates and numbers, and
    // Qt's own dialogs (file choosers, message-box buttons) when its
    // translations are installed.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QTranslator qtFrench;
    if (qtFrench.load(QStringLiteral("qtbase_fr"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtFrench);
    TBase base;
    base.show();
    return QApplication::exec();
}
