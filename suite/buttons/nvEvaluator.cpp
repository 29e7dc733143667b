#include "nvEvaluator.h"

#include <cstdint>
#include <vector>

#include "nvCommon.h"

namespace {

using TTokens = std::vector<String>;

// The text split at single blanks; empty pieces count, as GetToken counts them.
TTokens SplitTokens(const String& Text)
{
    TTokens Tokens;
    if (Text.empty())
        return Tokens;
    size_t Start = 0;
    for (;;) {
        const size_t Blank = Text.find(' ', Start);
        if (Blank == String::npos) {
            Tokens.push_back(Text.substr(Start));
            return Tokens;
        }
        Tokens.push_back(Text.substr(Start, Blank - Start));
        Start = Blank + 1;
    }
}

// Position of the first operator token of the level, -1 when none; Index
// receives its operator's index. Operators are looked for in table order and
// the one whose first occurrence comes first wins.
int FindOperatorToken(const TTokens& Tokens, TnvEvaluator::TLevel Level, int& Index)
{
    const int First = Level == TnvEvaluator::lvMultiplicative ? 0 : 2;
    int Best = -1;
    for (int I = First; I < First + 2; ++I) {
        const String Op(1, TnvEvaluator::Operators[I]);
        for (int T = 0; T < int(Tokens.size()); ++T)
            if (Tokens[T] == Op) {
                if (Best < 0 || T < Best) {
                    Best = T;
                    Index = I;
                }
                break;
            }
    }
    return Best;
}

String TokenAt(const TTokens& Tokens, int N)
{
    return N >= 0 && N < int(Tokens.size()) ? Tokens[N] : String();
}

// 32-bit arithmetic that wraps around instead of overflowing.
int32_t Apply(int Index, int32_t A, int32_t B)
{
    const uint32_t UA = static_cast<uint32_t>(A), UB = static_cast<uint32_t>(B);
    switch (Index) {
    case 0:
        return static_cast<int32_t>(UA * UB);
    case 1:
        if (B == 0)
            throw EInvalidOperation("Divide By Zero Error");
        if (B == -1) // the one quotient that overflows: INT_MIN / -1
            return static_cast<int32_t>(0u - UA);
        return A / B;
    case 2:
        return static_cast<int32_t>(UA + UB);
    default:
        return static_cast<int32_t>(UA - UB);
    }
}

} // namespace

void TnvEvaluator::CheckCharacters(const String& Expression)
{
    for (const char C : Expression)
        if (C != ' ' && !(C >= '0' && C <= '9') && C != '*' && C != '+' && C != ',' && C != '-' && C != '/')
            throw EInvalidOperation("Only alpha characters \"+\", \"-\", \"x\", and \"/\" are allowed.");
}

String TnvEvaluator::SpaceOperators(const String& Expression)
{
    String Text = Expression;
    for (const char Op : Operators)
        Text = ReplaceAll(Text, String(1, Op), String(" ") + Op + " ");
    while (Text.find("  ") != String::npos)
        Text = ReplaceAll(Text, "  ", " ");
    return Text;
}

bool TnvEvaluator::FindOperator(const String& Text, TLevel Level, int& Index, String& Right, String& Left)
{
    const TTokens Tokens = SplitTokens(Text);
    const int At = FindOperatorToken(Tokens, Level, Index);
    if (At < 0)
        return false;
    Left = TokenAt(Tokens, At - 1);
    Right = TokenAt(Tokens, At + 1);
    return true;
}

int TnvEvaluator::Evaluate(const String& Expression)
{
    CheckCharacters(Expression);
    TTokens Tokens = SplitTokens(SpaceOperators(Expression));
    for (;;) {
        int Index = 0;
        int At = FindOperatorToken(Tokens, lvMultiplicative, Index);
        if (At < 0)
            At = FindOperatorToken(Tokens, lvAdditive, Index);
        if (At < 0)
            break;
        const int32_t A = StrToInt(TokenAt(Tokens, At - 1));
        const int32_t B = StrToInt(TokenAt(Tokens, At + 1));
        const String Result = IntToStr(Apply(Index, A, B));
        // The operator and its operands become one token; a missing operand
        // has already failed its conversion above.
        Tokens[At - 1] = Result;
        Tokens.erase(Tokens.begin() + At, Tokens.begin() + At + 2);
    }
    String Text;
    for (size_t I = 0; I < Tokens.size(); ++I) {
        if (I > 0)
            Text += ' ';
        Text += Tokens[I];
    }
    return StrToInt(Text);
}
