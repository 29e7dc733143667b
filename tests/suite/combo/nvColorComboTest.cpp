// The colour list and the colour combo: which colours the list holds, in
// which order and under which names, custom and added colours, sorting and
// filtering, selection by value and by name, the item drawing on rendered
// pixels, the combo's drop-down and colour dialog, and stored forms.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>

#include "Dialogs.h"
#include "FormStream.h"
#include "nvColorCombo.h"
#include "nvComboTestSupport.h"
#include "TestDump.h"

using namespace nvComboTest;

namespace {

std::vector<String> Entries(TStrings* L)
{
    std::vector<String> R;
    for (int I = 0; I < L->Count(); ++I)
        R.push_back(L->Get(I));
    return R;
}

std::vector<String> ItemNames(TnvCustomColorList* L)
{
    std::vector<String> R;
    for (int I = 0; I < L->Count(); ++I)
        R.push_back(L->Items()->Get(I));
    return R;
}

const std::vector<String> StandardEntries = {
    "Black=000000",     "Maroon=000080",     "Green=008000", "Olive=008080",  "Navy=800000",
    "Purple=800080",    "Teal=808000",       "Gray=808080",  "Silver=C0C0C0", "Red=0000FF",
    "Lime=00FF00",      "Yellow=00FFFF",     "Blue=FF0000",  "Fuchsia=FF00FF", "Aqua=FFFF00",
    "White=FFFFFF",     "MoneyGreen=C0DCC0", "SkyBlue=F0CAA6", "Cream=F0FBFF", "MedGray=A4A0A0"};

const std::vector<String> SystemEntries = {
    "ActiveBorder=FF00000A", "ActiveCaption=FF000002", "AppWorkSpace=FF00000C", "Background=FF000001",
    "BtnFace=FF00000F", "BtnHighlight=FF000014", "BtnShadow=FF000010", "BtnText=FF000012",
    "CaptionText=FF000009", "Default=20000000", "GradientActiveCaption=FF00001B",
    "GradientInactiveCaption=FF00001C", "GrayText=FF000011", "Highlight=FF00000D", "HighlightText=FF00000E",
    "HotLight=FF00001A", "InactiveBorder=FF00000B", "InactiveCaption=FF000003", "InactiveCaptionText=FF000013",
    "InfoBk=FF000018", "InfoText=FF000017", "Menu=FF000004", "MenuBar=FF00001E", "MenuHighlight=FF00001D",
    "MenuText=FF000007", "ScrollBar=FF000000", "3DDkShadow=FF000015", "3DLight=FF000016", "Window=FF000005",
    "WindowFrame=FF000006", "WindowText=FF000008"};

struct TListFixture {
    std::unique_ptr<TComboTestForm> Form;
    TnvColorList* List = nullptr;

    explicit TListFixture(int W = 160, int H = 200)
    {
        Form = NewForm();
        RegisterNvColorComboClasses();
        List = new TnvColorList(Form.get());
        List->SetParent(Form.get());
        List->SetBounds(10, 10, W, H);
    }
};

// Answers the warnings of the list and records them.
struct TMessageRecorder {
    std::vector<String> Messages;
    TMessageDlgExecutor Old;
    TMessageRecorder()
    {
        Old = SetMessageDlgExecutor([this](const TMessageDlgRequest& R) {
            Messages.push_back(R.Msg);
            return int(mrOk);
        });
    }
    ~TMessageRecorder() { SetMessageDlgExecutor(Old); }
};

struct TDialogStub {
    TDialogExecutor Old;
    int Calls = 0;
    explicit TDialogStub(std::function<bool(TColorDialog&)> Answer)
    {
        Old = SetDialogExecutor([this, Answer](TCommonDialog& D) {
            ++Calls;
            return Answer(dynamic_cast<TColorDialog&>(D));
        });
    }
    ~TDialogStub() { SetDialogExecutor(Old); }
};

// The list's item area (inside its border) as it shows.
QImage ListShot(TCustomListBox* L)
{
    return Shot(L->ListWidget()->viewport());
}

// A key press and release in the edit of a combo.
void Type(TCustomEdit* Edit, int Key, Qt::KeyboardModifiers Mods = Qt::NoModifier, const QString& Text = QString())
{
    QKeyEvent Press(QEvent::KeyPress, Key, Mods, Text);
    QApplication::sendEvent(Edit->LineEdit(), &Press);
    QKeyEvent Release(QEvent::KeyRelease, Key, Mods, Text);
    QApplication::sendEvent(Edit->LineEdit(), &Release);
}

} // namespace

// ---------------------------------------------------------------- content

TEST(nvColorList, ContentByOptions)
{
    struct TCase {
        TnvColorListBoxOptions Options;
        size_t Count;
        std::vector<std::pair<size_t, String>> At; // entry index, entry
    };
    const TnvColorListBoxOptions Std = TnvColorListBoxOptions(ccoShowStandardColors) | ccoShowColorNames;
    const std::vector<TCase> Cases = {
        {Std, 20, {{0, "Black=000000"}, {19, "MedGray=A4A0A0"}}},
        {Std | ccoShowSystemColors, 51, {{20, "ActiveBorder=FF00000A"}, {29, "Default=20000000"}, {50, "WindowText=FF000008"}}},
        {TnvColorListBoxOptions(ccoShowSystemColors), 31, {{0, "ActiveBorder=FF00000A"}}},
        {Std | ccoShowColorNone, 21, {{0, "=1FFFFFFF"}, {1, "Black=000000"}}},
        // 0, 10, ..., 250 without black (already there): Grey1 is 0a0a0a.
        {Std | ccoShowGreyScale, 45, {{20, "Grey1=0a0a0a"}, {44, "Grey25=fafafa"}}},
        {TnvColorListBoxOptions(ccoShowGreyScale), 26, {{0, "Grey1=000000"}, {25, "Grey26=fafafa"}}},
        {TnvColorListBoxOptions(), 0, {}},
    };
    TListFixture F;
    for (const TCase& C : Cases) {
        F.List->SetOptions(C.Options);
        const std::vector<String> E = Entries(F.List->AllColors());
        ASSERT_EQ(E.size(), C.Count) << C.Options.toInt();
        EXPECT_EQ(F.List->Count(), static_cast<int>(C.Count)) << "every entry is an item";
        for (const auto& [I, Text] : C.At)
            EXPECT_EQ(E[I], Text) << C.Options.toInt() << " at " << I;
    }
    F.List->SetOptions(Std | ccoShowSystemColors);
    std::vector<String> All = StandardEntries;
    All.insert(All.end(), SystemEntries.begin(), SystemEntries.end());
    EXPECT_EQ(Entries(F.List->AllColors()), All) << "the platform table's order";
    EXPECT_EQ(F.List->Items()->Get(0), "Black");
    EXPECT_EQ(F.List->ItemColor(29), clDefault);
}

TEST(nvColorList, NoneEntryAndGreyScaleIncrement)
{
    TListFixture F;
    F.List->SetNoneString("Nothing");
    F.List->SetOptions(TnvColorListBoxOptions(ccoShowColorNone) | ccoShowGreyScale);
    EXPECT_EQ(F.List->AllColors()->Get(0), "Nothing=1FFFFFFF");
    EXPECT_EQ(F.List->ItemColor(0), clNone);
    EXPECT_EQ(F.List->Count(), 1 + 26);

    struct TCase {
        int Increment;
        int Expected; // the increment kept
        int Greys;
    };
    for (const TCase& C : std::vector<TCase>{{51, 51, 6}, {0, 51, 6}, {256, 51, 6}, {-3, 51, 6}, {255, 255, 2},
                                             {1, 1, 256}, {128, 128, 2}}) {
        F.List->SetGreyScaleIncrement(C.Increment);
        EXPECT_EQ(F.List->GreyScaleIncrement(), C.Expected) << C.Increment;
        EXPECT_EQ(F.List->Count(), 1 + C.Greys) << C.Increment;
    }
    EXPECT_EQ(F.List->AllColors()->Get(2), "Grey2=808080");
}

TEST(nvColorList, CustomColorsTrimRefuseDuplicatesAndWarn)
{
    TMessageRecorder Rec;
    TListFixture F;
    F.List->SetOptions(F.List->Options() | ccoShowCustomColors);
    TStringList Custom;
    Custom.Add("Mine=123456");
    Custom.Add("Spaced= \tABCDEF\t ");
    Custom.Add("RedAgain=0000FF"); // the value of Red: refused
    Custom.Add("red=010203");      // the name of Red: refused
    Custom.Add("Bad=xyz");
    F.List->SetCustomColors(&Custom);
    EXPECT_TRUE(Rec.Messages.empty());
    const std::vector<String> E = Entries(F.List->AllColors());
    ASSERT_EQ(E.size(), 23u);
    EXPECT_EQ(E[20], "Mine=123456");
    EXPECT_EQ(E[21], "Spaced=ABCDEF");
    EXPECT_EQ(E[22], "Bad=xyz");
    EXPECT_EQ(F.List->ItemColor(22), MakeColor(0)) << "a value that is not hexadecimal reads as 0";

    // Item by item: a change rebuilds.
    F.List->CustomColors()->Add("Later=0F0F0F");
    EXPECT_EQ(F.List->AllColors()->Get(23), "Later=0F0F0F");
    F.List->CustomColors()->Delete(0);
    EXPECT_EQ(F.List->IndexOfColor(MakeColor(0x123456)), -1);

    Custom.Add("MINE=111111");
    F.List->SetCustomColors(&Custom);
    ASSERT_EQ(Rec.Messages.size(), 1u);
    EXPECT_EQ(Rec.Messages[0], "Duplicate Color Name Not Allowed: MINE");

    // Without the option the custom colours stay out.
    F.List->SetOptions(F.List->Options() & ~TnvColorListBoxOptions(ccoShowCustomColors));
    EXPECT_EQ(F.List->AllColors()->Count(), 20);
}

// ---------------------------------------------------------------- selection

TEST(nvColorList, SelectionByValueAddsUnknownColoursOnce)
{
    TListFixture F;
    EXPECT_EQ(F.List->SelectedColor(), clNoColorSelected);
    F.List->SetSelectedColor(clRed);
    EXPECT_EQ(F.List->ItemIndex(), 9);
    EXPECT_EQ(F.List->SelectedColor(), clRed);

    F.List->SetSelectedColor(MakeColor(0x123456));
    EXPECT_EQ(F.List->AllColors()->Count(), 21);
    EXPECT_EQ(F.List->AllColors()->Get(20), "RGB: 86, 52, 18=123456");
    EXPECT_EQ(F.List->Items()->Get(F.List->ItemIndex()), "RGB: 86, 52, 18");
    EXPECT_EQ(F.List->SelectedColor(), MakeColor(0x123456));
    F.List->SetSelectedColor(clRed);
    F.List->SetSelectedColor(MakeColor(0x123456));
    EXPECT_EQ(F.List->AllColors()->Count(), 21) << "not added twice";
    EXPECT_EQ(F.List->AddedColors()->Count(), 1);

    // Added colours survive a rebuild.
    F.List->SetOptions(F.List->Options() | ccoShowSystemColors);
    EXPECT_EQ(F.List->AllColors()->Get(51), "RGB: 86, 52, 18=123456");
    EXPECT_EQ(F.List->SelectedColor(), MakeColor(0x123456)) << "reselected after the rebuild";

    F.List->SetSelectedColor(clNoColorSelected);
    EXPECT_EQ(F.List->ItemIndex(), -1);
    EXPECT_EQ(F.List->AllColors()->Count(), 52);
    F.List->SetSelectedColor(clNone);
    EXPECT_EQ(F.List->ItemIndex(), -1) << "no none entry: nothing selected";
    EXPECT_EQ(F.List->AllColors()->Count(), 52);
    F.List->SetOptions(F.List->Options() | ccoShowColorNone);
    F.List->SetSelectedColor(clNone);
    EXPECT_EQ(F.List->ItemIndex(), 0) << "the none entry";
    F.List->SetOptions(F.List->Options() & ~TnvColorListBoxOptions(ccoShowColorNone));

    // A grey of the grey scale is found by its value whatever the case of its digits.
    F.List->SetOptions(F.List->Options() | ccoShowGreyScale);
    const int Before = F.List->AllColors()->Count();
    F.List->SetSelectedColor(MakeColor(0x0A0A0A));
    EXPECT_EQ(F.List->Items()->Get(F.List->ItemIndex()), "Grey1");
    EXPECT_EQ(F.List->AllColors()->Count(), Before);
}

TEST(nvColorList, AddNewColorEventRenamesOrRefuses)
{
    TListFixture F;
    std::vector<TColor> Asked;
    F.List->OnAddNewColor = [&](TObject*, TColor C, String& Name, bool& Accept) {
        Asked.push_back(C);
        if (C == MakeColor(0x010101))
            Accept = false;
        else
            Name = "Custom " + Name.substr(5);
    };
    F.List->SetSelectedColor(MakeColor(0x010101));
    EXPECT_EQ(F.List->ItemIndex(), -1);
    EXPECT_EQ(F.List->AllColors()->Count(), 20);
    F.List->SetSelectedColor(MakeColor(0x203040));
    EXPECT_EQ(F.List->Items()->Get(F.List->ItemIndex()), "Custom 64, 48, 32");
    EXPECT_EQ(Asked, (std::vector<TColor>{MakeColor(0x010101), MakeColor(0x203040)}));
    EXPECT_TRUE(F.List->AddColor("Another", "0000FF") == false) << "value of Red";
    EXPECT_TRUE(F.List->AddColor("Another", "0000fe"));
}

TEST(nvColorList, FilterHidesItemsButKeepsEntries)
{
    TListFixture F;
    F.List->OnFilterColor = [](TObject*, TColor C, String Name, bool& Accept) {
        Accept = Name.find("Gr") == String::npos && C != clBlue;
    };
    F.List->FilterItems();
    EXPECT_EQ(ItemNames(F.List),
              (std::vector<String>{"Black", "Maroon", "Olive", "Navy", "Purple", "Teal", "Silver", "Red", "Lime",
                                   "Yellow", "Fuchsia", "Aqua", "White", "SkyBlue", "Cream"}));
    EXPECT_EQ(F.List->AllColors()->Count(), 20);
    EXPECT_EQ(F.List->ItemColor(2), clOlive) << "items map to their entries";
    F.List->SetSelectedColor(clBlue);
    EXPECT_EQ(F.List->ItemIndex(), -1) << "a filtered colour selects nothing";
    EXPECT_EQ(F.List->AllColors()->Count(), 20) << "and is not added";
}

// ---------------------------------------------------------------- sorting

TEST(nvColorList, HueClasses)
{
    struct TCase {
        int R, G, B, Class;
    };
    for (const TCase& C : std::vector<TCase>{
             {128, 128, 128, 15}, {255, 250, 0, 2},  {255, 128, 0, 1},   {255, 20, 10, 14}, {200, 200, 0, 2},
             {200, 0, 200, 12},   {255, 0, 250, 12}, {255, 0, 128, 13},  {255, 0, 20, 14},  {255, 0, 0, 14},
             {0, 255, 250, 7},    {0, 255, 20, 4},   {0, 255, 128, 6},   {128, 255, 0, 3},  {250, 255, 0, 3},
             {20, 255, 0, 4},     {0, 255, 0, 5},    {0, 128, 128, 7},   {0, 250, 255, 7},  {0, 20, 255, 9},
             {0, 128, 255, 8},    {0, 0, 255, 10},   {250, 0, 255, 12},  {20, 0, 255, 9},   {128, 0, 255, 11}})
        EXPECT_EQ(ColorHueClass(C.R, C.G, C.B), C.Class) << C.R << "," << C.G << "," << C.B;
}

TEST(nvColorList, SortOrders)
{
    TListFixture F;
    F.List->SetSelectedColor(clTeal);
    F.List->SetSortBy(csoByIntensity);
    // Colours (class 1) by ascending average, then greys (class 2).
    auto Key = [&](int I) {
        const TColor C = F.List->ItemColor(I);
        const int R = GetRValue(C), G = GetGValue(C), B = GetBValue(C);
        return std::make_pair(R == G && G == B ? 2 : 1, (R + G + B) / 3);
    };
    ASSERT_EQ(F.List->Count(), 20);
    for (int I = 1; I < F.List->Count(); ++I)
        EXPECT_LE(Key(I - 1), Key(I)) << F.List->Items()->Get(I - 1) << " before " << F.List->Items()->Get(I);
    const std::vector<String> ByIntensity = ItemNames(F.List);
    EXPECT_EQ(std::vector<String>(ByIntensity.end() - 5, ByIntensity.end()),
              (std::vector<String>{"Cream", "Black", "Gray", "Silver", "White"}));
    EXPECT_EQ(F.List->SelectedColor(), clTeal) << "the selection stays on its colour";
    EXPECT_FALSE(F.List->Sorted());

    F.List->SetSortBy(csoByRGB);
    std::vector<int> Classes;
    for (int I = 0; I < F.List->Count(); ++I) {
        const TColor C = F.List->ItemColor(I);
        Classes.push_back(ColorHueClass(GetRValue(C), GetGValue(C), GetBValue(C)));
    }
    EXPECT_TRUE(std::is_sorted(Classes.begin(), Classes.end()));
    const std::vector<String> ByRGB = ItemNames(F.List);
    // Class 2 (red with little green, even): descending average.
    EXPECT_EQ(std::vector<String>(ByRGB.begin(), ByRGB.begin() + 3),
              (std::vector<String>{"Cream", "Yellow", "Olive"}));
    // Greys (class 15, odd): ascending average.
    EXPECT_EQ(std::vector<String>(ByRGB.end() - 5, ByRGB.end()),
              (std::vector<String>{"Maroon", "Black", "Gray", "Silver", "White"}));

    // By name: the list box's own alphabetical order.
    F.List->SetSortBy(csoByName);
    EXPECT_TRUE(F.List->Sorted());
    EXPECT_EQ(F.List->Items()->Get(0), "Aqua");
    EXPECT_EQ(F.List->Items()->Get(19), "Yellow");
    EXPECT_EQ(F.List->ItemColor(0), clAqua);
    EXPECT_EQ(F.List->SelectedColor(), clTeal);

    // Grouped: the none entry, the other colours, then the system colours.
    F.List->SetSortBy(csoNone);
    F.List->SetOptions(F.List->Options() | ccoShowSystemColors | ccoShowColorNone | ccoGroupSystemColors);
    F.List->SetSortBy(csoByName);
    EXPECT_FALSE(F.List->Sorted());
    const std::vector<String> N = ItemNames(F.List);
    ASSERT_EQ(N.size(), 52u);
    EXPECT_EQ(N[0], "");
    EXPECT_EQ(N[1], "Aqua");
    EXPECT_EQ(N[20], "Yellow");
    EXPECT_EQ(N[21], "3DDkShadow");
    EXPECT_EQ(N[51], "WindowText");
    // Grouping switched off again: the list box sorts alphabetically once more.
    F.List->SetOptions(F.List->Options() & ~TnvColorListBoxOptions(ccoGroupSystemColors));
    EXPECT_TRUE(F.List->Sorted());
    EXPECT_EQ(F.List->Items()->Get(1), "3DDkShadow");
}

// ---------------------------------------------------------------- drawing

TEST(nvColorList, ItemsShowSwatchAndName)
{
    TListFixture F(160, 120);
    F.List->SetColor(clWhite);
    F.List->SetOptions(F.List->Options() | ccoShowColorNone);
    F.List->SetSelectedColor(clRed); // item 10
    TEdit* Other = NewEdit(F.Form.get());
    ShowForm(F.Form.get());
    Other->SetFocus();
    F.List->SetTopIndex(8);
    Pump();
    const QImage Img = ListShot(F.List);
    const int IH = F.List->ItemHeight();
    ASSERT_EQ(IH, 16);
    const int W = F.List->SwatchWidth();
    ASSERT_EQ(W, 11);
    // Item 8 (Gray) at the top: swatch from x 2, inset 2, outlined in the font colour.
    const int Y0 = F.List->ItemRect(8).Top;
    EXPECT_EQ(PixelColor(Img, 2 + W / 2, Y0 + IH / 2), clGray);
    EXPECT_EQ(PixelColor(Img, 2, Y0 + IH / 2), clBlack) << "outline";
    EXPECT_EQ(PixelColor(Img, 1, Y0 + IH / 2), clWhite) << "margin";
    EXPECT_EQ(PixelColor(Img, 2 + W / 2, Y0 + 1), clWhite) << "above the swatch";
    // The name right of the swatch: dark text pixels there.
    int Dark = 0;
    for (int X = 2 + W + 2; X < 80; ++X)
        for (int Y = Y0; Y < Y0 + IH; ++Y)
            Dark += PixelColor(Img, X, Y) == clBlack;
    EXPECT_GT(Dark, 10);
    // The selected item (Red) on the highlight (the list is not focused: clBtnFace).
    const int Y2 = F.List->ItemRect(10).Top;
    EXPECT_EQ(PixelColor(Img, 2 + W / 2, Y2 + IH / 2), clRed);
    EXPECT_EQ(PixelColor(Img, 100, Y2 + 1), ColorToRGB(clBtnFace));

    // The swatch on the right, text right-aligned.
    F.List->SetColorAlignment(taRightJustify);
    F.List->SetAlignment(taRightJustify);
    Pump();
    const QImage R = ListShot(F.List);
    const int CW = R.width();
    EXPECT_EQ(PixelColor(R, CW - 3 - W / 2, Y0 + IH / 2), clGray);
    EXPECT_EQ(PixelColor(R, 2 + W / 2, Y0 + IH / 2), clWhite) << "no swatch on the left";

    // Without names the swatch fills the item less the margin.
    F.List->SetOptions(F.List->Options() & ~TnvColorListBoxOptions(ccoShowColorNames));
    F.List->SetTopIndex(0);
    Pump();
    const QImage N = ListShot(F.List);
    EXPECT_EQ(PixelColor(N, CW / 2, F.List->ItemRect(1).Top + IH / 2), clBlack) << "Black item";
    EXPECT_EQ(PixelColor(N, CW - 10, F.List->ItemRect(2).Top + 4), clMaroon);
    EXPECT_EQ(PixelColor(N, CW - 10, F.List->ItemRect(2).Top + 1), clWhite) << "margin";
    EXPECT_EQ(PixelColor(N, CW - 3, F.List->ItemRect(2).Top + 4), clBlack) << "outline";
    // The selected item on the highlight of a focused list.
    F.List->SetFocus();
    F.List->SetSelectedColor(clGreen);
    Pump();
    const QImage Foc = ListShot(F.List);
    EXPECT_EQ(PixelColor(Foc, 1, F.List->ItemRect(3).Top + 4), ColorToRGB(clHighlight));
    EXPECT_EQ(PixelColor(Foc, CW / 2, F.List->ItemRect(3).Top + 4), clGreen);
    EXPECT_EQ(PixelColor(Foc, CW - 3, F.List->ItemRect(3).Top + 4), ColorToRGB(clHighlightText)) << "outline";
    DumpPng(N, "nvColorList-names-off");
    DumpPng(Img, "nvColorList");
}

TEST(nvColorList, NoneEntryIsCrossedWithNames)
{
    TListFixture F(160, 60);
    F.List->SetColor(clWhite);
    F.List->SetOptions(F.List->Options() | ccoShowColorNone);
    ShowForm(F.Form.get());
    const QImage Img = ListShot(F.List);
    const int W = F.List->SwatchWidth();
    // Swatch (2, 2) - (2 + W, 14): the diagonal passes through its middle,
    // the area beside the diagonal is the background.
    const int Cx = 2 + 5, Cy = 2 + 5;
    EXPECT_EQ(PixelColor(Img, Cx, Cy), clBlack) << "the cross";
    EXPECT_EQ(PixelColor(Img, 2 + W - 3, 2 + 5), clWhite) << "inside, off the lines";
    EXPECT_EQ(F.List->Items()->Get(0), "") << "an empty none name draws \"None\"";
    int Dark = 0;
    for (int X = 2 + W + 2; X < 60; ++X)
        for (int Y = 0; Y < 16; ++Y)
            Dark += PixelColor(Img, X, Y) == clBlack;
    EXPECT_GT(Dark, 10);
}

// ---------------------------------------------------------------- the combo

namespace {

struct TComboFix {
    std::unique_ptr<TComboTestForm> Form;
    TnvColorCombo* Combo = nullptr;
    TEdit* Other = nullptr;
    TComboFix()
    {
        Form = NewForm();
        RegisterNvColorComboClasses();
        Combo = new TnvColorCombo(Form.get());
        Combo->SetParent(Form.get());
        Combo->SetBounds(20, 20, 150, 21);
        Other = NewEdit(Form.get());
        ShowForm(Form.get());
    }
};

} // namespace

TEST(nvColorCombo, SelectedColorSetsTextAndList)
{
    TComboFix F;
    EXPECT_EQ(F.Combo->Style(), nvComboTypes::csDropDownList);
    EXPECT_EQ(F.Combo->SelectedColor(), clNoColorSelected);
    EXPECT_EQ(F.Combo->Text(), "");
    F.Combo->SetSelectedColor(clNavy);
    EXPECT_EQ(F.Combo->Text(), "Navy");
    EXPECT_EQ(F.Combo->ColorList()->SelectedColor(), clNavy);
    F.Combo->SetSelectedColor(MakeColor(0x00FF80));
    EXPECT_EQ(F.Combo->Text(), "RGB: 128, 255, 0");
    EXPECT_EQ(F.Combo->FindItemByName("Navy"), 4);
    EXPECT_EQ(F.Combo->FindItemByName("navy"), -1) << "names match exactly";
}

TEST(nvColorCombo, DropDownChoosesByMouseAndRestoresOnEscape)
{
    TComboFix F;
    std::vector<String> Calls;
    F.Combo->OnCloseUp = [&](TObject*, bool Accept) { Calls.push_back(Accept ? "accept" : "cancel"); };
    F.Combo->SetSelectedColor(clGreen);
    F.Combo->SetFocus();
    Pump();
    F.Combo->DropDown();
    ASSERT_TRUE(F.Combo->IsDroppedDown());
    TnvCustomColorList* L = F.Combo->ColorList();
    EXPECT_EQ(L->ItemIndex(), 2) << "the item named by the text";
    EXPECT_EQ(F.Combo->DropPanel()->Height(), 8 * 16 + 2) << "DropDownCount items of 16 pixels";
    EXPECT_EQ(F.Combo->DropPanel()->pos(), F.Combo->mapToGlobal(QPoint(0, F.Combo->Height())));

    // Moving over an item selects it; releasing there takes it.
    const TRect R5 = L->ItemRect(5);
    L->Perform(WM_MOUSEMOVE, 0, PointToLParam(10, R5.Top + 3));
    EXPECT_EQ(L->ItemIndex(), 5);
    EXPECT_EQ(F.Combo->SelectedColor(), clGreen) << "not before the release";
    Pump();
    const QImage Drop = Shot(F.Combo->DropPanel());
    DumpPng(Drop, "nvColorCombo-drop");
    EXPECT_EQ(PixelColor(Drop, 0, 0), clBlack) << "the line around the list";
    EXPECT_EQ(PixelColor(Drop, Drop.width() - 1, Drop.height() - 1), clBlack);
    EXPECT_EQ(PixelColor(Drop, 1 + R5.Left + 1, 1 + R5.Top + 1), ColorToRGB(clHighlight)) << "the item under the mouse";
    L->Perform(WM_LBUTTONUP, 0, PointToLParam(10, R5.Top + 3));
    EXPECT_FALSE(F.Combo->IsDroppedDown());
    EXPECT_EQ(F.Combo->SelectedColor(), clPurple);
    EXPECT_EQ(F.Combo->Text(), "Purple");
    EXPECT_TRUE(F.Combo->Modified());

    // Keys while open, then Escape: the colour from before stays.
    F.Combo->DropDown();
    Type(F.Combo, Qt::Key_Down);
    EXPECT_EQ(L->ItemIndex(), 6);
    Type(F.Combo, Qt::Key_Escape);
    EXPECT_FALSE(F.Combo->IsDroppedDown());
    EXPECT_EQ(F.Combo->SelectedColor(), clPurple);
    EXPECT_EQ(L->ItemIndex(), 5);

    // Enter accepts the key choice.
    F.Combo->DropDown();
    Type(F.Combo, Qt::Key_Down);
    Type(F.Combo, Qt::Key_Return);
    EXPECT_EQ(F.Combo->SelectedColor(), clTeal);
    // A release outside the list closes without taking anything.
    F.Combo->DropDown();
    L->Perform(WM_MOUSEMOVE, 0, PointToLParam(10, L->ItemRect(0).Top + 3));
    L->Perform(WM_LBUTTONUP, 0, PointToLParam(-1, 400));
    EXPECT_EQ(F.Combo->SelectedColor(), clTeal);
    EXPECT_EQ(Calls, (std::vector<String>{"accept", "cancel", "accept", "cancel"}));
}

TEST(nvColorCombo, TheListTakesTheOptionsFontAndIntegralHeight)
{
    TComboFix F;
    F.Combo->Font()->SetHeight(-20);
    F.Combo->ColorListOptions()->Font()->SetName("Courier New");
    F.Combo->ColorListOptions()->Font()->SetHeight(-9);
    F.Combo->DropDown();
    TnvCustomColorList* L = F.Combo->ColorList();
    EXPECT_EQ(L->Font()->Name(), "Courier New") << "the options' font, not the combo's";
    EXPECT_EQ(L->Font()->Height(), -9);
    EXPECT_TRUE(L->IntegralHeight());
    F.Combo->CloseUp(false);
    F.Combo->ColorListOptions()->SetIntegralHeight(false);
    F.Combo->DropDown();
    EXPECT_FALSE(L->IntegralHeight());
    F.Combo->CloseUp(false);
}

TEST(nvColorList, IntegralHeightShowsWholeItemsOnly)
{
    TListFixture F;
    TnvColorList* L = F.List;
    EXPECT_FALSE(L->IntegralHeight()) << "a list box's default";
    struct TCase {
        bool Integral;
        TFormBorderStyle Border;
        int Asked, Want;
    };
    // Items of 16 pixels; a sunken border takes 2 pixels on each side.
    const TCase Cases[] = {
        {false, bsSingle, 110, 110}, {true, bsSingle, 110, 100}, {true, bsSingle, 100, 100},
        {true, bsNone, 110, 96},     {true, bsNone, 10, 10},     {true, bsSingle, 19, 19},
    };
    for (const TCase& K : Cases) {
        SCOPED_TRACE(std::to_string(K.Asked) + (K.Integral ? " integral" : "") + (K.Border == bsNone ? " no border" : ""));
        L->SetIntegralHeight(false);
        L->SetBorderStyle(K.Border);
        L->SetIntegralHeight(K.Integral);
        L->SetBounds(10, 10, 160, K.Asked);
        EXPECT_EQ(L->Height(), K.Want);
    }
    // Switching it on cuts the current height at once.
    L->SetIntegralHeight(false);
    L->SetBorderStyle(bsSingle);
    L->SetBounds(10, 10, 160, 75);
    L->SetIntegralHeight(true);
    EXPECT_EQ(L->Height(), 68);
}

TEST(nvColorCombo, TypingMatchesNames)
{
    TComboFix F;
    F.Combo->SetFocus();
    Pump();
    Type(F.Combo, Qt::Key_M, Qt::NoModifier, "m");
    EXPECT_EQ(F.Combo->Text(), "Maroon");
    Type(F.Combo, Qt::Key_O, Qt::NoModifier, "o");
    EXPECT_EQ(F.Combo->Text(), "MoneyGreen");
    EXPECT_EQ(F.Combo->SelectedColor(), clMoneyGreen);
    Type(F.Combo, Qt::Key_S, Qt::NoModifier, "s");
    EXPECT_EQ(F.Combo->Text(), "Silver") << "no name starts with \"mos\": a new match";
}

TEST(nvColorCombo, EllipsisRunsTheColourDialog)
{
    TComboFix F;
    F.Combo->CustomColors()->Add("One=112233");
    F.Combo->CustomColors()->Add("Two=445566");
    F.Combo->SetButtonStyle(cbsEllipsis);
    F.Combo->SetSelectedColor(clYellow);
    TColor Seen = clNone;
    std::vector<String> SeenCustom;
    TDialogStub Stub([&](TColorDialog& D) {
        Seen = D.Color();
        for (int I = 0; I < D.CustomColors()->Count(); ++I)
            SeenCustom.push_back(D.CustomColors()->Get(I));
        D.SetColor(MakeColor(0x204060));
        return true;
    });
    int Inits = 0;
    F.Combo->OnInitColorDialog = [&](TObject*, TColorDialog* D) {
        ++Inits;
        EXPECT_EQ(D->Options(), TColorDialogOptions(cdPreventFullOpen));
    };
    F.Combo->DropDown();
    EXPECT_EQ(Stub.Calls, 1);
    EXPECT_EQ(Inits, 1);
    EXPECT_FALSE(F.Combo->IsDroppedDown());
    EXPECT_EQ(Seen, clYellow);
    EXPECT_EQ(SeenCustom, (std::vector<String>{"ColorA=112233", "ColorB=445566"}));
    EXPECT_EQ(F.Combo->SelectedColor(), MakeColor(0x204060));
    EXPECT_EQ(F.Combo->Text(), "RGB: 96, 64, 32");
    EXPECT_TRUE(F.Combo->Modified());
    F.Combo->OnInitColorDialog = nullptr;

    // The close event can refuse the colour.
    F.Combo->OnCloseColorDialog = [](TObject*, TColorDialog*, TModalResult R, bool& Accept) {
        EXPECT_EQ(R, mrOk);
        Accept = false;
    };
    F.Combo->SetSelectedColor(clRed);
    F.Combo->DropDown();
    EXPECT_EQ(F.Combo->SelectedColor(), clRed);

    // Cancel in the dialog changes nothing; a given dialog is used.
    F.Combo->OnCloseColorDialog = nullptr;
    TDialogStub Cancel([](TColorDialog& D) {
        D.SetColor(clLime);
        return false;
    });
    EXPECT_FALSE(F.Combo->ExecuteColorDialog());
    EXPECT_EQ(F.Combo->SelectedColor(), clRed);
    TColorDialog Own;
    F.Combo->SetColorDialog(&Own);
    TDialogStub Mine([&](TColorDialog& D) {
        EXPECT_EQ(&D, &Own);
        D.SetColor(clLime);
        return true;
    });
    EXPECT_TRUE(F.Combo->ExecuteColorDialog());
    EXPECT_EQ(F.Combo->SelectedColor(), clLime);
    EXPECT_EQ(F.Combo->Text(), "Lime");
}

TEST(nvColorCombo, PaintsSwatchBesideText)
{
    TComboFix F;
    F.Combo->SetSelectedColor(clBlue);
    F.Other->SetFocus();
    Pump();
    QImage Img = Shot(F.Combo);
    DumpPng(Img, "nvColorCombo");
    TRect E;
    E = F.Combo->EditRect();
    // Left swatch: ends 2 pixels left of the text; outlined black while unfocused.
    const int SwatchRight = 2 + E.Left - 2;
    const int Y = 2 + E.Top + 5;
    EXPECT_EQ(PixelColor(Img, SwatchRight - 5, Y), clBlue);
    EXPECT_EQ(PixelColor(Img, SwatchRight - 1, Y), clBlack);
    int Dark = 0;
    for (int X = 2 + E.Left; X < 2 + E.Right; ++X)
        for (int YY = 2; YY < 18; ++YY)
            Dark += PixelColor(Img, X, YY) == clBlack;
    EXPECT_GT(Dark, 10) << "the name";

    F.Combo->SetColorAlignment(taRightJustify);
    Pump();
    Img = Shot(F.Combo);
    E = F.Combo->EditRect();
    EXPECT_EQ(PixelColor(Img, 2 + E.Right + 2 + 5, Y), clBlue) << "right of the text";
    EXPECT_LT(E.Left, 6) << "the text starts at the left";
    DumpPng(Img, "nvColorCombo-right");

    // With a flat frame the combo paints its text itself; the swatch stays.
    F.Combo->SetColorAlignment(taLeftJustify);
    F.Combo->Frame()->SetEnabled(true);
    F.Combo->SetSelectedColor(clNone);
    Pump();
    Img = Shot(F.Combo);
    DumpPng(Img, "nvColorCombo-frame");
    E = F.Combo->EditRect();
    EXPECT_EQ(PixelColor(Img, E.Left - 2 - 1, E.Top + 1), clBlack) << "outline of the crossed swatch";
    EXPECT_EQ(F.Combo->Text(), "") << "the list has no none entry";
    EXPECT_EQ(F.Combo->ColorList()->AllColors()->Count(), 20) << "and none is added for it";
}

// ---------------------------------------------------------------- stored forms

TEST(nvColorCombo, StoredFormRoundTrip)
{
    const String Text = "object ComboForm: TComboTestForm\n"
                        "  object Dialog1: TColorDialog\n"
                        "  end\n"
                        "  object List1: TnvColorList\n"
                        "    Left = 8\n"
                        "    Top = 40\n"
                        "    Width = 150\n"
                        "    Height = 100\n"
                        "    ColorAlignment = taRightJustify\n"
                        "    CustomColors.Strings = (\n"
                        "      'Mine=123456')\n"
                        "    NoneString = 'Empty'\n"
                        "    Options = [ccoShowSystemColors, ccoShowColorNone, ccoShowCustomColors, "
                        "ccoShowStandardColors, ccoShowColorNames]\n"
                        "    SelectedColor = $00123456\n"
                        "    SortBy = csoByIntensity\n"
                        "  end\n"
                        "  object Combo1: TnvColorCombo\n"
                        "    Left = 8\n"
                        "    Top = 8\n"
                        "    Width = 150\n"
                        "    Height = 21\n"
                        "    ColorDialog = Dialog1\n"
                        "    ColorDialogOptions = [cdoEnabled, cdoFullOpen]\n"
                        "    ColorListOptions.ItemHeight = 20\n"
                        "    ColorListOptions.Options = [ccoShowColorNone, ccoShowStandardColors, ccoShowColorNames]\n"
                        "    SelectedColor = clMaroon\n"
                        "  end\n"
                        "end\n";
    auto Form = NewForm();
    RegisterNvColorComboClasses();
    ReadComponentFromText(Text, Form.get());
    auto* L = dynamic_cast<TnvColorList*>(Form->FindComponent("List1"));
    auto* C = dynamic_cast<TnvColorCombo*>(Form->FindComponent("Combo1"));
    ASSERT_NE(L, nullptr);
    ASSERT_NE(C, nullptr);
    EXPECT_EQ(L->AllColors()->Get(0), "Empty=1FFFFFFF");
    EXPECT_EQ(L->SelectedColor(), MakeColor(0x123456));
    EXPECT_EQ(L->Items()->Get(L->ItemIndex()), "Mine");
    EXPECT_EQ(L->AddedColors()->Count(), 0) << "a custom colour, not an added one";
    EXPECT_EQ(C->ColorDialog(), Form->FindComponent("Dialog1"));
    EXPECT_EQ(C->SelectedColor(), clMaroon);
    EXPECT_EQ(C->Text(), "Maroon");
    C->SetFocus();
    C->DropDown();
    EXPECT_EQ(C->ColorList()->ItemHeight(), 20);
    EXPECT_EQ(C->ColorList()->Items()->Get(0), "None") << "the options' none name";
    C->CloseUp(false);

    const String Written = ComponentToText(Form.get());
    for (const char* Line : {"SortBy = csoByIntensity", "NoneString = 'Empty'", "'Mine=123456'",
                             "SelectedColor = 1193046", "SelectedColor = clMaroon", "ColorDialog = Dialog1",
                             "ColorListOptions.ItemHeight = 20", "ColorAlignment = taRightJustify"})
        EXPECT_NE(Written.find(Line), String::npos) << Line << "\n" << Written;
    for (const char* Default : {"GreyScaleIncrement", "ColorMargin", "ColorWidth", "ColorListOptions.NoneString",
                                "ShowMatchText", "DropDownCount"})
        EXPECT_EQ(Written.find(Default), String::npos) << Default << " is at its default\n" << Written;
    auto Back = NewForm();
    ReadComponentFromText(Written, Back.get());
    EXPECT_EQ(ComponentToText(Back.get()), Written);
}

TEST(nvColorCombo, BadStoredValuesNameTheProperty)
{
    struct TCase {
        const char* Line;
        const char* Path;
    };
    for (const TCase& C : std::vector<TCase>{{"Options = [ccoShowRainbow]", "List1.Options"},
                                             {"SortBy = csoByMood", "List1.SortBy"},
                                             {"Alignment = taCenter", "List1.Alignment"}}) {
        const String Text = String("object ComboForm: TComboTestForm\n  object List1: TnvColorList\n    ") + C.Line +
                            "\n  end\nend\n";
        auto Form = NewForm();
        RegisterNvColorComboClasses();
        try {
            ReadComponentFromText(Text, Form.get());
            ADD_FAILURE() << "no exception for " << C.Line;
        } catch (const EReadError& E) {
            EXPECT_NE(E.Message().find(C.Path), String::npos) << E.Message();
        }
        EXPECT_EQ(Form->FindComponent("List1"), nullptr);
    }
}

TEST(nvColorCombo, DoubleClickOpensTheDialogWhenEnabled)
{
    TComboFix F;
    F.Combo->SetSelectedColor(clRed);
    TDialogStub Stub([](TColorDialog& D) {
        D.SetColor(clAqua);
        return true;
    });
    auto DoubleClick = [&] {
        QWidget* W = F.Combo->LineEdit();
        const QPoint P(5, 5);
        QMouseEvent E(QEvent::MouseButtonDblClick, QPointF(P), QPointF(W->mapToGlobal(P)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(W, &E);
        if (F.Combo->IsDroppedDown())
            F.Combo->CloseUp(false);
    };
    DoubleClick();
    EXPECT_EQ(Stub.Calls, 0);
    EXPECT_EQ(F.Combo->SelectedColor(), clRed);
    F.Combo->SetColorDialogOptions(F.Combo->ColorDialogOptions() | cdoEnabled);
    DoubleClick();
    EXPECT_EQ(Stub.Calls, 1);
    EXPECT_EQ(F.Combo->SelectedColor(), clAqua);
    EXPECT_EQ(F.Combo->Text(), "Aqua");
}

TEST(nvColorCombo, BoundWithoutFieldDoesNotDropDown)
{
    TComboFix F;
    F.Combo->SetDataField("Colour");
    F.Combo->DropDown();
    EXPECT_FALSE(F.Combo->IsDroppedDown());
    F.Combo->SetDataField("");
    F.Combo->SetFocus();
    F.Combo->DropDown();
    EXPECT_TRUE(F.Combo->IsDroppedDown());
    F.Combo->CloseUp(false);
}
