// The main of every GoogleTest program. A program testing Qt code is built
// with ORKA_TEST_QT_GUI (a QGuiApplication: painting without widgets) or
// ORKA_TEST_QT_WIDGETS (a QApplication: widgets and their event loop), on
// the offscreen platform unless another is set.
#if defined(ORKA_TEST_QT_WIDGETS)
#include <QApplication>
using TestApplication = QApplication;
#elif defined(ORKA_TEST_QT_GUI)
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

#include <gtest/gtest.h>

int main(int argc, char** argv) {
#if defined(ORKA_TEST_QT_WIDGETS) || defined(ORKA_TEST_QT_GUI)
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    TestApplication app(argc, argv);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
