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
    for (int i = 0; i < kStatusFieldCount; ++i)
        SetStatusField(s, i, (i + 1) * 0x01020304 * (i % 2 ? -1 : 1));
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
    ASSERT_TRUE(WriteTemplate(file, s));

    const QByteArray b = ReadAll(file);
    ASSERT_EQ(b.size(), 192);
    EXPECT_EQ(uint8_t(b[0]), 21);
    EXPECT_EQ(b.mid(1, 21), "Configuration du Orka");
    EXPECT_EQ(b.mid(22, 14), QByteArray(14, '\0'));
    // Field 1 is -0x02040608: little-endian two's complement at offset 40.
    EXPECT_EQ(b.mid(40, 4), QByteArray("\xF8\xF9\xFB\xFD", 4));
    EXPECT_EQ(b.mid(36, 4), QByteArray("\x04\x03\x02\x01", 4));

    const TTemplateRead r = ReadTemplate(file);
    ASSERT_EQ(r.error, TTemplateError::None) << r.message.toStdString();
    for (int i = 0; i < kStatusFieldCount; ++i)
        EXPECT_EQ(StatusField(r.settings, i), StatusField(s, i)) << "field " << i;

    // Saving over an existing template replaces it and leaves no temporary file.
    CameraStatusData changed = s;
    changed.infocusSound = 1;
    ASSERT_TRUE(WriteTemplate(file, changed));
    EXPECT_EQ(ReadTemplate(file).settings.infocusSound, 1);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"modele.cfg"});
}

TEST(Template, SignatureRules) {
    QByteArray b = EncodeTemplate(Sample());
    for (int i = 22; i < 36; ++i)
        b[i] = char(0xA5 + i);  // bytes after the signature mean nothing
    EXPECT_EQ(DecodeTemplate(b).error, TTemplateError::None);
    b.append("trailing bytes are not read");
    EXPECT_EQ(DecodeTemplate(b).error, TTemplateError::None);

    QByteArray count19 = EncodeTemplate(Sample());
    count19[0] = 19;
    const TTemplateRead refused = DecodeTemplate(count19);
    EXPECT_EQ(refused.error, TTemplateError::Invalid);
    EXPECT_EQ(refused.message, "Fichier de configuration invalide");

    QByteArray letter = EncodeTemplate(Sample());
    letter[21] = 'A';
    EXPECT_EQ(DecodeTemplate(letter).error, TTemplateError::Invalid);
}

TEST(Template, MissingShortAndUnreadableFiles) {
    QTemporaryDir dir;
    const TTemplateRead missing = ReadTemplate(dir.filePath("absent.cfg"));
    EXPECT_EQ(missing.error, TTemplateError::Missing);
    EXPECT_EQ(missing.message, "Fichier inexistant");

    const QString shortFile = dir.filePath("court.cfg");
    WriteAll(shortFile, EncodeTemplate(Sample()).left(191));
    const TTemplateRead truncated = ReadTemplate(shortFile);
    EXPECT_EQ(truncated.error, TTemplateError::Io);
    EXPECT_EQ(truncated.message, "Lecture au-delà de la fin de fichier");

    EXPECT_EQ(ReadTemplate(dir.path()).error, TTemplateError::Missing);  // a folder is no file
}

TEST(Template, FailedSaveLeavesTheOldFileAndNoTemporary) {
    QTemporaryDir dir;
    const QString file = dir.filePath("modele.cfg");
    CameraStatusData old = Sample();
    ASSERT_TRUE(WriteTemplate(file, old));

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
    const bool saved192 = WriteTemplate(file, next, &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved192);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadAll(file), EncodeTemplate(old));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"modele.cfg"});

    EXPECT_FALSE(WriteTemplate(dir.filePath("absent/modele.cfg"), old, &error));
    EXPECT_TRUE(error.endsWith(dir.filePath("absent/modele.cfg")));
    EXPECT_FALSE(QFile::exists(dir.filePath("absent")));
}

TEST(Template, DefaultTemplateComparesSettingsNotReadings) {
    const CameraStatusData base = Sample();
    const int compared[] = {0,  1,  2,  3,  9,  10, 11, 12, 13, 14, 15, 16, 17,
                            19, 21, 22, 23, 24, 25, 26, 27, 33, 34, 37, 38};
    for (int i = 0; i < kStatusFieldCount; ++i) {
        CameraStatusData other = base;
        SetStatusField(other, i, StatusField(base, i) + 1);
        const bool isCompared =
            std::find(std::begin(compared), std::end(compared), i) != std::end(compared);
        EXPECT_EQ(SameTemplateFields(base, other), !isCompared) << "field " << i;
    }
    CameraStatusData restore = base;
    restore.param13 = 0x1200;
    EXPECT_EQ(TemplateRestoreByte(restore), 0);
    restore.param13 = 3;
    EXPECT_EQ(TemplateRestoreByte(restore), 3);
}
