// The description rich edit: its stored "RichEditLines" and the rule that
// keeps its rich text over a re-created window.
#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include "DemoForms.h"
#include "FormStream.h"
#include "Forms.h"
#include "RichText.h"
#include "Streams.h"
#include "mainu.h"
#include "nvDemoRichEdit.h"

namespace {

// A small document with a heading, a bold red word and a bullet.
const char* const SampleRtf =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset2 Symbol;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
    "\\viewkind4\\uc1\\pard\\b\\f0\\fs28 Heading\\b0\\fs18\\par\r\n"
    "Plain \\cf1\\b red\\cf0\\b0  text\\par\r\n"
    "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-200\\li300 item\\par\r\n"
    "}\r\n";

struct TForms {
    TForms()
    {
        RegisterDemoClasses();
        Form.SetName("Form1");
        Edit = new TnvDemoRichEdit(&Form);
        Edit->SetName("Edit1");
        Edit->SetParent(&Form);
    }
    TForm Form;
    TnvDemoRichEdit* Edit;
};

void Load(TnvDemoRichEdit* Edit, const String& Rtf)
{
    TMemoryStream S(std::vector<uint8_t>(Rtf.begin(), Rtf.end()));
    Edit->ReadRichEditLines(S);
}

// The character format at the first occurrence of Word.
QTextCharFormat FormatOf(TnvDemoRichEdit* Edit, const QString& Word)
{
    QTextCursor C = Edit->Document()->find(Word);
    EXPECT_FALSE(C.isNull()) << Word.toStdString();
    return C.charFormat();
}

void ExpectSampleFormatting(TnvDemoRichEdit* Edit)
{
    EXPECT_EQ(Edit->Lines()->Count(), 3);
    EXPECT_EQ(Edit->Lines()->Strings(0), "Heading");
    EXPECT_TRUE(FormatOf(Edit, "Heading").font().bold());
    const QTextCharFormat Red = FormatOf(Edit, "red");
    EXPECT_TRUE(Red.font().bold());
    EXPECT_EQ(Red.foreground().color(), QColor(255, 0, 0));
    EXPECT_FALSE(FormatOf(Edit, "Plain").font().bold());
    const QTextBlock Item = Edit->Document()->findBlockByNumber(2);
    ASSERT_NE(Item.textList(), nullptr);
    EXPECT_EQ(Item.textList()->format().style(), QTextListFormat::ListDisc);
}

TEST(DemoRichEditTest, StoredLinesRoundTripAsRichText)
{
    TForms F;
    Load(F.Edit, SampleRtf);
    ExpectSampleFormatting(F.Edit);
    const String Text = ComponentToText(&F.Form);
    EXPECT_NE(Text.find("RichEditLines = {"), String::npos) << Text;
    // Lines is not stored: the document is stored once.
    EXPECT_EQ(Text.find("Lines.Strings"), String::npos) << Text;

    TForm Copy;
    ReadComponentFromText(Text, &Copy);
    auto* Read = dynamic_cast<TnvDemoRichEdit*>(Copy.FindComponent("Edit1"));
    ASSERT_NE(Read, nullptr);
    ExpectSampleFormatting(Read);
    // A loaded document shows from its start.
    EXPECT_EQ(Read->SelStart(), 0);

    // The payload is the document as the rich edit saves it, nothing added.
    const TFormObject Parsed = ParseFormText(Text, "test");
    ASSERT_EQ(Parsed.Children.size(), 1u);
    const TFormProperty* Lines = nullptr;
    for (const TFormProperty& P : Parsed.Children[0].Properties)
        if (P.Name == "RichEditLines")
            Lines = &P;
    ASSERT_NE(Lines, nullptr);
    const String Payload(Lines->Value.Bytes.begin(), Lines->Value.Bytes.end());
    EXPECT_EQ(Payload, WriteRtf(*F.Edit->Document()));
    EXPECT_EQ(Payload.rfind("{\\rtf1", 0), 0u);
    EXPECT_EQ(Payload.substr(Payload.size() - 4), String("}\r\n") + '\0');
}

TEST(DemoRichEditTest, EmptyContentIsStillStored)
{
    TForms F;
    const String Text = ComponentToText(&F.Form);
    const TFormObject Parsed = ParseFormText(Text, "test");
    ASSERT_EQ(Parsed.Children.size(), 1u);
    bool Found = false;
    for (const TFormProperty& P : Parsed.Children[0].Properties)
        if (P.Name == "RichEditLines") {
            Found = true;
            const String Payload(P.Value.Bytes.begin(), P.Value.Bytes.end());
            EXPECT_EQ(Payload.rfind("{\\rtf1", 0), 0u) << Payload;
        }
    EXPECT_TRUE(Found) << Text;
}

TEST(DemoRichEditTest, PlainTextModeStillStoresRichText)
{
    TForms F;
    Load(F.Edit, SampleRtf);
    F.Edit->SetPlainText(true);
    TForm Copy;
    ReadComponentFromText(ComponentToText(&F.Form), &Copy);
    auto* Read = dynamic_cast<TnvDemoRichEdit*>(Copy.FindComponent("Edit1"));
    ASSERT_NE(Read, nullptr);
    EXPECT_TRUE(Read->PlainText());
    ExpectSampleFormatting(Read);
    EXPECT_TRUE(F.Edit->PlainText());
}

TEST(DemoRichEditTest, FormattingSurvivesARecreatedWindow)
{
    TForms F;
    Load(F.Edit, SampleRtf);
    F.Edit->RecreateWnd();
    ExpectSampleFormatting(F.Edit);
    // Re-created through its parent, and again after the content changed to
    // something shorter: the stream is reused, the old tail does not show.
    F.Form.RecreateWnd();
    ExpectSampleFormatting(F.Edit);
    Load(F.Edit, "{\\rtf1\\ansi{\\colortbl ;\\red0\\green0\\blue255;}\\cf1 Blue\\par}");
    F.Edit->RecreateWnd();
    EXPECT_EQ(F.Edit->Lines()->Count(), 1);
    EXPECT_EQ(F.Edit->Lines()->Strings(0), "Blue");
    EXPECT_EQ(FormatOf(F.Edit, "Blue").foreground().color(), QColor(0, 0, 255));

    // A plain rich edit keeps only the text over the same operation.
    TRichEdit Plain;
    TMemoryStream S(std::vector<uint8_t>(SampleRtf, SampleRtf + strlen(SampleRtf)));
    Plain.Lines()->LoadFromStream(S);
    Plain.RecreateWnd();
    EXPECT_FALSE(Plain.Document()->find("red").charFormat().font().bold());
}

TEST(DemoRichEditTest, BadStoredContentIsAnErrorNamingTheProperty)
{
    RegisterDemoClasses();
    TForm Form;
    // "{\rtfX" starts like rich text but is not.
    const String Text = "object Form1: TForm\n  object Edit1: TnvDemoRichEdit\n    RichEditLines = {7B5C72746658}\n"
                        "  end\nend\n";
    try {
        ReadComponentFromText(Text, &Form);
        ADD_FAILURE() << "bad rich text was accepted";
    } catch (const EReadError& E) {
        EXPECT_NE(E.Message().find("Edit1.RichEditLines"), String::npos) << E.Message();
        EXPECT_NE(E.Message().find("Invalid rich text"), String::npos) << E.Message();
    }
    EXPECT_EQ(Form.ComponentCount(), 0);
}

TEST(DemoRichEditTest, TheMainWindowsDocumentsDescribeTheirCategories)
{
    RegisterDemoClasses();
    std::unique_ptr<TComponent> Form(CreateFormInstance(ClassOf<TMainForm>(), Application));
    const char* const Titles[] = {"TnvOutlookBar", "Tree Views",   "Image Forms",    "Buttons and Labels",
                                  "Button Group",  "Combo Boxes",  "Status Bar",     "Imager",
                                  "Custom Framing", "Panels",      "Progress and Track Bars"};
    for (int N = 1; N <= 11; ++N) {
        SCOPED_TRACE(N);
        auto* Edit = dynamic_cast<TnvDemoRichEdit*>(Form->FindComponent("nvDemoRichEdit" + std::to_string(N)));
        ASSERT_NE(Edit, nullptr);
        EXPECT_EQ(Edit->Lines()->Strings(0), Titles[N - 1]);
        EXPECT_TRUE(FormatOf(Edit, Titles[N - 1]).font().bold());
        // Every document has a bulleted list.
        bool HasList = false;
        for (QTextBlock B = Edit->Document()->begin(); B.isValid(); B = B.next())
            HasList = HasList || B.textList();
        EXPECT_TRUE(HasList);
    }
}

} // namespace
