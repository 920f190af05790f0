// PCOrka: tethered shooting with the Orka camera.
#include <QApplication>

#include "OrkaCapture.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PCOrka"));
    QApplication::setApplicationVersion(QStringLiteral(PCORKA_VERSION));
    TBase base;
    base.show();
    return QApplication::exec();
}
