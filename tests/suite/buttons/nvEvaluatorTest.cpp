#include <gtest/gtest.h>

#include <climits>

#include "nvEvaluator.h"

namespace {

TEST(nvEvaluator, Values)
{
    const struct {
        const char* Expression;
        int Value;
    } Cases[] = {
        {"7", 7},
        {" 7", 7},                    // leading blanks are allowed by the integer conversion
        {"100*7/8", 87},              // 700, then 700 / 8: left to right within a level
        {"100/8*7", 84},              // 12, then 84
        {"2+3*4", 14},                // multiplication first
        {"8-2-1", 5},                 // left to right
        {"2*3+12*3", 42},
        {"9/2", 4},
        {"0-9/2", -4},                // division truncates toward zero
        {"1-5", -4},
        {"1-5-2", -6},                // "-4" is a token, not an operator
        {"1-5*2", -9},
        {"0-7/2*2", -6},
        {"50 *  3 /  2 - 1", 74},     // blanks of any number around operators
        {"2147483647+1", INT_MIN},    // 32-bit wrap-around
        {"0-2147483647-1", INT_MIN},
        {"0-2147483647-1/1", INT_MIN},
        {"65536*65536", 0},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(TnvEvaluator::Evaluate(C.Expression), C.Value) << C.Expression;
    }
}

TEST(nvEvaluator, Errors)
{
    const char* const Characters = "Only alpha characters \"+\", \"-\", \"x\", and \"/\" are allowed.";
    const struct {
        const char* Expression;
        bool Conversion; // EConvertError, else EInvalidOperation
        const char* Message;
    } Cases[] = {
        {"4x2", false, Characters}, // the message names "x", which is still refused
        {"Width*2", false, Characters},
        {"(1+2)", false, Characters},
        {"1.5", false, Characters},
        {"8/0", false, "Divide By Zero Error"},
        {"1+8/0", false, "Divide By Zero Error"},
        {"8/(0)", false, Characters},
        {"-5", true, nullptr},      // a leading operator has an empty left operand
        {"5-", true, nullptr},
        {"5*-2", true, nullptr},    // two operators in a row
        {"1,5", true, nullptr},     // a comma passes the character check only
        {"2 3", true, nullptr},     // two numbers and no operator
        {"", true, nullptr},
        {"99999999999", true, nullptr},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Expression);
        try {
            TnvEvaluator::Evaluate(C.Expression);
            ADD_FAILURE() << "no exception";
        } catch (const EConvertError&) {
            EXPECT_TRUE(C.Conversion);
        } catch (const EInvalidOperation& E) {
            EXPECT_FALSE(C.Conversion);
            EXPECT_EQ(E.Message(), C.Message);
        }
    }
}

TEST(nvEvaluator, SpacingAndOperators)
{
    EXPECT_EQ(TnvEvaluator::SpaceOperators("Width*7/8"), "Width * 7 / 8");
    EXPECT_EQ(TnvEvaluator::SpaceOperators("  1 +2-  3 "), " 1 + 2 - 3 ");
    EXPECT_EQ(TnvEvaluator::SpaceOperators("-5"), " - 5");

    int Index = -1;
    String Right, Left;
    // The operator whose token comes first wins, whatever its table order.
    ASSERT_TRUE(TnvEvaluator::FindOperator("8 / 2 * 3", TnvEvaluator::lvMultiplicative, Index, Right, Left));
    EXPECT_EQ(Index, 1);
    EXPECT_EQ(Left, "8");
    EXPECT_EQ(Right, "2");
    ASSERT_TRUE(TnvEvaluator::FindOperator("1 - 5 + 2", TnvEvaluator::lvAdditive, Index, Right, Left));
    EXPECT_EQ(Index, 3);
    EXPECT_EQ(Right, "5");
    // A negative number is one token, not an operator.
    EXPECT_FALSE(TnvEvaluator::FindOperator("-4", TnvEvaluator::lvAdditive, Index, Right, Left));
    EXPECT_FALSE(TnvEvaluator::FindOperator("1 + 2", TnvEvaluator::lvMultiplicative, Index, Right, Left));
    ASSERT_TRUE(TnvEvaluator::FindOperator(" - 5", TnvEvaluator::lvAdditive, Index, Right, Left));
    EXPECT_EQ(Left, "");

    EXPECT_NO_THROW(TnvEvaluator::CheckCharacters(" 0123456789*+,-/"));
    EXPECT_THROW(TnvEvaluator::CheckCharacters("\t"), EInvalidOperation);
}

} // namespace
