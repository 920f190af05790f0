#include "XmpSidecar.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <mutex>

// libexiv2 0.27's headers still name std::auto_ptr.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop

namespace orka {

namespace {

const char* const kRating = "Xmp.xmp.Rating";
const char* const kExposureTime = "Xmp.exif.ExposureTime";
const char* const kFNumber = "Xmp.exif.FNumber";
const char* const kIso = "Xmp.exif.ISOSpeedRatings";

// The XMP toolkit is set up once, before its first use; its messages go
// nowhere (errors come back as results).
void InitialiseToolkit() {
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize();
    });
}

bool Fail(QString* error, const QString& message) {
    if (error)
        *error = message;
    return false;
}

std::optional<Rational> RationalOf(const Exiv2::XmpData& xmp, const char* key) {
    const auto it = xmp.findKey(Exiv2::XmpKey(key));
    if (it == xmp.end() || it->count() == 0)
        return std::nullopt;
    const Exiv2::Rational r = it->toRational();
    if (!it->value().ok() || r.second <= 0 || r.first < 0)
        return std::nullopt;
    return Rational{r.first, r.second};
}

std::optional<int> IntegerOf(const Exiv2::XmpData& xmp, const char* key) {
    const auto it = xmp.findKey(Exiv2::XmpKey(key));
    if (it == xmp.end() || it->count() == 0)
        return std::nullopt;
    const long v = it->toLong(0);
    if (!it->value().ok() || v < INT32_MIN || v > INT32_MAX)
        return std::nullopt;
    return int(v);
}

bool Decode(const std::string& packet, Exiv2::XmpData& xmp) {
    InitialiseToolkit();
    try {
        return Exiv2::XmpParser::decode(xmp, packet) == 0;
    } catch (const std::exception&) {
        return false;
    }
}

// The sidecar's bytes: false when it exists but cannot be read whole.
bool ReadFile(const QString& path, std::string& bytes, bool& exists, QString* error) {
    QFile file(path);
    exists = file.exists();
    if (!exists)
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return Fail(error, QCoreApplication::translate("XmpSidecar", "Impossible de lire %1 : %2")
                               .arg(QFileInfo(path).fileName(), file.errorString()));
    if (file.size() > MaxSidecarBytes)
        return Fail(error, QCoreApplication::translate(
                               "XmpSidecar", "%1 est trop grand pour un fichier XMP (%2 Ko).")
                               .arg(QFileInfo(path).fileName())
                               .arg(file.size() / 1024));
    const QByteArray data = file.read(MaxSidecarBytes + 1);
    if (data.size() != file.size())
        return Fail(error, QCoreApplication::translate("XmpSidecar", "Impossible de lire %1 : %2")
                               .arg(QFileInfo(path).fileName(), file.errorString()));
    bytes.assign(data.constData(), size_t(data.size()));
    return true;
}

}  // namespace

QString SidecarPath(const QString& picture) {
    const QFileInfo info(picture);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > 0 ? name.left(dot) : name;
    const QString dir = picture.left(picture.size() - name.size());
    return dir + base + QStringLiteral(".xmp");
}

bool ParseSidecar(const char* data, size_t size, SidecarFacts& facts, QString* error) {
    facts = {};
    if (size > size_t(MaxSidecarBytes))
        return Fail(error, QCoreApplication::translate("XmpSidecar", "Fichier XMP trop grand."));
    Exiv2::XmpData xmp;
    if (!Decode(std::string(data, size), xmp))
        return Fail(error, QCoreApplication::translate("XmpSidecar",
                                                       "Ce fichier n'est pas un XMP lisible."));
    try {
        if (const auto rating = IntegerOf(xmp, kRating);
            rating && *rating >= RatingRejected && *rating <= RatingMaxStars)
            facts.rating = rating;
        facts.exposure.exposureTime = RationalOf(xmp, kExposureTime);
        facts.exposure.fNumber = RationalOf(xmp, kFNumber);
        if (const auto iso = IntegerOf(xmp, kIso); iso && *iso > 0)
            facts.exposure.iso = iso;
    } catch (const std::exception&) {
        facts = {};
        return Fail(error, QCoreApplication::translate("XmpSidecar",
                                                       "Ce fichier n'est pas un XMP lisible."));
    }
    return true;
}

bool ReadSidecar(const QString& picture, SidecarFacts& facts, QString* error) {
    facts = {};
    const QString path = SidecarPath(picture);
    std::string bytes;
    bool exists = false;
    if (!ReadFile(path, bytes, exists, error))
        return false;
    if (!exists)
        return true;
    if (!ParseSidecar(bytes.data(), bytes.size(), facts, nullptr))
        return Fail(
            error, QCoreApplication::translate("XmpSidecar", "%1 n'est pas un fichier XMP lisible.")
                       .arg(QFileInfo(path).fileName()));
    return true;
}

bool WriteRating(const QString& picture, int rating, const ExposureFigures& exposure,
                 QString* error) {
    if (rating < RatingRejected || rating > RatingMaxStars)
        return Fail(error,
                    QCoreApplication::translate("XmpSidecar", "Note invalide : %1.").arg(rating));
    const QString path = SidecarPath(picture);
    const QString name = QFileInfo(path).fileName();
    if (QFileInfo(path).absoluteFilePath() == QFileInfo(picture).absoluteFilePath())
        return Fail(error, QCoreApplication::translate(
                               "XmpSidecar", "%1 est l'image elle-même : note non enregistrée.")
                               .arg(name));
    std::string bytes;
    bool exists = false;
    if (!ReadFile(path, bytes, exists, error))
        return false;
    Exiv2::XmpData xmp;
    if (exists && !Decode(bytes, xmp))
        return Fail(error, QCoreApplication::translate(
                               "XmpSidecar",
                               "%1 existe mais n'est pas un fichier XMP lisible : il n'a pas "
                               "été modifié et la note n'est pas enregistrée.")
                               .arg(name));
    std::string packet;
    try {
        xmp[kRating] = int32_t(rating);
        if (exposure.exposureTime)
            xmp[kExposureTime] = Exiv2::Rational(exposure.exposureTime->numerator,
                                                 exposure.exposureTime->denominator);
        if (exposure.fNumber)
            xmp[kFNumber] =
                Exiv2::Rational(exposure.fNumber->numerator, exposure.fNumber->denominator);
        if (exposure.iso) {
            const Exiv2::XmpKey key(kIso);
            for (auto it = xmp.findKey(key); it != xmp.end(); it = xmp.findKey(key))
                xmp.erase(it);
            Exiv2::XmpArrayValue seq(Exiv2::xmpSeq);
            seq.read(std::to_string(*exposure.iso));
            xmp.add(key, &seq);
        }
        if (Exiv2::XmpParser::encode(
                packet, xmp,
                Exiv2::XmpParser::useCompactFormat | Exiv2::XmpParser::omitPacketWrapper) != 0)
            packet.clear();
    } catch (const std::exception&) {
        packet.clear();
    }
    if (packet.empty())
        return Fail(
            error, QCoreApplication::translate("XmpSidecar", "Impossible de composer le XMP de %1.")
                       .arg(name));

    // The old sidecar stays whole until the new one is complete on disk.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(packet.data(), qint64(packet.size())) != qint64(packet.size()) ||
        !file.commit()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return Fail(error, QCoreApplication::translate(
                               "XmpSidecar", "Impossible d'enregistrer la note dans %1 : %2")
                               .arg(name, why));
    }
    return true;
}

}  // namespace orka
