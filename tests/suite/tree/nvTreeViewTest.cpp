// The tree view control: the native window's styles from the options (at
// creation and live), the border, image lists and the blank state list, the
// notifications (selection with ChangeDelay, display info, deletion), hit
// tests, and the painting checked on rendered pixels at the places the
// geometry fixes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>

#include <functional>

#include "FormStream.h"
#include "ImageList.h"
#include "TestDump.h"
#include "nvCommon.h"
#include "nvTreeTestSupport.h"

using namespace nvtree_test;

namespace {

QRgb Rgb(const QImage& I, int X, int Y)
{
    return I.pixel(X, Y) & 0xFFFFFFu;
}

QRgb Pix(int R, int G, int B)
{
    return qRgb(R, G, B) & 0xFFFFFFu;
}

QRgb Sys(TColor C)
{
    return ColorToQRgb(C) & 0xFFFFFFu;
}

// An image list of solid squares (with a transparent corner pixel), one per colour.
TCustomImageList* MakeImages(TComponent* Owner, std::initializer_list<QRgb> Colors, int Size = 16)
{
    auto* L = new TImageList(Owner);
    L->SetWidth(Size);
    L->SetHeight(Size);
    for (QRgb C : Colors) {
        QImage I(Size, Size, QImage::Format_ARGB32);
        I.fill(QColor::fromRgb(C));
        I.setPixel(0, 0, qRgba(0, 0, 0, 0));
        L->AddImage32(I);
    }
    return L;
}

struct TPaintFixture : TTreeFixture {
    explicit TPaintFixture(int W = 200, int H = 160) : TTreeFixture(W, H) { Tree->SetBorderStyle(bsNone); }
    void Show()
    {
        Form->Show();
        QApplication::setActiveWindow(Form.get());
    }
    void Focus()
    {
        Show();
        Tree->SetFocus();
        ASSERT_TRUE(Tree->Focused());
    }
    QImage Render(const char* Name = nullptr)
    {
        QImage I = Tree->Render();
        if (Name)
            DumpPng(I, Name);
        return I;
    }
    TRect TextRect(const String& Name) { return Find(Items(), Name)->DisplayRect(true); }
};

// The bounding box of the pixels of one colour inside a rectangle.
TRect ColorBox(const QImage& I, const TRect& Area, QRgb Color)
{
    TRect R(1 << 20, 1 << 20, -1, -1);
    for (int Y = std::max(0, Area.Top); Y < std::min(I.height(), Area.Bottom); ++Y)
        for (int X = std::max(0, Area.Left); X < std::min(I.width(), Area.Right); ++X)
            if (Rgb(I, X, Y) == Color) {
                R.Left = std::min(R.Left, X);
                R.Top = std::min(R.Top, Y);
                R.Right = std::max(R.Right, X + 1);
                R.Bottom = std::max(R.Bottom, Y + 1);
            }
    return R.Right < 0 ? TRect() : R;
}


// The bounding box of the pixels that differ from a colour inside a rectangle.
TRect OtherBox(const QImage& I, const TRect& Area, QRgb Color)
{
    TRect R(1 << 20, 1 << 20, -1, -1);
    for (int Y = std::max(0, Area.Top); Y < std::min(I.height(), Area.Bottom); ++Y)
        for (int X = std::max(0, Area.Left); X < std::min(I.width(), Area.Right); ++X)
            if (Rgb(I, X, Y) != Color) {
                R.Left = std::min(R.Left, X);
                R.Top = std::min(R.Top, Y);
                R.Right = std::max(R.Right, X + 1);
                R.Bottom = std::max(R.Bottom, Y + 1);
            }
    return R.Right < 0 ? TRect() : R;
}

String RectText(const TRect& R)
{
    return std::to_string(R.Left) + "," + std::to_string(R.Top) + "," + std::to_string(R.Right) + "," +
           std::to_string(R.Bottom);
}

// ---------------------------------------------------------------- window

TEST(nvTreeViewWindow, CreationStylesFollowTheOptions)
{
    {
        InitApplication();
        TnvTreeView Fresh;
        EXPECT_EQ(Fresh.Width(), 121);
        EXPECT_EQ(Fresh.Height(), 97);
        EXPECT_TRUE(Fresh.TabStop());
    }
    TTreeFixture F;
    TLogTree* T = F.Tree;
    EXPECT_EQ(T->Options(), nvDefaultTreeViewOptions);
    EXPECT_EQ(T->Color(), clWindow);
    EXPECT_EQ(T->LineColor(), clBtnShadow);
    EXPECT_EQ(T->InactiveFocusColor(), clBtnFace);
    const unsigned S = T->Style();
    for (unsigned Bit : {unsigned(TVS_HASLINES), unsigned(TVS_LINESATROOT), unsigned(TVS_HASBUTTONS),
                         unsigned(TVS_SHOWSELALWAYS), unsigned(TVS_NOTOOLTIPS), unsigned(TVS_CHECKBOXES),
                         unsigned(TVS_DISABLEDRAGDROP)})
        EXPECT_TRUE(S & Bit) << Bit;
    for (unsigned Bit : {unsigned(TVS_EDITLABELS), unsigned(TVS_TRACKSELECT), unsigned(TVS_SINGLEEXPAND),
                         unsigned(TVS_FULLROWSELECT), unsigned(WS_BORDER)})
        EXPECT_FALSE(S & Bit) << Bit;
    // bsSingle with Ctl3D: the client edge instead of WS_BORDER.
    EXPECT_EQ(T->ExStyle(), unsigned(WS_EX_CLIENTEDGE));
    EXPECT_EQ(T->BorderSize(), 2);
    T->SetCtl3D(false);
    EXPECT_TRUE(T->Style() & WS_BORDER);
    EXPECT_EQ(T->BorderSize(), 1);
    T->SetBorderStyle(bsNone);
    EXPECT_EQ(T->BorderSize(), 0);
}

TEST(nvTreeViewWindow, LiveOptionChanges)
{
    struct TCase {
        TnvTreeViewOption Option;
        unsigned Bit;
        bool BitWhenSet;
    };
    const TCase Cases[] = {
        {tvoRowSelect, TVS_FULLROWSELECT, true}, {tvoShowRoot, TVS_LINESATROOT, true},
        {tvoShowLines, TVS_HASLINES, true},      {tvoShowButtons, TVS_HASBUTTONS, true},
        {tvoHideSelection, TVS_SHOWSELALWAYS, false}, {tvoHotTrack, TVS_TRACKSELECT, true},
        {tvoEditText, TVS_EDITLABELS, true},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Bit);
        TTreeFixture F;
        F.Tree->SetOptions(F.Tree->Options() & ~TnvTreeViewOptions(C.Option));
        EXPECT_EQ((F.Tree->Style() & C.Bit) != 0, !C.BitWhenSet);
        F.Tree->SetOptions(F.Tree->Options() | C.Option);
        EXPECT_EQ((F.Tree->Style() & C.Bit) != 0, C.BitWhenSet);
    }
    TTreeFixture F;
    F.Tree->SetAutoExpand(true);
    EXPECT_TRUE(F.Tree->Style() & TVS_SINGLEEXPAND);
    F.Tree->SetDragMode(dmAutomatic);
    EXPECT_FALSE(F.Tree->Style() & TVS_DISABLEDRAGDROP);
    F.Tree->SetOptions(F.Tree->Options() | tvoEditText);
    F.Tree->SetReadOnly(true);
    EXPECT_FALSE(F.Tree->Style() & TVS_EDITLABELS);
    F.Tree->SetReadOnly(false);
    EXPECT_TRUE(F.Tree->Style() & TVS_EDITLABELS);
}

TEST(nvTreeViewWindow, RowSelectFromAFormIsNotACreationStyle)
{
    InitApplication();
    const String Text = "object Tree1: TnvTreeView\n"
                        "  Options = [tvoRowSelect, tvoShowButtons, tvoShowLines, tvoShowRoot]\n"
                        "end\n";
    std::unique_ptr<TComponent> C(ReadComponentFromText(Text, nullptr));
    auto* T = dynamic_cast<TnvTreeView*>(C.get());
    ASSERT_NE(T, nullptr);
    EXPECT_TRUE(T->Options() & tvoRowSelect);
    T->RecreateWnd();
    EXPECT_FALSE(T->Style() & TVS_FULLROWSELECT);
    EXPECT_TRUE(T->Style() & TVS_SHOWSELALWAYS);
    T->SetOptions(T->Options() & ~TnvTreeViewOptions(tvoRowSelect));
    T->SetOptions(T->Options() | tvoRowSelect);
    EXPECT_TRUE(T->Style() & TVS_FULLROWSELECT);
}

TEST(nvTreeViewWindow, ImageListsAndTheBlankStateList)
{
    TTreeFixture F;
    TCustomImageList* Blank = TnvCustomTreeView::BlankImages();
    ASSERT_NE(Blank, nullptr);
    EXPECT_EQ(Blank->Width(), 16);
    EXPECT_EQ(F.Tree->ImageList(TVSIL_STATE), Blank);
    EXPECT_EQ(F.Tree->ImageList(TVSIL_NORMAL), nullptr);
    TCustomImageList* Images = MakeImages(F.Form.get(), {qRgb(255, 0, 0)});
    TCustomImageList* States = MakeImages(F.Form.get(), {qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(9, 9, 9)});
    F.Tree->SetImages(Images);
    F.Tree->SetStateImages(States);
    EXPECT_EQ(F.Tree->ImageList(TVSIL_NORMAL), Images);
    EXPECT_EQ(F.Tree->ImageList(TVSIL_STATE), States);
    Build(F.Items(), "A,B");
    // Clearing StateImages recreates the window; the tree survives.
    F.Tree->SetStateImages(nullptr);
    EXPECT_EQ(F.Tree->ImageList(TVSIL_STATE), Blank);
    EXPECT_EQ(Dump(F.Items()), "A,B");
    // A destroyed list leaves the property.
    delete Images;
    EXPECT_EQ(F.Tree->Images(), nullptr);
    EXPECT_EQ(F.Tree->ImageList(TVSIL_NORMAL), nullptr);
    // A state list with a single image is emptied at the next paint.
    TCustomImageList* Single = MakeImages(F.Form.get(), {qRgb(1, 2, 3)});
    F.Tree->SetStateImages(Single);
    F.Tree->Render();
    EXPECT_EQ(Single->Count(), 0);
    EXPECT_EQ(F.Tree->ImageList(TVSIL_STATE), Blank);
}

TEST(nvTreeViewWindow, ChangeDelayDefersOnChange)
{
    TTreeFixture F;
    Build(F.Items(), "A,B,C");
    F.Tree->LogEvents();
    Find(F.Items(), "A")->SetSelected(true);
    EXPECT_EQ(F.Tree->TakeLog(), "changing A; change A");
    F.Tree->SetChangeDelay(30);
    EXPECT_EQ(F.Tree->ChangeTimer()->Interval(), 30);
    Find(F.Items(), "B")->SetSelected(true);
    Find(F.Items(), "C")->SetSelected(true);
    EXPECT_EQ(F.Tree->TakeLog(), "changing B; changing C");
    EXPECT_TRUE(F.Tree->ChangeTimer()->Enabled());
    QElapsedTimer Clock;
    Clock.start();
    while (F.Tree->ChangeTimer()->Enabled() && Clock.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(F.Tree->TakeLog(), "change C");
    // Adding a node stops a pending change.
    Find(F.Items(), "A")->SetSelected(true);
    F.Items()->Add(nullptr, "D");
    EXPECT_FALSE(F.Tree->ChangeTimer()->Enabled());
}

TEST(nvTreeViewWindow, DisplayInfoAsksForImages)
{
    TTreeFixture F;
    Build(F.Items(), "A");
    TnvTreeNode* A = F.Items()->GetFirstNode();
    int Asked = 0;
    F.Tree->OnGetImageIndex = [&Asked](TObject*, TnvTreeNode* N) {
        ++Asked;
        N->SetImageIndex(5);
    };
    F.Tree->OnGetSelectedIndex = [](TObject*, TnvTreeNode* N) { N->SetSelectedIndex(6); };
    TVITEM I;
    I.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    I.hItem = A->ItemId();
    NMTVDISPINFO D;
    D.hdr.code = TVN_GETDISPINFO;
    D.item = I;
    D.item.lParam = reinterpret_cast<intptr_t>(A);
    D.item.cchTextMax = 3;
    A->SetText("Long text");
    F.Tree->Notify(D.hdr);
    EXPECT_EQ(D.item.pszText, "Lo");
    EXPECT_EQ(D.item.iImage, 5);
    EXPECT_EQ(D.item.iSelectedImage, 6);
    EXPECT_EQ(Asked, 1);
    // A text set through the native control is stored in the node.
    NMTVDISPINFO Set;
    Set.hdr.code = TVN_SETDISPINFO;
    Set.item.mask = TVIF_TEXT;
    Set.item.pszText = "New";
    Set.item.lParam = reinterpret_cast<intptr_t>(A);
    F.Tree->Notify(Set.hdr);
    EXPECT_EQ(A->Text(), "New");
}

TEST(nvTreeViewWindow, HitTestsAndTheImagelessRule)
{
    TTreeFixture F;
    F.Tree->SetBorderStyle(bsNone);
    F.Tree->SetImages(MakeImages(F.Form.get(), {qRgb(255, 0, 0)}));
    Build(F.Items(), "A,B");
    TnvTreeNode* B = Find(F.Items(), "B");
    // Row 1: button cell [0, 19), image [19, 36), text from 36.
    EXPECT_EQ(F.Tree->GetHitTestInfoAt(25, 20), TnvHitTests(nvhtOnItem) | nvhtOnIcon);
    EXPECT_EQ(F.Tree->GetHitTestInfoAt(40, 20), TnvHitTests(nvhtOnItem) | nvhtOnLabel);
    EXPECT_EQ(F.Tree->GetHitTestInfoAt(5, 20), TnvHitTests(nvhtOnIndent));
    EXPECT_EQ(F.Tree->GetHitTestInfoAt(5, 100), TnvHitTests(nvhtNowhere));
    EXPECT_EQ(F.Tree->GetHitTestInfoAt(5, -3), TnvHitTests(nvhtAbove));
    EXPECT_EQ(F.Tree->GetHitTestInfoAt(500, 20), TnvHitTests(nvhtToRight));
    EXPECT_EQ(F.Tree->GetNodeAt(40, 20), B);
    // Without an image the text stands where the image would be.
    B->SetImageIndex(-2);
    EXPECT_EQ(B->DisplayRect(true).Left, 19);
    EXPECT_EQ(F.Tree->GetHitTestInfoAt(25, 20), TnvHitTests(nvhtOnItem) | nvhtOnLabel);
    EXPECT_EQ(F.Tree->GetHitTestInfoAt(25, 4), TnvHitTests(nvhtOnItem) | nvhtOnIcon);
}

// ---------------------------------------------------------------- painting

TEST(nvTreeViewPaint, ExpandButtonAtItemHeight16)
{
    TPaintFixture F;
    F.Tree->SetOptions(F.Tree->Options() & ~TnvTreeViewOptions(tvoShowLines));
    Build(F.Items(), "A(A1),B");
    ASSERT_EQ(F.Tree->Perform(TVM_GETITEMHEIGHT), 16);
    ASSERT_EQ(F.Tree->Indent(), 19);
    QImage I = F.Render("tree-button-closed");
    // Cell [0, 19), X = 7, Y = 8: the box [3, 4] to [12, 13), 9 x 9.
    EXPECT_EQ(RectText(ColorBox(I, TRect(0, 0, 19, 16), Sys(clBtnShadow))), "3,4,12,13");
    EXPECT_EQ(Rgb(I, 4, 5), Sys(clWhite));
    // The plus: x 5..9 at y 8, and y 6..10 at x 7.
    EXPECT_EQ(RectText(ColorBox(I, TRect(0, 0, 19, 16), Sys(clBlack))), "5,6,10,11");
    EXPECT_EQ(Rgb(I, 5, 7), Sys(clWhite));
    Find(F.Items(), "A")->Expand(false);
    I = F.Render("tree-button-open");
    EXPECT_EQ(RectText(ColorBox(I, TRect(0, 0, 19, 16), Sys(clBlack))), "5,8,10,9");
    // No button without children, nor without tvoShowButtons.
    EXPECT_EQ(ColorBox(I, TRect(0, 32, 19, 48), Sys(clBtnShadow)), TRect());
    F.Tree->SetOptions(F.Tree->Options() & ~TnvTreeViewOptions(tvoShowButtons));
    I = F.Render();
    EXPECT_EQ(ColorBox(I, TRect(0, 0, 19, 16), Sys(clBtnShadow)), TRect());
}

TEST(nvTreeViewPaint, RaisedAndThemedExpandButtons)
{
    TPaintFixture F;
    F.Tree->SetOptions((F.Tree->Options() | tvoExpandButtons3D) & ~TnvTreeViewOptions(tvoShowLines));
    Build(F.Items(), "A(A1)");
    QImage I = F.Render("tree-button-3d");
    // The face is filled with clBtnFace, the push frame one pixel larger.
    EXPECT_EQ(Rgb(I, 5, 5), Sys(clBtnFace));
    EXPECT_EQ(Rgb(I, 7, 8), Sys(clBlack));
    EXPECT_EQ(Rgb(I, 12, 13), Sys(cl3DDkShadow)); // the frame's outer shadow corner
    // On a white tree a clBtnFace line closes the frame above and to the left.
    EXPECT_EQ(Rgb(I, 2, 8), Sys(clBtnFace));
    EXPECT_EQ(Rgb(I, 6, 3), Sys(clBtnFace));
    SetThemeServicesEnabled(true);
    F.Tree->SetOptions(F.Tree->Options() & ~TnvTreeViewOptions(tvoExpandButtons3D));
    const QImage Themed = F.Render("tree-button-themed");
    F.Tree->SetDisableThemes(true);
    const QImage Classic = F.Render();
    SetThemeServicesEnabled(false);
    EXPECT_EQ(RectText(ColorBox(Classic, TRect(0, 0, 19, 16), Sys(clBtnShadow))), "3,4,12,13");
    EXPECT_NE(Themed.copy(0, 0, 19, 16), Classic.copy(0, 0, 19, 16));
}

TEST(nvTreeViewPaint, CheckBoxSizesFollowTheRowHeight)
{
    struct TCase {
        int Height;
        const char* Box;
    };
    for (const TCase& C : {TCase{16, "20,2,33,15"}, TCase{12, "20,1,31,12"}}) {
        SCOPED_TRACE(C.Height);
        TPaintFixture F;
        F.Tree->SetColor(clYellow);
        F.Tree->SetOptions(F.Tree->Options() & ~TnvTreeViewOptions(tvoShowLines));
        Build(F.Items(), "Check,Radio");
        F.Tree->Perform(TVM_SETITEMHEIGHT, C.Height);
        Find(F.Items(), "Check")->SetCheckboxType(nvctCheckbox);
        Find(F.Items(), "Radio")->SetCheckboxType(nvctRadioGroup);
        Find(F.Items(), "Radio")->SetChecked(true);
        const QImage I = F.Render(C.Height == 16 ? "tree-checks-16" : "tree-checks-12");
        EXPECT_EQ(RectText(OtherBox(I, TRect(19, 0, 35, C.Height), Sys(clYellow))), C.Box);
        // The radio button of the next row, checked: its dot in the middle.
        const TRect Radio = OtherBox(I, TRect(19, C.Height, 35, 2 * C.Height), Sys(clYellow));
        EXPECT_EQ(Radio.Width(), C.Height == 16 ? 13 : 11);
        const int MX = (Radio.Left + Radio.Right) / 2, MY = (Radio.Top + Radio.Bottom) / 2;
        EXPECT_EQ(Rgb(I, MX, MY), Sys(clBlack));
    }
}

TEST(nvTreeViewPaint, CheckMarksFlatAndGrayed)
{
    TPaintFixture F;
    F.Tree->SetOptions(F.Tree->Options() & ~TnvTreeViewOptions(tvoShowLines));
    Build(F.Items(), "On,Off,Gray");
    for (TnvTreeNode* N = F.Items()->GetFirstNode(); N; N = N->GetNextSibling())
        N->SetCheckboxType(nvctCheckbox);
    Find(F.Items(), "On")->SetChecked(true);
    Find(F.Items(), "Gray")->SetChecked(true);
    Find(F.Items(), "Gray")->SetGrayed(true);
    QImage I = F.Render("tree-check-marks");
    auto Dark = [&I](int Row) {
        int N = 0;
        for (int Y = Row * 16 + 4; Y < Row * 16 + 13; ++Y)
            for (int X = 22; X < 31; ++X)
                N += Rgb(I, X, Y) == Sys(clBlack);
        return N;
    };
    EXPECT_GT(Dark(0), 5);
    EXPECT_EQ(Dark(1), 0);
    EXPECT_EQ(Dark(2), 0); // grayed: an inactive mark
    EXPECT_NE(Rgb(I, 26, 32 + 8), Rgb(I, 26, 16 + 8));
    F.Tree->SetOptions(F.Tree->Options() | tvoFlatCheckBoxes);
    const QImage Flat = F.Render("tree-check-flat");
    EXPECT_NE(Flat.copy(19, 0, 16, 16), I.copy(19, 0, 16, 16));
}

TEST(nvTreeViewPaint, TreeLinesStandOnEvenRows)
{
    TPaintFixture F;
    Build(F.Items(), "A(A1,A2),B");
    F.Tree->FullExpand();
    const QImage I = F.Render("tree-lines");
    const QRgb Line = Sys(clBtnShadow);
    // The root column X = 7: from A's centre down through B's centre.
    EXPECT_EQ(Rgb(I, 7, 16), Line);
    EXPECT_NE(Rgb(I, 7, 17), Line);
    EXPECT_EQ(Rgb(I, 7, 54), Line);
    EXPECT_NE(Rgb(I, 7, 2), Line); // above the first node's centre
    EXPECT_NE(Rgb(I, 7, 60), Line); // below the last node's centre
    // A1's column X = 26 and its horizontal stub at y = 24.
    EXPECT_EQ(Rgb(I, 26, 20), Line);
    EXPECT_EQ(Rgb(I, 30, 24), Line);
    EXPECT_NE(Rgb(I, 31, 24), Line);
    F.Tree->SetLineColor(clRed);
    EXPECT_EQ(Rgb(F.Render(), 26, 20), Sys(clRed));
}

TEST(nvTreeViewPaint, SelectionColoursFocusedAndNot)
{
    struct TCase {
        const char* Name;
        bool Focus;
        bool HideSelection;
        TColor Inactive;
        TColor Expected;
    };
    const TCase Cases[] = {
        {"focused", true, true, clBtnFace, clHighlight},
        {"unfocused, hidden", false, true, clBtnFace, clWindow},
        {"unfocused, shown", false, false, clBtnFace, clBtnFace},
        {"unfocused, own colour", false, false, clAqua, clAqua},
        {"unfocused, same as the tree", false, false, clWindow, clGray},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TPaintFixture F;
        Build(F.Items(), "Alpha,Beta");
        TnvTreeViewOptions O = F.Tree->Options();
        if (!C.HideSelection)
            O &= ~TnvTreeViewOptions(tvoHideSelection);
        F.Tree->SetOptions(O);
        F.Tree->SetInactiveFocusColor(C.Inactive);
        Find(F.Items(), "Beta")->SetSelected(true);
        if (C.Focus)
            F.Focus();
        const TRect T = F.TextRect("Beta");
        const QImage I = F.Render();
        EXPECT_EQ(Rgb(I, T.Left + 1, T.Top + 3), Sys(C.Expected));
        EXPECT_EQ(Rgb(I, T.Left + 1, 3), Sys(clWindow)); // Alpha is not selected
    }
}

TEST(nvTreeViewPaint, BoldTextWidensTheBackground)
{
    TPaintFixture F;
    Build(F.Items(), "Wider text here,Other");
    TnvTreeNode* N = F.Items()->GetFirstNode();
    N->SetSelected(true);
    F.Focus();
    const TRect T = N->DisplayRect(true);
    const QImage Plain = F.Render();
    F.Tree->OnCalcNodeAttributes = [&F](TObject*, TnvTreeNode* Node, TnvItemStates) {
        if (!Node->GetPrevSibling())
            F.Tree->Canvas()->Font()->SetStyle(TFontStyles(fsBold));
    };
    const QImage Bold = F.Render("tree-bold");
    TCanvas Measure;
    Measure.Font()->Assign(F.Tree->Font());
    Measure.Font()->SetStyle(TFontStyles(fsBold));
    const int W = Measure.TextWidth("Wider text here");
    const int Y = T.Top + T.Height() / 2;
    auto HighlightRight = [&](const QImage& I) {
        int R = -1;
        for (int X = T.Left; X < I.width(); ++X)
            if (Rgb(I, X, Y) == Sys(clHighlight))
                R = X + 1;
        return R;
    };
    // A framed box (focused): the highlight ends one pixel inside B.Right.
    EXPECT_EQ(HighlightRight(Plain), T.Right - 1);
    EXPECT_EQ(HighlightRight(Bold), T.Left + W + 4 - 1);
    EXPECT_GT(HighlightRight(Bold), HighlightRight(Plain));
}

TEST(nvTreeViewPaint, AddressLookAndHotText)
{
    TPaintFixture F;
    F.Tree->SetOptions(F.Tree->Options() | tvoAutoURL);
    Build(F.Items(), "Site,Plain");
    TnvTreeNode* Site = F.Items()->GetFirstNode();
    Site->SetStringData("http://example.org");
    F.Focus();
    auto Underline = [](const QImage& I, const TRect& T, QRgb Color) {
        // A run of the colour at least as long as most of the text, on one row.
        for (int Y = T.Top; Y < T.Bottom; ++Y) {
            int Run = 0, Best = 0;
            for (int X = T.Left; X < T.Right; ++X) {
                Run = Rgb(I, X, Y) == Color ? Run + 1 : 0;
                Best = std::max(Best, Run);
            }
            if (Best >= T.Width() - 8)
                return true;
        }
        return false;
    };
    Find(F.Items(), "Plain")->SetSelected(true);
    QImage I = F.Render("tree-url");
    const TRect T = Site->DisplayRect(true);
    EXPECT_TRUE(Underline(I, T, Sys(clBlue)));
    EXPECT_FALSE(Underline(I, F.TextRect("Plain"), Sys(clBlue)));
    // Selected in a focused control: underlined in the highlight text colour.
    Site->SetSelected(true);
    I = F.Render("tree-url-selected");
    EXPECT_FALSE(Underline(I, T, Sys(clBlue)));
    EXPECT_TRUE(Underline(I, T, Sys(clHighlightText)));
}

TEST(nvTreeViewPaint, ImagesBlendingOverlaysAndRowSelect)
{
    TPaintFixture F;
    F.Tree->SetOptions(F.Tree->Options() & ~TnvTreeViewOptions(tvoShowLines));
    TCustomImageList* Images = MakeImages(F.Form.get(), {qRgb(0, 200, 0), qRgb(0, 0, 200), qRgb(200, 0, 200)});
    Images->Overlay(2, 0);
    F.Tree->SetImages(Images);
    Build(F.Items(), "Plain,Chosen,Cut,Over,None");
    Find(F.Items(), "Chosen")->SetSelectedIndex(1);
    Find(F.Items(), "Chosen")->SetSelected(true);
    Find(F.Items(), "Cut")->SetCut(true);
    Find(F.Items(), "Over")->SetOverlayIndex(0);
    Find(F.Items(), "None")->SetImageIndex(-2);
    F.Focus();
    QImage I = F.Render("tree-images");
    // Image column [19, 35), vertically centred in 16-pixel rows.
    EXPECT_EQ(Rgb(I, 25, 8), Pix(0, 200, 0));
    EXPECT_EQ(Rgb(I, 25, 16 + 8), Pix(0, 0, 200)); // the selected image
    EXPECT_EQ(Rgb(I, 25, 32 + 8), Pix(127, 227, 127)); // cut: half white
    EXPECT_EQ(Rgb(I, 25, 48 + 8), Pix(200, 0, 200)); // the overlay on top
    EXPECT_EQ(Rgb(I, 19, 48), Sys(clWindow)); // the transparent corner stays
    // No image, and the text moved to its place.
    EXPECT_EQ(Rgb(I, 25, 64 + 8), Sys(clWindow));
    EXPECT_EQ(F.TextRect("None").Left, 19);
    // A blend colour tints the selected image, unless the row is selected whole.
    Images->SetBlendColor(clRed);
    I = F.Render("tree-images-blend");
    EXPECT_EQ(Rgb(I, 25, 16 + 8), Pix(127, 0, 100));
    F.Tree->SetOptions(F.Tree->Options() | tvoRowSelect);
    I = F.Render("tree-rowselect");
    EXPECT_EQ(Rgb(I, 25, 16 + 8), Pix(0, 0, 200));
    // The highlight runs to the control width less 4, and from 4 left of the image.
    EXPECT_EQ(Rgb(I, F.Tree->Width() - 6, 16 + 8), Sys(clHighlight));
    EXPECT_EQ(Rgb(I, 17, 16 + 8), Sys(clHighlight));
    EXPECT_EQ(Rgb(I, 16, 16 + 8), Sys(clWindow)); // the box's frame in the tree colour
}

TEST(nvTreeViewPaint, DrawTextEventAndFocusRectangle)
{
    TPaintFixture F;
    Build(F.Items(), "Text,Other");
    TnvTreeNode* N = F.Items()->GetFirstNode();
    N->SetSelected(true);
    F.Focus();
    const TRect T = N->DisplayRect(true);
    QImage I = F.Render("tree-focus");
    // The focus rectangle: dotted, xor over the box's window-coloured frame.
    EXPECT_NE(Rgb(I, T.Left, T.Top), Sys(clHighlight));
    EXPECT_NE(Rgb(I, T.Left, T.Top), Rgb(I, T.Left + 1, T.Top));
    TRect Seen;
    F.Tree->OnDrawText = [&Seen](TObject*, TnvTreeNode* Node, const TRect& R, TnvItemStates, bool& Default) {
        if (!Node->GetPrevSibling()) {
            Seen = R;
            Default = false;
        }
    };
    I = F.Render();
    EXPECT_EQ(RectText(Seen), RectText(TRect(T.Left + 2, T.Top + 1, T.Right - 1, T.Bottom - 1)));
    // No text pixels in the highlight.
    EXPECT_EQ(ColorBox(I, TRect(T.Left + 2, T.Top + 2, T.Right - 2, T.Bottom - 2), Sys(clHighlightText)), TRect());
}

TEST(nvTreeViewPaint, PaintingVisitsOnlyTheRowsShown)
{
    TPaintFixture F(200, 100);
    for (int K = 0; K < 2000; ++K)
        F.Items()->Add(nullptr, "N" + std::to_string(K));
    F.Tree->SetTopItem(F.Items()->Item(1500));
    F.Render();
    EXPECT_EQ(F.Tree->PaintedItems(), 7);
    EXPECT_EQ(F.Tree->PaintIndent(), 19);
}


TEST(nvTreeViewPaint, ThemedCheckBoxesAndRadioButtons)
{
    TPaintFixture F;
    F.Tree->SetOptions(F.Tree->Options() & ~TnvTreeViewOptions(tvoShowLines));
    Build(F.Items(), "Check,Radio");
    Find(F.Items(), "Check")->SetCheckboxType(nvctCheckbox);
    Find(F.Items(), "Check")->SetChecked(true);
    Find(F.Items(), "Radio")->SetCheckboxType(nvctRadioGroup);
    const QImage Classic = F.Render();
    SetThemeServicesEnabled(true);
    const QImage Themed = F.Render("tree-checks-themed");
    SetThemeServicesEnabled(false);
    for (int Row : {0, 1}) {
        const QImage A = Classic.copy(19, Row * 16, 16, 16);
        const QImage B = Themed.copy(19, Row * 16, 16, 16);
        EXPECT_NE(A, B) << Row;
        EXPECT_NE(OtherBox(Themed, TRect(19, Row * 16, 35, Row * 16 + 16), Sys(clWindow)), TRect()) << Row;
    }
}

// ---------------------------------------------------------------- input

TEST(nvTreeViewInput, ClicksAndSpaceToggleCheckBoxes)
{
    TPaintFixture F;
    Build(F.Items(), "Check,R1,R2");
    TnvTreeNode* Check = Find(F.Items(), "Check");
    Check->SetCheckboxType(nvctCheckbox);
    Find(F.Items(), "R1")->SetCheckboxType(nvctRadioGroup);
    Find(F.Items(), "R2")->SetCheckboxType(nvctRadioGroup);
    Find(F.Items(), "R1")->SetChecked(true);
    std::vector<String> Downs;
    F.Tree->OnMouseDown = [&Downs](TObject*, TnvTreeNode* N, TMouseButton, TShiftState, int, int) {
        Downs.push_back(N ? N->Text() : "nil");
    };
    auto Click = [&F](int X, int Y) {
        F.Tree->Perform(WM_LBUTTONDOWN, TShiftState(ssLeft).toInt(), PointToLParam(X, Y));
        F.Tree->Perform(WM_LBUTTONUP, 0, PointToLParam(X, Y));
    };
    // The state icon of row 0: [19, 35).
    Click(26, 8);
    EXPECT_TRUE(Check->Checked());
    Click(26, 8);
    EXPECT_FALSE(Check->Checked());
    // Three states: unchecked, checked, checked and grayed, unchecked.
    F.Tree->SetOptions(F.Tree->Options() | tvo3StateCheckbox);
    String States;
    for (int K = 0; K < 3; ++K) {
        Click(26, 8);
        States += Check->Checked() ? (Check->Grayed() ? "g" : "x") : "-";
    }
    EXPECT_EQ(States, "xg-");
    // A radio button: checked, its sibling unchecked; a click on the text does not toggle.
    Click(26, 40);
    EXPECT_TRUE(Find(F.Items(), "R2")->Checked());
    EXPECT_FALSE(Find(F.Items(), "R1")->Checked());
    Click(50, 24);
    EXPECT_FALSE(Find(F.Items(), "R1")->Checked());
    EXPECT_EQ(F.Tree->Selected()->Text(), "R1");
    EXPECT_EQ(Downs.back(), "R1");
    // The space key toggles the selected node; ReadOnly keeps the marks.
    Check->SetSelected(true);
    F.Tree->Perform(WM_KEYDOWN, VK_SPACE);
    EXPECT_TRUE(Check->Checked());
    F.Tree->SetReadOnly(true);
    F.Tree->Perform(WM_KEYDOWN, VK_SPACE);
    Click(26, 8);
    EXPECT_TRUE(Check->Checked());
    EXPECT_FALSE(Check->Grayed());
}

// Handlers of the control's own input paths that delete the node at hand or
// other nodes of the walk: the control stops touching what went.
TEST(nvTreeViewInput, HandlersThatDeleteNodes)
{
    auto Click = [](TTreeFixture& F, int X, int Y) {
        F.Tree->Perform(WM_LBUTTONDOWN, TShiftState(ssLeft).toInt(), PointToLParam(X, Y));
        F.Tree->Perform(WM_LBUTTONUP, 0, PointToLParam(X, Y));
    };
    struct TCase {
        const char* Name;
        std::function<void(TTreeFixture&)> Run;
        const char* Expected;
    };
    const std::vector<TCase> Cases = {
        {"mouse-down handler deletes the pressed node",
         [&](TTreeFixture& F) {
             Find(F.Items(), "A")->SetCheckboxType(nvctCheckbox);
             F.Tree->OnMouseDown = [](TObject*, TnvTreeNode* N, TMouseButton, TShiftState, int, int) {
                 if (N)
                     N->Delete();
             };
             Click(F, 26, 8);
         },
         "B,C"},
        {"toggle handler of a clicked check box deletes it",
         [&](TTreeFixture& F) {
             Find(F.Items(), "A")->SetCheckboxType(nvctCheckbox);
             F.Tree->OnToggleCheckbox = [](TObject*, TnvTreeNode* N) { N->Delete(); };
             Click(F, 26, 8);
         },
         "B,C"},
        {"edited handler deletes the edited node",
         [&](TTreeFixture& F) {
             F.Tree->OnEdited = [](TObject*, TnvTreeNode* N, String&) { N->Delete(); };
             TVITEM Item;
             Item.mask = TVIF_TEXT;
             Item.hItem = Find(F.Items(), "B")->ItemId();
             Item.pszText = "New";
             F.Tree->Edit(Item);
         },
         "A,C"},
        {"unselecting all deletes a later multi-selected node",
         [&](TTreeFixture& F) {
             F.Tree->MultiSelectAttributes()->SetEnabled(true);
             for (const char* N : {"A", "B", "C"})
                 F.Tree->SetMultiSelected(Find(F.Items(), N), true, false);
             F.Tree->OnToggleCheckbox = [&F](TObject*, TnvTreeNode* N) {
                 if (N->Text() == "A")
                     Find(F.Items(), "C")->Delete();
             };
             F.Tree->UnselectAll(nullptr);
             EXPECT_TRUE(F.Tree->MultiSelection().empty());
             EXPECT_FALSE(Find(F.Items(), "B")->MultiSelected());
         },
         "A,B"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        const int Live = TCountedNode::Live;
        {
            TTreeFixture F;
            Build(F.Items(), "A,B,C");
            C.Run(F);
            EXPECT_EQ(Dump(F.Items()), C.Expected);
            EXPECT_EQ(F.Items()->Count(), 2);
            F.Tree->OnToggleCheckbox = nullptr;
        }
        EXPECT_EQ(TCountedNode::Live, Live);
    }
}

TEST(nvTreeViewInput, MultiSelectAttributes)
{
    TTreeFixture F;
    Build(F.Items(), "A(A1,A2),B");
    TnvTVMultiSelectAttributes* M = F.Tree->MultiSelectAttributes();
    EXPECT_TRUE(M->AutoUnselect());
    EXPECT_FALSE(M->Enabled());
    EXPECT_EQ(M->MultiSelectLevel(), 0);
    EXPECT_TRUE(M->MultiSelectCheckbox());
    M->SetEnabled(true);
    TnvTreeNode* A = Find(F.Items(), "A");
    TnvTreeNode* B = Find(F.Items(), "B");
    EXPECT_TRUE(F.Tree->HasMultiSelectCheckbox(A));
    EXPECT_FALSE(F.Tree->HasMultiSelectCheckbox(Find(F.Items(), "A1")));
    // With the check box the multi-selection is the check mark.
    F.Tree->SetMultiSelected(A, true, true);
    F.Tree->SetMultiSelected(B, true, true);
    F.Tree->SetMultiSelected(Find(F.Items(), "A1"), true, true); // not a multi-select level
    EXPECT_TRUE(A->Checked());
    EXPECT_EQ(F.Tree->MultiSelection().size(), 2u);
    B->SetChecked(false);
    EXPECT_FALSE(B->MultiSelected());
    F.Tree->UnselectAll(nullptr);
    EXPECT_FALSE(A->MultiSelected());
    EXPECT_FALSE(A->Checked());
    // A painted multi-select node reserves its check box; switching off frees it.
    F.Tree->Render();
    EXPECT_EQ(A->StateIndex(), 1);
    M->SetEnabled(false);
    EXPECT_EQ(A->StateIndex(), -1);
    // Assign copies Enabled, MultiSelectCheckbox and MultiSelectLevel.
    TnvTVMultiSelectAttributes Other;
    Other.SetEnabled(true);
    Other.SetMultiSelectLevel(-1);
    Other.SetMultiSelectCheckbox(false);
    Other.SetAutoUnselect(false);
    F.Tree->SetMultiSelectAttributes(&Other);
    EXPECT_TRUE(M->Enabled());
    EXPECT_EQ(M->MultiSelectLevel(), -1);
    EXPECT_FALSE(M->MultiSelectCheckbox());
    EXPECT_TRUE(M->AutoUnselect());
    // A deleted node leaves the multi-selection.
    F.Tree->SetMultiSelected(B, true, false);
    B->Delete();
    EXPECT_TRUE(F.Tree->MultiSelection().empty());
}

// ---------------------------------------------------------------- a look

TEST(nvTreeViewPaint, Screenshot)
{
    TPaintFixture F(260, 230);
    F.Tree->SetBorderStyle(bsSingle);
    TCustomImageList* Images = MakeImages(F.Form.get(), {qRgb(200, 60, 60), qRgb(60, 160, 60), qRgb(60, 60, 200)});
    F.Tree->SetImages(Images);
    Build(F.Items(), "Settings(Sound(Mute,Loud),Colour(Red,Green,Blue),Checks(First,Second)),Plain(Leaf),Links");
    for (const char* N : {"Mute", "Loud"})
        Find(F.Items(), N)->SetCheckboxType(nvctRadioGroup);
    Find(F.Items(), "Loud")->SetChecked(true);
    for (const char* N : {"Red", "Green", "Blue"})
        Find(F.Items(), N)->SetCheckboxType(nvctRadioGroup);
    Find(F.Items(), "Green")->SetChecked(true);
    Find(F.Items(), "Green")->SetGrayed(true);
    for (const char* N : {"First", "Second"})
        Find(F.Items(), N)->SetCheckboxType(nvctCheckbox);
    Find(F.Items(), "First")->SetChecked(true);
    for (TnvTreeNode* N = F.Items()->GetFirstNode(); N; N = N->GetNext())
        N->SetImageIndex(N->Level() % 3);
    Find(F.Items(), "Links")->SetStringData("http://example.org");
    F.Tree->SetOptions(F.Tree->Options() | tvoAutoURL);
    F.Tree->FullExpand();
    Find(F.Items(), "Plain")->Collapse(false);
    Find(F.Items(), "Colour")->SetSelected(true);
    F.Focus();
    const QImage I = F.Render("tree-screenshot");
    EXPECT_EQ(I.width(), 260);
}

} // namespace
