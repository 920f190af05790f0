// Numeric edit boxes: the range rule, the digit filter, and the one-second
// validation after the last key release.
#include "UtilsOrka.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace orka;

namespace {

TEST(ReadEditInRange, RangeRuleAndMessages) {
    const EditRangeResult ok = ReadEditInRange("1000", eNbImgTRange);
    EXPECT_EQ(ok.outcome, EditRangeResult::Accepted);
    EXPECT_EQ(ok.value, 1000);

    const EditRangeResult big = ReadEditInRange("1500", eNbImgTRange);
    EXPECT_EQ(big.outcome, EditRangeResult::OutOfRange);
    EXPECT_EQ(big.value, 2);
    EXPECT_EQ(big.message, QString::fromUtf8("1500 n'est pas dans l'intervalle spécifié 2..1000"));
    EXPECT_EQ(ReadEditInRange("4", eInterImgRange).value, 10);
    EXPECT_EQ(ReadEditInRange("0", eDepVideoRange).outcome, EditRangeResult::Accepted);

    for (const char* text : {"", "abc", "99999999999", "1.5"}) {
        const EditRangeResult bad = ReadEditInRange(QString(text), eInterImgRange);
        EXPECT_EQ(bad.outcome, EditRangeResult::NotANumber) << text;
        EXPECT_EQ(
            bad.message,
            QString::fromUtf8("'%1' n'est pas une valeur entière correcte").arg(QString(text)));
    }
}

TEST(DigitFilter, RemovesOnlyTheCharacterBeforeTheCaret) {
    struct Case {
        const char* text;
        int caret, selection;
        const char* expected;
        int expectedCaret;
        bool changed;
    } const cases[] = {
        {"12a", 3, 0, "12", 2, true},    // shorter than the caret: at p, i.e. the end
        {"1a23", 2, 0, "123", 1, true},  // else p - selection - 1
        {"1a23", 2, 1, "123", 0, true}, {"a", 1, 1, "", 0, true},
        {"a1", 1, 3, "1", 0, true},      // never before the start
        {"x12", 3, 0, "x12", 3, false},  // only the character before the caret
        {"123", 0, 0, "123", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const DigitFilterResult r = eNbImgTChange(QString(c.text), c.caret, c.selection);
        EXPECT_EQ(r.text, QString(c.expected));
        EXPECT_EQ(r.changed, c.changed);
        EXPECT_EQ(r.caret, c.expectedCaret);
    }
}

struct EditFixture : ::testing::Test {
    QLineEdit edit;
    TNumericEdit* numeric = new TNumericEdit(&edit, eNbImgTRange);
    QStringList messages;
    QList<QMessageBox::Icon> icons;

    void SetUp() override {
        edit.setText("10");
        numeric->setMessageHook([this](QMessageBox::Icon icon, const QString& text) {
            icons << icon;
            messages << text;
        });
    }
};

TEST_F(EditFixture, TypedLettersAreFilteredAtOnce) {
    edit.clear();
    QTest::keyClicks(&edit, "1x2y");
    EXPECT_EQ(edit.text(), QString("12"));
}

TEST_F(EditFixture, ValidatesOneSecondAfterTheLastKeyRelease) {
    QSignalSpy spy(numeric, &TNumericEdit::accepted);
    edit.clear();
    QElapsedTimer clock;
    clock.start();
    QTest::keyClicks(&edit, "15");
    QTest::qWait(600);
    QTest::keyClicks(&edit, "00");  // restarts the second
    const qint64 lastRelease = clock.elapsed();
    ASSERT_TRUE(spy.wait(3000));
    EXPECT_GE(clock.elapsed() - lastRelease, 950);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 2);
    EXPECT_EQ(edit.text(), QString("2"));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(icons.at(0), QMessageBox::Warning);
    EXPECT_EQ(messages.at(0),
              QString::fromUtf8("1500 n'est pas dans l'intervalle spécifié 2..1000"));
}

TEST_F(EditFixture, EmptyBoxGivesConversionErrorAndNoValue) {
    QSignalSpy spy(numeric, &TNumericEdit::accepted);
    edit.clear();
    numeric->validateNow();
    EXPECT_EQ(spy.count(), 0);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(icons.at(0), QMessageBox::Critical);
    EXPECT_EQ(messages.at(0), QString::fromUtf8("'' n'est pas une valeur entière correcte"));
    EXPECT_TRUE(edit.text().isEmpty());

    edit.setText("250");
    numeric->validateNow();
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 250);
}

}  // namespace
