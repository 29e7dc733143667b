// The rich text (RTF) reader; RichText.h lists what is understood and the
// error rules.
//
// The reader is a lexer (TRtfLexer) that cuts the bytes into tokens, and a
// loop over the tokens with an explicit stack of group states, so nesting
// never recurses. A first pass over the tokens checks the header and the
// nesting depth; only then is the document cleared and filled through a
// QTextCursor. Text is gathered into runs of one character format and inserted
// a run at a time; a \par ends the current block, and the next block is only
// created when something follows, so the \par that ends the last paragraph
// adds no empty block.
#include "RtfReader.h"

#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <unordered_map>

namespace Rtf {

// ---------------------------------------------------------------- characters

// Windows-1252 at 0x80..0x9F.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t Cp1252ToUnicode(uint8_t Byte)
{
    return Byte >= 0x80 && Byte < 0xA0 ? Cp1252High[Byte - 0x80] : Byte;
}

int UnicodeToCp1252(char16_t Ch)
{
    if (Ch < 0x80 || (Ch >= 0xA0 && Ch <= 0xFF))
        return Ch;
    for (int I = 0; I < 32; ++I)
        if (Cp1252High[I] == Ch)
            return 0x80 + I;
    return -1;
}

bool IsDroppedChar(char16_t Ch)
{
    return (Ch < 0x20 && Ch != '\t') || Ch == 0x7F || Ch == 0x2029 || (Ch >= 0xFDD0 && Ch <= 0xFDEF) ||
           Ch == 0xFFFC || Ch == 0xFFFE || Ch == 0xFFFF;
}

namespace {

// ---------------------------------------------------------------- code pages

constexpr int CodePageAnsi = 1252;

// Code pages the reader decodes; others fall back to Windows-1252.
bool IsKnownCodePage(int CodePage)
{
    switch (CodePage) {
    case 437: case 850: case 874: case 932: case 936: case 949: case 950: case 1250: case 1251:
    case 1252: case 1253: case 1254: case 1255: case 1256: case 1257: case 1258: case 1361:
    case 10000:
        return true;
    default:
        return false;
    }
}

// The code page of a font charset (\fcharsetN); -1 (none given) and 1
// (default) use the document's code page. The symbol charset keeps the byte
// values as Windows-1252 characters.
int CharsetCodePage(int Charset, int DocumentCodePage)
{
    switch (Charset) {
    case 0: case 2: return 1252;
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 255: return 437;
    default: return DocumentCodePage;
    }
}

// Decoders for the code pages met in one document, made on first use.
class TCodePages {
public:
    QString Decode(int CodePage, const QByteArray& Bytes)
    {
        QStringDecoder* Decoder = CodePage == CodePageAnsi ? nullptr : Find(CodePage);
        if (!Decoder) {
            QString Result(Bytes.size(), Qt::Uninitialized);
            for (qsizetype I = 0; I < Bytes.size(); ++I)
                Result[I] = QChar(Cp1252ToUnicode(static_cast<uint8_t>(Bytes[I])));
            return Result;
        }
        Decoder->resetState();
        return Decoder->decode(Bytes);
    }

private:
    QStringDecoder* Find(int CodePage)
    {
        auto It = FDecoders.find(CodePage);
        if (It == FDecoders.end()) {
            std::unique_ptr<QStringDecoder> Decoder;
            const QByteArray Number = QByteArray::number(CodePage);
            for (const QByteArray& Name : {CodePage == 10000 ? QByteArray("macintosh") : "windows-" + Number,
                                           "cp" + Number, "ibm-" + Number}) {
                Decoder = std::make_unique<QStringDecoder>(Name.constData());
                if (Decoder->isValid())
                    break;
                Decoder.reset();
            }
            It = FDecoders.emplace(CodePage, std::move(Decoder)).first;
        }
        return It->second.get();
    }

    std::map<int, std::unique_ptr<QStringDecoder>> FDecoders;
};

constexpr int MaxTabStops = 32;
constexpr int DefaultHalfPoints = 24;

// ---------------------------------------------------------------- lexer

struct TToken {
    enum TKind { End, Open, Close, Word, Symbol, Byte, Char };
    TKind Kind = End;
    char Name[33] = {};     // Word: the letters (at most 32)
    bool Valid = true;      // Word: not too long, parameter within 32 bits
    bool HasParam = false;  // Word
    int Param = 0;          // Word
    char Ch = 0;            // Symbol, Byte, Char

    bool Is(const char* Word) const { return std::strcmp(Name, Word) == 0; }
};

bool IsLetter(char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z'); }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }
int HexValue(char C)
{
    if (IsDigit(C))
        return C - '0';
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    return -1;
}

class TRtfLexer {
public:
    TRtfLexer(const char* Begin, const char* End) : P(Begin), E(End) {}

    // The next token; CR and LF (which RTF ignores) and escapes without their
    // hex digits are passed over. \binN skips its N bytes of data here.
    TToken Next()
    {
        TToken T;
        while (P < E) {
            const char C = *P++;
            switch (C) {
            case '{':
                T.Kind = TToken::Open;
                return T;
            case '}':
                T.Kind = TToken::Close;
                return T;
            case '\r':
            case '\n':
                continue;
            case '\\': {
                if (P == E)
                    continue;
                const char D = *P;
                if (IsLetter(D)) {
                    ReadWord(T);
                    return T;
                }
                ++P;
                if (D == '\'') {
                    const int High = P < E ? HexValue(*P) : -1;
                    if (High < 0)
                        continue;
                    ++P;
                    const int Low = P < E ? HexValue(*P) : -1;
                    if (Low < 0)
                        continue;
                    ++P;
                    T.Kind = TToken::Byte;
                    T.Ch = static_cast<char>(High * 16 + Low);
                    return T;
                }
                T.Kind = TToken::Symbol;
                T.Ch = D;
                return T;
            }
            default:
                T.Kind = TToken::Char;
                T.Ch = C;
                return T;
            }
        }
        T.Kind = TToken::End;
        return T;
    }

private:
    void ReadWord(TToken& T)
    {
        T.Kind = TToken::Word;
        int Length = 0;
        while (P < E && IsLetter(*P)) {
            if (Length < 32)
                T.Name[Length++] = *P;
            else
                T.Valid = false;
            ++P;
        }
        T.Name[Length] = 0;
        bool Negative = false;
        if (P + 1 < E && *P == '-' && IsDigit(P[1])) {
            Negative = true;
            ++P;
        }
        int64_t Value = 0;
        bool Overflow = false;
        while (P < E && IsDigit(*P)) {
            T.HasParam = true;
            if (!Overflow) {
                Value = Value * 10 + (*P - '0');
                Overflow = Value > 2147483648LL;
            }
            ++P;
        }
        if (Overflow || (!Negative && Value > 2147483647LL))
            T.Valid = false;
        else
            T.Param = static_cast<int>(Negative ? -Value : Value);
        if (P < E && *P == ' ')
            ++P;
        if (T.Valid && T.HasParam && T.Param > 0 && T.Is("bin"))
            P += std::min<int64_t>(T.Param, E - P);
    }

    const char* P;
    const char* E;
};

// Checks what makes a document unreadable: the header and the nesting depth.
void CheckRtf(const char* Begin, const char* End, const TRtfReadOptions& Options)
{
    TRtfLexer Lexer(Begin, End);
    TToken T = Lexer.Next(); // the '{' that made it RTF
    T = Lexer.Next();
    if (T.Kind != TToken::Word || !T.Is("rtf") || !T.Valid)
        throw EReadError("Invalid rich text: the document does not start with \\rtf");
    const int MaxDepth = std::max(1, Options.MaxGroupDepth);
    int Depth = 1;
    while ((T = Lexer.Next()).Kind != TToken::End) {
        if (T.Kind == TToken::Open && ++Depth > MaxDepth)
            throw EReadError("Invalid rich text: groups are nested more than " + std::to_string(MaxDepth) +
                             " levels deep");
        if (T.Kind == TToken::Close && --Depth == 0)
            break;
    }
}

// ---------------------------------------------------------------- reader state

enum class TDest : uint8_t {
    Text,       // document text
    Skip,       // ignored destination
    FontTable,
    ColorTable,
    FieldInst,  // field instruction
    PnText,     // the marker text of a list paragraph
    Pn,         // list paragraph properties
    PnBefore,   // text before the number
    PnAfter     // text after the number
};

struct TCharProps {
    int Font = -1; // -1: the default font (\deff)
    int HalfPoints = DefaultHalfPoints;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strike = false;
    int Color = -1; // index into the colour table; -1: automatic
    int Highlight = -1;
    int Link = -1; // index of a hyperlink target
    bool operator==(const TCharProps&) const = default;
};

struct TParaProps {
    int Align = 0; // 0 left, 1 centre, 2 right, 3 justified
    int Left = 0;  // twips
    int Right = 0;
    int First = 0;
    int Before = 0;
    int After = 0;
    int TabCount = 0;
    std::array<TTabStop, MaxTabStops> Tabs{};
    QTextOption::TabType NextTabType = QTextOption::LeftTab;
    TListProps List;
};

struct TGroup {
    TCharProps Char;
    TParaProps Para;
    int UnicodeSkip = 1; // \uc
    TDest Dest = TDest::Text;
    bool AtStart = true; // nothing but \* read in this group yet
    bool Starred = false;
};

struct TFontEntry {
    QString Name;
    int Charset = -1;
};

struct TField {
    size_t Depth; // stack size of the \field group
    QString Instruction;
};

int Clamp(int Value, int Low, int High) { return std::clamp(Value, Low, High); }

// The target of a HYPERLINK field instruction, empty for other fields.
// Arguments may be quoted, with \\ and \" inside quotes; \l "name" points
// into the document ("#name"); \o, \t and \m take an argument that is passed over.
QString HyperlinkTarget(const QString& Instruction)
{
    QStringList Args;
    QList<bool> Quoted;
    const qsizetype N = Instruction.size();
    for (qsizetype I = 0; I < N;) {
        if (Instruction[I].isSpace()) {
            ++I;
            continue;
        }
        QString Arg;
        if (Instruction[I] == u'"') {
            ++I;
            while (I < N && Instruction[I] != u'"') {
                if (Instruction[I] == u'\\' && I + 1 < N && (Instruction[I + 1] == u'\\' || Instruction[I + 1] == u'"'))
                    ++I;
                Arg += Instruction[I++];
            }
            ++I;
            Quoted.append(true);
        } else {
            while (I < N && !Instruction[I].isSpace())
                Arg += Instruction[I++];
            Quoted.append(false);
        }
        Args.append(Arg);
    }
    if (Args.isEmpty() || Quoted[0] || Args[0].compare(u"HYPERLINK", Qt::CaseInsensitive) != 0)
        return QString();
    QString Target;
    QString Location;
    for (qsizetype I = 1; I < Args.size(); ++I) {
        const bool Switch = !Quoted[I] && Args[I].size() == 2 && Args[I][0] == u'\\';
        if (!Switch) {
            if (Target.isEmpty())
                Target = Args[I];
            continue;
        }
        const QChar Letter = Args[I][1].toLower();
        if (Letter == u'l' && I + 1 < Args.size())
            Location = Args[++I];
        else if ((Letter == u'o' || Letter == u't' || Letter == u'm') && I + 1 < Args.size())
            ++I;
    }
    if (!Location.isEmpty())
        Target += u'#' + Location;
    return Target;
}

// ---------------------------------------------------------------- control words

enum class TWord {
    Ansi, Mac, Pc, Pca, AnsiCpg, Deff, Uc, U,
    FontTable, ColorTable, PnText, Pn, PnTextBefore, PnTextAfter, Field, FieldInst, FieldResult, SkippedDest,
    F, FCharset, Red, Green, Blue,
    Plain, B, I, Ul, UlNone, Strike, Fs, Cf, Highlight,
    Pard, Par, Ql, Qc, Qr, Qj, Li, Ri, Fi, Sb, Sa, Tx, Tqr, Tqc, Tqdec, Cell,
    Char, // a word that stands for a character
    PnBullet, PnBody, PnCont, PnStyle
};

struct TWordInfo {
    TWord Word;
    char16_t Value = 0; // Char: the character; PnStyle: the list style (negated)
};

const std::unordered_map<std::string_view, TWordInfo>& WordTable()
{
    static const std::unordered_map<std::string_view, TWordInfo> Table = [] {
        std::unordered_map<std::string_view, TWordInfo> T = {
            {"ansi", {TWord::Ansi}}, {"mac", {TWord::Mac}}, {"pc", {TWord::Pc}}, {"pca", {TWord::Pca}},
            {"ansicpg", {TWord::AnsiCpg}}, {"deff", {TWord::Deff}}, {"uc", {TWord::Uc}}, {"u", {TWord::U}},
            {"fonttbl", {TWord::FontTable}}, {"colortbl", {TWord::ColorTable}}, {"pntext", {TWord::PnText}},
            {"pn", {TWord::Pn}}, {"pntxtb", {TWord::PnTextBefore}}, {"pntxta", {TWord::PnTextAfter}},
            {"field", {TWord::Field}}, {"fldinst", {TWord::FieldInst}}, {"fldrslt", {TWord::FieldResult}},
            {"f", {TWord::F}}, {"fcharset", {TWord::FCharset}},
            {"red", {TWord::Red}}, {"green", {TWord::Green}}, {"blue", {TWord::Blue}},
            {"plain", {TWord::Plain}}, {"b", {TWord::B}}, {"i", {TWord::I}}, {"ulnone", {TWord::UlNone}},
            {"strike", {TWord::Strike}}, {"striked", {TWord::Strike}}, {"fs", {TWord::Fs}}, {"cf", {TWord::Cf}},
            {"highlight", {TWord::Highlight}}, {"cb", {TWord::Highlight}},
            {"pard", {TWord::Pard}}, {"par", {TWord::Par}}, {"page", {TWord::Par}}, {"sect", {TWord::Par}},
            {"row", {TWord::Par}}, {"nestrow", {TWord::Par}}, {"cell", {TWord::Cell}}, {"nestcell", {TWord::Cell}},
            {"ql", {TWord::Ql}}, {"qc", {TWord::Qc}}, {"qr", {TWord::Qr}}, {"qj", {TWord::Qj}}, {"qd", {TWord::Qj}},
            {"li", {TWord::Li}}, {"lin", {TWord::Li}}, {"ri", {TWord::Ri}}, {"rin", {TWord::Ri}},
            {"fi", {TWord::Fi}}, {"sb", {TWord::Sb}}, {"sa", {TWord::Sa}}, {"tx", {TWord::Tx}},
            {"tqr", {TWord::Tqr}}, {"tqc", {TWord::Tqc}}, {"tqdec", {TWord::Tqdec}},
            {"tab", {TWord::Char, u'\t'}}, {"line", {TWord::Char, 0x2028}}, {"emdash", {TWord::Char, 0x2014}},
            {"endash", {TWord::Char, 0x2013}}, {"bullet", {TWord::Char, 0x2022}}, {"lquote", {TWord::Char, 0x2018}},
            {"rquote", {TWord::Char, 0x2019}}, {"ldblquote", {TWord::Char, 0x201C}},
            {"rdblquote", {TWord::Char, 0x201D}}, {"emspace", {TWord::Char, 0x2003}},
            {"enspace", {TWord::Char, 0x2002}}, {"qmspace", {TWord::Char, 0x2005}},
            {"zwj", {TWord::Char, 0x200D}}, {"zwnj", {TWord::Char, 0x200C}},
            {"ltrmark", {TWord::Char, 0x200E}}, {"rtlmark", {TWord::Char, 0x200F}},
            {"pnlvlblt", {TWord::PnBullet}}, {"pnlvlbody", {TWord::PnBody}}, {"pnlvl", {TWord::PnBody}},
            {"pnlvlcont", {TWord::PnCont}},
            {"pndec", {TWord::PnStyle, char16_t(-QTextListFormat::ListDecimal)}},
            {"pnlcltr", {TWord::PnStyle, char16_t(-QTextListFormat::ListLowerAlpha)}},
            {"pnucltr", {TWord::PnStyle, char16_t(-QTextListFormat::ListUpperAlpha)}},
            {"pnlcrm", {TWord::PnStyle, char16_t(-QTextListFormat::ListLowerRoman)}},
            {"pnucrm", {TWord::PnStyle, char16_t(-QTextListFormat::ListUpperRoman)}},
        };
        for (const char* Underline : {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash",
                                      "ulth", "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash",
                                      "ululdbwave", "ulw", "ulwave"})
            T.emplace(Underline, TWordInfo{TWord::Ul});
        for (const char* Skipped : {"stylesheet", "info", "pict", "object", "nonshppict", "header", "headerl",
                                    "headerr", "headerf", "footer", "footerl", "footerr", "footerf", "footnote",
                                    "annotation", "listtable", "listoverridetable", "revtbl", "rsidtbl",
                                    "generator", "xmlnstbl", "filetbl", "themedata", "colorschememapping",
                                    "latentstyles", "datastore", "template", "bkmkstart", "bkmkend", "xe", "tc",
                                    "txe", "userprops", "docvar"})
            T.emplace(Skipped, TWordInfo{TWord::SkippedDest});
        return T;
    }();
    return Table;
}

// ---------------------------------------------------------------- reader

class TRtfReader {
public:
    TRtfReader(QTextDocument& Doc, const char* Begin, const char* End)
        : FCursor(&Doc), FLexer(Begin, End)
    {
    }

    void Run()
    {
        for (;;) {
            const TToken T = FLexer.Next();
            if (T.Kind != TToken::Byte)
                FlushBytes();
            if (T.Kind == TToken::End)
                break;
            if (FSkipChars > 0 && T.Kind != TToken::Open && T.Kind != TToken::Close) {
                --FSkipChars; // a fallback character of \uN
                continue;
            }
            if (FStack.empty() && T.Kind != TToken::Open)
                continue;
            switch (T.Kind) {
            case TToken::Open:
                FSkipChars = 0;
                OpenGroup();
                break;
            case TToken::Close:
                FSkipChars = 0;
                CloseGroup();
                if (FStack.empty())
                    return Finish();
                break;
            case TToken::Word:
                ControlWord(T);
                break;
            case TToken::Symbol:
                ControlSymbol(T.Ch);
                break;
            case TToken::Byte:
                NotAtStart();
                if (Dest() != TDest::Skip)
                    FBytes += T.Ch;
                break;
            case TToken::Char:
                NotAtStart();
                PlainChar(T.Ch);
                break;
            case TToken::End:
                break;
            }
        }
        if (!FStack.empty())
            FFinal = FStack.back();
        Finish();
    }

private:
    TGroup& Top() { return FStack.back(); }
    TDest Dest() { return FStack.back().Dest; }

    void NotAtStart()
    {
        Top().AtStart = false;
        Top().Starred = false;
    }

    // ------------------------------------------------------------ groups

    void OpenGroup()
    {
        TGroup Group = FStack.empty() ? TGroup() : FStack.back();
        Group.AtStart = true;
        Group.Starred = false;
        if (!FStack.empty())
            NotAtStart();
        FStack.push_back(std::move(Group));
    }

    void CloseGroup()
    {
        const size_t Depth = FStack.size();
        const TDest Closing = Dest();
        if (Closing == TDest::FontTable && !FFontName.isEmpty())
            FinishFont();
        if (Closing == TDest::ColorTable && (FRed >= 0 || FGreen >= 0 || FBlue >= 0))
            FinishColor();
        if (!FFields.empty() && FFields.back().Depth == Depth)
            FFields.pop_back();
        if (Depth == 1)
            FFinal = FStack.back();
        FStack.pop_back();
        if (Closing == TDest::Pn && Depth == FPnDepth) {
            FPnDepth = 0;
            if (!FStack.empty())
                Top().Para.List = PnList();
        }
    }

    // ------------------------------------------------------------ tokens

    void ControlSymbol(char Ch)
    {
        if (Ch == '*') {
            // marks an ignorable destination, and only at the start of a group
            if (Top().AtStart)
                Top().Starred = true;
            return;
        }
        NotAtStart();
        switch (Ch) {
        case '\\': case '{': case '}':
            EmitChar(static_cast<char16_t>(Ch));
            break;
        case '~':
            EmitChar(0x00A0);
            break;
        case '-':
            EmitChar(0x00AD);
            break;
        case '_':
            EmitChar(0x2011);
            break;
        case '\r': case '\n':
            EndParagraph();
            break;
        case '\t':
            EmitChar(u'\t');
            break;
        default:
            break; // \: \| and unknown symbols
        }
    }

    void PlainChar(char Ch)
    {
        const auto Byte = static_cast<uint8_t>(Ch);
        if (Byte >= 0x80) {
            FBytes += Ch;
            return;
        }
        if (Ch == ';' && Dest() == TDest::FontTable)
            return FinishFont();
        if (Ch == ';' && Dest() == TDest::ColorTable)
            return FinishColor();
        if (Byte >= 0x20 || Ch == '\t')
            EmitChar(Byte);
    }

    void ControlWord(const TToken& T)
    {
        TGroup& G = Top();
        const bool AtStart = G.AtStart;
        const bool Starred = G.Starred;
        G.AtStart = false;
        G.Starred = false;
        if (G.Dest == TDest::Skip || !T.Valid)
            return;
        const auto& Table = WordTable();
        const auto It = Table.find(std::string_view(T.Name));
        if (It == Table.end()) {
            if (Starred)
                G.Dest = TDest::Skip; // an ignorable destination this reader does not know
            return;
        }
        const TWordInfo Info = It->second;
        if (AtStart && StartDestination(Info.Word))
            return;
        if (Starred) {
            G.Dest = TDest::Skip;
            return;
        }
        // Words for characters (\u, \tab, ...) work in every destination that
        // holds text: font names and number texts too.
        switch (G.Dest) {
        case TDest::FontTable:
            if (Info.Word == TWord::F || Info.Word == TWord::FCharset)
                return FontTableWord(Info.Word, T);
            return TextWord(Info, T);
        case TDest::ColorTable:
            return ColorTableWord(Info.Word, T);
        case TDest::Pn:
        case TDest::PnBefore:
        case TDest::PnAfter:
            if (Info.Word == TWord::PnBullet || Info.Word == TWord::PnBody || Info.Word == TWord::PnCont ||
                Info.Word == TWord::PnStyle)
                return PnWord(Info, T);
            return TextWord(Info, T);
        default:
            return TextWord(Info, T);
        }
    }

    // A word at the start of a group that opens a destination; false when the
    // word is not one here.
    bool StartDestination(TWord Word)
    {
        TGroup& G = Top();
        switch (Word) {
        case TWord::FontTable:
            FlushRun(); // the text read so far keeps the fonts it was read with
            G.Dest = TDest::FontTable;
            FFontId = -1;
            FFontCharset = -1;
            FFontName.clear();
            return true;
        case TWord::ColorTable:
            FlushRun();
            G.Dest = TDest::ColorTable;
            FColors.clear();
            FRed = FGreen = FBlue = -1;
            return true;
        case TWord::SkippedDest:
            G.Dest = TDest::Skip;
            return true;
        case TWord::PnText:
            G.Dest = G.Dest == TDest::Text ? TDest::PnText : TDest::Skip;
            return true;
        case TWord::Pn:
            if (G.Dest != TDest::Text && G.Dest != TDest::PnText) {
                G.Dest = TDest::Skip;
                return true;
            }
            G.Dest = TDest::Pn;
            FPnDepth = FStack.size();
            FPnKind = TWord::PnCont;
            FPnStyle = QTextListFormat::ListDecimal;
            FPnPrefix.clear();
            FPnSuffix.clear();
            return true;
        case TWord::PnTextBefore:
        case TWord::PnTextAfter:
            if (G.Dest != TDest::Pn)
                return false;
            G.Dest = Word == TWord::PnTextBefore ? TDest::PnBefore : TDest::PnAfter;
            return true;
        case TWord::Field:
            FFields.push_back({FStack.size(), QString()});
            return true;
        case TWord::FieldInst:
            G.Dest = !FFields.empty() && FFields.back().Depth < FStack.size() ? TDest::FieldInst : TDest::Skip;
            return true;
        case TWord::FieldResult:
            if (!FFields.empty() && FFields.back().Depth < FStack.size()) {
                const QString Target = HyperlinkTarget(FFields.back().Instruction);
                if (!Target.isEmpty()) {
                    FLinks.append(Target);
                    G.Char.Link = static_cast<int>(FLinks.size() - 1);
                }
            }
            return true;
        default:
            return false;
        }
    }

    void FontTableWord(TWord Word, const TToken& T)
    {
        if (Word == TWord::F && T.HasParam) {
            if (!FFontName.isEmpty())
                FinishFont();
            FFontId = T.Param;
        } else if (Word == TWord::FCharset && T.HasParam) {
            FFontCharset = T.Param;
        }
    }

    void ColorTableWord(TWord Word, const TToken& T)
    {
        const int Value = Clamp(T.Param, 0, 255);
        if (Word == TWord::Red)
            FRed = Value;
        else if (Word == TWord::Green)
            FGreen = Value;
        else if (Word == TWord::Blue)
            FBlue = Value;
    }

    void PnWord(const TWordInfo& Info, const TToken&)
    {
        switch (Info.Word) {
        case TWord::PnBullet:
        case TWord::PnBody:
        case TWord::PnCont:
            FPnKind = Info.Word;
            break;
        case TWord::PnStyle:
            FPnStyle = static_cast<QTextListFormat::Style>(-static_cast<int>(Info.Value));
            break;
        default:
            break;
        }
    }

    // The list properties of the \pn group just read.
    TListProps PnList() const
    {
        TListProps List;
        if (FPnKind == TWord::PnBullet) {
            List.Style = QTextListFormat::ListDisc;
        } else if (FPnKind == TWord::PnBody) {
            List.Style = FPnStyle;
            List.Prefix = FPnPrefix;
            List.Suffix = FPnSuffix;
        }
        return List;
    }

    void TextWord(const TWordInfo& Info, const TToken& T)
    {
        TGroup& G = Top();
        TCharProps& C = G.Char;
        TParaProps& P = G.Para;
        const bool On = !T.HasParam || T.Param != 0;
        switch (Info.Word) {
        case TWord::Ansi: FCodePage = 1252; break;
        case TWord::Mac: FCodePage = 10000; break;
        case TWord::Pc: FCodePage = 437; break;
        case TWord::Pca: FCodePage = 850; break;
        case TWord::AnsiCpg:
            if (IsKnownCodePage(T.Param))
                FCodePage = T.Param;
            break;
        case TWord::Deff:
            if (T.HasParam)
                FDefaultFont = T.Param;
            break;
        case TWord::Uc:
            if (T.HasParam && T.Param >= 0)
                G.UnicodeSkip = std::min(T.Param, 1000);
            break;
        case TWord::U: {
            if (!T.HasParam || T.Param < -65536 || T.Param > 0x10FFFF)
                break;
            const char32_t Code = T.Param < 0 ? static_cast<char32_t>(T.Param + 65536) : static_cast<char32_t>(T.Param);
            if (Code > 0xFFFF) {
                EmitChar(static_cast<char16_t>(0xD800 + ((Code - 0x10000) >> 10)));
                EmitChar(static_cast<char16_t>(0xDC00 + ((Code - 0x10000) & 0x3FF)));
            } else {
                EmitChar(static_cast<char16_t>(Code));
            }
            FSkipChars = G.UnicodeSkip;
            break;
        }
        case TWord::F:
            if (T.HasParam)
                C.Font = T.Param;
            break;
        case TWord::Plain: {
            const int Link = C.Link;
            C = TCharProps();
            C.Link = Link;
            break;
        }
        case TWord::B: C.Bold = On; break;
        case TWord::I: C.Italic = On; break;
        case TWord::Ul: C.Underline = On; break;
        case TWord::UlNone: C.Underline = false; break;
        case TWord::Strike: C.Strike = On; break;
        case TWord::Fs:
            if (!T.HasParam)
                C.HalfPoints = DefaultHalfPoints;
            else if (T.Param > 0)
                C.HalfPoints = Clamp(T.Param, 2, MaxHalfPoints);
            break;
        case TWord::Cf:
            if (T.Param >= 0)
                C.Color = T.Param;
            break;
        case TWord::Highlight:
            if (T.Param >= 0)
                C.Highlight = T.Param;
            break;
        case TWord::Pard: P = TParaProps(); break;
        case TWord::Par: EndParagraph(); break;
        case TWord::Cell: EmitChar(u'\t'); break;
        case TWord::Ql: P.Align = 0; break;
        case TWord::Qc: P.Align = 1; break;
        case TWord::Qr: P.Align = 2; break;
        case TWord::Qj: P.Align = 3; break;
        case TWord::Li: P.Left = Clamp(T.Param, 0, MaxTwips); break;
        case TWord::Ri: P.Right = Clamp(T.Param, 0, MaxTwips); break;
        case TWord::Fi: P.First = Clamp(T.Param, -MaxTwips, MaxTwips); break;
        case TWord::Sb: P.Before = Clamp(T.Param, 0, MaxTwips); break;
        case TWord::Sa: P.After = Clamp(T.Param, 0, MaxTwips); break;
        case TWord::Tqr: P.NextTabType = QTextOption::RightTab; break;
        case TWord::Tqc: P.NextTabType = QTextOption::CenterTab; break;
        case TWord::Tqdec: P.NextTabType = QTextOption::DelimiterTab; break;
        case TWord::Tx:
            if (T.HasParam && P.TabCount < MaxTabStops)
                P.Tabs[P.TabCount++] = {Clamp(T.Param, 0, MaxTwips), P.NextTabType};
            P.NextTabType = QTextOption::LeftTab;
            break;
        case TWord::Char: EmitChar(Info.Value); break;
        default: break;
        }
    }

    // ------------------------------------------------------------ text

    void FlushBytes()
    {
        if (FBytes.isEmpty() || FStack.empty())
            return;
        int CodePage = FCodePage;
        if (Dest() == TDest::FontTable) {
            CodePage = CharsetCodePage(FFontCharset, FCodePage);
        } else if (const TFontEntry* Font = FindFont(Top().Char.Font)) {
            CodePage = CharsetCodePage(Font->Charset, FCodePage);
        }
        const QString Text = FCodePages.Decode(CodePage, FBytes);
        FBytes.clear();
        for (QChar Ch : Text)
            EmitChar(Ch.unicode());
    }

    void EmitChar(char16_t Ch)
    {
        switch (Dest()) {
        case TDest::Text:
            if (!IsDroppedChar(Ch)) {
                StartContent();
                AppendToRun(Ch, Top().Char);
            }
            break;
        case TDest::FontTable:
            if (!IsDroppedChar(Ch))
                FFontName += QChar(Ch);
            break;
        case TDest::FieldInst:
            FFields.back().Instruction += QChar(Ch);
            break;
        case TDest::PnText:
            if (!IsDroppedChar(Ch)) {
                if (FPnText.empty() || !(FPnText.back().second == Top().Char))
                    FPnText.emplace_back(QString(), Top().Char);
                FPnText.back().first += QChar(Ch);
            }
            break;
        case TDest::PnBefore:
            if (!IsDroppedChar(Ch))
                FPnPrefix += QChar(Ch);
            break;
        case TDest::PnAfter:
            if (!IsDroppedChar(Ch))
                FPnSuffix += QChar(Ch);
            break;
        default:
            break;
        }
    }

    void AppendToRun(char16_t Ch, const TCharProps& Props)
    {
        if (!FRun.isEmpty() && !(FRunProps == Props))
            FlushRun();
        if (FRun.isEmpty())
            FRunProps = Props;
        FRun += QChar(Ch);
    }

    void FlushRun()
    {
        if (FRun.isEmpty())
            return;
        FCursor.insertText(FRun, CharFormat(FRunProps));
        FRun.clear();
    }

    // Before text or a paragraph end: opens the block a \par left pending and
    // places the marker text of a paragraph that turned out not to be a list item.
    void StartContent()
    {
        if (FParPending) {
            FlushRun();
            FCursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
            FParPending = false;
        }
        if (!FPnText.empty()) {
            const auto Runs = std::move(FPnText);
            FPnText.clear();
            const TGroup& State = FStack.empty() ? FFinal : Top();
            if (State.Para.List.Style == QTextListFormat::ListStyleUndefined)
                for (const auto& [Text, Props] : Runs)
                    for (QChar Ch : Text)
                        AppendToRun(Ch.unicode(), Props);
        }
    }

    void EndParagraph()
    {
        if (Dest() != TDest::Text)
            return;
        StartContent();
        FlushRun();
        ApplyParagraph(Top());
        FParPending = true;
    }

    void Finish()
    {
        if (!FPnText.empty())
            StartContent();
        FlushRun();
        if (!FParPending)
            ApplyParagraph(FFinal);
    }

    // Gives the cursor's block the paragraph properties, the paragraph mark's
    // character format and its list.
    void ApplyParagraph(const TGroup& Group)
    {
        const TParaProps& P = Group.Para;
        const bool IsList = P.List.Style != QTextListFormat::ListStyleUndefined;
        QTextBlockFormat Format;
        static constexpr Qt::Alignment Alignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight,
                                                       Qt::AlignJustify};
        Format.setAlignment(Alignments[P.Align]);
        Format.setLeftMargin(P.Left / TwipsPerPixel);
        Format.setRightMargin(P.Right / TwipsPerPixel);
        Format.setTopMargin(P.Before / TwipsPerPixel);
        Format.setBottomMargin(P.After / TwipsPerPixel);
        if (IsList) {
            Format.setTextIndent(0);
            Format.setProperty(RtfListHangingIndent, P.First);
        } else {
            Format.setTextIndent(P.First / TwipsPerPixel);
        }
        if (P.TabCount > 0) {
            std::array<TTabStop, MaxTabStops> Sorted = P.Tabs;
            std::stable_sort(Sorted.begin(), Sorted.begin() + P.TabCount,
                             [](const TTabStop& A, const TTabStop& B) { return A.Position < B.Position; });
            QList<QTextOption::Tab> Tabs;
            for (int I = 0; I < P.TabCount; ++I)
                Tabs.append(QTextOption::Tab(Sorted[I].Position / TwipsPerPixel, Sorted[I].Type,
                                             Sorted[I].Type == QTextOption::DelimiterTab ? QChar(u'.') : QChar()));
            Format.setTabPositions(Tabs);
        }
        FCursor.setBlockFormat(Format);
        FCursor.setBlockCharFormat(CharFormat(Group.Char));
        if (IsList) {
            QTextListFormat ListFormat;
            ListFormat.setStyle(P.List.Style);
            ListFormat.setIndent(0); // the block's margin places the text
            if (P.List.Style != QTextListFormat::ListDisc) {
                ListFormat.setNumberPrefix(P.List.Prefix);
                ListFormat.setNumberSuffix(P.List.Suffix);
            }
            const QTextBlock Previous = FCursor.block().previous();
            QTextList* List = Previous.isValid() ? Previous.textList() : nullptr;
            if (List && List->format() == ListFormat)
                List->add(FCursor.block());
            else
                FCursor.createList(ListFormat);
        }
    }

    const TFontEntry* FindFont(int Id) const
    {
        auto It = FFonts.find(Id < 0 ? FDefaultFont : Id);
        if (It == FFonts.end() && Id >= 0)
            It = FFonts.find(FDefaultFont);
        return It == FFonts.end() ? nullptr : &It->second;
    }

    QColor ColorAt(int Index) const
    {
        return Index >= 0 && Index < FColors.size() ? FColors[Index] : QColor();
    }

    QTextCharFormat CharFormat(const TCharProps& C) const
    {
        QTextCharFormat Format;
        if (const TFontEntry* Font = FindFont(C.Font); Font && !Font->Name.isEmpty())
            Format.setFontFamilies({Font->Name});
        Format.setFontPointSize(C.HalfPoints / 2.0);
        if (C.Bold)
            Format.setFontWeight(QFont::Bold);
        if (C.Italic)
            Format.setFontItalic(true);
        if (C.Underline)
            Format.setFontUnderline(true);
        if (C.Strike)
            Format.setFontStrikeOut(true);
        if (const QColor Color = ColorAt(C.Color); Color.isValid())
            Format.setForeground(Color);
        if (const QColor Color = ColorAt(C.Highlight); Color.isValid())
            Format.setBackground(Color);
        if (C.Link >= 0) {
            Format.setAnchor(true);
            Format.setAnchorHref(FLinks[C.Link]);
        }
        return Format;
    }

    // ------------------------------------------------------------ tables

    void FinishFont()
    {
        if (FFontId >= 0)
            FFonts[FFontId] = {FFontName.trimmed(), FFontCharset};
        FFontName.clear();
        FFontId = -1;
        FFontCharset = -1;
    }

    void FinishColor()
    {
        FColors.append(FRed < 0 && FGreen < 0 && FBlue < 0
                           ? QColor()
                           : QColor(std::max(FRed, 0), std::max(FGreen, 0), std::max(FBlue, 0)));
        FRed = FGreen = FBlue = -1;
    }

    QTextCursor FCursor;
    TRtfLexer FLexer;
    std::vector<TGroup> FStack;
    TGroup FFinal; // the state when the document ended
    int FSkipChars = 0;
    int FCodePage = 1252;
    TCodePages FCodePages;
    QByteArray FBytes; // 8-bit characters not decoded yet

    std::map<int, TFontEntry> FFonts;
    int FDefaultFont = 0;
    int FFontId = -1;
    int FFontCharset = -1;
    QString FFontName;

    QList<QColor> FColors;
    int FRed = -1, FGreen = -1, FBlue = -1;

    std::vector<TField> FFields;
    QStringList FLinks;

    size_t FPnDepth = 0;
    TWord FPnKind = TWord::PnCont;
    QTextListFormat::Style FPnStyle = QTextListFormat::ListDecimal;
    QString FPnPrefix, FPnSuffix;
    std::vector<std::pair<QString, TCharProps>> FPnText;

    QString FRun;
    TCharProps FRunProps;
    bool FParPending = false;
};

} // namespace

// ---------------------------------------------------------------- entry points

void ReadDocument(QTextDocument& Doc, const char* Begin, const char* End, const TRtfReadOptions& Options)
{
    CheckRtf(Begin, End, Options);
    const bool Undo = Doc.isUndoRedoEnabled();
    Doc.setUndoRedoEnabled(false);
    Doc.clear();
    {
        TRtfReader Reader(Doc, Begin, End);
        QTextCursor Batch(&Doc);
        Batch.beginEditBlock();
        Reader.Run();
        Batch.endEditBlock();
    }
    Doc.setUndoRedoEnabled(Undo);
}

void ReadPlainText(QTextDocument& Doc, const String& Data)
{
    QString Text;
    Text.reserve(static_cast<qsizetype>(Data.size()));
    for (size_t I = 0; I < Data.size(); ++I) {
        const auto Byte = static_cast<uint8_t>(Data[I]);
        if (Byte == '\r') {
            Text += u'\n';
            if (I + 1 < Data.size() && Data[I + 1] == '\n')
                ++I;
        } else if (Byte == '\n') {
            Text += u'\n';
        } else if (const char16_t Ch = Cp1252ToUnicode(Byte); !IsDroppedChar(Ch)) {
            Text += QChar(Ch);
        }
    }
    Doc.setPlainText(Text);
}

} // namespace Rtf
