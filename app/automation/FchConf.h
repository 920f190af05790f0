// Configuration templates (".cfg"): the camera's settings record behind a
// counted signature, 192 bytes, little-endian.
//
//   offset 0      signature length, 21
//   offset 1..21  "Configuration du Orka"
//   offset 22..35 nothing (written as zeros, ignored when reading)
//   offset 36     the 39 int32 fields of CameraStatusData, field i at 36 + 4 i
#ifndef PCORKA_FCHCONF_H
#define PCORKA_FCHCONF_H

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "fotolien.h"

namespace orka {

inline constexpr int kTemplateFileSize = 192;
inline constexpr int kTemplateSettingsOffset = 36;
inline constexpr int kStatusFieldCount = 39;
inline constexpr char kTemplateSignature[] = "Configuration du Orka";

// The French texts shown to the user.
inline constexpr char kTemplateMissingText[] = QT_TRANSLATE_NOOP("FchConf", "Fichier inexistant");
inline constexpr char kTemplateInvalidText[] =
    QT_TRANSLATE_NOOP("FchConf", "Fichier de configuration invalide");
inline constexpr char kTemplateShortText[] =
    QT_TRANSLATE_NOOP("FchConf", "Lecture au-delà de la fin de fichier");

// Field i of the record (0..38), in record order.
int32_t StatusField(const CameraStatusData& status, int i);
void SetStatusField(CameraStatusData& status, int i, int32_t value);

// The 192 bytes of a template holding these settings.
QByteArray EncodeTemplate(const CameraStatusData& settings);

enum class TemplateError {
    None,
    Missing,  // kTemplateMissingText
    Invalid,  // kTemplateInvalidText: wrong signature
    Io,       // short file or input/output error; message in French
};

struct TemplateRead {
    TemplateError error = TemplateError::None;
    QString message;              // empty when error is None
    CameraStatusData settings{};  // valid only when error is None
};

// Decodes the first 192 bytes of a template.
TemplateRead DecodeTemplate(const QByteArray& bytes);

// Reads a template file; nothing is valid unless error is None.
TemplateRead ReadTemplate(const QString& fileName);

// Saves a template through a temporary file in the same folder, renamed over
// the target at the end, so that a failed save leaves the old file (or no
// file) rather than a truncated one. Returns false with a French message.
bool WriteTemplate(const QString& fileName, const CameraStatusData& settings,
                   QString* errorMessage = nullptr);

// True when the fields "Modèle par défaut" compares are equal: 0, 1, 2, 3, 9,
// 10, 11, 12, 13, 14, 15, 16, 17, 19, 21, 22, 23, 24, 25, 26, 27, 33, 34, 37
// and 38 (readings such as battery, flash charge or focus distance are not).
bool SameTemplateFields(const CameraStatusData& a, const CameraStatusData& b);

// The restore byte: low byte of field 35 (param13). Not 0: the live view runs
// after the template is applied.
uint8_t TemplateRestoreByte(const CameraStatusData& settings);

}  // namespace orka

#endif
