// Numeric edit boxes: the range rule and the digit filter.
#include "UtilsOrka.h"

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

}  // namespace
