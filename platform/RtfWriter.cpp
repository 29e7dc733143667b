// The rich text (RTF) writer: the document in the form the platform's rich
// edit stores (see RichText.h). Paragraph properties are written after \pard
// whenever they change from one block to the next, character properties as
// the control words that change them; a hyperlink is a field whose result
// group holds its fragments.
#include "RtfReader.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace Rtf {

namespace {

struct TWriterChar {
    int Font = -1; // -1: not written yet
    int HalfPoints = -1;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strike = false;
    int Color = 0;
    int Highlight = 0;
};

struct TWriterPara {
    int Align = 0;
    int Left = 0, Right = 0, First = 0, Before = 0, After = 0;
    std::vector<TTabStop> Tabs;
    TListProps List;
    bool operator==(const TWriterPara&) const = default;
};

int Twips(double Pixels)
{
    return static_cast<int>(std::lround(std::clamp(Pixels * TwipsPerPixel, -1e9, 1e9)));
}

bool IsNumbered(QTextListFormat::Style Style)
{
    return Style <= QTextListFormat::ListDecimal && Style >= QTextListFormat::ListUpperRoman;
}

class TRtfWriter {
public:
    explicit TRtfWriter(const QTextDocument& Doc) : FDoc(Doc), FDefaultFont(Doc.defaultFont()) {}

    String Write()
    {
        // the first text font becomes \f0, the default font
        if (const QTextBlock Block = FDoc.begin(); Block.isValid())
            FontIndex(FamilyOf(Block.begin().atEnd() ? Block.charFormat() : Block.begin().fragment().charFormat()));
        bool First = true;
        TWriterPara Last;
        for (QTextBlock Block = FDoc.begin(); Block.isValid(); Block = Block.next()) {
            const TWriterPara Para = ParaOf(Block);
            if (First || !(Para == Last)) {
                Word("pard");
                WriteListMarker(Block, Para);
                WriteParaProps(Para);
            } else {
                WriteListMarker(Block, Para);
            }
            First = false;
            Last = Para;
            WriteBlockText(Block);
            Word("par");
            Raw("\r\n");
        }
        String Result = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl";
        if (FFonts.empty())
            FontIndex(FDefaultFont.family(), 0);
        for (size_t I = 0; I < FFonts.size(); ++I) {
            Result += "{\\f" + std::to_string(I) + "\\fnil\\fcharset" + std::to_string(FFonts[I].second) + ' ';
            Result += EscapedName(FFonts[I].first) + ";}";
        }
        Result += "}\r\n";
        if (!FColors.empty()) {
            Result += "{\\colortbl ;";
            for (QRgb Rgb : FColors)
                Result += "\\red" + std::to_string(qRed(Rgb)) + "\\green" + std::to_string(qGreen(Rgb)) + "\\blue" +
                          std::to_string(qBlue(Rgb)) + ';';
            Result += "}\r\n";
        }
        Result += "\\viewkind4\\uc1";
        Result += FBody;
        Result += "}\r\n";
        Result += '\0';
        return Result;
    }

private:
    // ------------------------------------------------------------ output

    void Word(const char* Name)
    {
        FBody += '\\';
        FBody += Name;
        FSpace = true;
    }
    void Word(const char* Name, int Value)
    {
        Word(Name);
        FBody += std::to_string(Value);
    }
    void Raw(const char* Text)
    {
        FBody += Text;
        FSpace = false;
    }
    void Literal(char Ch)
    {
        if (FSpace)
            FBody += ' ';
        FSpace = false;
        FBody += Ch;
    }

    static void AppendHexByte(String& Out, int Byte)
    {
        static const char Digits[] = "0123456789abcdef";
        Out += "\\'";
        Out += Digits[Byte >> 4];
        Out += Digits[Byte & 15];
    }

    static void AppendUnicode(String& Out, char16_t Ch)
    {
        Out += "\\u" + std::to_string(Ch > 32767 ? static_cast<int>(Ch) - 65536 : static_cast<int>(Ch)) + '?';
    }

    void WriteText(const QString& Text)
    {
        for (QChar Q : Text) {
            const char16_t Ch = Q.unicode();
            switch (Ch) {
            case u'\\': case u'{': case u'}':
                FBody += '\\';
                FBody += static_cast<char>(Ch);
                FSpace = false;
                continue;
            case u'\t':
                Word("tab");
                continue;
            case 0x2028:
                Word("line");
                continue;
            case 0x00A0:
                Raw("\\~");
                continue;
            case 0x00AD:
                Raw("\\-");
                continue;
            case 0x2011:
                Raw("\\_");
                continue;
            default:
                break;
            }
            if (IsDroppedChar(Ch))
                continue;
            if (Ch < 0x80) {
                Literal(static_cast<char>(Ch));
                continue;
            }
            const int Byte = UnicodeToCp1252(Ch);
            if (Byte >= 0)
                AppendHexByte(FBody, Byte);
            else
                AppendUnicode(FBody, Ch);
            FSpace = false;
        }
    }

    // A font name as the font table holds it; ';' would end the entry.
    static String EscapedName(const QString& Name)
    {
        String Out;
        for (QChar Q : Name) {
            const char16_t Ch = Q.unicode();
            if (Ch == u'\\' || Ch == u'{' || Ch == u'}') {
                Out += '\\';
                Out += static_cast<char>(Ch);
            } else if (Ch == u';') {
                AppendHexByte(Out, ';');
            } else if (IsDroppedChar(Ch)) {
            } else if (Ch < 0x80) {
                Out += static_cast<char>(Ch);
            } else if (const int Byte = UnicodeToCp1252(Ch); Byte >= 0) {
                AppendHexByte(Out, Byte);
            } else {
                AppendUnicode(Out, Ch);
            }
        }
        return Out;
    }

    // ------------------------------------------------------------ tables

    int FontIndex(const QString& Family, int Charset = 0)
    {
        const auto It = FFontIndex.find(Family);
        if (It != FFontIndex.end())
            return It->second;
        FFonts.emplace_back(Family, Charset);
        return FFontIndex[Family] = static_cast<int>(FFonts.size() - 1);
    }

    int ColorIndex(const QBrush& Brush)
    {
        if (Brush.style() == Qt::NoBrush)
            return 0;
        const QRgb Rgb = Brush.color().rgb() & 0xFFFFFF;
        const auto It = FColorIndex.find(Rgb);
        if (It != FColorIndex.end())
            return It->second;
        FColors.push_back(Rgb);
        return FColorIndex[Rgb] = static_cast<int>(FColors.size());
    }

    // ------------------------------------------------------------ formats

    QString FamilyOf(const QTextCharFormat& F) const
    {
        QString Family = F.property(QTextFormat::FontFamilies).toStringList().value(0);
        if (Family.isEmpty())
            Family = F.stringProperty(QTextFormat::OldFontFamily);
        return Family.isEmpty() ? FDefaultFont.family() : Family;
    }

    TWriterChar CharOf(const QTextCharFormat& F)
    {
        TWriterChar C;
        C.Font = FontIndex(FamilyOf(F));
        double Points = FDefaultFont.pointSizeF() > 0 ? FDefaultFont.pointSizeF() : FDefaultFont.pixelSize() * 0.75;
        if (F.hasProperty(QTextFormat::FontPointSize))
            Points = F.fontPointSize();
        else if (F.hasProperty(QTextFormat::FontPixelSize))
            Points = F.intProperty(QTextFormat::FontPixelSize) * 0.75;
        C.HalfPoints = static_cast<int>(std::lround(std::clamp(Points * 2, 2.0, double(MaxHalfPoints))));
        C.Bold = F.hasProperty(QTextFormat::FontWeight) ? F.fontWeight() >= QFont::DemiBold
                                                         : FDefaultFont.weight() >= QFont::DemiBold;
        C.Italic = F.hasProperty(QTextFormat::FontItalic) ? F.fontItalic() : FDefaultFont.italic();
        C.Underline = F.hasProperty(QTextFormat::TextUnderlineStyle) || F.hasProperty(QTextFormat::FontUnderline)
                          ? F.fontUnderline()
                          : FDefaultFont.underline();
        C.Strike = F.hasProperty(QTextFormat::FontStrikeOut) ? F.fontStrikeOut() : FDefaultFont.strikeOut();
        if (F.hasProperty(QTextFormat::ForegroundBrush))
            C.Color = ColorIndex(F.foreground());
        if (F.hasProperty(QTextFormat::BackgroundBrush))
            C.Highlight = ColorIndex(F.background());
        return C;
    }

    void WriteCharChanges(const TWriterChar& C)
    {
        if (C.Font != FChar.Font)
            Word("f", C.Font);
        if (C.HalfPoints != FChar.HalfPoints)
            Word("fs", C.HalfPoints);
        if (C.Bold != FChar.Bold)
            Word(C.Bold ? "b" : "b0");
        if (C.Italic != FChar.Italic)
            Word(C.Italic ? "i" : "i0");
        if (C.Underline != FChar.Underline)
            Word(C.Underline ? "ul" : "ulnone");
        if (C.Strike != FChar.Strike)
            Word(C.Strike ? "strike" : "strike0");
        if (C.Color != FChar.Color)
            Word("cf", C.Color);
        if (C.Highlight != FChar.Highlight)
            Word("highlight", C.Highlight);
        FChar = C;
    }

    TWriterPara ParaOf(const QTextBlock& Block)
    {
        const QTextBlockFormat F = Block.blockFormat();
        const QTextList* List = Block.textList();
        TWriterPara P;
        const Qt::Alignment Align = F.alignment() & Qt::AlignHorizontal_Mask;
        if (Align & Qt::AlignHCenter)
            P.Align = 1;
        else if (Align & Qt::AlignRight)
            P.Align = 2;
        else if (Align & Qt::AlignJustify)
            P.Align = 3;
        const int Levels = F.indent() + (List ? List->format().indent() : 0);
        P.Left = std::max(0, Twips(F.leftMargin() + Levels * FDoc.indentWidth()));
        P.Right = std::max(0, Twips(F.rightMargin()));
        P.Before = std::max(0, Twips(F.topMargin()));
        P.After = std::max(0, Twips(F.bottomMargin()));
        if (List) {
            P.First = F.hasProperty(RtfListHangingIndent) ? F.intProperty(RtfListHangingIndent)
                                                           : -std::min(P.Left, 360);
            const QTextListFormat ListFormat = List->format();
            if (IsNumbered(ListFormat.style())) {
                P.List.Style = ListFormat.style();
                P.List.Prefix = ListFormat.numberPrefix();
                P.List.Suffix = ListFormat.hasProperty(QTextFormat::ListNumberSuffix) ? ListFormat.numberSuffix()
                                                                                    : QStringLiteral(".");
            } else {
                P.List.Style = QTextListFormat::ListDisc;
            }
        } else {
            P.First = Twips(F.textIndent());
        }
        for (const QTextOption::Tab& Tab : F.tabPositions())
            P.Tabs.push_back({std::max(0, Twips(Tab.position)), Tab.type});
        return P;
    }

    void WriteListMarker(const QTextBlock& Block, const TWriterPara& P)
    {
        if (P.List.Style == QTextListFormat::ListStyleUndefined)
            return;
        if (P.List.Style == QTextListFormat::ListDisc) {
            Raw("{");
            Word("pntext");
            Word("f", FontIndex(QStringLiteral("Symbol"), 2));
            Raw("\\'B7");
        } else {
            Raw("{");
            Word("pntext");
            Word("f", 0);
            WriteText(Block.textList()->itemText(Block));
        }
        Word("tab");
        Raw("}");
    }

    void WriteParaProps(const TWriterPara& P)
    {
        if (P.List.Style == QTextListFormat::ListDisc) {
            Raw("{\\*");
            Word("pn");
            Word("pnlvlblt");
            Word("pnf", FontIndex(QStringLiteral("Symbol"), 2));
            Word("pnindent", 0);
            Raw("{\\pntxtb\\'B7}}");
        } else if (P.List.Style != QTextListFormat::ListStyleUndefined) {
            static const std::map<QTextListFormat::Style, const char*> Styles = {
                {QTextListFormat::ListDecimal, "pndec"},   {QTextListFormat::ListLowerAlpha, "pnlcltr"},
                {QTextListFormat::ListUpperAlpha, "pnucltr"}, {QTextListFormat::ListLowerRoman, "pnlcrm"},
                {QTextListFormat::ListUpperRoman, "pnucrm"}};
            Raw("{\\*");
            Word("pn");
            Word("pnlvlbody");
            Word("pnf", 0);
            Word("pnindent", 0);
            Word("pnstart", 1);
            Word(Styles.at(P.List.Style));
            if (!P.List.Prefix.isEmpty()) {
                Raw("{");
                Word("pntxtb");
                WriteText(P.List.Prefix);
                Raw("}");
            }
            if (!P.List.Suffix.isEmpty()) {
                Raw("{");
                Word("pntxta");
                WriteText(P.List.Suffix);
                Raw("}");
            }
            Raw("}");
        }
        if (P.First != 0)
            Word("fi", P.First);
        if (P.Left != 0)
            Word("li", P.Left);
        if (P.Right != 0)
            Word("ri", P.Right);
        if (P.Before != 0)
            Word("sb", P.Before);
        if (P.After != 0)
            Word("sa", P.After);
        static const char* const Aligns[] = {nullptr, "qc", "qr", "qj"};
        if (P.Align != 0)
            Word(Aligns[P.Align]);
        for (const TTabStop& Tab : P.Tabs) {
            if (Tab.Type == QTextOption::RightTab)
                Word("tqr");
            else if (Tab.Type == QTextOption::CenterTab)
                Word("tqc");
            else if (Tab.Type == QTextOption::DelimiterTab)
                Word("tqdec");
            Word("tx", Tab.Position);
        }
    }

    static QString LinkOf(const QTextCharFormat& F)
    {
        return F.isAnchor() ? F.anchorHref() : QString();
    }

    // The instruction of a hyperlink field to Target.
    static QString HyperlinkInstruction(const QString& Target)
    {
        auto Quote = [](QString S) {
            S.replace(u'\\', QStringLiteral("\\\\"));
            S.replace(u'"', QStringLiteral("\\\""));
            return u'"' + S + u'"';
        };
        const qsizetype Hash = Target.indexOf(u'#');
        if (Hash == 0)
            return QStringLiteral("HYPERLINK \\l ") + Quote(Target.mid(1));
        if (Hash > 0)
            return QStringLiteral("HYPERLINK ") + Quote(Target.left(Hash)) + QStringLiteral(" \\l ") +
                   Quote(Target.mid(Hash + 1));
        return QStringLiteral("HYPERLINK ") + Quote(Target);
    }

    void WriteBlockText(const QTextBlock& Block)
    {
        std::vector<QTextFragment> Fragments;
        for (auto It = Block.begin(); !It.atEnd(); ++It)
            if (It.fragment().isValid())
                Fragments.push_back(It.fragment());
        if (Fragments.empty()) {
            // an empty paragraph: its mark's format gives the line its height
            WriteCharChanges(CharOf(Block.charFormat()));
            return;
        }
        for (size_t I = 0; I < Fragments.size();) {
            const QString Link = LinkOf(Fragments[I].charFormat());
            if (Link.isEmpty()) {
                WriteFragment(Fragments[I++]);
                continue;
            }
            const TWriterChar Outside = FChar;
            Raw("{\\field{\\*\\fldinst{");
            WriteText(HyperlinkInstruction(Link));
            Raw("}}{\\fldrslt{");
            for (; I < Fragments.size() && LinkOf(Fragments[I].charFormat()) == Link; ++I)
                WriteFragment(Fragments[I]);
            Raw("}}}");
            FChar = Outside;
        }
    }

    void WriteFragment(const QTextFragment& Fragment)
    {
        WriteCharChanges(CharOf(Fragment.charFormat()));
        WriteText(Fragment.text());
    }

    const QTextDocument& FDoc;
    const QFont FDefaultFont;
    String FBody;
    bool FSpace = false; // a control word was written last: text needs a delimiter
    TWriterChar FChar;
    std::vector<std::pair<QString, int>> FFonts; // name, charset
    std::map<QString, int> FFontIndex;
    std::vector<QRgb> FColors;
    std::map<QRgb, int> FColorIndex;
};

} // namespace

String WriteDocument(const QTextDocument& Doc)
{
    return TRtfWriter(Doc).Write();
}

} // namespace Rtf
