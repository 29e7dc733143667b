#include "nvComboTestClasses.h"

#include "Canvas.h"
#include "nvframe.h"

namespace {

String MessageName(unsigned Msg)
{
    switch (Msg) {
    case WM_LBUTTONDOWN: return "down";
    case WM_LBUTTONUP: return "up";
    case WM_MOUSEMOVE: return "move";
    default: return "msg";
    }
}

} // namespace

// ---------------------------------------------------------------- TTestDropList

TTestDropList::TTestDropList(TTestCombo* AOwner) : TCustomControl(AOwner), Combo(AOwner)
{
    FColor = clWindow;
}

void TTestDropList::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE: {
        const TPoint P = LParamToPoint(Message.LParam);
        if (Message.Msg != WM_MOUSEMOVE)
            Combo->Log.push_back("list " + MessageName(Message.Msg) + " " + std::to_string(P.X) + "," +
                                 std::to_string(P.Y));
        const bool Inside = ClientRect().Contains(P);
        if (Message.Msg == WM_LBUTTONDOWN && !Inside) {
            Combo->CloseIfMouseOutside();
        } else if (Message.Msg == WM_MOUSEMOVE && Inside) {
            ItemIndex = std::min(P.Y / ItemHeight, static_cast<int>(Combo->Items.size()) - 1);
        } else if (Message.Msg == WM_LBUTTONUP && Inside) {
            Combo->ChooseAt(P.Y);
        }
        return;
    }
    default: break;
    }
    TCustomControl::WndProc(Message);
}

void TTestDropList::Paint()
{
    TCanvas* C = Canvas();
    for (int I = 0; I < static_cast<int>(Combo->Items.size()); ++I) {
        const TRect R(0, I * ItemHeight, Width(), (I + 1) * ItemHeight);
        FillSolidRect(C, R, I == ItemIndex ? clHighlight : clWindow);
        C->Brush()->SetStyle(bsClear);
        C->TextOut(2, R.Top + 1, Combo->Items[I]);
    }
}

// ---------------------------------------------------------------- TTestCombo

TTestCombo::TTestCombo(TComponent* AOwner) : TnvCustomCombo(AOwner)
{
    Panel = new TTestDropPanel(this);
    List = new TTestDropList(this);
    List->SetParent(Panel);
    List->SetAlign(alClient);
    AttachDropDownContainer(Panel);
}

TTestCombo::~TTestCombo() = default;

void TTestCombo::DropDown()
{
    Log.push_back("dropdown");
    InitialText = Text();
    List->ItemIndex = -1;
    for (int I = 0; I < static_cast<int>(Items.size()); ++I)
        if (Items[I] == Text())
            List->ItemIndex = I;
    TnvCustomCombo::DropDown();
}

void TTestCombo::CloseUp(bool Accept)
{
    const bool Was = IsDroppedDown();
    TnvCustomCombo::CloseUp(Accept);
    if (!Was)
        return;
    if (Accept && List->ItemIndex >= 0 && CanEdit()) {
        SetText(Items[List->ItemIndex]);
        SetModified(true);
    } else if (!Accept) {
        SetText(InitialText);
    }
    Log.push_back(Accept ? "closeup accept" : "closeup");
    DoCloseUp(Accept);
}

void TTestCombo::ChooseAt(int Y)
{
    List->ItemIndex = std::min(Y / TTestDropList::ItemHeight, static_cast<int>(Items.size()) - 1);
    CloseUp(true);
}

void TTestCombo::KeyDown(Word& Key, TShiftState Shift)
{
    TnvCustomCombo::KeyDown(Key, Shift);
    // The list follows the arrow keys while it is open.
    if (Key != 0 && IsDroppedDown() && (Key == VK_UP || Key == VK_DOWN) && !Items.empty()) {
        const int N = static_cast<int>(Items.size());
        List->ItemIndex = std::clamp(List->ItemIndex + (Key == VK_DOWN ? 1 : -1), 0, N - 1);
        Log.push_back("key " + std::to_string(List->ItemIndex));
        Key = 0;
    }
}

void TTestCombo::PaintText(TCanvas* Canvas, const TRect& Rect, const String& Text, bool, bool)
{
    int X = Rect.Left + GetLeftIndent() + 2;
    int Y = Rect.Top + 2;
    if (Frame()->IsActive())
        Frame()->GetTextOffsets(X, Y, ComboFocused());
    TColor FontColor = Font()->Color();
    if (Frame()->NonFocusFontColor() != clNone)
        FontColor = Frame()->NonFocusFontColor();
    if (Frame()->TransparentNow() && Frame()->NonFocusTransparentFontColor() != clNone)
        FontColor = Frame()->NonFocusTransparentFontColor();
    Canvas->Font()->SetColor(FontColor);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->TextOut(X, Y, Text);
}
