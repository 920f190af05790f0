// Numeric edit boxes on a real QLineEdit: the digit filter as the user types
// and the one-second validation after the last key release.
#include "NumericEdit.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace orka;

namespace {

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
