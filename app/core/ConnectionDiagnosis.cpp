#include "ConnectionDiagnosis.h"

#include <QCoreApplication>

#include <array>

#include "usbpipe.h"

namespace orka {

namespace {

QString UsbId(unsigned id) {
    return QStringLiteral("%1").arg(id & 0xFFFF, 4, 16, QLatin1Char('0'));
}

}  // namespace

OpenFailure LastOpenFailure() {
    std::array<char, 256> detail{};
    const int32_t reason = usbNativeOpenDiagnosis(detail.data(), int32_t(detail.size()));
    OpenFailure failure;
    failure.detail = QString::fromLocal8Bit(detail.data());
    switch (reason) {
        case USBPIPE_OPEN_NO_DEVICE:
            failure.reason = OpenFailure::Reason::NoCamera;
            break;
        case USBPIPE_OPEN_ACCESS_DENIED:
            failure.reason = OpenFailure::Reason::AccessDenied;
            break;
        case USBPIPE_OPEN_BUSY:
            failure.reason = OpenFailure::Reason::Busy;
            break;
        case USBPIPE_OPEN_NOT_READY:
            failure.reason = OpenFailure::Reason::NotReady;
            break;
        case USBPIPE_OPEN_UNAVAILABLE:
            failure.reason = OpenFailure::Reason::Unavailable;
            break;
        default:
            failure.reason = OpenFailure::Reason::None;
            break;
    }
    return failure;
}

QString UdevRuleCommand() {
    const QString rule = QStringLiteral(
                             "SUBSYSTEM==\"usb\", ENV{DEVTYPE}==\"usb_device\", "
                             "ATTR{idVendor}==\"%1\", ATTR{idProduct}==\"%2\", TAG+=\"uaccess\"")
                             .arg(UsbId(ORKA_VENDOR_ID), UsbId(ORKA_PRODUCT_ID));
    return QStringLiteral(
               "echo '%1' | sudo tee /etc/udev/rules.d/60-orka-camera.rules"
               " && sudo udevadm control --reload")
        .arg(rule);
}

QString OpenFailureText(const OpenFailure& failure) {
    switch (failure.reason) {
        case OpenFailure::Reason::NoCamera:
            return QCoreApplication::translate(
                "ConnectionDiagnosis",
                "Aucun Orka n'est branché : vérifiez le câble USB et que l'appareil est allumé.");
        case OpenFailure::Reason::AccessDenied:
            return QCoreApplication::translate(
                       "ConnectionDiagnosis",
                       "Un Orka est branché, mais l'accès à l'appareil%1 est refusé. "
                       "Installez la règle udev avec la commande :\n%2\n"
                       "puis débranchez et rebranchez l'appareil.")
                .arg(failure.detail.isEmpty() ? QString()
                                              : QStringLiteral(" (%1)").arg(failure.detail),
                     UdevRuleCommand());
        case OpenFailure::Reason::Busy:
            return QCoreApplication::translate(
                       "ConnectionDiagnosis",
                       "Un Orka est branché, mais un autre programme l'utilise%1. Les "
                       "importateurs de photos du bureau s'emparent souvent des "
                       "appareils : fermez ce programme, puis réessayez.")
                .arg(failure.detail.isEmpty() ? QString()
                                              : QStringLiteral(" : %1").arg(failure.detail));
        case OpenFailure::Reason::NotReady:
            return QCoreApplication::translate(
                "ConnectionDiagnosis",
                "Un Orka est branché, mais il ne s'est pas rendu disponible : "
                "débranchez-le et rebranchez-le, puis réessayez.");
        case OpenFailure::Reason::Unavailable:
            return QCoreApplication::translate(
                "ConnectionDiagnosis",
                "L'accès USB est indisponible sur cet ordinateur : l'Orka ne peut pas être "
                "cherché.");
        case OpenFailure::Reason::None:
            break;
    }
    return QCoreApplication::translate(
        "ConnectionDiagnosis",
        "L'Orka est branché mais ne répond pas : éteignez-le et rallumez-le, "
        "puis réessayez.");
}

}  // namespace orka
