// PCOrka: tethered shooting with the Orka camera.
#include <QApplication>
#include <QSettings>

#include "Language.h"
#include "OrkaCapture.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PCOrka"));
    QApplication::setApplicationVersion(QStringLiteral(PCORKA_VERSION));
    // French unless English is asked for (--lang en, PCORKA_LANG=en or the
    // settings tab's choice at the previous run).
    QSettings store(QStringLiteral("PCOrka"), QStringLiteral("PCOrka"));
    orka::InstallLanguage(orka::StartLanguage(QApplication::arguments(),
                                              qEnvironmentVariable("PCORKA_LANG"),
                                              orka::StoredLanguage(store)));
    TBase base;
    base.show();
    return QApplication::exec();
}
