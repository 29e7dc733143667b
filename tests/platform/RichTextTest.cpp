// Rich text: reading a formatted document into blocks and character formats,
// writing it back and reading that again; escapes and small cases; malformed
// and hostile input (truncation, unbalanced braces, deep nesting, huge
// numbers, generated garbage).
#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <cmath>
#include <random>

#include "RichText.h"
#include "Streams.h"

namespace {

std::string Twips(double Pixels)
{
    return std::to_string(std::lround(Pixels * 15));
}

std::string Escaped(const QString& Text)
{
    QString Out;
    for (QChar Ch : Text) {
        if (Ch == u'\t')
            Out += QStringLiteral("\\t");
        else if (Ch == QChar::LineSeparator)
            Out += QStringLiteral("\\n");
        else
            Out += Ch;
    }
    return Out.toStdString();
}

std::string DescribeChar(const QTextCharFormat& F)
{
    std::string S = F.property(QTextFormat::FontFamilies).toStringList().value(0).toStdString();
    char Size[32];
    std::snprintf(Size, sizeof Size, " %g", F.fontPointSize());
    S += Size;
    if (F.fontWeight() >= QFont::DemiBold)
        S += " b";
    if (F.fontItalic())
        S += " i";
    if (F.fontUnderline())
        S += " u";
    if (F.fontStrikeOut())
        S += " s";
    if (F.hasProperty(QTextFormat::ForegroundBrush))
        S += " " + F.foreground().color().name().toStdString();
    if (F.hasProperty(QTextFormat::BackgroundBrush))
        S += " bg" + F.background().color().name().toStdString();
    if (F.isAnchor())
        S += " @" + F.anchorHref().toStdString();
    return S;
}

// One line a block: its paragraph properties in brackets (indents in twips),
// then each fragment as <format>text.
std::string Describe(const QTextDocument& Doc)
{
    std::string Out;
    for (QTextBlock B = Doc.begin(); B.isValid(); B = B.next()) {
        const QTextBlockFormat F = B.blockFormat();
        std::string P;
        auto Add = [&P](const std::string& S) { P += (P.empty() ? "" : " ") + S; };
        const Qt::Alignment A = F.alignment() & Qt::AlignHorizontal_Mask;
        if (A & Qt::AlignHCenter)
            Add("center");
        else if (A & Qt::AlignRight)
            Add("right");
        else if (A & Qt::AlignJustify)
            Add("justify");
        if (F.leftMargin() != 0)
            Add("li=" + Twips(F.leftMargin()));
        if (F.rightMargin() != 0)
            Add("ri=" + Twips(F.rightMargin()));
        if (F.textIndent() != 0)
            Add("fi=" + Twips(F.textIndent()));
        if (F.topMargin() != 0)
            Add("sb=" + Twips(F.topMargin()));
        if (F.bottomMargin() != 0)
            Add("sa=" + Twips(F.bottomMargin()));
        if (F.hasProperty(RtfListHangingIndent))
            Add("hang=" + std::to_string(F.intProperty(RtfListHangingIndent)));
        for (const QTextOption::Tab& Tab : F.tabPositions())
            Add("tab=" + Twips(Tab.position) +
                (Tab.type == QTextOption::RightTab    ? "r"
                 : Tab.type == QTextOption::CenterTab ? "c"
                 : Tab.type == QTextOption::DelimiterTab ? "d" : ""));
        if (const QTextList* List = B.textList()) {
            const QTextListFormat L = List->format();
            Add(L.style() == QTextListFormat::ListDisc
                    ? std::string("disc")
                    : "numbered" + std::to_string(-L.style()) + " '" + L.numberPrefix().toStdString() + "' '" +
                          L.numberSuffix().toStdString() + "' " + List->itemText(B).toStdString());
        }
        Out += "[" + P + "]";
        for (auto It = B.begin(); !It.atEnd(); ++It)
            Out += "<" + DescribeChar(It.fragment().charFormat()) + ">" + Escaped(It.fragment().text());
        Out += "\n";
    }
    return Out;
}

// The document's text with its blocks joined by '|'.
std::string TextOf(const QTextDocument& Doc)
{
    std::string Out;
    for (QTextBlock B = Doc.begin(); B.isValid(); B = B.next())
        Out += (B == Doc.begin() ? "" : "|") + Escaped(B.text());
    return Out;
}

std::string Read(const String& Rtf)
{
    QTextDocument Doc;
    ReadRtf(Doc, Rtf);
    return TextOf(Doc);
}

// Lines end with CR LF, the document with "}" CR LF NUL.
void ExpectStoredForm(const String& Rtf)
{
    ASSERT_EQ(Rtf.rfind("{\\rtf1", 0), 0u) << Rtf;
    ASSERT_GE(Rtf.size(), 4u);
    EXPECT_EQ(Rtf.substr(Rtf.size() - 4), String("}\r\n\0", 4));
    for (size_t I = 0; I < Rtf.size(); ++I)
        if (Rtf[I] == '\n') {
            EXPECT_EQ(Rtf[I - 1], '\r') << "bare LF at " << I;
        }
    EXPECT_EQ(Rtf.find('\0'), Rtf.size() - 1);
}

const char* const FormattedDocument =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman\\fcharset0 Times New "
    "Roman;}{\\f2\\fnil\\fcharset2 Symbol;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;\\red255\\green255\\blue0;}\r\n"
    "\\viewkind4\\uc1\\pard\\qc\\f0\\fs32\\b Title\\b0\\par\r\n"
    "\\pard\\f1\\fs20 Plain, {\\b bold}, {\\i italic}, {\\ul under}\\ulnone , {\\strike struck} and {\\cf1 red} on "
    "{\\highlight3 yellow}.\\par\r\n"
    "\\pard\\qr\\cf2\\fs24 Right \\'93quoted\\'94 \\'80 5\\u8804?6 \\u-1234?\\uc2\\u1071\\'3f\\'3f!\\par\r\n"
    "\\pard{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'B7}}\\fi-360\\li720\\cf0 First "
    "item\\par\r\n"
    "{\\pntext\\f2\\'B7\\tab}Second item\\par\r\n"
    "\\pard\\tx1440\\tqr\\tx4320\\tqc\\tx5000\\tqdec\\tx6000 Name\\tab Value\\tab 12\\line next line\\par\r\n"
    "\\pard\\li360\\ri180\\fi240\\sb120\\sa60\\qj Indented with a {\\field{\\*\\fldinst{HYPERLINK "
    "\"http://example.org/a?b=1\"}}{\\fldrslt{\\ul\\cf2 link}}} here.\\par\r\n"
    "{\\pntext 1)\\tab}{\\*\\pn\\pnlvlbody\\pndec{\\pntxtb (}{\\pntxta )}}\\pard{\\pntext\\f0 (1)\\tab}"
    "{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart1\\pnucrm{\\pntxtb (}{\\pntxta )}}\\fi-360\\li360 "
    "Numbered\\par\r\n"
    "}\r\n";

const char* const FormattedExpected =
    "[center]<Arial 16 b>Title\n"
    "[]<Times New Roman 10>Plain, <Times New Roman 10 b>bold<Times New Roman 10>, <Times New Roman 10 i>italic"
    "<Times New Roman 10>, <Times New Roman 10 u>under<Times New Roman 10>, <Times New Roman 10 s>struck"
    "<Times New Roman 10> and <Times New Roman 10 #ff0000>red<Times New Roman 10> on "
    "<Times New Roman 10 bg#ffff00>yellow<Times New Roman 10>.\n"
    "[right]<Times New Roman 12 #0000ff>Right “quoted” € 5≤6 \uFB2EЯ!\n"
    "[li=720 hang=-360 disc]<Times New Roman 12>First item\n"
    "[li=720 hang=-360 disc]<Times New Roman 12>Second item\n"
    "[tab=1440 tab=4320r tab=5000c tab=6000d]<Times New Roman 12>Name\\tValue\\t12\\nnext line\n"
    "[justify li=360 ri=180 fi=240 sb=120 sa=60]<Times New Roman 12>Indented with a "
    "<Times New Roman 12 u #0000ff @http://example.org/a?b=1>link<Times New Roman 12> here.\n"
    "[li=360 hang=-360 numbered8 '(' ')' (I)]<Times New Roman 12>Numbered\n";

} // namespace

TEST(RichText, ReadsFormattedDocumentAndWritesItBack)
{
    QTextDocument Doc;
    ReadRtf(Doc, FormattedDocument);
    EXPECT_EQ(Describe(Doc), FormattedExpected);
    ASSERT_NE(Doc.begin().next().next().next().textList(), nullptr);
    EXPECT_EQ(Doc.begin().next().next().next().textList(), Doc.begin().next().next().next().next().textList())
        << "the two bullet items share one list";

    const String Written = WriteRtf(Doc);
    ExpectStoredForm(Written);
    EXPECT_EQ(Written.rfind("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}", 0),
              0u)
        << Written;

    // through streams, as the control stores it
    TMemoryStream Stream;
    WriteRtf(Doc, Stream);
    Stream.SetPosition(0);
    QTextDocument Again;
    ReadRtf(Again, Stream);
    EXPECT_EQ(Describe(Again), FormattedExpected);
    EXPECT_EQ(WriteRtf(Again), Written);
}

TEST(RichText, WritesTheStoredForm)
{
    QTextDocument Doc;
    QTextCursor Cursor(&Doc);
    QTextCharFormat Plain;
    Plain.setFontFamilies({QStringLiteral("MS Sans Serif")});
    Plain.setFontPointSize(10);
    QTextCharFormat Bold = Plain;
    Bold.setFontWeight(QFont::Bold);
    Bold.setForeground(QColor(255, 0, 0));
    Cursor.insertText(QStringLiteral("Hi "), Plain);
    Cursor.insertText(QString::fromUtf8("“x” € Я {a\\b}\t1"), Bold);
    QTextBlockFormat Centered;
    Centered.setAlignment(Qt::AlignHCenter);
    Cursor.insertBlock(Centered, Plain);
    Cursor.insertText(QString(QChar(0x00A0)) + QChar(0x00AD) + QChar(0x2011) + QChar(QChar::LineSeparator), Plain);
    Cursor.insertBlock(QTextBlockFormat(), Plain);
    QTextListFormat ListFormat;
    ListFormat.setStyle(QTextListFormat::ListCircle);
    ListFormat.setIndent(1);
    Cursor.createList(ListFormat);
    Cursor.insertText(QStringLiteral("item"), Plain);

    const String Expected =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 MS Sans Serif;}"
        "{\\f1\\fnil\\fcharset2 Symbol;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
        "\\viewkind4\\uc1\\pard\\f0\\fs20 Hi \\b\\cf1\\'93x\\'94 \\'80 \\u1071? \\{a\\\\b\\}\\tab 1\\par\r\n"
        "\\pard\\qc\\b0\\cf0\\~\\-\\_\\line\\par\r\n"
        "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-360\\li600 item\\par\r\n"
        "}\r\n" + String(1, '\0');
    EXPECT_EQ(WriteRtf(Doc), Expected);

    QTextDocument Again;
    ReadRtf(Again, Expected);
    EXPECT_EQ(Describe(Again), "[]<MS Sans Serif 10>Hi <MS Sans Serif 10 b #ff0000>“x” € Я {a\\b}\\t1\n"
                               "[center]<MS Sans Serif 10>\u00A0\u00AD\u2011\\n\n"
                               "[li=600 hang=-360 disc]<MS Sans Serif 10>item\n");
}

TEST(RichText, ReadsEscapesAndSmallDocuments)
{
    struct TCase {
        const char* Name;
        String Input;
        const char* Text; // blocks joined by '|'
    };
    const TCase Cases[] = {
        {"braces and backslash", "{\\rtf1 a\\{b\\}c\\\\d}", "a{b}c\\d"},
        {"cp1252 high bytes", "{\\rtf1 \\'93q\\'94\\'80\\'85\\'9f \\'e9\\'41}", "“q”€…Ÿ éA"},
        {"raw 8-bit characters", "{\\rtf1 caf\xe9 \x93x\x94}", "café “x”"},
        {"unicode with one fallback", "{\\rtf1\\uc1 \\u8364?x\\u-4064?}", "€x\uF020"},
        {"unicode with two fallbacks", "{\\rtf1\\uc2 \\u8364\\'80\\'80x}", "€x"},
        {"fallback cut by a group end", "{\\rtf1\\uc3 {\\u8364?}x}", "€x"},
        {"no fallback", "{\\rtf1\\uc0 \\u8364?}", "€?"},
        {"surrogate pair", "{\\rtf1 \\u-10179?\\u-8704?}", "\U0001F600"},
        {"special characters", "{\\rtf1 a\\~b\\-c\\_d\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}",
         "a\u00A0b\u00ADc\u2011d—–•‘’“”"},
        {"tab and line", "{\\rtf1 a\\tab b\\line c}", "a\\tb\\nc"},
        {"paragraphs", "{\\rtf1 one\\par two\\par}", "one|two"},
        {"trailing empty paragraph", "{\\rtf1 one\\par\\par}", "one|"},
        {"escaped line break", "{\\rtf1 one\\\r\ntwo}", "one|two"},
        {"text without paragraph mark", "{\\rtf1 last}", "last"},
        {"empty document", "{\\rtf1}", ""},
        {"ignorable destinations", "{\\rtf1 a{\\*\\unknown hidden}b{\\info{\\title t}}c{\\*\\pn x}}", "abc"},
        {"\\* inside a group is no destination", "{\\rtf1 a\\*\\b b{x\\*\\unknown y}}", "abxy"},
        {"skipped destinations", "{\\rtf1{\\stylesheet{\\s0 Normal;}}a{\\header h}{\\footer f}b{\\footnote n}c}", "abc"},
        {"pictures are skipped", "{\\rtf1 a{\\pict\\pngblip 89504e47}b{\\*\\shppict{\\pict 00}}c}", "abc"},
        {"binary data", "{\\rtf1 a{\\*\\blob\\bin3 {}}}b}", "ab"},
        {"unknown words ignored", "{\\rtf1\\foo12\\bar-3 a\\baz b}", "ab"},
        {"control word too long", "{\\rtf1 a\\abcdefghijklmnopqrstuvwxyzabcdefgh b}", "ab"},
        {"parameter beyond 32 bits", "{\\rtf1 a\\u99999999999 ?b\\fs-99999999999 c}", "a?bc"},
        {"bad hex escape", "{\\rtf1 a\\'zzb\\'4}", "azzb"},
        {"NUL in the middle", String("{\\rtf1 a\0b}", 11), "ab"},
        {"stored NUL after the document", String("{\\rtf1 text}\r\n\0", 15), "text"},
        {"text after the document", "{\\rtf1 a}b{c}", "a"},
        {"code page of the document", "{\\rtf1\\ansi\\ansicpg1251 \\'e0\\'e1}", "аб"},
        {"code page of the font", "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset161 Arial Greek;}}\\'e1\\f1\\'e1}",
         "áα"},
        {"double-byte code page", "{\\rtf1{\\fonttbl{\\f0\\fcharset128 Gothic;}}\\f0\\'82\\'a0}", "あ"},
        {"field result kept", "{\\rtf1{\\field{\\*\\fldinst PAGE}{\\fldrslt 3}}}", "3"},
        {"marker text of a non-list paragraph kept", "{\\rtf1{\\pntext 1.\\tab}item}", "1.\\titem"},
        {"marker text of a list paragraph dropped",
         "{\\rtf1{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}item\\par}", "item"},
        {"cells and rows", "{\\rtf1\\trowd\\intbl a\\cell b\\cell\\row c}", "a\\tb\\t|c"},
        {"plain text", "plain\r\nline\rthree\nfour", "plain|line|three|four"},
        {"plain text in Windows-1252 with NUL", String("\x93hi\x94\0", 5), "“hi”"},
        {"almost rich text", "{\\rt1 a}", "{\\rt1 a}"},
    };
    for (const TCase& Case : Cases)
        EXPECT_EQ(Read(Case.Input), Case.Text) << Case.Name;
}

TEST(RichText, ReadsFormattingEdgeCases)
{
    struct TCase {
        const char* Name;
        const char* Input;
        const char* Expected; // Describe()
    };
    const TCase Cases[] = {
        {"defaults without tables", "{\\rtf1 x}", "[]< 12>x\n"},
        {"unknown font falls back to the default", "{\\rtf1\\deff1{\\fonttbl{\\f1 Serif;}}\\f7 x}", "[]<Serif 12>x\n"},
        {"font name with escapes", "{\\rtf1{\\fonttbl{\\f0\\fnil Caf\\'e9 {\\*\\panose 0102} One;}}x}",
         "[]<Café  One 12>x\n"},
        {"font table without inner groups", "{\\rtf1{\\fonttbl\\f0 A;\\f1 B;}\\f1 x}", "[]<B 12>x\n"},
        {"plain resets the character format",
         "{\\rtf1{\\colortbl;\\red1\\green2\\blue3;}\\b\\i\\ul\\strike\\cf1\\fs40 a\\plain b}",
         "[]< 20 b i u s #010203>a< 12>b\n"},
        {"group ends restore the format", "{\\rtf1 a{\\b b{\\i c}d}e}", "[]< 12>a< 12 b>b< 12 b i>c< 12 b>d< 12>e\n"},
        {"b0 and ul variants", "{\\rtf1\\b\\uldb a\\b0\\ul0 b\\ulwave c\\ulnone d}",
         "[]< 12 b u>a< 12>b< 12 u>c< 12>d\n"},
        {"colour 0 and colours past the table are automatic",
         "{\\rtf1{\\colortbl\\red9\\green9\\blue9;;}\\cf0 a\\cf1 b\\cf5 c\\highlight0 d}",
         "[]< 12 #090909>a< 12>bc< 12 bg#090909>d\n"},
        {"font size clamped", "{\\rtf1\\fs2000000 a\\fs1 b\\fs0 c\\fs d}", "[]< 1638>a< 1>bc< 12>d\n"},
        {"huge size ignored", "{\\rtf1\\fs99999999999 x}", "[]< 12>x\n"},
        {"indents clamped", "{\\rtf1\\li99999\\fi-99999\\ri-5 x}", "[li=31680 fi=-31680]< 12>x\n"},
        {"pard resets paragraph properties", "{\\rtf1\\qc\\li100\\tx720 a\\par\\pard b\\par}",
         "[center li=100 tab=720]< 12>a\n[]< 12>b\n"},
        {"paragraph properties persist over par", "{\\rtf1\\qr a\\par b}", "[right]< 12>a\n[right]< 12>b\n"},
        {"tab stops sorted", "{\\rtf1\\tx2000\\tx1000 a}", "[tab=1000 tab=2000]< 12>a\n"},
        {"hyperlink to a location", "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \\\\l \"top\"}{\\fldrslt go}}}",
         "[]< 12 @#top>go\n"},
        {"hyperlink with escaped quote",
         "{\\rtf1{\\field{\\*\\fldinst{HYPERLINK \"a\\\\\\\\b\\\\\"c\" \\\\o \"tip\"}}{\\fldrslt go}}}",
         "[]< 12 @a\\b\"c>go\n"},
        {"list items of different styles",
         "{\\rtf1{\\*\\pn\\pnlvlblt}a\\par{\\*\\pn\\pnlvlbody\\pnlcltr{\\pntxta .}}b\\par c\\par}",
         "[hang=0 disc]< 12>a\n[hang=0 numbered5 '' '.' a.]< 12>b\n[hang=0 numbered5 '' '.' b.]< 12>c\n"},
        {"empty paragraph keeps the mark's size", "{\\rtf1\\fs40\\par x}", "[]\n[]< 20>x\n"},
    };
    for (const TCase& Case : Cases) {
        QTextDocument Doc;
        ReadRtf(Doc, Case.Input);
        EXPECT_EQ(Describe(Doc), Case.Expected) << Case.Name;
    }
    QTextDocument Doc;
    ReadRtf(Doc, "{\\rtf1\\fs40\\par x}");
    EXPECT_EQ(Doc.begin().charFormat().fontPointSize(), 20) << "the empty block's mark";
}

TEST(RichText, MalformedInputIsReadAsFarAsPossible)
{
    struct TCase {
        const char* Name;
        String Input;
        const char* Text;  // expected text, or nullptr for an error
        const char* Error; // expected message
    };
    const String Deep = "{\\rtf1 " + String(100000, '{') + "x";
    const String DeepClosed = "{\\rtf1 a" + String(9999, '{') + "b" + String(9999, '}') + "c}";
    const TCase Cases[] = {
        {"truncated in the font table", "{\\rtf1{\\fonttbl{\\f0 Ari", "", nullptr},
        {"truncated in the text", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\b bold te", "bold te", nullptr},
        {"truncated in a control word", "{\\rtf1 ab\\pa", "ab", nullptr},
        {"truncated in an escape", "{\\rtf1 ab\\'", "ab", nullptr},
        {"truncated after a backslash", "{\\rtf1 ab\\", "ab", nullptr},
        {"truncated header", "{\\rtf", "", nullptr},
        {"unclosed groups", "{\\rtf1 a{\\b b{\\i c", "abc", nullptr},
        {"too many closing braces", "{\\rtf1 a}}}b", "a", nullptr},
        {"binary data past the end", "{\\rtf1 a\\bin999999 bc}", "a", nullptr},
        {"nesting within the limit", DeepClosed, "abc", nullptr},
        {"nesting beyond the limit", Deep, nullptr,
         "Invalid rich text: groups are nested more than 10000 levels deep"},
        {"not an rtf header", "{\\rtfx1 a}", nullptr, "Invalid rich text: the document does not start with \\rtf"},
        {"header parameter beyond 32 bits", "{\\rtf99999999999 a}", nullptr,
         "Invalid rich text: the document does not start with \\rtf"},
    };
    for (const TCase& Case : Cases) {
        QTextDocument Doc;
        Doc.setPlainText(QStringLiteral("old"));
        try {
            ReadRtf(Doc, Case.Input);
            EXPECT_NE(Case.Text, nullptr) << Case.Name << ": no error";
            if (Case.Text) {
                EXPECT_EQ(TextOf(Doc), Case.Text) << Case.Name;
            }
        } catch (const EReadError& E) {
            EXPECT_EQ(Case.Text, nullptr) << Case.Name << ": " << E.Message();
            if (Case.Error) {
                EXPECT_EQ(E.Message(), Case.Error) << Case.Name;
            }
            EXPECT_EQ(TextOf(Doc), "old") << Case.Name << ": the document is left alone";
        }
    }
    QTextDocument Doc;
    TRtfReadOptions Shallow;
    Shallow.MaxGroupDepth = 3;
    EXPECT_NO_THROW(ReadRtf(Doc, "{\\rtf1{{x}}}", Shallow));
    EXPECT_THROW(ReadRtf(Doc, "{\\rtf1{{{x}}}}", Shallow), EReadError);
}

// Documents made of random RTF pieces: reading either works or raises
// EReadError, and what was read writes and reads back to the same document.
TEST(RichText, GeneratedGarbageRoundTrips)
{
    static const std::string Pieces[] = {
        "{", "}", "}", "{\\*\\pn\\pnlvlblt}", "{\\pntext x\\tab}", "\\par ", "\\pard", "\\b", "\\b0", "\\i", "\\ul",
        "\\ulnone", "\\strike", "\\fs", "\\fs-4", "\\fs99", "\\f", "\\f1", "\\f2", "\\cf1", "\\cf2", "\\highlight2",
        "\\qc", "\\qr", "\\qj", "\\li", "\\li360", "\\fi-360", "\\ri77", "\\sb20", "\\tx700", "\\tqr", "\\tab",
        "\\line", "\\'", "\\'9", "\\'e9", "\\'80", "\\u", "\\u-3", "\\u8364", "\\uc0", "\\uc3", "?", "\\\\", "\\{",
        "\\}", "\\~", "\\-", "\\_", "\\*", "{\\fonttbl{\\f1 X;}{\\f2\\fcharset204 Y;}}", "{\\colortbl;\\red9;\\blue3;}",
        "{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt ", "{\\fldrslt", "{\\*\\fldinst", "\\bin2 ", "\\pnlvlbody",
        "{\\*\\pn\\pnlvlbody\\pnucltr{\\pntxta ]}}", "{\\pict ab}", "text ", "x", " ", "\r\n", "\xe9", "\xff", ";",
        "\\rtf1", "\\ansicpg1253", "\\plain", "\\page", "\\cell", std::string("\0", 1)};
    std::mt19937 Random(20240601);
    for (int Round = 0; Round < 400; ++Round) {
        String Rtf = "{\\rtf1{\\fonttbl{\\f0 Z;}}";
        const int Count = static_cast<int>(Random() % 120);
        for (int I = 0; I < Count; ++I)
            Rtf += Pieces[Random() % std::size(Pieces)];
        if (Random() % 2)
            Rtf += std::string(Random() % 8, '}');
        SCOPED_TRACE(Rtf);
        QTextDocument Doc;
        try {
            ReadRtf(Doc, Rtf);
        } catch (const EReadError&) {
            continue;
        }
        const String Written = WriteRtf(Doc);
        ExpectStoredForm(Written);
        QTextDocument Again;
        ReadRtf(Again, Written);
        ASSERT_EQ(Describe(Again), Describe(Doc));
        ASSERT_EQ(WriteRtf(Again), Written);
    }
}
