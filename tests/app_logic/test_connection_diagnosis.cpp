// The message shown when the camera cannot be opened, from what the
// transport found on the bus.
#include "ConnectionDiagnosis.h"

#include <gtest/gtest.h>

#include <QFile>

#include "usbpipe.h"

using namespace orka;

namespace {

using Reason = OpenFailure::Reason;

// Each case names what was found and what to do, with the detail the
// transport gave; no two cases read alike.
TEST(ConnectionDiagnosis, EachCaseSaysWhatWasFoundAndWhatToDo) {
    const QString none = OpenFailureText({Reason::NoCamera, {}});
    EXPECT_TRUE(none.contains(QStringLiteral("Aucun Orka n'est branché")));
    EXPECT_TRUE(none.contains(QStringLiteral("câble")));

    const QString denied = OpenFailureText({Reason::AccessDenied, "/dev/bus/usb/001/007"});
    EXPECT_TRUE(denied.contains(QStringLiteral("(/dev/bus/usb/001/007) est refusé")));
    EXPECT_TRUE(denied.contains(UdevRuleCommand()));

    const QString held = OpenFailureText({Reason::Busy, "importer (pid 4242)"});
    EXPECT_TRUE(
        held.contains(QStringLiteral("un autre programme l'utilise : importer (pid 4242)")));
    EXPECT_TRUE(held.contains(QStringLiteral("importateurs de photos")));
    EXPECT_FALSE(OpenFailureText({Reason::Busy, {}}).contains(QStringLiteral("utilise :")));

    QStringList all;
    for (Reason r : {Reason::None, Reason::NoCamera, Reason::AccessDenied, Reason::Busy,
                     Reason::NotReady, Reason::Unavailable})
        all << OpenFailureText({r, {}});
    all.removeDuplicates();
    EXPECT_EQ(all.size(), 6);
}

// The command writes the very rule the installation carries, with the
// camera's identifiers as udev compares them.
TEST(ConnectionDiagnosis, UdevCommandWritesThePackagedRule) {
    QFile packaged(QStringLiteral(ORKA_SOURCE_DIR "/packaging/60-orka-camera.rules.in"));
    ASSERT_TRUE(packaged.open(QIODevice::ReadOnly));
    QString rule;
    for (const QString& line : QString::fromUtf8(packaged.readAll()).split('\n'))
        if (line.startsWith(QLatin1String("SUBSYSTEM")))
            rule = line;
    rule.replace(QLatin1String("@ORKA_UDEV_VENDOR@"), QLatin1String("4f52"));
    rule.replace(QLatin1String("@ORKA_UDEV_PRODUCT@"), QLatin1String("4b41"));
    ASSERT_FALSE(rule.isEmpty());
    EXPECT_EQ(UdevRuleCommand(), "echo '" + rule +
                                     "' | sudo tee /etc/udev/rules.d/60-orka-camera.rules"
                                     " && sudo udevadm control --reload");
}

// Over the real transport of this machine, which has no camera: the open
// fails at once and the reason reaches the window's logic.
TEST(ConnectionDiagnosis, NoCameraOnTheBusIsReported) {
    EXPECT_EQ(usbNativeOpen(ORKA_VENDOR_ID, ORKA_PRODUCT_ID, 0), nullptr);
    const OpenFailure failure = LastOpenFailure();
    EXPECT_EQ(failure.reason, Reason::NoCamera);
    EXPECT_TRUE(failure.detail.isEmpty());
}

}  // namespace
