// ".cfg" templates byte for byte, the signature rules, and saves that fail
// without leaving a truncated file behind.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>

#include "FchConf.h"

namespace {

CameraStatusData Sample() {
    CameraStatusData s{};
    for (int i = 0; i < orka::kStatusFieldCount; ++i)
        orka::SetStatusField(s, i, (i + 1) * 0x01020304 * (i % 2 ? -1 : 1));
    return s;
}

QByteArray ReadAll(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& file, const QByteArray& bytes) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

TEST(Template, SavedBytesAndRoundTripOfAll39Fields) {
    QTemporaryDir dir;
    const QString file = dir.filePath("modele.cfg");
    const CameraStatusData s = Sample();
    ASSERT_TRUE(orka::WriteTemplate(file, s));

    const QByteArray b = ReadAll(file);
    ASSERT_EQ(b.size(), 192);
    EXPECT_EQ(uint8_t(b[0]), 21);
    EXPECT_EQ(b.mid(1, 21), "Configuration du Orka");
    EXPECT_EQ(b.mid(22, 14), QByteArray(14, '\0'));
    // Field 1 is -0x02040608: little-endian two's complement at offset 40.
    EXPECT_EQ(b.mid(40, 4), QByteArray("\xF8\xF9\xFB\xFD", 4));
    EXPECT_EQ(b.mid(36, 4), QByteArray("\x04\x03\x02\x01", 4));

    const orka::TemplateRead r = orka::ReadTemplate(file);
    ASSERT_EQ(r.error, orka::TemplateError::None) << r.message.toStdString();
    for (int i = 0; i < orka::kStatusFieldCount; ++i)
        EXPECT_EQ(orka::StatusField(r.settings, i), orka::StatusField(s, i)) << "field " << i;

    // Saving over an existing template replaces it and leaves no temporary file.
    CameraStatusData changed = s;
    changed.infocusSound = 1;
    ASSERT_TRUE(orka::WriteTemplate(file, changed));
    EXPECT_EQ(orka::ReadTemplate(file).settings.infocusSound, 1);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"modele.cfg"});
}

TEST(Template, SignatureRules) {
    QByteArray b = orka::EncodeTemplate(Sample());
    for (int i = 22; i < 36; ++i)
        b[i] = char(0xA5 + i);  // bytes after the signature mean nothing
    EXPECT_EQ(orka::DecodeTemplate(b).error, orka::TemplateError::None);
    b.append("trailing bytes are not read");
    EXPECT_EQ(orka::DecodeTemplate(b).error, orka::TemplateError::None);

    QByteArray count19 = orka::EncodeTemplate(Sample());
    count19[0] = 19;
    const orka::TemplateRead refused = orka::DecodeTemplate(count19);
    EXPECT_EQ(refused.error, orka::TemplateError::Invalid);
    EXPECT_EQ(refused.message, "Fichier de configuration invalide");

    QByteArray letter = orka::EncodeTemplate(Sample());
    letter[21] = 'A';
    EXPECT_EQ(orka::DecodeTemplate(letter).error, orka::TemplateError::Invalid);
}

TEST(Template, MissingShortAndUnreadableFiles) {
    QTemporaryDir dir;
    const orka::TemplateRead missing = orka::ReadTemplate(dir.filePath("absent.cfg"));
    EXPECT_EQ(missing.error, orka::TemplateError::Missing);
    EXPECT_EQ(missing.message, "Fichier inexistant");

    const QString shortFile = dir.filePath("court.cfg");
    WriteAll(shortFile, orka::EncodeTemplate(Sample()).left(191));
    const orka::TemplateRead truncated = orka::ReadTemplate(shortFile);
    EXPECT_EQ(truncated.error, orka::TemplateError::Io);
    EXPECT_EQ(truncated.message, "Lecture au-delà de la fin de fichier");

    EXPECT_EQ(orka::ReadTemplate(dir.path()).error,
              orka::TemplateError::Missing);  // a folder is no file
}

TEST(Template, FailedSaveLeavesTheOldFileAndNoTemporary) {
    QTemporaryDir dir;
    const QString file = dir.filePath("modele.cfg");
    CameraStatusData old = Sample();
    ASSERT_TRUE(orka::WriteTemplate(file, old));

    // Writes past 100 bytes fail (EFBIG) for every user, root included.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    CameraStatusData next = old;
    next.imageSize = 7;
    QString error;
    const bool saved192 = orka::WriteTemplate(file, next, &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved192);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadAll(file), orka::EncodeTemplate(old));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"modele.cfg"});

    EXPECT_FALSE(orka::WriteTemplate(dir.filePath("absent/modele.cfg"), old, &error));
    EXPECT_TRUE(error.endsWith(dir.filePath("absent/modele.cfg")));
    EXPECT_FALSE(QFile::exists(dir.filePath("absent")));
}

TEST(Template, DefaultTemplateComparesSettingsNotReadings) {
    const CameraStatusData base = Sample();
    const int compared[] = {0,  1,  2,  3,  9,  10, 11, 12, 13, 14, 15, 16, 17,
                            19, 21, 22, 23, 24, 25, 26, 27, 33, 34, 37, 38};
    for (int i = 0; i < orka::kStatusFieldCount; ++i) {
        CameraStatusData other = base;
        orka::SetStatusField(other, i, orka::StatusField(base, i) + 1);
        const bool isCompared =
            std::find(std::begin(compared), std::end(compared), i) != std::end(compared);
        EXPECT_EQ(orka::SameTemplateFields(base, other), !isCompared) << "field " << i;
    }
    CameraStatusData restore = base;
    restore.param13 = 0x1200;
    EXPECT_EQ(orka::TemplateRestoreByte(restore), 0);
    restore.param13 = 3;
    EXPECT_EQ(orka::TemplateRestoreByte(restore), 3);
}
