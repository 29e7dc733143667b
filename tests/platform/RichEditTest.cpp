#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include "FormStream.h"
#include "Forms.h"
#include "RichEdit.h"
#include "Streams.h"

namespace {

const char* const Document =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 MS Sans Serif;}"
    "{\\f1\\fnil\\fcharset0 Times New Roman;}{\\f2\\fnil\\fcharset2 Symbol;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}\r\n"
    "\\viewkind4\\uc1\\pard\\qc\\cf1\\b\\f1\\fs32 Title\\cf0\\b0\\f0\\fs16\\par\r\n"
    "\\pard\\cf2 Blue text and \\i italic\\i0 .\\par\r\n"
    "{\\pntext\\f2\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'b7}}\\fi-200\\li200 First item\\par\r\n"
    "{\\pntext\\f2\\'b7\\tab}Second item\\par\r\n"
    "}\r\n";

void LoadRtf(TCustomRichEdit& Edit, const String& Rtf)
{
    TStringStream S(Rtf);
    Edit.Lines()->LoadFromStream(S);
}

String SaveRtf(TCustomRichEdit& Edit)
{
    TStringStream S;
    Edit.Lines()->SaveToStream(S);
    return S.DataString();
}

} // namespace

TEST(RichEdit, RoundTripsFontsColoursAndBullets)
{
    TRichEdit Edit;
    LoadRtf(Edit, Document);
    ASSERT_EQ(Edit.Lines()->Count(), 4);
    EXPECT_EQ(Edit.Lines()->Get(0), "Title");
    EXPECT_EQ(Edit.Lines()->Get(3), "Second item");

    const String Saved = SaveRtf(Edit);
    EXPECT_EQ(Saved.rfind("{\\rtf1", 0), 0u);
    EXPECT_EQ(Saved.substr(Saved.size() - 4), String("}\r\n") + '\0');

    TRichEdit Copy;
    LoadRtf(Copy, Saved);
    ASSERT_EQ(Copy.Lines()->Count(), 4);
    QTextDocument* Doc = Copy.Document();
    const QTextBlock Title = Doc->findBlockByNumber(0);
    const QTextCharFormat TitleFormat = Title.begin().fragment().charFormat();
    EXPECT_EQ(TitleFormat.fontFamilies().toStringList().value(0), "Times New Roman");
    EXPECT_EQ(TitleFormat.fontWeight(), QFont::Bold);
    EXPECT_EQ(TitleFormat.foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(Title.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    const QTextBlock Blue = Doc->findBlockByNumber(1);
    EXPECT_EQ(Blue.begin().fragment().charFormat().foreground().color(), QColor(0, 0, 128));
    EXPECT_NE(Doc->findBlockByNumber(2).textList(), nullptr);
    EXPECT_EQ(Doc->findBlockByNumber(2).textList(), Doc->findBlockByNumber(3).textList());
    EXPECT_EQ(Doc->findBlockByNumber(1).textList(), nullptr);
    EXPECT_EQ(SaveRtf(Copy), Saved);
}

TEST(RichEdit, LinesEditParagraphsAndPositions)
{
    TRichEdit Edit;
    EXPECT_EQ(Edit.Lines()->Count(), 0);
    Edit.Lines()->Add("one");
    Edit.Lines()->Add("two");
    Edit.Lines()->Insert(1, "between");
    Edit.Lines()->Insert(0, "zero");
    ASSERT_EQ(Edit.Lines()->Count(), 4);
    EXPECT_EQ(Edit.Lines()->Text(), "zero\r\none\r\nbetween\r\ntwo\r\n");
    Edit.Lines()->Delete(3);
    Edit.Lines()->Delete(0);
    Edit.Lines()->Put(1, "middle");
    EXPECT_EQ(Edit.Lines()->Text(), "one\r\nmiddle\r\n");
    EXPECT_THROW(Edit.Lines()->Get(2), EListError);

    Edit.SetSelStart(6); // "one\n" + "mi|ddle"
    EXPECT_EQ(Edit.CaretPos(), TPoint(2, 1));
    EXPECT_EQ(Edit.LineFromChar(6), 1);
    EXPECT_EQ(Edit.LineIndex(1), 4);
    Edit.SetSelLength(3);
    EXPECT_EQ(Edit.SelText(), "ddl");

    // Plain text mode reads and writes text, not rich text.
    Edit.SetPlainText(true);
    EXPECT_EQ(SaveRtf(Edit), "one\r\nmiddle\r\n");
    LoadRtf(Edit, "{\\rtf1 not parsed}");
    EXPECT_EQ(Edit.Lines()->Get(0), "{\\rtf1 not parsed}");
}

TEST(RichEdit, RecreatingTheWindowKeepsOnlyThePlainText)
{
    TRichEdit Edit;
    LoadRtf(Edit, Document);
    Edit.RecreateWnd();
    EXPECT_EQ(Edit.Lines()->Get(0), "Title");
    EXPECT_EQ(Edit.Lines()->Count(), 4);
    const QTextCharFormat F = Edit.Document()->firstBlock().begin().fragment().charFormat();
    EXPECT_NE(F.fontWeight(), QFont::Bold);
}

TEST(RichEdit, FormFileStoresLinesAndEventsAndKeysReachTheControl)
{
    const char* Text = R"(object Form1: TForm
  Caption = 'Rich'
  ClientHeight = 120
  ClientWidth = 200
  object RichEdit1: TRichEdit
    Left = 8
    Top = 8
    Width = 180
    Height = 100
    Lines.Strings = (
      'first line'
      'second line')
    ScrollBars = ssVertical
    TabOrder = 0
  end
end
)";
    std::unique_ptr<TComponent> Root(ReadComponentFromText(Text, nullptr, Application));
    auto* Edit = dynamic_cast<TRichEdit*>(Root->FindComponent("RichEdit1"));
    ASSERT_NE(Edit, nullptr);
    EXPECT_EQ(Edit->Lines()->Count(), 2);
    EXPECT_EQ(Edit->Lines()->Get(1), "second line");
    EXPECT_EQ(ComponentToText(Root.get()), Text);

    std::vector<Word> Keys;
    int Changes = 0;
    Edit->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { Keys.push_back(Key); };
    Edit->OnKeyPress = [&](TObject*, char& Key) {
        if (Key == 'q')
            Key = 0; // swallowed: the editor never sees it
    };
    Edit->OnChange = [&](TObject*) { ++Changes; };
    auto* Form = dynamic_cast<TForm*>(Root.get());
    Form->Show();
    Edit->SetFocus();
    Edit->SetSelStart(0);
    for (auto [Key, Ch] : {std::pair{Qt::Key_Q, "q"}, std::pair{Qt::Key_X, "x"}}) {
        QKeyEvent Press(QEvent::KeyPress, Key, Qt::NoModifier, Ch);
        QApplication::sendEvent(Edit->Editor(), &Press);
    }
    EXPECT_EQ(Keys, (std::vector<Word>{'Q', 'X'}));
    EXPECT_EQ(Edit->Lines()->Get(0), "xfirst line");
    EXPECT_EQ(Changes, 1);
}
