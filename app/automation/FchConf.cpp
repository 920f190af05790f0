#include "FchConf.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <array>
#include <cstring>

namespace orka {

namespace {

constexpr int kSignatureLength = int(sizeof kTemplateSignature) - 1;
static_assert(kSignatureLength == 21);
static_assert(kTemplateSettingsOffset + 4 * kStatusFieldCount == kTemplateFileSize);
static_assert(sizeof(CameraStatusData) == 4 * kStatusFieldCount);

constexpr std::array<int, 25> kComparedFields = {0,  1,  2,  3,  9,  10, 11, 12, 13, 14, 15, 16, 17,
                                                 19, 21, 22, 23, 24, 25, 26, 27, 33, 34, 37, 38};

QString IoErrorText(QFileDevice::FileError error) {
    switch (error) {
        case QFileDevice::PermissionsError:
            return QCoreApplication::translate("FchConf", "Accès refusé");
        case QFileDevice::OpenError:
            return QCoreApplication::translate("FchConf", "Impossible d'ouvrir le fichier");
        case QFileDevice::ReadError:
            return QCoreApplication::translate("FchConf", "Erreur de lecture du fichier");
        case QFileDevice::WriteError:
            return QCoreApplication::translate("FchConf", "Erreur d'écriture du fichier");
        case QFileDevice::ResourceError:
            return QCoreApplication::translate("FchConf",
                                               "Espace disque ou ressources insuffisants");
        case QFileDevice::RenameError:
            return QCoreApplication::translate("FchConf", "Impossible de remplacer le fichier");
        default:
            return QCoreApplication::translate("FchConf", "Erreur d'entrée/sortie");
    }
}

QString WithFileName(const QString& text, const QString& fileName) {
    return text + QStringLiteral(" : ") + fileName;
}

}  // namespace

int32_t StatusField(const CameraStatusData& status, int i) {
    // CameraStatusData is 39 int32 fields in record order (checked in fotolien.h).
    int32_t value;
    std::memcpy(&value, reinterpret_cast<const char*>(&status) + 4 * i, 4);
    return value;
}

void SetStatusField(CameraStatusData& status, int i, int32_t value) {
    std::memcpy(reinterpret_cast<char*>(&status) + 4 * i, &value, 4);
}

QByteArray EncodeTemplate(const CameraStatusData& settings) {
    QByteArray bytes(kTemplateFileSize, '\0');
    bytes[0] = char(kSignatureLength);
    std::memcpy(bytes.data() + 1, kTemplateSignature, kSignatureLength);
    for (int i = 0; i < kStatusFieldCount; ++i) {
        const uint32_t v = uint32_t(StatusField(settings, i));
        char* p = bytes.data() + kTemplateSettingsOffset + 4 * i;
        p[0] = char(v);
        p[1] = char(v >> 8);
        p[2] = char(v >> 16);
        p[3] = char(v >> 24);
    }
    return bytes;
}

TemplateRead DecodeTemplate(const QByteArray& bytes) {
    TemplateRead result;
    if (bytes.size() < kTemplateFileSize) {
        result.error = TemplateError::Io;
        result.message = QCoreApplication::translate("FchConf", kTemplateShortText);
        return result;
    }
    const auto* b = reinterpret_cast<const uint8_t*>(bytes.constData());
    if (b[0] != kSignatureLength || std::memcmp(b + 1, kTemplateSignature, kSignatureLength) != 0) {
        result.error = TemplateError::Invalid;
        result.message = QCoreApplication::translate("FchConf", kTemplateInvalidText);
        return result;
    }
    for (int i = 0; i < kStatusFieldCount; ++i) {
        const uint8_t* p = b + kTemplateSettingsOffset + 4 * i;
        const uint32_t v =
            uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
        SetStatusField(result.settings, i, int32_t(v));
    }
    return result;
}

TemplateRead ReadTemplate(const QString& fileName) {
    const QFileInfo info(fileName);
    if (!info.exists() || info.isDir()) {
        TemplateRead result;
        result.error = TemplateError::Missing;
        result.message = QCoreApplication::translate("FchConf", kTemplateMissingText);
        return result;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        TemplateRead result;
        result.error = TemplateError::Io;
        result.message = WithFileName(IoErrorText(file.error()), fileName);
        return result;
    }
    const QByteArray bytes = file.read(kTemplateFileSize);
    if (file.error() != QFileDevice::NoError) {
        TemplateRead result;
        result.error = TemplateError::Io;
        result.message = WithFileName(IoErrorText(file.error()), fileName);
        return result;
    }
    return DecodeTemplate(bytes);
}

bool WriteTemplate(const QString& fileName, const CameraStatusData& settings,
                   QString* errorMessage) {
    QSaveFile file(fileName);
    const QByteArray bytes = EncodeTemplate(settings);
    // Unbuffered, so that a short write shows in write()'s result: a buffered
    // QSaveFile flushes at commit and can report success for a short write.
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
        file.write(bytes) == bytes.size() && file.commit())
        return true;
    const QFileDevice::FileError error = file.error();
    file.cancelWriting();  // removes the temporary file if commit was not reached
    if (errorMessage)
        *errorMessage = WithFileName(IoErrorText(error), fileName);
    return false;
}

bool SameTemplateFields(const CameraStatusData& a, const CameraStatusData& b) {
    for (int i : kComparedFields)
        if (StatusField(a, i) != StatusField(b, i))
            return false;
    return true;
}

uint8_t TemplateRestoreByte(const CameraStatusData& settings) {
    return uint8_t(settings.param13 & 0xFF);
}

}  // namespace orka
