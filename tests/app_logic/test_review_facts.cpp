// The review's pure parts: loupe geometry, the focus point on the picture,
// the shot's settings and the XMP sidecar of ratings.
#include <gtest/gtest.h>

#include <cstring>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "LiveViewMath.h"
#include "ReviewGeometry.h"
#include "ShotFacts.h"
#include "XmpSidecar.h"

using orka::Orientation;

namespace {

constexpr Orientation kOrientations[] = {Orientation::Normal, Orientation::UpsideDown,
                                         Orientation::Anticlockwise, Orientation::Clockwise};

void ExpectNear(QPointF a, QPointF b, double tolerance = 1e-6) {
    EXPECT_NEAR(a.x(), b.x(), tolerance);
    EXPECT_NEAR(a.y(), b.y(), tolerance);
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

CameraStatusData Shot() {
    CameraStatusData s{};
    s.sensitivity = 0;           // 100 ISO
    s.shutterSpeed = 37;         // 1/160
    s.aperture = 6;              // F/5,6
    s.exposureCompensation = 7;  // +0,3 EV
    s.whiteBalance = 1;          // daylight
    s.focusMode = 0;             // AF
    s.focusPointMode = 0;        // flexible point
    s.imageQuality = 2;          // fine
    s.imageSize = 8;             // 3:2
    return s;
}

}  // namespace

// The fitted picture keeps its proportions and is never enlarged; the 100 %
// viewport stays inside the picture, or is centred along a side the view
// exceeds; a drag moves the picture with the mouse; the loupe's marker on the
// fit view and a click on it name the same picture points.
TEST(ReviewGeometry, FitLoupePanAndMarker) {
    const QSizeF picture(3264, 2448);
    EXPECT_EQ(orka::FitRect(picture, {1000, 1000}), QRectF(0, 125, 1000, 750));
    EXPECT_EQ(orka::FitRect({400, 300}, {1000, 1000}), QRectF(300, 350, 400, 300));
    EXPECT_TRUE(orka::FitRect({}, {100, 100}).isEmpty());

    const QSizeF view(800, 600);
    EXPECT_EQ(orka::LoupeViewport(picture, view, {1632, 1224}), QRectF(1232, 924, 800, 600));
    EXPECT_EQ(orka::LoupeViewport(picture, view, {10, 3000}), QRectF(0, 1848, 800, 600));
    EXPECT_EQ(orka::LoupeViewport({400, 2448}, view, {0, 0}), QRectF(-200, 0, 800, 600));

    const QRectF v = orka::LoupeViewport(picture, view, {1632, 1224});
    EXPECT_EQ(orka::PanViewport(v, picture, {100, -50}), QRectF(1132, 974, 800, 600));
    EXPECT_EQ(orka::PanViewport(v, picture, {5000, 5000}), QRectF(0, 0, 800, 600));

    const QRectF fit = orka::FitRect(picture, {1000, 1000});
    const QRectF marker = orka::LoupeMarker(v, picture, fit);
    ExpectNear(orka::FitToPicture(marker.topLeft(), picture, fit), v.topLeft());
    ExpectNear(orka::FitToPicture(marker.bottomRight(), picture, fit), v.bottomRight());
    ExpectNear(orka::FitToPicture({-50, 2000}, picture, fit), {0, 2448});
}

// The shot's focus point lands where the live view showed it, in every
// orientation and for pictures of any size of the frame's proportions; a
// 3:2 picture is the frame's centred band.
TEST(ReviewGeometry, FocusPointOnThePictureInEveryOrientation) {
    for (const Orientation o : kOrientations) {
        for (const QSize picture : {QSize(544, 408), QSize(3264, 2448), QSize(640, 480)}) {
            const QSize shown = orka::DisplaySize(o, picture.width(), picture.height());
            for (const QPoint p : {QPoint(0, 0), QPoint(100, 37), QPoint(shown.width() / 2, 5),
                                   QPoint(shown.width(), shown.height())}) {
                const auto camera =
                    orka::PreviewToCamera(p.x(), p.y(), o, picture.width(), picture.height());
                ExpectNear(orka::CameraToPicture(camera, picture, o), QPointF(p), 0.5);
            }
        }
    }
    const QSize band(3264, 2176);
    ExpectNear(orka::CameraToPicture({1632, 1224}, band, Orientation::Normal), {1632, 1088});
    ExpectNear(orka::CameraToPicture({0, 0}, band, Orientation::Normal), {0, 0});
    ExpectNear(orka::CameraToPicture({3264, 2448}, band, Orientation::Clockwise), {0, 3264});
}

// The settings read in the window's texts, a code outside the tables as
// "---"; the exposure in figures for the standard tags.
TEST(ShotFacts, SettingsTextsAndFigures) {
    const QStringList lines = orka::ShotSettingsLines(Shot(), {1500, 1000});
    EXPECT_EQ(lines, QStringList({"Vitesse : 1/160", "Ouverture : F/5,6", "Sensibilité : 100 ISO",
                                  "Correction : +0,3 EV", "Balance des blancs : Lumière du jour",
                                  "Mise au point : autofocus (AF), point 1500, 1000",
                                  "Qualité : Fin", "Définition : 3264 x 2176 (3:2)"}));
    CameraStatusData odd = Shot();
    odd.shutterSpeed = 0;
    odd.sensitivity = 6;
    odd.imageQuality = 4;
    odd.focusPointMode = 1;
    const QStringList oddLines = orka::ShotSettingsLines(odd, {0, 0});
    EXPECT_EQ(oddLines[0], "Vitesse : ---");
    EXPECT_EQ(oddLines[2], "Sensibilité : ---");
    EXPECT_EQ(oddLines[5], "Mise au point : autofocus (AF), zone centrale");
    EXPECT_EQ(oddLines[6], "Qualité : ---");

    const orka::ExposureFigures f = orka::ExposureOf(Shot());
    EXPECT_EQ(f.exposureTime, (orka::Rational{1, 160}));
    EXPECT_EQ(f.fNumber, (orka::Rational{28, 5}));
    EXPECT_EQ(f.iso, 100);
    CameraStatusData slow = Shot();
    slow.shutterSpeed = 11;  // 3,2"
    slow.sensitivity = 4;    // automatic
    EXPECT_EQ(orka::ExposureOf(slow).exposureTime, (orka::Rational{16, 5}));
    EXPECT_FALSE(orka::ExposureOf(slow).iso.has_value());
    slow.shutterSpeed = 1;  // 30"
    EXPECT_EQ(orka::ExposureOf(slow).exposureTime, (orka::Rational{30, 1}));

    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    EXPECT_EQ(orka::FileFactsLines("/photos/P00001.JPG", 2516582),
              QStringList({"Fichier : P00001.JPG", "Taille : 2,4 Mo", "Dossier : /photos"}));
    QLocale::setDefault(before);
}

// A rating written beside the picture reads back with the exposure; a raw
// picture and its JPEG share the sidecar; what another program wrote there
// stays; the picture's own bytes are never touched; and exiftool, when
// installed, reads the stars and the exposure.
TEST(XmpSidecar, RoundTripSharedKeepsOtherPropertiesAndExiftoolReadsIt) {
    QTemporaryDir dir;
    const QString jpeg = dir.filePath("P00001.JPG");
    const QString raw = dir.filePath("P00001.qrw");
    WriteAll(jpeg, "\xFF\xD8\xFF picture bytes");
    EXPECT_EQ(orka::SidecarPath(jpeg), dir.filePath("P00001.xmp"));
    EXPECT_EQ(orka::SidecarPath(raw), dir.filePath("P00001.xmp"));

    orka::SidecarFacts facts;
    QString error;
    ASSERT_TRUE(orka::ReadSidecar(jpeg, facts, &error));  // none yet
    EXPECT_FALSE(facts.rating.has_value());

    ASSERT_TRUE(orka::WriteRating(jpeg, 4, orka::ExposureOf(Shot()), &error)) << qPrintable(error);
    ASSERT_TRUE(orka::ReadSidecar(raw, facts, &error));
    EXPECT_EQ(facts.rating, 4);
    EXPECT_EQ(facts.exposure.exposureTime, (orka::Rational{1, 160}));
    EXPECT_EQ(facts.exposure.fNumber, (orka::Rational{28, 5}));
    EXPECT_EQ(facts.exposure.iso, 100);
    EXPECT_EQ(ReadAll(jpeg), QByteArray("\xFF\xD8\xFF picture bytes"));

    // Another program's label survives a new rating; a reject reads -1.
    QByteArray text = ReadAll(orka::SidecarPath(jpeg));
    text.replace("xmp:Rating=", "xmp:Label=\"Red\" xmp:Rating=");
    WriteAll(orka::SidecarPath(jpeg), text);
    ASSERT_TRUE(orka::WriteRating(raw, orka::RatingRejected, {}, &error));
    ASSERT_TRUE(orka::ReadSidecar(jpeg, facts, &error));
    EXPECT_EQ(facts.rating, -1);
    EXPECT_EQ(facts.exposure.iso, 100);
    EXPECT_TRUE(ReadAll(orka::SidecarPath(jpeg)).contains("Red"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);  // no temporary left

    const QString exiftool = QStandardPaths::findExecutable("exiftool");
    if (exiftool.isEmpty())
        GTEST_SKIP() << "exiftool is not installed";
    ASSERT_TRUE(orka::WriteRating(jpeg, 5, orka::ExposureOf(Shot()), &error));
    QProcess p;
    p.start(exiftool,
            {"-j", "-n", "-Rating", "-ExposureTime", "-FNumber", "-ISO", orka::SidecarPath(jpeg)});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QJsonObject tags =
        QJsonDocument::fromJson(p.readAllStandardOutput()).array()[0].toObject();
    EXPECT_EQ(tags["Rating"].toInt(), 5);
    EXPECT_DOUBLE_EQ(tags["ExposureTime"].toDouble(), 1.0 / 160);
    EXPECT_DOUBLE_EQ(tags["FNumber"].toDouble(), 5.6);
    EXPECT_EQ(tags["ISO"].toInt(), 100);
}

// A sidecar that is not XMP is neither read nor replaced; a folder that
// cannot take the sidecar gives a French message; a rating out of range is
// refused; bad text never crashes the reader.
TEST(XmpSidecar, RefusesWhatItCannotWriteSafely) {
    QTemporaryDir dir;
    const QString picture = dir.filePath("P00002.jpg");
    WriteAll(orka::SidecarPath(picture), "<x:xmpmeta garbage");
    orka::SidecarFacts facts;
    QString error;
    EXPECT_FALSE(orka::ReadSidecar(picture, facts, &error));
    EXPECT_FALSE(orka::WriteRating(picture, 3, {}, &error));
    EXPECT_TRUE(error.contains("n'a pas été modifié")) << qPrintable(error);
    EXPECT_EQ(ReadAll(orka::SidecarPath(picture)), QByteArray("<x:xmpmeta garbage"));

    EXPECT_FALSE(orka::WriteRating(dir.filePath("absent/P00003.jpg"), 3, {}, &error));
    EXPECT_TRUE(error.startsWith("Impossible d'enregistrer la note dans P00003.xmp"))
        << qPrintable(error);
    EXPECT_FALSE(orka::WriteRating(picture, 6, {}, &error));

    for (const char* text : {"", "<?xpacket",
                             "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF "
                             "xmlns:rdf='http://www.w3.org/1999/02/22-rdf-"
                             "syntax-ns#'><rdf:Description xmlns:xmp='http://"
                             "ns.adobe.com/xap/1.0/' xmp:Rating='9'/></rdf:RDF>"
                             "</x:xmpmeta>"}) {
        orka::ParseSidecar(text, std::strlen(text), facts, &error);
        EXPECT_FALSE(facts.rating.has_value());
    }
}
