#include "FormStream.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>

#include "Streams.h"
#include "TypInfo.h"

namespace {

// Whether a class (or an ancestor) lists the property in its
// Q_CLASSINFO("AlwaysStored", "Name, Other"): written even at its default.
bool IsAlwaysStored(const QObject* Object, const char* Name)
{
    const QMetaObject* M = Object->metaObject();
    for (int I = 0; I < M->classInfoCount(); ++I) {
        const QMetaClassInfo Info = M->classInfo(I);
        if (std::strcmp(Info.name(), "AlwaysStored") != 0)
            continue;
        for (const QByteArray& Item : QByteArray(Info.value()).split(','))
            if (Item.trimmed().compare(Name, Qt::CaseInsensitive) == 0)
                return true;
    }
    return false;
}

constexpr int MaxNesting = 200;
constexpr int64_t MaxBinaryFileSize = int64_t(256) << 20;

String LineText(const String& File, int Line)
{
    return (File.empty() ? String("<form>") : File) + "(" + std::to_string(Line) + ")";
}

// An error that already says where it happened; outer handlers pass it on.
struct TLocated {};
class ELocatedReadError : public EReadError, public TLocated {
public:
    using EReadError::EReadError;
    const char* ClassName() const noexcept override { return "EReadError"; }
};
class ELocatedClassNotFound : public EClassNotFound, public TLocated {
public:
    using EClassNotFound::EClassNotFound;
    const char* ClassName() const noexcept override { return "EClassNotFound"; }
};

// ---------------------------------------------------------------- lexer

enum class TTok { End, Ident, Int, Float, String, Symbol };

struct TToken {
    TTok Kind = TTok::End;
    String Text; // identifier, string contents, or the symbol
    int64_t Int = 0;
    double Float = 0;
    int Line = 1;
};

class TLexer {
public:
    TLexer(const String& Text, const String& File) : FText(Text), FFile(File) {}

    [[noreturn]] void Fail(int Line, const String& What) const
    {
        throw ELocatedReadError(LineText(FFile, Line) + ": " + What);
    }

    const TToken& Peek()
    {
        if (!FHavePeek) {
            FPeek = Scan();
            FHavePeek = true;
        }
        return FPeek;
    }

    TToken Next()
    {
        TToken T = Peek();
        FHavePeek = false;
        return T;
    }

    // The bytes of a binary value after its opening brace, up to the closing
    // brace: hex digits with blanks between, or `file 'name'`.
    void ReadBinary(TFormValue& V)
    {
        SkipBlanks();
        if (MatchWord("file")) {
            TToken T = Next();
            if (T.Kind != TTok::String)
                Fail(T.Line, "File name expected after 'file'");
            TToken Close = Next();
            if (Close.Kind != TTok::Symbol || Close.Text != "}")
                Fail(Close.Line, "'}' expected");
            V.FromFile = true;
            V.Str = T.Text;
            return;
        }
        int Hi = -1;
        for (;;) {
            if (FPos >= FText.size())
                Fail(FLine, "Unexpected end of file in binary data");
            char C = FText[FPos++];
            if (C == '}')
                break;
            if (C == '\n') {
                ++FLine;
                continue;
            }
            if (static_cast<unsigned char>(C) <= ' ')
                continue;
            int D = HexDigit(C);
            if (D < 0)
                Fail(FLine, String("Invalid binary data character '") + C + "'");
            if (Hi < 0) {
                Hi = D;
            } else {
                V.Bytes.push_back(static_cast<uint8_t>(Hi * 16 + D));
                Hi = -1;
            }
        }
        if (Hi >= 0)
            Fail(FLine, "Binary data has an odd number of hex digits");
    }

    int Line() const { return FLine; }

private:
    static int HexDigit(char C)
    {
        if (C >= '0' && C <= '9')
            return C - '0';
        if (C >= 'a' && C <= 'f')
            return C - 'a' + 10;
        if (C >= 'A' && C <= 'F')
            return C - 'A' + 10;
        return -1;
    }

    void SkipBlanks()
    {
        while (FPos < FText.size() && static_cast<unsigned char>(FText[FPos]) <= ' ') {
            if (FText[FPos] == '\n')
                ++FLine;
            ++FPos;
        }
    }

    bool MatchWord(const char* Word)
    {
        size_t N = std::strlen(Word);
        if (FText.size() - FPos < N || !SameText(FText.substr(FPos, N), Word))
            return false;
        if (FPos + N < FText.size() && (std::isalnum(static_cast<unsigned char>(FText[FPos + N])) || FText[FPos + N] == '_'))
            return false;
        FPos += N;
        return true;
    }

    TToken Scan()
    {
        SkipBlanks();
        TToken T;
        T.Line = FLine;
        if (FPos >= FText.size())
            return T;
        unsigned char C = static_cast<unsigned char>(FText[FPos]);
        if (std::isalpha(C) || C == '_') {
            size_t Start = FPos;
            while (FPos < FText.size() &&
                   (std::isalnum(static_cast<unsigned char>(FText[FPos])) || FText[FPos] == '_'))
                ++FPos;
            T.Kind = TTok::Ident;
            T.Text = FText.substr(Start, FPos - Start);
            return T;
        }
        if (C == '\'' || C == '#')
            return ScanString(T);
        if (C == '$') {
            ++FPos;
            size_t Start = FPos;
            uint64_t V = 0;
            while (FPos < FText.size() && HexDigit(FText[FPos]) >= 0) {
                if (FPos - Start >= 16)
                    Fail(FLine, "Hex number too large");
                V = V * 16 + static_cast<uint64_t>(HexDigit(FText[FPos]));
                ++FPos;
            }
            if (FPos == Start)
                Fail(FLine, "Hex digits expected after '$'");
            T.Kind = TTok::Int;
            T.Int = static_cast<int64_t>(V);
            return T;
        }
        if (std::isdigit(C))
            return ScanNumber(T);
        ++FPos;
        T.Kind = TTok::Symbol;
        T.Text = String(1, static_cast<char>(C));
        return T;
    }

    TToken ScanNumber(TToken& T)
    {
        size_t Start = FPos;
        bool IsFloat = false;
        while (FPos < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FPos])))
            ++FPos;
        if (FPos < FText.size() && FText[FPos] == '.') {
            IsFloat = true;
            ++FPos;
            while (FPos < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FPos])))
                ++FPos;
        }
        if (FPos < FText.size() && (FText[FPos] == 'e' || FText[FPos] == 'E')) {
            IsFloat = true;
            ++FPos;
            if (FPos < FText.size() && (FText[FPos] == '+' || FText[FPos] == '-'))
                ++FPos;
            size_t Digits = FPos;
            while (FPos < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FPos])))
                ++FPos;
            if (Digits == FPos)
                Fail(FLine, "Exponent digits expected");
        }
        const char* B = FText.data() + Start;
        const char* E = FText.data() + FPos;
        if (IsFloat) {
            T.Kind = TTok::Float;
            auto R = std::from_chars(B, E, T.Float);
            if (R.ec != std::errc() || R.ptr != E)
                Fail(FLine, "Invalid number " + String(B, E));
        } else {
            T.Kind = TTok::Int;
            auto R = std::from_chars(B, E, T.Int);
            if (R.ec != std::errc() || R.ptr != E)
                Fail(FLine, "Number out of range " + String(B, E));
        }
        return T;
    }

    // Quoted runs and #nnn character codes that touch each other form one string.
    TToken ScanString(TToken& T)
    {
        T.Kind = TTok::String;
        while (FPos < FText.size()) {
            char C = FText[FPos];
            if (C == '\'') {
                ++FPos;
                for (;;) {
                    if (FPos >= FText.size() || FText[FPos] == '\n' || FText[FPos] == '\r')
                        Fail(T.Line, "Unterminated string");
                    char D = FText[FPos++];
                    if (D == '\'') {
                        if (FPos < FText.size() && FText[FPos] == '\'') {
                            T.Text += '\'';
                            ++FPos;
                            continue;
                        }
                        break;
                    }
                    T.Text += D;
                }
            } else if (C == '#') {
                ++FPos;
                int64_t Code = 0;
                size_t Start = FPos;
                if (FPos < FText.size() && FText[FPos] == '$') {
                    ++FPos;
                    Start = FPos;
                    while (FPos < FText.size() && HexDigit(FText[FPos]) >= 0 && Code <= 0xFFFF)
                        Code = Code * 16 + HexDigit(FText[FPos++]);
                } else {
                    while (FPos < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FPos])) &&
                           Code <= 0xFFFF)
                        Code = Code * 10 + (FText[FPos++] - '0');
                }
                if (FPos == Start)
                    Fail(FLine, "Character code expected after '#'");
                if (Code > 255)
                    Fail(FLine, "Character code " + std::to_string(Code) + " is not an 8-bit character");
                T.Text += static_cast<char>(Code);
            } else {
                break;
            }
        }
        return T;
    }

    const String& FText;
    String FFile;
    size_t FPos = 0;
    int FLine = 1;
    TToken FPeek;
    bool FHavePeek = false;
};

// ---------------------------------------------------------------- parser

class TParser {
public:
    TParser(const String& Text, const String& File) : FLex(Text, File) {}

    TFormObject ParseRoot()
    {
        TFormObject Root = ParseObject(0);
        const TToken& T = FLex.Peek();
        if (T.Kind != TTok::End)
            FLex.Fail(T.Line, "Text after the end of the form: '" + T.Text + "'");
        return Root;
    }

private:
    bool IsWord(const TToken& T, const char* Word) const { return T.Kind == TTok::Ident && SameText(T.Text, Word); }

    void Expect(const char* Symbol)
    {
        TToken T = FLex.Next();
        if (T.Kind != TTok::Symbol || T.Text != Symbol)
            FLex.Fail(T.Line, String("'") + Symbol + "' expected but " + Describe(T) + " found");
    }

    static String Describe(const TToken& T)
    {
        switch (T.Kind) {
        case TTok::End: return "end of file";
        case TTok::String: return "string";
        case TTok::Int:
        case TTok::Float: return "number";
        default: return "'" + T.Text + "'";
        }
    }

    String ExpectIdent(const char* What)
    {
        TToken T = FLex.Next();
        if (T.Kind != TTok::Ident)
            FLex.Fail(T.Line, String(What) + " expected but " + Describe(T) + " found");
        return T.Text;
    }

    void Enter(int Depth, int Line)
    {
        if (Depth > MaxNesting)
            FLex.Fail(Line, "Form nested too deeply");
    }

    TFormObject ParseObject(int Depth)
    {
        TToken Head = FLex.Next();
        Enter(Depth, Head.Line);
        if (!IsWord(Head, "object") && !IsWord(Head, "inherited") && !IsWord(Head, "inline"))
            FLex.Fail(Head.Line, "'object' expected but " + Describe(Head) + " found");
        TFormObject O;
        O.Line = Head.Line;
        String First = ExpectIdent("Component name");
        const TToken& P = FLex.Peek();
        if (P.Kind == TTok::Symbol && P.Text == ":") {
            FLex.Next();
            O.Name = First;
            O.ClassName = ExpectIdent("Class name");
        } else {
            O.ClassName = First;
        }
        for (;;) {
            const TToken& T = FLex.Peek();
            if (T.Kind == TTok::End)
                FLex.Fail(T.Line, "Unexpected end of file: 'end' of " + (O.Name.empty() ? O.ClassName : O.Name) +
                                      " expected");
            if (IsWord(T, "end")) {
                FLex.Next();
                break;
            }
            if (IsWord(T, "object") || IsWord(T, "inherited") || IsWord(T, "inline"))
                O.Children.push_back(ParseObject(Depth + 1));
            else
                O.Properties.push_back(ParseProperty(Depth + 1));
        }
        return O;
    }

    TFormProperty ParseProperty(int Depth)
    {
        TFormProperty Prop;
        TToken T = FLex.Next();
        if (T.Kind != TTok::Ident)
            FLex.Fail(T.Line, "Property name expected but " + Describe(T) + " found");
        Prop.Line = T.Line;
        Prop.Name = T.Text;
        while (FLex.Peek().Kind == TTok::Symbol && FLex.Peek().Text == ".") {
            FLex.Next();
            Prop.Name += "." + ExpectIdent("Property name");
        }
        Expect("=");
        Prop.Value = ParseValue(Depth);
        return Prop;
    }

    TFormValue ParseValue(int Depth)
    {
        TToken T = FLex.Next();
        Enter(Depth, T.Line);
        TFormValue V;
        V.Line = T.Line;
        switch (T.Kind) {
        case TTok::Int:
            V.Type = TValueType::vaInt;
            V.Int = T.Int;
            return V;
        case TTok::Float:
            V.Type = TValueType::vaFloat;
            V.Float = T.Float;
            return V;
        case TTok::Ident:
            V.Type = TValueType::vaIdent;
            V.Str = T.Text;
            return V;
        case TTok::String:
            V.Type = TValueType::vaString;
            V.Str = T.Text;
            while (FLex.Peek().Kind == TTok::Symbol && FLex.Peek().Text == "+") {
                FLex.Next();
                TToken S = FLex.Next();
                if (S.Kind != TTok::String)
                    FLex.Fail(S.Line, "String expected after '+'");
                V.Str += S.Text;
            }
            return V;
        case TTok::End: FLex.Fail(T.Line, "Unexpected end of file: property value expected");
        case TTok::Symbol: break;
        }
        if (T.Text == "-") {
            TToken N = FLex.Next();
            if (N.Kind == TTok::Int) {
                V.Type = TValueType::vaInt;
                V.Int = -N.Int;
            } else if (N.Kind == TTok::Float) {
                V.Type = TValueType::vaFloat;
                V.Float = -N.Float;
            } else if (N.Kind == TTok::Ident && (SameText(N.Text, "INF"))) {
                V.Type = TValueType::vaIdent;
                V.Str = "-INF";
            } else {
                FLex.Fail(N.Line, "Number expected after '-'");
            }
            return V;
        }
        if (T.Text == "[") {
            V.Type = TValueType::vaSet;
            if (FLex.Peek().Kind == TTok::Symbol && FLex.Peek().Text == "]") {
                FLex.Next();
                return V;
            }
            for (;;) {
                TFormValue E;
                E.Line = FLex.Peek().Line;
                E.Type = TValueType::vaIdent;
                E.Str = ExpectIdent("Set member");
                V.Items.push_back(std::move(E));
                TToken S = FLex.Next();
                if (S.Kind == TTok::Symbol && S.Text == "]")
                    return V;
                if (S.Kind != TTok::Symbol || S.Text != ",")
                    FLex.Fail(S.Line, "',' or ']' expected but " + Describe(S) + " found");
            }
        }
        if (T.Text == "(") {
            V.Type = TValueType::vaList;
            while (!(FLex.Peek().Kind == TTok::Symbol && FLex.Peek().Text == ")"))
                V.Items.push_back(ParseValue(Depth + 1));
            FLex.Next();
            return V;
        }
        if (T.Text == "{") {
            V.Type = TValueType::vaBinary;
            FLex.ReadBinary(V);
            return V;
        }
        if (T.Text == "<") {
            V.Type = TValueType::vaCollection;
            for (;;) {
                TToken I = FLex.Next();
                if (I.Kind == TTok::Symbol && I.Text == ">")
                    return V;
                if (!IsWord(I, "item"))
                    FLex.Fail(I.Line, "'item' or '>' expected but " + Describe(I) + " found");
                Enter(Depth + 1, I.Line);
                std::vector<TFormProperty> Props;
                while (!IsWord(FLex.Peek(), "end")) {
                    if (FLex.Peek().Kind == TTok::End)
                        FLex.Fail(FLex.Peek().Line, "Unexpected end of file: 'end' of item expected");
                    Props.push_back(ParseProperty(Depth + 2));
                }
                FLex.Next();
                V.CollectionItems.push_back(std::move(Props));
            }
        }
        FLex.Fail(T.Line, "Property value expected but " + Describe(T) + " found");
    }

    TLexer FLex;
};

// ---------------------------------------------------------------- text output

String QuoteString(const String& S)
{
    if (S.empty())
        return "''";
    String Out;
    bool InQuote = false;
    size_t Run = 0;
    for (unsigned char C : S) {
        if (Run >= 64) {
            if (InQuote)
                Out += '\'';
            InQuote = false;
            Out += " +\n\x01"; // marker: continuation line, indented by the caller
            Run = 0;
        }
        if (C >= ' ' && C < 127) {
            if (!InQuote) {
                Out += '\'';
                InQuote = true;
            }
            Out += static_cast<char>(C);
            if (C == '\'')
                Out += '\'';
        } else {
            if (InQuote) {
                Out += '\'';
                InQuote = false;
            }
            Out += '#' + std::to_string(C);
        }
        ++Run;
    }
    if (InQuote)
        Out += '\'';
    return Out;
}

String FloatText(double V)
{
    if (std::isnan(V))
        return "NAN";
    if (std::isinf(V))
        return V > 0 ? "INF" : "-INF";
    char Buf[64];
    auto R = std::to_chars(Buf, Buf + sizeof Buf, V);
    String S(Buf, R.ptr);
    if (S.find_first_of(".eE") == String::npos)
        S += ".0";
    return S;
}

String Indent(int Level)
{
    return String(static_cast<size_t>(Level) * 2, ' ');
}

void ValueText(String& Out, const TFormValue& V, int Level);

void PropertiesText(String& Out, const std::vector<TFormProperty>& Props, int Level)
{
    for (const TFormProperty& P : Props) {
        Out += Indent(Level) + P.Name + " = ";
        ValueText(Out, P.Value, Level);
        Out += '\n';
    }
}

void ValueText(String& Out, const TFormValue& V, int Level)
{
    switch (V.Type) {
    case TValueType::vaNull: Out += "nil"; break;
    case TValueType::vaInt: Out += std::to_string(V.Int); break;
    case TValueType::vaFloat: Out += FloatText(V.Float); break;
    case TValueType::vaIdent: Out += V.Str; break;
    case TValueType::vaString: {
        String Q = QuoteString(V.Str);
        for (char C : Q) {
            if (C == '\x01')
                Out += Indent(Level + 1);
            else
                Out += C;
        }
        break;
    }
    case TValueType::vaSet: {
        Out += '[';
        for (size_t I = 0; I < V.Items.size(); ++I)
            Out += (I ? ", " : "") + V.Items[I].Str;
        Out += ']';
        break;
    }
    case TValueType::vaList: {
        Out += '(';
        for (const TFormValue& E : V.Items) {
            Out += '\n' + Indent(Level + 1);
            ValueText(Out, E, Level + 1);
        }
        Out += ')';
        break;
    }
    case TValueType::vaBinary: {
        if (V.FromFile) {
            Out += "{file " + QuoteString(V.Str) + "}";
            break;
        }
        static const char Hex[] = "0123456789ABCDEF";
        Out += '{';
        for (size_t I = 0; I < V.Bytes.size(); ++I) {
            if (I % 32 == 0)
                Out += '\n' + Indent(Level + 1);
            Out += Hex[V.Bytes[I] >> 4];
            Out += Hex[V.Bytes[I] & 15];
        }
        Out += '}';
        break;
    }
    case TValueType::vaCollection: {
        Out += '<';
        for (const auto& Item : V.CollectionItems) {
            Out += '\n' + Indent(Level + 1) + "item\n";
            PropertiesText(Out, Item, Level + 2);
            Out += Indent(Level + 1) + "end";
        }
        Out += '>';
        break;
    }
    }
}

void ObjectText(String& Out, const TFormObject& O, int Level)
{
    Out += Indent(Level) + "object " + (O.Name.empty() ? O.ClassName : O.Name + ": " + O.ClassName) + '\n';
    PropertiesText(Out, O.Properties, Level + 1);
    for (const TFormObject& C : O.Children)
        ObjectText(Out, C, Level + 1);
    Out += Indent(Level) + "end\n";
}

// A file named by a form for its binary data: a relative path below the
// form's folder, never an absolute path or one that climbs out of it.
std::vector<uint8_t> LoadBinaryFile(const String& BaseDir, const String& Name)
{
    if (Name.empty() || Name[0] == '/' || Name[0] == '\\' || Name.find("..") != String::npos ||
        Name.find(':') != String::npos)
        throw EReadError("Invalid binary data file name '" + Name + "'");
    // QFile also reads forms kept as Qt resources (":/forms/...").
    const String Path = BaseDir.empty() ? Name : BaseDir + "/" + Name;
    QFile File(ToQString(Path));
    if (!File.open(QIODevice::ReadOnly))
        throw EReadError("Cannot open binary data file '" + Path + "': " + FromQString(File.errorString()));
    if (File.size() > MaxBinaryFileSize)
        throw EReadError("Binary data file '" + Name + "' is too large");
    const QByteArray Bytes = File.readAll();
    return std::vector<uint8_t>(Bytes.begin(), Bytes.end());
}

} // namespace

// ---------------------------------------------------------------- values

TFormValue TFormValue::MakeInt(int64_t V)
{
    TFormValue R;
    R.Type = TValueType::vaInt;
    R.Int = V;
    return R;
}

TFormValue TFormValue::MakeFloat(double V)
{
    TFormValue R;
    R.Type = TValueType::vaFloat;
    R.Float = V;
    return R;
}

TFormValue TFormValue::MakeString(String V)
{
    TFormValue R;
    R.Type = TValueType::vaString;
    R.Str = std::move(V);
    return R;
}

TFormValue TFormValue::MakeIdent(String V)
{
    TFormValue R;
    R.Type = TValueType::vaIdent;
    R.Str = std::move(V);
    return R;
}

TFormValue TFormValue::MakeBinary(std::vector<uint8_t> V)
{
    TFormValue R;
    R.Type = TValueType::vaBinary;
    R.Bytes = std::move(V);
    return R;
}

TFormObject ParseFormText(const String& Text, const String& FileName)
{
    return TParser(Text, FileName).ParseRoot();
}

String FormObjectToText(const TFormObject& Object)
{
    String Out;
    ObjectText(Out, Object, 0);
    return Out;
}

// ---------------------------------------------------------------- TReader

TFiler::~TFiler() = default;

const TFormValue& TReader::Current() const
{
    if (FStack.empty()) {
        if (FConsumed)
            throw EReadError("Invalid property value: more values read than stored");
        return *FValue;
    }
    const auto& [List, Index] = FStack.back();
    if (Index >= List->Items.size())
        throw EReadError("Invalid property value: end of list reached");
    return List->Items[Index];
}

void TReader::Advance()
{
    if (FStack.empty())
        FConsumed = true;
    else
        ++FStack.back().second;
}

TValueType TReader::NextValue() const
{
    if (FStack.empty())
        return FConsumed ? TValueType::vaNull : FValue->Type;
    const auto& [List, Index] = FStack.back();
    return Index < List->Items.size() ? List->Items[Index].Type : TValueType::vaNull;
}

int64_t TReader::ReadInteger()
{
    const TFormValue& V = Current();
    if (V.Type != TValueType::vaInt)
        throw EReadError("Invalid property value: integer expected");
    Advance();
    return V.Int;
}

double TReader::ReadFloat()
{
    const TFormValue& V = Current();
    double R;
    if (V.Type == TValueType::vaFloat)
        R = V.Float;
    else if (V.Type == TValueType::vaInt)
        R = static_cast<double>(V.Int);
    else
        throw EReadError("Invalid property value: number expected");
    Advance();
    return R;
}

String TReader::ReadString()
{
    const TFormValue& V = Current();
    if (V.Type != TValueType::vaString)
        throw EReadError("Invalid property value: string expected");
    Advance();
    return V.Str;
}

bool TReader::ReadBoolean()
{
    const TFormValue& V = Current();
    if (V.Type != TValueType::vaIdent || !(SameText(V.Str, "True") || SameText(V.Str, "False")))
        throw EReadError("Invalid property value: True or False expected");
    Advance();
    return SameText(V.Str, "True");
}

String TReader::ReadIdent()
{
    const TFormValue& V = Current();
    if (V.Type != TValueType::vaIdent)
        throw EReadError("Invalid property value: identifier expected");
    Advance();
    return V.Str;
}

void TReader::ReadListBegin()
{
    const TFormValue& V = Current();
    if (V.Type != TValueType::vaList)
        throw EReadError("Invalid property value: list expected");
    FStack.emplace_back(&V, 0);
}

bool TReader::EndOfList() const
{
    return FStack.empty() || FStack.back().second >= FStack.back().first->Items.size();
}

void TReader::ReadListEnd()
{
    if (!EndOfList())
        throw EReadError("Invalid property value: end of list expected");
    FStack.pop_back();
    Advance();
}

void TReader::DefineProperty(const String& Name, const TReaderProc& ReadData, const TWriterProc&, bool)
{
    if (FFound || !SameText(Name, FWanted) || !ReadData)
        return;
    FFound = true;
    ReadData(*this);
    if (!FConsumed || !FStack.empty())
        throw EReadError("Invalid property value: not all of it was read");
}

void TReader::DefineBinaryProperty(const String& Name, const TStreamProc& ReadData, const TStreamProc&, bool)
{
    if (FFound || !SameText(Name, FWanted) || !ReadData)
        return;
    FFound = true;
    if (FValue->Type != TValueType::vaBinary)
        throw EReadError("Invalid property value: binary data expected");
    TMemoryStream Stream(FValue->FromFile ? LoadBinaryFile(FBaseDir, FValue->Str) : FValue->Bytes);
    ReadData(Stream);
    FConsumed = true;
}

// ---------------------------------------------------------------- TWriter

void TWriter::Put(TFormValue V)
{
    if (FStack.empty()) {
        FValue = std::move(V);
        FHaveValue = true;
    } else {
        FStack.back()->Items.push_back(std::move(V));
    }
}

void TWriter::WriteInteger(int64_t Value)
{
    Put(TFormValue::MakeInt(Value));
}

void TWriter::WriteFloat(double Value)
{
    Put(TFormValue::MakeFloat(Value));
}

void TWriter::WriteString(const String& Value)
{
    Put(TFormValue::MakeString(Value));
}

void TWriter::WriteBoolean(bool Value)
{
    Put(TFormValue::MakeIdent(Value ? "True" : "False"));
}

void TWriter::WriteIdent(const String& Value)
{
    Put(TFormValue::MakeIdent(Value));
}

void TWriter::WriteListBegin()
{
    TFormValue L;
    L.Type = TValueType::vaList;
    if (FStack.empty()) {
        FValue = std::move(L);
        FHaveValue = true;
        FStack.push_back(&FValue);
    } else {
        FStack.back()->Items.push_back(std::move(L));
        FStack.push_back(&FStack.back()->Items.back());
    }
}

void TWriter::WriteListEnd()
{
    if (FStack.empty())
        throw EWriteError("WriteListEnd without WriteListBegin");
    FStack.pop_back();
}

void TWriter::DefineProperty(const String& Name, const TReaderProc&, const TWriterProc& WriteData, bool HasData)
{
    if (!HasData || !WriteData)
        return;
    FValue = TFormValue();
    FHaveValue = false;
    FStack.clear();
    WriteData(*this);
    if (!FStack.empty())
        throw EWriteError("Property " + Name + ": list not closed");
    if (!FHaveValue)
        throw EWriteError("Property " + Name + ": nothing written");
    FOut->push_back({FPrefix + Name, std::move(FValue), 0});
}

void TWriter::DefineBinaryProperty(const String& Name, const TStreamProc&, const TStreamProc& WriteData,
                                   bool HasData)
{
    if (!HasData || !WriteData)
        return;
    TMemoryStream Stream;
    WriteData(Stream);
    FOut->push_back({FPrefix + Name, TFormValue::MakeBinary(Stream.Bytes()), 0});
}

// ---------------------------------------------------------------- reading components

class TFormReader {
public:
    TFormReader(const TFormReadOptions& Options) : FOptions(Options) {}

    TComponent* Read(const TFormObject& Form, TComponent* Root, TComponent* Owner)
    {
        const bool OwnRoot = Root == nullptr;
        try {
            if (OwnRoot) {
                const TMetaClass* Class = FindClassAt(Form);
                if (Class->Kind() != TMetaClass::TKind::Component)
                    Fail(Form.Line, Form.Name, "", Form.ClassName + " is not a component class");
                Root = Class->CreateComponent(Owner);
            } else if (!SameText(Root->ClassName(), Form.ClassName)) {
                const TMetaClass* Class = GetClass(Form.ClassName);
                if (!Class || !Root->InheritsFrom(Class->Meta()))
                    Fail(Form.Line, Form.Name, "",
                         "The form describes a " + Form.ClassName + ", not a " + Root->ClassName());
            }
            FRoot = Root;
            FRootObject = Root->AsObject();
            FCreated.emplace_back(FRootObject);
            ReadForm(Form, Root, nullptr);
            ResolveFixups();
            for (auto& C : FCreated)
                if (auto* Comp = dynamic_cast<TComponent*>(C.data()))
                    Comp->EndReading();
            for (size_t I = 0; I < FCreated.size(); ++I)
                if (auto* Comp = dynamic_cast<TComponent*>(FCreated[I].data())) {
                    FCurrent = &Form; // for messages from Loaded
                    Comp->Loaded();
                }
            return Root;
        } catch (...) {
            // Nothing half-built stays: every component the reader made goes.
            for (size_t I = FCreated.size(); I-- > 1;)
                delete FCreated[I].data();
            if (OwnRoot)
                delete FRootObject;
            else if (FRoot)
                FRoot->AbandonLoading(); // no Loaded: its components are gone
            throw;
        }
    }

private:
    struct TFixup {
        QPointer<QObject> Object;
        QMetaProperty Prop;
        String Name;
        int Line;
        String Component;
        String Path;
    };

    [[noreturn]] void Fail(int Line, const String& Component, const String& Path, const String& What) const
    {
        String Where = Component.empty() ? String() : Component;
        if (!Path.empty())
            Where += (Where.empty() ? "" : ".") + Path;
        throw ELocatedReadError(LineText(FOptions.FileName, Line) + ": Error reading " +
                                (Where.empty() ? String("form") : Where) + ": " + What);
    }

    const TMetaClass* FindClassAt(const TFormObject& O) const
    {
        const TMetaClass* Class = GetClass(O.ClassName);
        if (!Class)
            throw ELocatedClassNotFound(LineText(FOptions.FileName, O.Line) + ": Error reading " +
                                        (O.Name.empty() ? O.ClassName : O.Name) + ": Class " + O.ClassName +
                                        " not found");
        return Class;
    }

    void ReadForm(const TFormObject& Form, TComponent* Component, TComponent* Parent)
    {
        FCurrent = &Form;
        Component->BeginLoading();
        Component->BeginReading();
        if (!Form.Name.empty()) {
            try {
                Component->SetName(Form.Name);
            } catch (const Exception& E) {
                Fail(Form.Line, Form.Name, "Name", E.Message());
            }
        }
        if (Parent) {
            try {
                Component->SetParentComponent(Parent);
            } catch (const Exception& E) {
                Fail(Form.Line, Form.Name, "Parent", E.Message());
            }
        }
        const String CompName = Form.Name.empty() ? Form.ClassName : Form.Name;
        for (const TFormProperty& P : Form.Properties)
            ReadProperty(Component->AsObject(), P, CompName, String());
        std::vector<TTabOrder> TabOrders;
        for (const TFormObject& Child : Form.Children) {
            const TMetaClass* Class = FindClassAt(Child);
            if (Class->Kind() != TMetaClass::TKind::Component)
                Fail(Child.Line, Child.Name, "", Child.ClassName + " is not a component class");
            TComponent* C;
            try {
                TComponent* ChildOwner = Component->GetChildOwner(Class);
                C = Class->CreateComponent(ChildOwner ? ChildOwner : FRoot);
            } catch (const Exception& E) {
                Fail(Child.Line, Child.Name, "", E.Message());
            }
            FCreated.emplace_back(C->AsObject());
            ReadForm(Child, C, Component);
            for (const TFormProperty& P : Child.Properties)
                if (SameText(P.Name, "TabOrder") && P.Value.Type == TValueType::vaInt)
                    TabOrders.push_back({P.Value.Int, C->AsObject(), &P, Child.Name});
        }
        // A child's TabOrder was set while its later siblings did not exist
        // yet: set the stored values again, lowest first, now that all are
        // there, so the order written in the form wins over creation order.
        std::stable_sort(TabOrders.begin(), TabOrders.end(),
                         [](const TTabOrder& A, const TTabOrder& B) { return A.Value < B.Value; });
        for (const TTabOrder& T : TabOrders)
            if (T.Object)
                ReadProperty(T.Object, *T.Property, T.Name, String());
    }

    struct TTabOrder {
        int64_t Value;
        QPointer<QObject> Object;
        const TFormProperty* Property;
        String Name;
    };

    // Sets one stored property of Object. Prefix is the path of Object below
    // the component, for messages.
    void ReadProperty(QObject* Object, const TFormProperty& P, const String& Comp, const String& Prefix)
    {
        const String FullPath = Prefix.empty() ? P.Name : Prefix + "." + P.Name;
        try {
            String Last;
            QObject* Target = ResolvePropertyPath(Object, P.Name, &Last);
            if (!Target)
                Fail(P.Line, Comp, FullPath, "Property path does not lead to an object");
            QMetaProperty Prop = FindPublishedProperty(Target, Last);
            if (Prop.isValid()) {
                SetValue(Target, Prop, P.Value, Comp, FullPath);
                return;
            }
            auto* Persistent = dynamic_cast<TPersistent*>(Target);
            if (Persistent) {
                TReader Reader;
                Reader.FRoot = FRoot;
                Reader.FWanted = Last;
                Reader.FValue = &P.Value;
                Reader.FProperty = &P;
                Reader.FBaseDir = FOptions.BaseDir;
                Persistent->DefineProperties(&Reader);
                if (Reader.FFound)
                    return;
                if (auto* C = dynamic_cast<TComponent*>(Persistent); C && SameText(Last, "Tag")) {
                    if (P.Value.Type != TValueType::vaInt)
                        Fail(P.Line, Comp, FullPath, "Invalid property value: integer expected");
                    C->SetTag(static_cast<intptr_t>(P.Value.Int));
                    return;
                }
            }
            Fail(P.Line, Comp, FullPath, "Property " + Last + " does not exist");
        } catch (const TLocated&) {
            throw;
        } catch (const Exception& E) {
            Fail(P.Line, Comp, FullPath, E.Message());
        } catch (const std::exception& E) {
            Fail(P.Line, Comp, FullPath, E.what());
        }
    }

    static String Kind(const TFormValue& V)
    {
        switch (V.Type) {
        case TValueType::vaInt: return "an integer";
        case TValueType::vaFloat: return "a float";
        case TValueType::vaString: return "a string";
        case TValueType::vaIdent: return "the identifier " + V.Str;
        case TValueType::vaSet: return "a set";
        case TValueType::vaList: return "a list";
        case TValueType::vaBinary: return "binary data";
        case TValueType::vaCollection: return "a collection";
        default: return "nothing";
        }
    }

    void SetValue(QObject* Target, const QMetaProperty& Prop, const TFormValue& V, const String& Comp,
                  const String& Path)
    {
        auto Wrong = [&](const String& Expected) {
            Fail(V.Line, Comp, Path, "Invalid property value: " + Expected + " expected but " + Kind(V) + " found");
        };
        auto Write = [&](bool Ok) {
            if (!Ok)
                Fail(V.Line, Comp, Path, "Invalid property value: the property could not be set");
        };
        switch (PropKind(Prop)) {
        case TPropKind::Integer:
        case TPropKind::Int64:
            if (V.Type != TValueType::vaInt)
                Wrong("an integer");
            if (PropKind(Prop) == TPropKind::Integer && (V.Int < INT32_MIN || V.Int > UINT32_MAX))
                Fail(V.Line, Comp, Path, "Invalid property value: " + std::to_string(V.Int) + " is out of range");
            Write(WriteOrdinal(Target, Prop, V.Int));
            return;
        case TPropKind::IdentInteger: {
            int64_t Value = 0;
            if (V.Type == TValueType::vaInt)
                Value = V.Int;
            else if (V.Type != TValueType::vaIdent || !FindIntegerIdents(Prop.metaType())->FromIdent(V.Str, Value))
                Wrong(String("a value of type ") + Prop.typeName());
            Write(WriteOrdinal(Target, Prop, Value));
            return;
        }
        case TPropKind::Boolean:
            if (V.Type != TValueType::vaIdent || !(SameText(V.Str, "True") || SameText(V.Str, "False")))
                Wrong("True or False");
            Write(WriteOrdinal(Target, Prop, SameText(V.Str, "True")));
            return;
        case TPropKind::Enumeration: {
            QMetaEnum E = PropEnum(Prop);
            if (V.Type != TValueType::vaIdent)
                Wrong(String("a value of ") + E.enumName());
            int Value = GetEnumValue(E, V.Str);
            if (Value == -1)
                Fail(V.Line, Comp, Path, "Invalid property value: " + V.Str + " is not a value of " + E.enumName());
            Write(WriteOrdinal(Target, Prop, Value));
            return;
        }
        case TPropKind::Set: {
            QMetaEnum E = PropEnum(Prop);
            if (V.Type != TValueType::vaSet)
                Wrong(String("a set of ") + E.enumName());
            int Value = 0;
            for (const TFormValue& M : V.Items) {
                int Bit = GetEnumValue(E, M.Str);
                if (Bit == -1)
                    Fail(M.Line, Comp, Path,
                         "Invalid property value: " + M.Str + " is not a member of " + E.enumName());
                Value |= Bit;
            }
            Write(WriteOrdinal(Target, Prop, Value));
            return;
        }
        case TPropKind::Float: {
            double Value = 0;
            if (V.Type == TValueType::vaFloat)
                Value = V.Float;
            else if (V.Type == TValueType::vaInt)
                Value = static_cast<double>(V.Int);
            else if (V.Type == TValueType::vaIdent && SameText(V.Str, "NAN"))
                Value = std::nan("");
            else if (V.Type == TValueType::vaIdent && SameText(V.Str, "INF"))
                Value = HUGE_VAL;
            else if (V.Type == TValueType::vaIdent && SameText(V.Str, "-INF"))
                Value = -HUGE_VAL;
            else
                Wrong("a number");
            QVariant Var(Value);
            Var.convert(Prop.metaType());
            Write(Prop.write(Target, Var));
            return;
        }
        case TPropKind::String:
            if (V.Type != TValueType::vaString)
                Wrong("a string");
            Write(WriteString(Target, Prop, V.Str));
            return;
        case TPropKind::Method: {
            if (V.Type != TValueType::vaIdent)
                Wrong("a method name");
            BindEvent(Target, Prop, V, Comp, Path);
            return;
        }
        case TPropKind::Class: {
            if (V.Type == TValueType::vaCollection) {
                auto* Coll = dynamic_cast<TCollection*>(ReadObject(Target, Prop));
                if (!Coll)
                    Fail(V.Line, Comp, Path, "Invalid property value: the property is not a collection");
                ReadCollection(Coll, V, Comp, Path);
                return;
            }
            if (V.Type != TValueType::vaIdent)
                Wrong("a component name");
            if (SameText(V.Str, "nil")) {
                Write(WriteObject(Target, Prop, nullptr));
                return;
            }
            FFixups.push_back({Target, Prop, V.Str, V.Line, Comp, Path});
            return;
        }
        case TPropKind::Unknown: break;
        }
        Fail(V.Line, Comp, Path, String("Properties of type ") + Prop.typeName() + " cannot be stored");
    }

    void ReadCollection(TCollection* Coll, const TFormValue& V, const String& Comp, const String& Path)
    {
        Coll->BeginUpdate();
        try {
            Coll->Clear();
            for (size_t I = 0; I < V.CollectionItems.size(); ++I) {
                TCollectionItem* Item = Coll->Add();
                const String ItemPath = Path + "[" + std::to_string(I) + "]";
                for (const TFormProperty& P : V.CollectionItems[I])
                    ReadProperty(Item, P, Comp, ItemPath);
            }
        } catch (...) {
            Coll->EndUpdate();
            throw;
        }
        Coll->EndUpdate();
    }

    void BindEvent(QObject* Target, const QMetaProperty& Prop, const TFormValue& V, const String& Comp,
                   const String& Path)
    {
        const TEventTypeInfo* Info = FindEventType(Prop.metaType());
        QVariant Event(Prop.metaType()); // an empty event of the property's type
        if (SameText(V.Str, "nil")) {
            Prop.write(Target, Event);
            return;
        }
        const QMetaObject* Meta = FRootObject->metaObject();
        int Found = -1;
        bool NameSeen = false;
        for (int I = 0; I < Meta->methodCount(); ++I) {
            QMetaMethod M = Meta->method(I);
            if (!SameText(String(M.name().constData()), V.Str))
                continue;
            NameSeen = true;
            if (MethodMatchesEvent(M, *Info)) {
                Found = I;
                break;
            }
        }
        if (Found < 0)
            Fail(V.Line, Comp, Path,
                 NameSeen ? "Method " + V.Str + " of " + Meta->className() + " does not match the event type " +
                                Prop.typeName()
                          : String("Method ") + V.Str + " not found in " + Meta->className());
        Info->Bind(Event.data(), FRootObject, Found, QByteArray(Meta->method(Found).name()));
        if (!Prop.write(Target, Event))
            Fail(V.Line, Comp, Path, "Invalid property value: the event could not be set");
    }

    TComponent* FindReference(const String& Name) const
    {
        String N = Name;
        size_t Dot = N.find('.');
        if (Dot != String::npos) {
            if (!SameText(N.substr(0, Dot), FRoot->Name()))
                return nullptr;
            N = N.substr(Dot + 1);
        }
        if (SameText(N, FRoot->Name()))
            return FRoot;
        return FRoot->FindComponent(N);
    }

    void ResolveFixups()
    {
        for (const TFixup& F : FFixups) {
            if (!F.Object)
                continue;
            TComponent* C = FindReference(F.Name);
            if (!C)
                Fail(F.Line, F.Component, F.Path, "Invalid property value: component " + F.Name + " not found");
            QObject* O = C->AsObject();
            if (!WriteObject(F.Object, F.Prop, O))
                Fail(F.Line, F.Component, F.Path,
                     "Invalid property value: " + F.Name + " is a " + C->ClassName() + ", not a " +
                         String(F.Prop.typeName()));
        }
    }

    TFormReadOptions FOptions;
    TComponent* FRoot = nullptr;
    QObject* FRootObject = nullptr;
    const TFormObject* FCurrent = nullptr;
    std::vector<QPointer<QObject>> FCreated;
    std::vector<TFixup> FFixups;
};

TComponent* ReadComponent(const TFormObject& Form, TComponent* Root, TComponent* Owner,
                          const TFormReadOptions& Options)
{
    return TFormReader(Options).Read(Form, Root, Owner);
}

TComponent* ReadComponentFromText(const String& Text, TComponent* Root, TComponent* Owner,
                                  const TFormReadOptions& Options)
{
    return ReadComponent(ParseFormText(Text, Options.FileName), Root, Owner, Options);
}

TComponent* ReadComponentFromFile(const String& FileName, TComponent* Root, TComponent* Owner)
{
    TMemoryStream Stream;
    Stream.LoadFromFile(FileName);
    String Text(reinterpret_cast<const char*>(Stream.Memory()), static_cast<size_t>(Stream.Size()));
    TFormReadOptions Options;
    Options.FileName = FileName;
    Options.BaseDir = FromQString(QFileInfo(ToQString(FileName)).absolutePath());
    return ReadComponentFromText(Text, Root, Owner, Options);
}

// ---------------------------------------------------------------- writing components

class TFormWriter {
public:
    ~TFormWriter()
    {
        for (auto& [Meta, Object] : FDefaults)
            delete Object;
    }

    TFormObject Write(TComponent* Root)
    {
        FRoot = Root;
        Root->BeginWriting();
        try {
            TFormObject O = WriteForm(Root);
            Root->EndWriting();
            return O;
        } catch (...) {
            Root->EndWriting();
            throw;
        }
    }

private:
    TFormObject WriteForm(TComponent* C)
    {
        TFormObject O;
        O.Name = C->Name();
        O.ClassName = C->ClassName();
        QObject* Object = C->AsObject();
        QObject* Default = DefaultOf(Object);
        WriteProperties(Object, Default, String(), O.Properties);
        if (C->Tag() != 0 && !FindPublishedProperty(Object, "Tag").isValid())
            O.Properties.push_back({"Tag", TFormValue::MakeInt(C->Tag()), 0});
        C->GetChildren([&](TComponent* Child) { O.Children.push_back(WriteForm(Child)); }, FRoot);
        return O;
    }

    // A new instance of the object's class, whose property values count as the
    // defaults; null when the class cannot be made without arguments.
    QObject* DefaultOf(QObject* Object)
    {
        const QMetaObject* Meta = Object->metaObject();
        auto It = FDefaults.find(Meta);
        if (It != FDefaults.end())
            return It->second;
        QObject* Default = nullptr;
        if (const TMetaClass* Class = GetClass(Meta)) {
            try {
                switch (Class->Kind()) {
                case TMetaClass::TKind::Component: Default = Class->CreateComponent(nullptr)->AsObject(); break;
                case TMetaClass::TKind::CollectionItem: Default = Class->CreateItem(nullptr); break;
                case TMetaClass::TKind::Persistent: Default = Class->CreatePersistent()->AsObject(); break;
                }
            } catch (const EInvalidCast&) {
                Default = nullptr;
            }
        }
        FDefaults[Meta] = Default;
        return Default;
    }

    String ReferenceName(TComponent* C) const
    {
        if (C == FRoot)
            return C->Name();
        if (C->Owner() == FRoot)
            return C->Name();
        if (C->Owner() && !C->Owner()->Name().empty() && !C->Name().empty())
            return C->Owner()->Name() + "." + C->Name();
        return C->Name();
    }

    void WriteProperties(QObject* Object, QObject* Default, const String& Prefix, std::vector<TFormProperty>& Out)
    {
        auto* Persistent = dynamic_cast<TPersistent*>(Object);
        for (const QMetaProperty& Prop : GetPublishedProperties(Object)) {
            if (!Prop.isStored() || (Persistent && !Persistent->IsPropertyStored(Prop.name())))
                continue;
            const String Name = Prefix + Prop.name();
            const TPropKind Kind = PropKind(Prop);
            if (Kind == TPropKind::Class) {
                WriteClassProperty(Object, Default, Prop, Name, Out);
                continue;
            }
            if (!Prop.isWritable())
                continue;
            TFormValue V;
            if (!ValueOf(Object, Prop, Kind, V))
                continue;
            if (Default && !IsAlwaysStored(Object, Prop.name())) {
                TFormValue D;
                if (ValueOf(Default, Prop, Kind, D) && SameValue(V, D))
                    continue;
            } else if (Kind == TPropKind::Method && V.Type == TValueType::vaNull) {
                continue;
            }
            if (V.Type == TValueType::vaNull)
                V = TFormValue::MakeIdent("nil");
            Out.push_back({Name, std::move(V), 0});
        }
        if (auto* P = Persistent) {
            TWriter W;
            W.FRoot = FRoot;
            W.FPrefix = Prefix;
            W.FOut = &Out;
            P->DefineProperties(&W);
        }
    }

    void WriteClassProperty(QObject* Object, QObject* Default, const QMetaProperty& Prop, const String& Name,
                            std::vector<TFormProperty>& Out)
    {
        QObject* Value = ReadObject(Object, Prop);
        QObject* DefaultValue = Default ? ReadObject(Default, Prop) : nullptr;
        auto* Comp = dynamic_cast<TComponent*>(Value);
        if (Comp || (!Value && Prop.isWritable())) {
            // A reference to a component.
            if (!Prop.isWritable())
                return;
            auto* DefComp = dynamic_cast<TComponent*>(DefaultValue);
            if (!Comp) {
                if (DefComp)
                    Out.push_back({Name, TFormValue::MakeIdent("nil"), 0});
                return;
            }
            String Ref = ReferenceName(Comp);
            if (Ref.empty() || (DefComp && ReferenceName(DefComp) == Ref))
                return;
            Out.push_back({Name, TFormValue::MakeIdent(Ref), 0});
            return;
        }
        if (!Value)
            return;
        if (auto* Coll = dynamic_cast<TCollection*>(Value)) {
            auto* DefColl = dynamic_cast<TCollection*>(DefaultValue);
            if (Coll->Count() == 0 && (!DefColl || DefColl->Count() == 0))
                return;
            TFormValue V;
            V.Type = TValueType::vaCollection;
            for (int I = 0; I < Coll->Count(); ++I) {
                TCollectionItem* Item = Coll->Items(I);
                std::vector<TFormProperty> Props;
                WriteProperties(Item, DefaultOf(Item), String(), Props);
                V.CollectionItems.push_back(std::move(Props));
            }
            Out.push_back({Name, std::move(V), 0});
            return;
        }
        // A sub-object such as a font: its properties under a dotted name.
        WriteProperties(Value, DefaultValue, Name + ".", Out);
    }

    bool ValueOf(QObject* Object, const QMetaProperty& Prop, TPropKind Kind, TFormValue& V)
    {
        switch (Kind) {
        case TPropKind::Integer:
        case TPropKind::Int64: {
            auto O = ReadOrdinal(Object, Prop);
            if (!O)
                return false;
            V = TFormValue::MakeInt(*O);
            return true;
        }
        case TPropKind::IdentInteger: {
            auto O = ReadOrdinal(Object, Prop);
            if (!O)
                return false;
            String Ident;
            V = FindIntegerIdents(Prop.metaType())->ToIdent(*O, Ident) ? TFormValue::MakeIdent(Ident)
                                                                        : TFormValue::MakeInt(*O);
            return true;
        }
        case TPropKind::Boolean:
            V = TFormValue::MakeIdent(Prop.read(Object).toBool() ? "True" : "False");
            return true;
        case TPropKind::Enumeration: {
            auto O = ReadOrdinal(Object, Prop);
            String N = O ? GetEnumName(PropEnum(Prop), static_cast<int>(*O)) : String();
            if (N.empty())
                return false;
            V = TFormValue::MakeIdent(N);
            return true;
        }
        case TPropKind::Set: {
            auto O = ReadOrdinal(Object, Prop);
            if (!O)
                return false;
            QMetaEnum E = PropEnum(Prop);
            V = TFormValue();
            V.Type = TValueType::vaSet;
            for (int I = 0; I < E.keyCount(); ++I) {
                int Bit = E.value(I);
                if (Bit != 0 && (Bit & (Bit - 1)) == 0 && (*O & Bit) == Bit)
                    V.Items.push_back(TFormValue::MakeIdent(E.key(I)));
            }
            return true;
        }
        case TPropKind::Float:
            V = TFormValue::MakeFloat(Prop.read(Object).toDouble());
            return true;
        case TPropKind::String: {
            auto S = ReadString(Object, Prop);
            if (!S)
                return false;
            V = TFormValue::MakeString(*S);
            return true;
        }
        case TPropKind::Method: {
            QVariant E = Prop.read(Object);
            const TEventTypeInfo* Info = FindEventType(Prop.metaType());
            V = TFormValue();
            if (Info->Target(E.constData()) == FRoot->AsObject()) {
                QByteArray M = Info->MethodName(E.constData());
                if (!M.isEmpty())
                    V = TFormValue::MakeIdent(M.toStdString());
            }
            return true;
        }
        default: return false;
        }
    }

    static bool SameValue(const TFormValue& A, const TFormValue& B)
    {
        if (A.Type != B.Type)
            return false;
        switch (A.Type) {
        case TValueType::vaInt: return A.Int == B.Int;
        case TValueType::vaFloat:
            return A.Float == B.Float || (std::isnan(A.Float) && std::isnan(B.Float));
        case TValueType::vaString:
        case TValueType::vaIdent: return A.Str == B.Str;
        case TValueType::vaSet: {
            if (A.Items.size() != B.Items.size())
                return false;
            for (size_t I = 0; I < A.Items.size(); ++I)
                if (A.Items[I].Str != B.Items[I].Str)
                    return false;
            return true;
        }
        case TValueType::vaNull: return true;
        default: return false;
        }
    }

    TComponent* FRoot = nullptr;
    std::map<const QMetaObject*, QObject*> FDefaults;
};

TFormObject WriteComponent(TComponent* Root)
{
    return TFormWriter().Write(Root);
}

String ComponentToText(TComponent* Root)
{
    return FormObjectToText(WriteComponent(Root));
}

namespace {
void ExternaliseBinary(std::vector<TFormProperty>& Props, const String& Dir, const String& Stem, size_t Threshold,
                       int& Counter)
{
    for (TFormProperty& P : Props) {
        if (P.Value.Type == TValueType::vaBinary && !P.Value.FromFile && P.Value.Bytes.size() > Threshold) {
            String Name = Stem + "." + std::to_string(++Counter) + ".bin";
            TMemoryStream S(P.Value.Bytes);
            S.SaveToFile(Dir.empty() ? Name : Dir + "/" + Name);
            P.Value.Bytes.clear();
            P.Value.FromFile = true;
            P.Value.Str = Name;
        }
        for (auto& Item : P.Value.CollectionItems)
            ExternaliseBinary(Item, Dir, Stem, Threshold, Counter);
    }
}
void ExternaliseObject(TFormObject& O, const String& Dir, const String& Stem, size_t Threshold, int& Counter)
{
    ExternaliseBinary(O.Properties, Dir, Stem, Threshold, Counter);
    for (TFormObject& C : O.Children)
        ExternaliseObject(C, Dir, Stem, Threshold, Counter);
}
} // namespace

void WriteComponentToFile(const String& FileName, TComponent* Root, const TFormWriteOptions& Options)
{
    TFormObject O = WriteComponent(Root);
    if (Options.ExternalBinaryThreshold > 0) {
        QFileInfo Info(ToQString(FileName));
        int Counter = 0;
        ExternaliseObject(O, FromQString(Info.absolutePath()), FromQString(Info.completeBaseName()),
                          Options.ExternalBinaryThreshold, Counter);
    }
    String Text = FormObjectToText(O);
    TFileStream F(FileName, fmCreate);
    F.WriteBuffer(Text.data(), static_cast<int64_t>(Text.size()));
}
