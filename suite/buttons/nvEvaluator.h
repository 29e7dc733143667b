// Integer expressions of the custom point lists of shape buttons: "Width*7/8"
// once the words WIDTH and HEIGHT have been replaced by numbers.
//
// Four operators, multiplication and division before addition and
// subtraction, left to right within a level. The expression is worked on as
// text whose tokens are separated by single blanks: each step replaces the
// first operator of the highest level present, with its two neighbouring
// tokens, by the decimal text of the result. Arithmetic is 32-bit and wraps
// around on overflow.
#pragma once

#include "SysUtils.h"

class TnvEvaluator {
public:
    // The operators in table order; the index is the operator's index.
    static constexpr char Operators[4] = {'*', '/', '+', '-'};
    enum TLevel { lvMultiplicative, lvAdditive };

    TnvEvaluator() = delete;

    // The value of the expression. Raises EInvalidOperation for a character
    // that has no place in an expression and for a division by zero, and
    // EConvertError for an operand or a result text that is not an integer
    // (an operator without an operand on either side, a comma, two operators
    // in a row).
    static int Evaluate(const String& Expression);
    // Raises EInvalidOperation unless every character is a blank, a digit,
    // "*", "+", ",", "-" or "/".
    static void CheckCharacters(const String& Expression);
    // Each operator set apart by blanks, runs of blanks made single.
    static String SpaceOperators(const String& Expression);
    // Whether an operator of the level occurs as a token of the text; if so,
    // the first one, its index in Operators and its neighbouring tokens
    // ("" where there is none).
    static bool FindOperator(const String& Text, TLevel Level, int& Index, String& Right, String& Left);
};
