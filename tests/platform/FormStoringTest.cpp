// Storing forms with what stock forms hold: non-visual components beside the
// controls, a main menu, glyph bitmaps, character properties and tab order.
#include <gtest/gtest.h>

#include "Buttons.h"
#include "ExtCtrls.h"
#include "FormStream.h"
#include "Forms.h"
#include "Menus.h"
#include "Pictures.h"
#include "StdCtrls.h"
#include "Streams.h"
#include "TypInfo.h"

namespace {

void RegisterAll()
{
    RegisterFormsClasses();
    RegisterStdCtrlsClasses();
    RegisterExtCtrlsClasses();
    RegisterButtonsClasses();
    RegisterMenusClasses();
}

template <class T>
T* Find(TComponent* Root, const char* Name)
{
    auto* C = dynamic_cast<T*>(Root->FindComponent(Name));
    EXPECT_NE(C, nullptr) << Name;
    return C;
}

TEST(FormStoringTest, FormsWriteTheirNonVisualComponentsBeforeTheirControls)
{
    RegisterAll();
    TForm Form;
    Form.SetName("Form1");
    auto* Panel = new TPanel(&Form);
    Panel->SetName("Panel1");
    Panel->SetParent(&Form);
    auto* Timer = new TTimer(&Form);
    Timer->SetName("Timer1");
    Timer->SetInterval(250);
    auto* Menu = new TMainMenu(&Form);
    Menu->SetName("MainMenu1");
    auto* Item = new TMenuItem(&Form);
    Item->SetName("File1");
    Item->SetCaption("&File");
    Menu->Items()->Add(Item);
    Form.SetMenu(Menu);

    const String Text = ComponentToText(&Form);
    const size_t TimerAt = Text.find("object Timer1: TTimer");
    const size_t MenuAt = Text.find("object MainMenu1: TMainMenu");
    const size_t PanelAt = Text.find("object Panel1: TPanel");
    ASSERT_NE(TimerAt, String::npos) << Text;
    ASSERT_NE(MenuAt, String::npos) << Text;
    ASSERT_NE(PanelAt, String::npos) << Text;
    EXPECT_LT(TimerAt, PanelAt);
    EXPECT_LT(MenuAt, PanelAt);
    EXPECT_NE(Text.find("Menu = MainMenu1"), String::npos) << Text;

    TForm Copy;
    ReadComponentFromText(Text, &Copy);
    EXPECT_EQ(Find<TTimer>(&Copy, "Timer1")->Interval(), 250);
    auto* CopyMenu = Find<TMainMenu>(&Copy, "MainMenu1");
    EXPECT_EQ(Copy.Menu(), CopyMenu);
    EXPECT_EQ(GetFormMenu(&Copy), CopyMenu);
    EXPECT_EQ(Find<TMenuItem>(&Copy, "File1")->Caption(), "&File");
    EXPECT_EQ(ComponentToText(&Copy), Text);

    // Taking the menu away is stored too: no Menu line.
    Copy.SetMenu(nullptr);
    EXPECT_EQ(GetFormMenu(&Copy), nullptr);
    EXPECT_EQ(ComponentToText(&Copy).find("Menu = "), String::npos);
}

TEST(FormStoringTest, GlyphBitmapsRoundTripThroughData)
{
    RegisterAll();
    TForm Form;
    Form.SetName("Form1");
    auto* Button = new TSpeedButton(&Form);
    Button->SetName("SpeedButton1");
    Button->SetParent(&Form);
    QImage Image(5, 3, QImage::Format_RGB32);
    Image.fill(qRgb(0, 0, 255));
    Image.setPixel(4, 2, qRgb(255, 0, 0));
    Button->Glyph()->SetImage(Image);

    const String Text = ComponentToText(&Form);
    ASSERT_NE(Text.find("Glyph.Data = {"), String::npos) << Text;
    TForm Copy;
    ReadComponentFromText(Text, &Copy);
    TBitmap* Glyph = Find<TSpeedButton>(&Copy, "SpeedButton1")->Glyph();
    ASSERT_EQ(Glyph->Width(), 5);
    ASSERT_EQ(Glyph->Height(), 3);
    const QImage Read = Glyph->ToImage32();
    EXPECT_EQ(Read.pixel(0, 0) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(Read.pixel(4, 2) & 0xFFFFFF, 0xFF0000u);

    // An empty glyph is not stored.
    TForm Plain;
    auto* Empty = new TSpeedButton(&Plain);
    Empty->SetName("B");
    Empty->SetParent(&Plain);
    EXPECT_EQ(ComponentToText(&Plain).find("Glyph"), String::npos);
}

TEST(FormStoringTest, BadGlyphDataIsAnErrorNamingThePlace)
{
    RegisterAll();
    struct TCase {
        const char* Data;
        const char* Expect;
    };
    const TCase Cases[] = {
        {"0100", "too short"},
        {"FF000000424D", "truncated"},
        {"0400000041424344", "Bitmap image is not valid"},
    };
    for (const TCase& C : Cases) {
        TForm Form;
        const String Text = String("object Form1: TForm\n  object B: TSpeedButton\n    Glyph.Data = {") + C.Data +
                            "}\n  end\nend\n";
        try {
            ReadComponentFromText(Text, &Form);
            ADD_FAILURE() << C.Data << " was accepted";
        } catch (const EReadError& E) {
            EXPECT_NE(E.Message().find("B.Glyph.Data"), String::npos) << E.Message();
            EXPECT_NE(E.Message().find(C.Expect), String::npos) << E.Message();
        }
        EXPECT_EQ(Form.ComponentCount(), 0);
    }
}

TEST(FormStoringTest, CharacterPropertiesAreOneCharacterStrings)
{
    RegisterAll();
    TForm Form;
    ReadComponentFromText("object Form1: TForm\n  object Edit1: TEdit\n    PasswordChar = '*'\n  end\nend\n", &Form);
    auto* Edit = Find<TEdit>(&Form, "Edit1");
    EXPECT_EQ(Edit->PasswordChar(), '*');
    EXPECT_EQ(GetStrProp(Edit, "PasswordChar"), "*");
    EXPECT_EQ(GetOrdProp(Edit, "PasswordChar"), '*');
    EXPECT_NE(ComponentToText(&Form).find("PasswordChar = '*'"), String::npos);
    SetStrProp(Edit, "PasswordChar", "");
    EXPECT_EQ(Edit->PasswordChar(), '\0');
    EXPECT_EQ(ComponentToText(&Form).find("PasswordChar"), String::npos);
    // Bytes above 127 keep their value.
    SetStrProp(Edit, "PasswordChar", "\xB7");
    EXPECT_EQ(GetOrdProp(Edit, "PasswordChar"), 0xB7);

    TForm Bad;
    try {
        ReadComponentFromText("object Form1: TForm\n  object Edit1: TEdit\n    PasswordChar = 'ab'\n  end\nend\n", &Bad);
        ADD_FAILURE() << "two characters were accepted";
    } catch (const EReadError& E) {
        EXPECT_NE(E.Message().find("Edit1.PasswordChar"), String::npos) << E.Message();
    }
}

TEST(FormStoringTest, StoredTabOrderWinsOverCreationOrder)
{
    RegisterAll();
    TForm Form;
    ReadComponentFromText(R"(object Form1: TForm
  object First: TEdit
    TabOrder = 2
  end
  object Label1: TLabel
  end
  object Second: TEdit
    TabOrder = 0
  end
  object Third: TEdit
    TabOrder = 1
  end
end
)",
                          &Form);
    EXPECT_EQ(Find<TEdit>(&Form, "Second")->TabOrder(), 0);
    EXPECT_EQ(Find<TEdit>(&Form, "Third")->TabOrder(), 1);
    EXPECT_EQ(Find<TEdit>(&Form, "First")->TabOrder(), 2);
    std::vector<TWinControl*> List;
    Form.GetTabOrderList(List);
    ASSERT_EQ(List.size(), 3u);
    EXPECT_EQ(List[0]->Name(), "Second");
    EXPECT_EQ(List[2]->Name(), "First");
    // Written back in tab order, it reads the same again.
    TForm Copy;
    ReadComponentFromText(ComponentToText(&Form), &Copy);
    EXPECT_EQ(Find<TEdit>(&Copy, "First")->TabOrder(), 2);
    EXPECT_EQ(Find<TEdit>(&Copy, "Second")->TabOrder(), 0);
}

} // namespace
