#include "Controls.h"
#include "Menus.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>

#include <algorithm>

#include "Forms.h"
#include "TypInfo.h"

// ---------------------------------------------------------------- cursors

namespace {

struct TCursorName {
    TCursor Cursor;
    const char* Name;
    Qt::CursorShape Shape;
};

const TCursorName CursorNames[] = {
    {crDefault, "crDefault", Qt::ArrowCursor},     {crNone, "crNone", Qt::BlankCursor},
    {crArrow, "crArrow", Qt::ArrowCursor},         {crCross, "crCross", Qt::CrossCursor},
    {crIBeam, "crIBeam", Qt::IBeamCursor},         {crSizeNESW, "crSizeNESW", Qt::SizeBDiagCursor},
    {crSizeNS, "crSizeNS", Qt::SizeVerCursor},     {crSizeNWSE, "crSizeNWSE", Qt::SizeFDiagCursor},
    {crSizeWE, "crSizeWE", Qt::SizeHorCursor},     {crUpArrow, "crUpArrow", Qt::UpArrowCursor},
    {crHourGlass, "crHourGlass", Qt::WaitCursor},  {crDrag, "crDrag", Qt::DragMoveCursor},
    {crNoDrop, "crNoDrop", Qt::ForbiddenCursor},   {crHSplit, "crHSplit", Qt::SplitHCursor},
    {crVSplit, "crVSplit", Qt::SplitVCursor},      {crMultiDrag, "crMultiDrag", Qt::DragCopyCursor},
    {crSQLWait, "crSQLWait", Qt::WaitCursor},      {crNo, "crNo", Qt::ForbiddenCursor},
    {crAppStart, "crAppStart", Qt::BusyCursor},    {crHelp, "crHelp", Qt::WhatsThisCursor},
    {crHandPoint, "crHandPoint", Qt::PointingHandCursor}, {crSizeAll, "crSizeAll", Qt::SizeAllCursor},
};

} // namespace

Qt::CursorShape CursorToQt(TCursor Cursor)
{
    for (const TCursorName& C : CursorNames)
        if (C.Cursor == Cursor)
            return C.Shape;
    return Qt::ArrowCursor;
}

bool CursorToIdent(int64_t Cursor, String& Ident)
{
    for (const TCursorName& C : CursorNames)
        if (C.Cursor == Cursor) {
            Ident = C.Name;
            return true;
        }
    return false;
}

bool IdentToCursor(const String& Ident, int64_t& Cursor)
{
    for (const TCursorName& C : CursorNames)
        if (SameText(Ident, C.Name)) {
            Cursor = C.Cursor;
            return true;
        }
    return false;
}

// ---------------------------------------------------------------- messages and keys

unsigned RegisterWindowMessage(const String& Name)
{
    static std::map<String, unsigned> Messages;
    auto [It, Added] = Messages.try_emplace(LowerCase(Name), 0xC000u + static_cast<unsigned>(Messages.size()));
    return It->second;
}

namespace {

struct TKeyPair {
    int Qt;
    Word Vk;
};

const TKeyPair KeyPairs[] = {
    {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB},        {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Clear, VK_CLEAR},    {Qt::Key_Return, VK_RETURN},  {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Shift, VK_SHIFT},    {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU},
    {Qt::Key_Pause, VK_PAUSE},    {Qt::Key_CapsLock, VK_CAPITAL}, {Qt::Key_Escape, VK_ESCAPE},
    {Qt::Key_Space, VK_SPACE},    {Qt::Key_PageUp, VK_PRIOR},   {Qt::Key_PageDown, VK_NEXT},
    {Qt::Key_End, VK_END},        {Qt::Key_Home, VK_HOME},      {Qt::Key_Left, VK_LEFT},
    {Qt::Key_Up, VK_UP},          {Qt::Key_Right, VK_RIGHT},    {Qt::Key_Down, VK_DOWN},
    {Qt::Key_Insert, VK_INSERT},  {Qt::Key_Delete, VK_DELETE},  {Qt::Key_Help, VK_HELP},
    {Qt::Key_Asterisk, VK_MULTIPLY}, {Qt::Key_NumLock, VK_NUMLOCK}, {Qt::Key_ScrollLock, VK_SCROLL},
    {Qt::Key_Semicolon, VK_OEM_1}, {Qt::Key_Colon, VK_OEM_1},   {Qt::Key_Equal, VK_OEM_PLUS},
    {Qt::Key_Plus, VK_OEM_PLUS},  {Qt::Key_Comma, VK_OEM_COMMA}, {Qt::Key_Less, VK_OEM_COMMA},
    {Qt::Key_Minus, VK_OEM_MINUS}, {Qt::Key_Underscore, VK_OEM_MINUS}, {Qt::Key_Period, VK_OEM_PERIOD},
    {Qt::Key_Greater, VK_OEM_PERIOD}, {Qt::Key_Slash, VK_OEM_2}, {Qt::Key_Question, VK_OEM_2},
    {Qt::Key_QuoteLeft, VK_OEM_3}, {Qt::Key_AsciiTilde, VK_OEM_3}, {Qt::Key_BracketLeft, VK_OEM_4},
    {Qt::Key_BraceLeft, VK_OEM_4}, {Qt::Key_Backslash, VK_OEM_5}, {Qt::Key_Bar, VK_OEM_5},
    {Qt::Key_BracketRight, VK_OEM_6}, {Qt::Key_BraceRight, VK_OEM_6}, {Qt::Key_Apostrophe, VK_OEM_7},
    {Qt::Key_QuoteDbl, VK_OEM_7},
    // The shifted digits of the main keyboard are their digit keys with Shift.
    {Qt::Key_Exclam, '1'}, {Qt::Key_At, '2'}, {Qt::Key_NumberSign, '3'}, {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'}, {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'}, {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
};

// The keys of the keypad that differ from those of the main keyboard.
const TKeyPair KeypadPairs[] = {
    {Qt::Key_Asterisk, VK_MULTIPLY}, {Qt::Key_Plus, VK_ADD},   {Qt::Key_Minus, VK_SUBTRACT},
    {Qt::Key_Slash, VK_DIVIDE},      {Qt::Key_Period, VK_DECIMAL}, {Qt::Key_Comma, VK_DECIMAL},
};

struct TKeyboardState {
    bool CapsLock = false;
    bool NumLock = false;
    bool ScrollLock = false;
    bool Insert = false; // overwrite mode: Insert toggles like the lock keys
};
TKeyboardState& KeyboardState()
{
    static TKeyboardState S;
    return S;
}

} // namespace

Word QtKeyToVirtualKey(int QtKey, Qt::KeyboardModifiers Modifiers)
{
    if (Modifiers & Qt::KeypadModifier) {
        if (QtKey >= Qt::Key_0 && QtKey <= Qt::Key_9)
            return static_cast<Word>(VK_NUMPAD0 + (QtKey - Qt::Key_0));
        for (const TKeyPair& P : KeypadPairs)
            if (P.Qt == QtKey)
                return P.Vk;
    }
    if (QtKey >= Qt::Key_A && QtKey <= Qt::Key_Z)
        return static_cast<Word>('A' + (QtKey - Qt::Key_A));
    if (QtKey >= Qt::Key_0 && QtKey <= Qt::Key_9)
        return static_cast<Word>('0' + (QtKey - Qt::Key_0));
    if (QtKey >= Qt::Key_F1 && QtKey <= Qt::Key_F24)
        return static_cast<Word>(VK_F1 + (QtKey - Qt::Key_F1));
    // A "+" typed without Shift has a key of its own on the layout in use:
    // it is the add key, so that it reads as "+" and not as the "=" key.
    if (QtKey == Qt::Key_Plus && !(Modifiers & Qt::ShiftModifier))
        return VK_ADD;
    for (const TKeyPair& P : KeyPairs)
        if (P.Qt == QtKey)
            return P.Vk;
    return 0;
}

int VirtualKeyToQtKey(Word Key)
{
    if (Key >= 'A' && Key <= 'Z')
        return Qt::Key_A + (Key - 'A');
    if (Key >= '0' && Key <= '9')
        return Qt::Key_0 + (Key - '0');
    if (Key >= VK_F1 && Key < VK_F1 + 24)
        return Qt::Key_F1 + (Key - VK_F1);
    if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD0 + 9)
        return Qt::Key_0 + (Key - VK_NUMPAD0);
    for (const TKeyPair& P : KeypadPairs)
        if (P.Vk == Key)
            return P.Qt;
    for (const TKeyPair& P : KeyPairs)
        if (P.Vk == Key)
            return P.Qt;
    return 0;
}

TShiftState ShiftStateFromQt(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons)
{
    TShiftState S;
    if (Modifiers & Qt::ShiftModifier)
        S |= ssShift;
    if (Modifiers & Qt::AltModifier)
        S |= ssAlt;
    if (Modifiers & Qt::ControlModifier)
        S |= ssCtrl;
    if (Buttons & Qt::LeftButton)
        S |= ssLeft;
    if (Buttons & Qt::RightButton)
        S |= ssRight;
    if (Buttons & Qt::MiddleButton)
        S |= ssMiddle;
    return S;
}

TShiftState KeyboardShiftState()
{
    return ShiftStateFromQt(QGuiApplication::queryKeyboardModifiers(), QGuiApplication::mouseButtons());
}

bool GetKeyDown(Word Key)
{
    const TShiftState S = KeyboardShiftState();
    switch (Key) {
    case VK_SHIFT: return S.testFlag(ssShift);
    case VK_CONTROL: return S.testFlag(ssCtrl);
    case VK_MENU: return S.testFlag(ssAlt);
    case VK_LBUTTON: return S.testFlag(ssLeft);
    case VK_RBUTTON: return S.testFlag(ssRight);
    case VK_MBUTTON: return S.testFlag(ssMiddle);
    default: return false;
    }
}

bool GetKeyToggled(Word Key)
{
    switch (Key) {
    case VK_CAPITAL: return KeyboardState().CapsLock;
    case VK_NUMLOCK: return KeyboardState().NumLock;
    case VK_SCROLL: return KeyboardState().ScrollLock;
    case VK_INSERT: return KeyboardState().Insert;
    default: return false;
    }
}

// ---------------------------------------------------------------- hooks

namespace {

struct THooks {
    int NextHandle = 1;
    std::vector<std::pair<int, std::function<bool(const TMouseHookInfo&)>>> Mouse;
    std::vector<std::pair<int, std::function<bool(const TKeyHookInfo&)>>> Keyboard;
};
THooks& Hooks()
{
    static THooks H;
    return H;
}

unsigned MouseMessage(const QMouseEvent* E)
{
    const bool Left = E->button() == Qt::LeftButton;
    const bool Right = E->button() == Qt::RightButton;
    switch (E->type()) {
    case QEvent::MouseButtonPress: return Left ? WM_LBUTTONDOWN : Right ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
    case QEvent::MouseButtonRelease: return Left ? WM_LBUTTONUP : Right ? WM_RBUTTONUP : WM_MBUTTONUP;
    case QEvent::MouseButtonDblClick: return Left ? WM_LBUTTONDBLCLK : Right ? WM_RBUTTONDBLCLK : WM_MBUTTONDBLCLK;
    default: return WM_MOUSEMOVE;
    }
}

// Sees every input event of the application before its widget does.
class THookFilter : public QObject {
public:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        auto* W = qobject_cast<QWidget*>(Watched);
        if (!W)
            return false;
        switch (Event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove: {
            if (Hooks().Mouse.empty())
                return false;
            auto* M = static_cast<QMouseEvent*>(Event);
            TMouseHookInfo Info;
            Info.Msg = MouseMessage(M);
            Info.ScreenPos = TPoint(M->globalPosition().toPoint().x(), M->globalPosition().toPoint().y());
            Info.Widget = W;
            Info.Control = FindControl(W);
            auto Copy = Hooks().Mouse;
            for (auto It = Copy.rbegin(); It != Copy.rend(); ++It)
                if (It->second(Info))
                    return true;
            return false;
        }
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            auto* K = static_cast<QKeyEvent*>(Event);
            if (Event->type() == QEvent::KeyPress && !K->isAutoRepeat()) {
                TKeyboardState& S = KeyboardState();
                if (K->key() == Qt::Key_CapsLock)
                    S.CapsLock = !S.CapsLock;
                else if (K->key() == Qt::Key_NumLock)
                    S.NumLock = !S.NumLock;
                else if (K->key() == Qt::Key_ScrollLock)
                    S.ScrollLock = !S.ScrollLock;
                else if (K->key() == Qt::Key_Insert)
                    S.Insert = !S.Insert;
            }
            if (Hooks().Keyboard.empty())
                return false;
            TKeyHookInfo Info;
            Info.Msg = Event->type() == QEvent::KeyPress ? WM_KEYDOWN : WM_KEYUP;
            Info.Key = QtKeyToVirtualKey(K->key(), K->modifiers());
            Info.Shift = ShiftStateFromQt(K->modifiers());
            Info.AutoRepeat = K->isAutoRepeat();
            auto Copy = Hooks().Keyboard;
            for (auto It = Copy.rbegin(); It != Copy.rend(); ++It)
                if (It->second(Info))
                    return true;
            return false;
        }
        default: return false;
        }
    }
};

void EnsureHookFilter()
{
    static THookFilter* Filter = nullptr;
    if (!Filter && QCoreApplication::instance()) {
        Filter = new THookFilter();
        Filter->setParent(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(Filter);
    }
}

} // namespace

THookHandle InstallMouseHook(std::function<bool(const TMouseHookInfo&)> Hook)
{
    EnsureHookFilter();
    int H = Hooks().NextHandle++;
    Hooks().Mouse.emplace_back(H, std::move(Hook));
    return H;
}

THookHandle InstallKeyboardHook(std::function<bool(const TKeyHookInfo&)> Hook)
{
    EnsureHookFilter();
    int H = Hooks().NextHandle++;
    Hooks().Keyboard.emplace_back(H, std::move(Hook));
    return H;
}

void RemoveHook(THookHandle Handle)
{
    auto& M = Hooks().Mouse;
    M.erase(std::remove_if(M.begin(), M.end(), [&](auto& P) { return P.first == Handle; }), M.end());
    auto& K = Hooks().Keyboard;
    K.erase(std::remove_if(K.begin(), K.end(), [&](auto& P) { return P.first == Handle; }), K.end());
}

TControl* FindControl(QWidget* Widget)
{
    for (QWidget* W = Widget; W; W = W->parentWidget())
        if (auto* C = dynamic_cast<TControl*>(W))
            return C;
    return nullptr;
}

TControl* FindDragTarget(TPoint ScreenPos, bool AllowDisabled)
{
    QWidget* W = QApplication::widgetAt(ScreenPos.ToQPoint());
    TControl* C = FindControl(W);
    if (C && !AllowDisabled && !C->isEnabled())
        return nullptr;
    return C;
}

TControl* GetCaptureControl()
{
    return FindControl(QWidget::mouseGrabber());
}

void SetCaptureControl(TControl* Control)
{
    if (QWidget* G = QWidget::mouseGrabber())
        G->releaseMouse();
    if (Control)
        Control->grabMouse();
}

// ---------------------------------------------------------------- TControl

TControl::TControl(TComponent* AOwner) : QWidget(nullptr), TComponent(AOwner), FFont(std::make_unique<TFont>())
{
    setMouseTracking(true);
    setAttribute(Qt::WA_NoSystemBackground, false);
    setFocusPolicy(Qt::NoFocus);
    FFont->OnChange = [this](TObject*) {
        // A font changed by the program is the control's own from then on.
        if (!(FControlState.testFlag(csReadingState)))
            FParentFont = false;
        Perform(CM_FONTCHANGED);
    };
}

TControl::~TControl()
{
    Destroying();
    DestroyComponents();
    if (FParent)
        FParent->RemoveControl(this);
    for (auto& [Id, QtId] : FTimers)
        killTimer(QtId);
    FTimers.clear();
}

void TControl::SetParent(TWinControl* AParent)
{
    if (FParent == AParent)
        return;
    if (AParent == this)
        throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent)
        FParent->RemoveControl(this);
    if (AParent)
        AParent->InsertControl(this);
}

bool TControl::IsPropertyStored(const char* Name) const
{
    const String N = Name;
    if (N == "Color")
        return !FParentColor;
    if (N == "Font")
        return !FParentFont;
    if (N == "ShowHint")
        return !FParentShowHint;
    if (N == "Ctl3D")
        return !FParentCtl3D;
    if (N == "BiDiMode")
        return !FParentBiDiMode;
    if (N == "Anchors")
        return FAnchors != DefaultAnchors(FAlign);
    return true;
}

TAnchors TControl::DefaultAnchors(TAlign Align)
{
    switch (Align) {
    case alTop: return TAnchors(akLeft) | akTop | akRight;
    case alBottom: return TAnchors(akLeft) | akRight | akBottom;
    case alLeft: return TAnchors(akLeft) | akTop | akBottom;
    case alRight: return TAnchors(akRight) | akTop | akBottom;
    case alClient: return TAnchors(akLeft) | akTop | akRight | akBottom;
    default: return TAnchors(akLeft) | akTop;
    }
}

TComponent* TControl::GetParentComponent() const
{
    return FParent;
}

void TControl::SetParentComponent(TComponent* Value)
{
    auto* W = dynamic_cast<TWinControl*>(Value);
    if (Value && !W)
        throw EInvalidOperation("Control '" + Name() + "' cannot have a " + Value->ClassName() + " as its parent");
    SetParent(W);
}

void TControl::SyncGeometry()
{
    if (isWindow())
        QWidget::setGeometry(FLeft, FTop, FWidth, FHeight);
    else
        QWidget::setGeometry(FLeft, FTop, std::max(0, FWidth), std::max(0, FHeight));
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    const int OldWidth = FWidth;
    const int OldHeight = FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    SyncGeometry();
    if (OldWidth != FWidth || OldHeight != FHeight) {
        BoundsChanged(OldWidth, OldHeight);
        if (!IsLoading())
            Resize();
    }
    if (FParent && FAlign != alNone && FParent->FAlignLevel == 0 && !IsLoading())
        FParent->Realign();
}

void TControl::BoundsChanged(int, int) {}

void TControl::SetClientWidth(int Value)
{
    SetWidth(Value + (FWidth - ClientWidth()));
}

void TControl::SetClientHeight(int Value)
{
    SetHeight(Value + (FHeight - ClientHeight()));
}

TPoint TControl::ClientOrigin() const
{
    QPoint P = mapToGlobal(QPoint(0, 0));
    return TPoint(P.x(), P.y());
}

TPoint TControl::ClientToScreen(TPoint P) const
{
    QPoint Q = mapToGlobal(QPoint(P.X, P.Y));
    return TPoint(Q.x(), Q.y());
}

TPoint TControl::ScreenToClient(TPoint P) const
{
    QPoint Q = mapFromGlobal(QPoint(P.X, P.Y));
    return TPoint(Q.x(), Q.y());
}

void TControl::SetAlign(TAlign Value)
{
    if (FAlign == Value)
        return;
    FAlign = Value;
    FAnchors = DefaultAnchors(Value);
    if (FParent && !IsLoading())
        FParent->Realign();
}

void TControl::SetAnchors(TAnchors Value)
{
    FAnchors = Value;
}

void TControl::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    FVisible = Value;
    if (FParent)
        QWidget::setVisible(Value);
    Perform(CM_VISIBLECHANGED, Value);
    if (FParent && FAlign != alNone && !IsLoading())
        FParent->Realign();
}

bool TControl::Showing() const
{
    return QWidget::isVisible();
}

void TControl::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    QWidget::setEnabled(Value);
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor Value)
{
    if (FColor == Value) {
        FParentColor = false;
        return;
    }
    FColor = Value;
    FParentColor = false;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool Value)
{
    if (FParentColor == Value)
        return;
    FParentColor = Value;
    if (Value && FParent && !IsLoading())
        Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentFont(bool Value)
{
    if (FParentFont == Value)
        return;
    FParentFont = Value;
    if (Value && FParent && !IsLoading())
        Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetText(const String& Value)
{
    if (GetText() == Value)
        return;
    SetTextBuf(Value);
    Perform(CM_TEXTCHANGED);
}

void TControl::SetShowHint(bool Value)
{
    FParentShowHint = false;
    if (FShowHint == Value)
        return;
    FShowHint = Value;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool Value)
{
    if (FParentShowHint == Value)
        return;
    FParentShowHint = Value;
    if (Value && FParent)
        Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetCtl3D(bool Value)
{
    FParentCtl3D = false;
    if (FCtl3D == Value)
        return;
    FCtl3D = Value;
    Perform(CM_CTL3DCHANGED);
}

void TControl::SetParentCtl3D(bool Value)
{
    if (FParentCtl3D == Value)
        return;
    FParentCtl3D = Value;
    if (Value && FParent)
        Perform(CM_PARENTCTL3DCHANGED);
}

void TControl::SetBiDiMode(TBiDiMode Value)
{
    FParentBiDiMode = false;
    if (FBiDiMode == Value)
        return;
    FBiDiMode = Value;
    Perform(CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool Value)
{
    if (FParentBiDiMode == Value)
        return;
    FParentBiDiMode = Value;
    if (Value && FParent)
        Perform(CM_PARENTBIDIMODECHANGED);
}

void TControl::SetCursor(TCursor Value)
{
    if (FCursor == Value)
        return;
    FCursor = Value;
    ApplyCursor();
    Perform(CM_CURSORCHANGED);
}

void TControl::ApplyCursor()
{
    if (FCursor == crDefault)
        unsetCursor();
    else
        QWidget::setCursor(QCursor(CursorToQt(FCursor)));
}

TPopupMenu* TControl::PopupMenu() const
{
    return reinterpret_cast<TPopupMenu*>(FPopupMenu.data());
}

void TControl::SetPopupMenu(TPopupMenu* Value)
{
    FPopupMenu = reinterpret_cast<QObject*>(Value);
}

void TControl::Invalidate()
{
    QWidget::update();
}

void TControl::Update()
{
    QWidget::repaint();
}

void TControl::Repaint()
{
    QWidget::repaint();
}

void TControl::BringToFront()
{
    if (!FParent)
        return QWidget::raise();
    auto& L = FParent->FControls;
    L.erase(std::remove(L.begin(), L.end(), this), L.end());
    if (dynamic_cast<TWinControl*>(this)) {
        L.push_back(this);
        QWidget::raise();
    } else {
        // A graphic control stays below every windowed sibling.
        auto It = std::find_if(L.begin(), L.end(), [](TControl* C) { return dynamic_cast<TWinControl*>(C); });
        if (It != L.end())
            QWidget::stackUnder(*It);
        else
            QWidget::raise();
        L.insert(It, this);
    }
    Invalidate();
}

void TControl::SendToBack()
{
    if (FParent) {
        auto& L = FParent->FControls;
        L.erase(std::remove(L.begin(), L.end(), this), L.end());
        if (dynamic_cast<TWinControl*>(this)) {
            auto It = std::find_if(L.begin(), L.end(), [](TControl* C) { return dynamic_cast<TWinControl*>(C); });
            if (It != L.end())
                QWidget::stackUnder(*It);
            L.insert(It, this);
        } else {
            L.insert(L.begin(), this);
            QWidget::lower();
        }
    } else {
        QWidget::lower();
    }
    Invalidate();
}

void TWinControl::SetChildOrder(TControl* Child, int Order)
{
    auto It = std::find(FControls.begin(), FControls.end(), Child);
    if (It == FControls.end())
        return;
    FControls.erase(It);
    const int N = static_cast<int>(FControls.size());
    FControls.insert(FControls.begin() + std::clamp(Order, 0, N), Child);
    if (dynamic_cast<TWinControl*>(Child)) {
        // Under the first windowed child that now follows it, else on top.
        auto Pos = std::find(FControls.begin(), FControls.end(), Child);
        auto Next = std::find_if(std::next(Pos), FControls.end(),
                                 [](TControl* C) { return dynamic_cast<TWinControl*>(C) != nullptr; });
        if (Next != FControls.end())
            Child->stackUnder(*Next);
        else
            Child->raise();
    }
    Child->Invalidate();
}

intptr_t TControl::Perform(unsigned Msg, intptr_t WParam, intptr_t LParam)
{
    TMessage M{Msg, WParam, LParam, 0};
    WndProc(M);
    return M.Result;
}

void TControl::WndProc(TMessage& Message)
{
    DefaultHandler(Message);
}

void TControl::SendParentChanged(unsigned Msg)
{
    if (auto* W = dynamic_cast<TWinControl*>(this))
        W->NotifyControls(Msg);
}

void TControl::DefaultHandler(TMessage& Message)
{
    const TPoint P = LParamToPoint(Message.LParam);
    const TShiftState Shift = TShiftState::fromInt(static_cast<int>(Message.WParam));
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
        if (FControlStyle.testFlag(csClickEvents))
            FControlState |= csClicked;
        FControlState |= csLButtonDown;
        MouseDown(mbLeft, Shift, P.X, P.Y);
        break;
    case WM_LBUTTONDBLCLK:
        if (FControlStyle.testFlag(csDoubleClicks)) {
            DblClick();
            MouseDown(mbLeft, Shift | ssDouble, P.X, P.Y);
        } else {
            if (FControlStyle.testFlag(csClickEvents))
                FControlState |= csClicked;
            FControlState |= csLButtonDown;
            MouseDown(mbLeft, Shift, P.X, P.Y);
        }
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: MouseDown(mbRight, Shift, P.X, P.Y); break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: MouseDown(mbMiddle, Shift, P.X, P.Y); break;
    case WM_LBUTTONUP:
        FControlState &= ~TControlState(csLButtonDown);
        if (FControlState.testFlag(csClicked)) {
            FControlState &= ~TControlState(csClicked);
            if (ClientRect().Contains(P))
                Click();
        }
        MouseUp(mbLeft, Shift, P.X, P.Y);
        break;
    case WM_RBUTTONUP: MouseUp(mbRight, Shift, P.X, P.Y); break;
    case WM_MBUTTONUP: MouseUp(mbMiddle, Shift, P.X, P.Y); break;
    case WM_MOUSEMOVE:
        MouseMove(Shift, P.X, P.Y);
        if (Application)
            Application->HintMouseMessage(this);
        break;
    case WM_CANCELMODE:
        FControlState &= ~(TControlState(csLButtonDown) | csClicked);
        if (MouseCapture())
            SetMouseCapture(false);
        break;
    case CM_MOUSEENTER: FMouseInControl = true; break;
    case CM_MOUSELEAVE:
        FMouseInControl = false;
        if (Application)
            Application->HintMouseMessage(nullptr);
        break;
    case CM_FONTCHANGED:
        FontChanged();
        SendParentChanged(CM_PARENTFONTCHANGED);
        break;
    case CM_COLORCHANGED:
        ColorChanged();
        SendParentChanged(CM_PARENTCOLORCHANGED);
        break;
    case CM_TEXTCHANGED: TextChanged(); break;
    case CM_ENABLEDCHANGED: EnabledChanged(); break;
    case CM_VISIBLECHANGED: VisibleChanged(); break;
    case CM_PARENTFONTCHANGED:
        if (FParentFont && FParent) {
            FControlState |= csReadingState;
            FFont->Assign(FParent->Font());
            FControlState &= ~TControlState(csReadingState);
            FParentFont = true;
        }
        break;
    case CM_PARENTCOLORCHANGED:
        if (FParentColor && FParent) {
            const TColor C = FParent->Color();
            if (C != FColor) {
                FColor = C;
                Perform(CM_COLORCHANGED);
            }
            FParentColor = true;
        }
        break;
    case CM_PARENTSHOWHINTCHANGED:
        if (FParentShowHint && FParent) {
            FShowHint = FParent->ShowHint();
            FParentShowHint = true;
            SendParentChanged(CM_PARENTSHOWHINTCHANGED);
        }
        break;
    case CM_SHOWHINTCHANGED: SendParentChanged(CM_PARENTSHOWHINTCHANGED); break;
    case CM_PARENTCTL3DCHANGED:
        if (FParentCtl3D && FParent) {
            if (FCtl3D != FParent->Ctl3D()) {
                FCtl3D = FParent->Ctl3D();
                Perform(CM_CTL3DCHANGED);
            }
            FParentCtl3D = true;
        }
        break;
    case CM_CTL3DCHANGED:
        SendParentChanged(CM_PARENTCTL3DCHANGED);
        Invalidate();
        break;
    case CM_PARENTBIDIMODECHANGED:
        if (FParentBiDiMode && FParent) {
            if (FBiDiMode != FParent->BiDiMode()) {
                FBiDiMode = FParent->BiDiMode();
                Perform(CM_BIDIMODECHANGED);
            }
            FParentBiDiMode = true;
        }
        break;
    case CM_BIDIMODECHANGED:
        SendParentChanged(CM_PARENTBIDIMODECHANGED);
        Invalidate();
        break;
    case CM_HITTEST: Message.Result = HitTest(P) ? 1 : 0; break;
    case CM_MOUSEWHEEL: {
        const TPoint Pos = LParamToPoint(Message.LParam);
        const int Delta = static_cast<int16_t>((Message.WParam >> 16) & 0xFFFF);
        const TShiftState S = TShiftState::fromInt(static_cast<int>(Message.WParam & 0xFFFF));
        Message.Result = DoMouseWheel(S, Delta, Pos) ? 1 : 0;
        break;
    }
    default: break;
    }
}

bool TControl::HitTest(TPoint P)
{
    return ClientRect().Contains(P);
}

bool TControl::MouseCapture() const
{
    return QWidget::mouseGrabber() == this;
}

void TControl::SetMouseCapture(bool Value)
{
    if (Value == MouseCapture())
        return;
    if (Value)
        SetCaptureControl(this);
    else
        releaseMouse();
}

TCustomForm* TControl::GetParentForm() const
{
    for (const TControl* C = this; C; C = C->FParent)
        if (auto* F = dynamic_cast<const TCustomForm*>(C))
            return const_cast<TCustomForm*>(F);
    return nullptr;
}

void TControl::Loaded()
{
    TComponent::Loaded();
    if (FParent) {
        if (FParentColor) {
            FColor = FParent->Color();
        }
        if (FParentFont) {
            FControlState |= csReadingState;
            FFont->Assign(FParent->Font());
            FControlState &= ~TControlState(csReadingState);
            FParentFont = true;
        }
        if (FParentShowHint)
            FShowHint = FParent->ShowHint();
        if (FParentCtl3D)
            FCtl3D = FParent->Ctl3D();
        if (FParentBiDiMode)
            FBiDiMode = FParent->BiDiMode();
    }
    ApplyQtFont();
}

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    bool Handled = false;
    if (OnMouseWheel)
        OnMouseWheel(this, Shift, WheelDelta, MousePos, Handled);
    return Handled;
}

void TControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled)
{
    if (OnContextPopup)
        OnContextPopup(this, MousePos, Handled);
}

void TControl::FontChanged()
{
    ApplyQtFont();
    Invalidate();
}

void TControl::ColorChanged()
{
    Invalidate();
}

void TControl::TextChanged()
{
    Invalidate();
}

void TControl::EnabledChanged()
{
    Invalidate();
}

void TControl::VisibleChanged() {}

void TControl::ApplyQtFont()
{
    QWidget::setFont(FFont->QtFont());
}

bool TControl::PaintsTransparent() const
{
    return !FControlStyle.testFlag(csOpaque);
}

void TControl::PaintControl(QImage&) {}

void TControl::PaintParentBackground(QImage& Image)
{
    TWinControl* P = FParent;
    if (!P) {
        Image.fill(ColorToQRgb(FColor));
        return;
    }
    // The parent's last picture under this control, or its colour.
    const QImage& Back = P->FPaintImage;
    if (!Back.isNull() && Back.width() >= FLeft + FWidth && Back.height() >= FTop + FHeight && FLeft >= 0 &&
        FTop >= 0) {
        QPainter Painter(&Image);
        Painter.setCompositionMode(QPainter::CompositionMode_Source);
        Painter.drawImage(0, 0, Back, FLeft, FTop, FWidth, FHeight);
    } else {
        Image.fill(ColorToQRgb(P->Color()));
    }
}

bool TControl::event(QEvent* Event)
{
    return QWidget::event(Event);
}

void TControl::paintEvent(QPaintEvent* Event)
{
    if (FWidth <= 0 || FHeight <= 0)
        return;
    if (FPaintImage.size() != QSize(FWidth, FHeight))
        FPaintImage = QImage(FWidth, FHeight, QImage::Format_ARGB32_Premultiplied);
    if (PaintsTransparent())
        FPaintImage.fill(Qt::transparent);
    PaintControl(FPaintImage);
    QPainter Painter(this);
    Painter.setClipRegion(Event->region());
    Painter.drawImage(0, 0, FPaintImage);
}

void TControl::DoMouseButton(QMouseEvent* Event, bool Down, bool Double)
{
    const QPoint P = Event->position().toPoint();
    TShiftState Shift = ShiftStateFromQt(Event->modifiers(), Event->buttons());
    unsigned Msg;
    switch (Event->button()) {
    case Qt::LeftButton: Msg = Down ? (Double ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN) : WM_LBUTTONUP; break;
    case Qt::RightButton: Msg = Down ? (Double ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN) : WM_RBUTTONUP; break;
    case Qt::MiddleButton: Msg = Down ? (Double ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN) : WM_MBUTTONUP; break;
    default: return;
    }
    Perform(Msg, Shift.toInt(), PointToLParam(P.x(), P.y()));
}

void TControl::mousePressEvent(QMouseEvent* Event)
{
    DoMouseButton(Event, true, false);
}

void TControl::mouseReleaseEvent(QMouseEvent* Event)
{
    DoMouseButton(Event, false, false);
}

void TControl::mouseDoubleClickEvent(QMouseEvent* Event)
{
    DoMouseButton(Event, true, true);
}

void TControl::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint P = Event->position().toPoint();
    Perform(WM_MOUSEMOVE, ShiftStateFromQt(Event->modifiers(), Event->buttons()).toInt(),
            PointToLParam(P.x(), P.y()));
}

void TControl::wheelEvent(QWheelEvent* Event)
{
    const QPoint P = Event->globalPosition().toPoint();
    const int Delta = Event->angleDelta().y();
    const int Shift = ShiftStateFromQt(Event->modifiers(), Event->buttons()).toInt();
    if (Perform(CM_MOUSEWHEEL, (static_cast<intptr_t>(static_cast<uint16_t>(Delta)) << 16) | Shift,
                PointToLParam(P.x(), P.y())) == 0)
        Event->ignore();
}

void TControl::enterEvent(QEnterEvent*)
{
    Perform(CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(this));
}

void TControl::leaveEvent(QEvent*)
{
    Perform(CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(this));
}

void TControl::resizeEvent(QResizeEvent*)
{
    // The window manager resized a window: take its size.
    if (isWindow() && (width() != FWidth || height() != FHeight)) {
        const int OldWidth = FWidth;
        const int OldHeight = FHeight;
        FWidth = width();
        FHeight = height();
        BoundsChanged(OldWidth, OldHeight);
        if (!IsLoading())
            Resize();
    }
}

void TControl::moveEvent(QMoveEvent*)
{
    if (isWindow()) {
        FLeft = x();
        FTop = y();
    }
}

void TControl::timerEvent(QTimerEvent* Event)
{
    for (auto& [Id, QtId] : FTimers)
        if (QtId == Event->timerId()) {
            Perform(WM_TIMER, Id);
            return;
        }
    QWidget::timerEvent(Event);
}

void TControl::contextMenuEvent(QContextMenuEvent* Event)
{
    bool Handled = false;
    const TPoint Pos(Event->pos().x(), Event->pos().y());
    DoContextPopup(Pos, Handled);
    // Then the control's own pop-up menu, or its parent's.
    if (!Handled)
        Handled = PopupControlMenu(this, Pos);
    if (!Handled)
        Event->ignore();
}

void TControl::SetTimer(int Id, int Interval)
{
    KillTimer(Id);
    FTimers[Id] = startTimer(std::max(1, Interval));
}

void TControl::KillTimer(int Id)
{
    auto It = FTimers.find(Id);
    if (It == FTimers.end())
        return;
    killTimer(It->second);
    FTimers.erase(It);
}

// ---------------------------------------------------------------- TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner)
{
    FColor = clBtnFace;
    FControlStyle |= csOpaque;
}

TWinControl::~TWinControl()
{
    // Owned components go first (TControl's destructor), then the children
    // this control still holds leave it before Qt deletes their widgets.
    Destroying();
    DestroyComponents();
    while (!FControls.empty()) {
        TControl* C = FControls.back();
        FControls.pop_back();
        C->FParent = nullptr;
    }
}

TControl* TWinControl::Controls(int Index) const
{
    if (Index < 0 || Index >= ControlCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FControls[static_cast<size_t>(Index)];
}

int TWinControl::WinControlCount() const
{
    return static_cast<int>(
        std::count_if(FControls.begin(), FControls.end(), [](TControl* C) { return dynamic_cast<TWinControl*>(C); }));
}

void TWinControl::InsertControl(TControl* AControl)
{
    AControl->FParent = this;
    AControl->QWidget::setParent(this);
    AControl->SyncGeometry();
    if (dynamic_cast<TWinControl*>(AControl)) {
        FControls.push_back(AControl);
    } else {
        // Graphic controls stay below the windowed ones.
        auto It = std::find_if(FControls.begin(), FControls.end(),
                               [](TControl* C) { return dynamic_cast<TWinControl*>(C); });
        if (It != FControls.end())
            AControl->QWidget::stackUnder(*It);
        FControls.insert(It, AControl);
    }
    AControl->QWidget::setVisible(AControl->FVisible);
    if (!AControl->IsLoading()) {
        AControl->Perform(CM_PARENTCOLORCHANGED);
        AControl->Perform(CM_PARENTFONTCHANGED);
        AControl->Perform(CM_PARENTSHOWHINTCHANGED);
        AControl->Perform(CM_PARENTCTL3DCHANGED);
        AControl->Perform(CM_PARENTBIDIMODECHANGED);
        if (AControl->FAlign != alNone)
            Realign();
    }
    Perform(CM_CONTROLCHANGE, reinterpret_cast<intptr_t>(AControl), 1);
}

void TWinControl::RemoveControl(TControl* AControl)
{
    if (std::find(FControls.begin(), FControls.end(), AControl) == FControls.end())
        return;
    Perform(CM_CONTROLCHANGE, reinterpret_cast<intptr_t>(AControl), 0);
    // The notified parent may have reordered its children meanwhile.
    if (auto It = std::find(FControls.begin(), FControls.end(), AControl); It != FControls.end())
        FControls.erase(It);
    AControl->FParent = nullptr;
    if (!AControl->IsDestroying()) {
        AControl->QWidget::hide();
        AControl->QWidget::setParent(nullptr);
    }
    if (!IsDestroying() && AControl->FAlign != alNone)
        Realign();
}

bool TWinControl::ContainsControl(TControl* Control) const
{
    for (TControl* C = Control; C; C = C->FParent)
        if (C == this)
            return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls)
{
    for (auto It = FControls.rbegin(); It != FControls.rend(); ++It) {
        TControl* C = *It;
        if (!AllowWinControls && dynamic_cast<TWinControl*>(C))
            continue;
        if (!C->Visible() || (!AllowDisabled && !C->Enabled()))
            continue;
        const TPoint P(Pos.X - C->Left(), Pos.Y - C->Top());
        if (C->ClientRect().Contains(P) && C->Perform(CM_HITTEST, 0, PointToLParam(P.X, P.Y)) != 0)
            return C;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message)
{
    for (TControl* C : std::vector<TControl*>(FControls)) {
        C->WndProc(Message);
        if (Message.Result != 0)
            return;
    }
}

void TWinControl::NotifyControls(unsigned Msg)
{
    TMessage M{Msg, 0, 0, 0};
    Broadcast(M);
}

void TWinControl::SetTabStop(bool Value)
{
    if (FTabStop == Value)
        return;
    FTabStop = Value;
    setFocusPolicy(Value ? Qt::TabFocus : Qt::NoFocus);
    Perform(CM_TABSTOPCHANGED);
}

int TWinControl::TabOrder() const
{
    if (!FParent)
        return -1;
    std::vector<TWinControl*> Siblings;
    for (TControl* C : FParent->FControls)
        if (auto* W = dynamic_cast<TWinControl*>(C))
            Siblings.push_back(W);
    auto It = std::find(Siblings.begin(), Siblings.end(), this);
    return It == Siblings.end() ? -1 : static_cast<int>(It - Siblings.begin());
}

void TWinControl::SetTabOrder(int Value)
{
    // The tab order is the order of the windowed children in the parent's
    // list; moving a control there keeps the z-order of graphic controls.
    if (!FParent || Value < 0)
        return;
    auto& L = FParent->FControls;
    L.erase(std::remove(L.begin(), L.end(), this), L.end());
    int Seen = 0;
    auto It = L.begin();
    for (; It != L.end(); ++It)
        if (dynamic_cast<TWinControl*>(*It) && Seen++ == Value)
            break;
    L.insert(It, this);
}

bool TWinControl::CanFocus() const
{
    for (const TControl* C = this; C; C = C->FParent) {
        if (!C->Visible() || !C->Enabled())
            return false;
        if (dynamic_cast<const TCustomForm*>(C))
            return true;
    }
    return true;
}

bool TWinControl::Focused() const
{
    return hasFocus();
}

void TWinControl::SetFocus()
{
    if (TCustomForm* F = GetParentForm(); F && !F->Showing()) {
        F->SetActiveControl(this);
        return;
    }
    if (!CanFocus())
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    QWidget::setFocus(Qt::OtherFocusReason);
    // Offscreen and unmapped windows may not deliver focus events at once.
    if (TCustomForm* F = GetParentForm())
        F->FocusControlChanged(this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List)
{
    for (TControl* C : FControls)
        if (auto* W = dynamic_cast<TWinControl*>(C)) {
            List.push_back(W);
            W->GetTabOrderList(List);
        }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent)
{
    std::vector<TWinControl*> List;
    GetTabOrderList(List);
    if (List.empty())
        return nullptr;
    const int N = static_cast<int>(List.size());
    int Start = -1;
    for (int I = 0; I < N; ++I)
        if (List[static_cast<size_t>(I)] == CurControl)
            Start = I;
    int I = Start;
    for (int Step = 0; Step < N; ++Step) {
        if (GoForward)
            I = (I + 1) % N;
        else
            I = I <= 0 ? N - 1 : I - 1;
        TWinControl* C = List[static_cast<size_t>(I)];
        if (C == CurControl)
            break;
        if ((!CheckTabStop || C->FTabStop) && (!CheckParent || C->FParent == this) && C->CanFocus())
            return C;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop)
{
    if (TWinControl* C = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop))
        C->SetFocus();
}

void TWinControl::SetWindowRegion(const QRegion& Region)
{
    FWindowRegion = Region;
    if (Region.isEmpty())
        clearMask();
    else
        setMask(Region);
}

void TWinControl::HandleNeeded()
{
    if (!FHandleAllocated) {
        FHandleAllocated = true;
        CreateWnd();
    }
}

void TWinControl::RecreateWnd()
{
    // The window goes and comes back: what lives in it must be saved and
    // restored by the control (DestroyWnd / CreateWnd), children too.
    std::vector<TWinControl*> List;
    GetTabOrderList(List);
    for (auto It = List.rbegin(); It != List.rend(); ++It)
        if ((*It)->FHandleAllocated) {
            (*It)->DestroyWnd();
            (*It)->FHandleAllocated = false;
        }
    if (FHandleAllocated) {
        DestroyWnd();
        FHandleAllocated = false;
    }
    HandleNeeded();
    for (TWinControl* C : List)
        C->HandleNeeded();
    Invalidate();
}

void TWinControl::CreateWnd() {}

void TWinControl::DestroyWnd() {}

void TWinControl::AdjustClientRect(TRect&) {}

void TWinControl::DoAlign(TAlign AAlign, TRect& Rect)
{
    std::vector<TControl*> List;
    for (TControl* C : FControls)
        if (C->FAlign == AAlign && C->FVisible)
            List.push_back(C);
    auto Key = [AAlign](TControl* C) {
        switch (AAlign) {
        case alTop: return C->FTop;
        case alBottom: return -(C->FTop + C->FHeight);
        case alLeft: return C->FLeft;
        case alRight: return -(C->FLeft + C->FWidth);
        default: return 0;
        }
    };
    std::stable_sort(List.begin(), List.end(), [&](TControl* A, TControl* B) { return Key(A) < Key(B); });
    for (TControl* C : List) {
        const int W = C->FWidth;
        const int H = C->FHeight;
        switch (AAlign) {
        case alTop:
            C->SetBounds(Rect.Left, Rect.Top, Rect.Width(), H);
            Rect.Top += H;
            break;
        case alBottom:
            C->SetBounds(Rect.Left, Rect.Bottom - H, Rect.Width(), H);
            Rect.Bottom -= H;
            break;
        case alLeft:
            C->SetBounds(Rect.Left, Rect.Top, W, Rect.Height());
            Rect.Left += W;
            break;
        case alRight:
            C->SetBounds(Rect.Right - W, Rect.Top, W, Rect.Height());
            Rect.Right -= W;
            break;
        case alClient: C->SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height()); break;
        default: break;
        }
    }
}

void TWinControl::AlignControls(TControl*, TRect& Rect)
{
    ++FAlignLevel;
    try {
        for (TAlign A : {alTop, alBottom, alLeft, alRight, alClient})
            DoAlign(A, Rect);
    } catch (...) {
        --FAlignLevel;
        throw;
    }
    --FAlignLevel;
}

void TWinControl::Realign()
{
    if (FAlignLevel > 0 || IsLoading())
        return;
    TRect R = ClientRect();
    AdjustClientRect(R);
    AlignControls(nullptr, R);
}

void TWinControl::EnableAlign()
{
    if (FAlignLevel > 0 && --FAlignLevel == 0)
        Realign();
}

void TWinControl::BoundsChanged(int OldWidth, int OldHeight)
{
    if (IsLoading())
        return;
    // Anchored children keep their distances to the edges they are anchored
    // to; a child anchored to neither side of a direction stays centred.
    const int DX = FWidth - OldWidth;
    const int DY = FHeight - OldHeight;
    if ((DX != 0 || DY != 0) && OldWidth >= 0 && OldHeight >= 0) {
        ++FAlignLevel;
        for (TControl* C : std::vector<TControl*>(FControls)) {
            if (C->FAlign != alNone)
                continue;
            int L = C->FLeft, T = C->FTop, W = C->FWidth, H = C->FHeight;
            const TAnchors A = C->FAnchors;
            if (A.testFlag(akRight)) {
                if (A.testFlag(akLeft))
                    W += DX;
                else
                    L += DX;
            } else if (!A.testFlag(akLeft)) {
                L += DX / 2;
            }
            if (A.testFlag(akBottom)) {
                if (A.testFlag(akTop))
                    H += DY;
                else
                    T += DY;
            } else if (!A.testFlag(akTop)) {
                T += DY / 2;
            }
            C->SetBounds(L, T, std::max(0, W), std::max(0, H));
        }
        --FAlignLevel;
    }
    Realign();
}

void TWinControl::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    for (TControl* C : std::vector<TControl*>(FControls))
        if (C->Owner() == Root)
            Proc(C);
}

void TWinControl::Loaded()
{
    TControl::Loaded();
    // Children read their values before they knew the parent's: take them
    // now, then align once.
    for (TControl* C : FControls)
        if (!C->IsLoading()) {
            C->Perform(CM_PARENTCOLORCHANGED);
            C->Perform(CM_PARENTFONTCHANGED);
        }
    Realign();
}

void TWinControl::EnabledChanged()
{
    TControl::EnabledChanged();
    NotifyControls(CM_ENABLEDCHANGED);
}

void TWinControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_KEYDOWN: {
        Word Key = static_cast<Word>(Message.WParam);
        KeyDown(Key, TShiftState::fromInt(static_cast<int>(Message.LParam)));
        Message.WParam = Key;
        Message.Result = Key == 0 ? 1 : 0;
        return;
    }
    case WM_KEYUP: {
        Word Key = static_cast<Word>(Message.WParam);
        KeyUp(Key, TShiftState::fromInt(static_cast<int>(Message.LParam)));
        Message.WParam = Key;
        Message.Result = Key == 0 ? 1 : 0;
        return;
    }
    case WM_CHAR: {
        char C = static_cast<char>(Message.WParam);
        KeyPress(C);
        Message.WParam = static_cast<unsigned char>(C);
        Message.Result = C == 0 ? 1 : 0;
        return;
    }
    case CM_ENTER: DoEnter(); return;
    case CM_EXIT: DoExit(); return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
        // Default and cancel buttons and mnemonics answer from anywhere in
        // the window.
        Broadcast(Message);
        return;
    default: break;
    }
    TControl::WndProc(Message);
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

bool TWinControl::WantsKey(Word Key, TShiftState)
{
    return Perform(CM_WANTSPECIALKEY, Key) != 0;
}

void TWinControl::PaintControl(QImage& Image)
{
    Image.fill(ColorToQRgb(FColor));
}

bool TWinControl::PaintsTransparent() const
{
    return !FControlStyle.testFlag(csOpaque);
}

bool TWinControl::HandleKeyPress(QKeyEvent* Event)
{
    TCustomForm* Form = GetParentForm();
    const TShiftState Shift = ShiftStateFromQt(Event->modifiers());
    Word Key = QtKeyToVirtualKey(Event->key(), Event->modifiers());
    if (Key != 0) {
        if (Form && Form != this && Form->KeyPreview()) {
            TMessage M{WM_KEYDOWN, Key, Shift.toInt(), 0};
            Form->WndProc(M);
            Key = static_cast<Word>(M.WParam);
        }
        if (Key != 0) {
            TMessage M{WM_KEYDOWN, Key, Shift.toInt(), 0};
            WndProc(M);
            Key = static_cast<Word>(M.WParam);
        }
        const bool DialogKey = Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_LEFT ||
                               Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN || Key == VK_CANCEL;
        if (Key != 0 && DialogKey && Form && !WantsKey(Key, Shift)) {
            if (Form->Perform(CM_DIALOGKEY, Key, Shift.toInt()) != 0)
                return true;
        }
    }
    // A key zeroed in KeyDown still types its character, as on the platform
    // (the character message is made before the key is handled); only a key
    // without a character is used up by it.
    const QByteArray Text = Event->text().toLatin1();
    if (Key == 0 && Text.isEmpty() && QtKeyToVirtualKey(Event->key(), Event->modifiers()) != 0)
        return true;
    bool Used = !Text.isEmpty();
    bool AnyLeft = false;
    for (char Ch : Text) {
        if (Form && Form != this && Form->KeyPreview()) {
            TMessage M{WM_CHAR, static_cast<unsigned char>(Ch), 0, 0};
            Form->WndProc(M);
            Ch = static_cast<char>(M.WParam);
        }
        if (Ch == 0)
            continue;
        TMessage M{WM_CHAR, static_cast<unsigned char>(Ch), 0, 0};
        WndProc(M);
        Ch = static_cast<char>(M.WParam);
        if (Ch == 0)
            continue;
        // Characters the control does not take may be mnemonics of the form.
        if (Form && static_cast<unsigned char>(Ch) >= ' ' && (Shift.testFlag(ssAlt) || !WantsChars()))
            if (Form->Perform(CM_DIALOGCHAR, static_cast<unsigned char>(Ch), Shift.toInt()) != 0)
                continue;
        AnyLeft = true;
    }
    // The wrapped widget gets the key unless every character was used up.
    return Used && !AnyLeft;
}

bool TWinControl::HandleKeyRelease(QKeyEvent* Event)
{
    Word Key = QtKeyToVirtualKey(Event->key(), Event->modifiers());
    if (Key == 0)
        return false;
    const TShiftState Shift = ShiftStateFromQt(Event->modifiers());
    TCustomForm* Form = GetParentForm();
    if (Form && Form != this && Form->KeyPreview()) {
        TMessage M{WM_KEYUP, Key, Shift.toInt(), 0};
        Form->WndProc(M);
        Key = static_cast<Word>(M.WParam);
    }
    if (Key != 0) {
        TMessage M{WM_KEYUP, Key, Shift.toInt(), 0};
        WndProc(M);
        Key = static_cast<Word>(M.WParam);
    }
    return Key == 0;
}

void TWinControl::keyPressEvent(QKeyEvent* Event)
{
    HandleKeyPress(Event);
}

void TWinControl::keyReleaseEvent(QKeyEvent* Event)
{
    HandleKeyRelease(Event);
}

void TWinControl::focusInEvent(QFocusEvent* Event)
{
    QWidget::focusInEvent(Event);
    if (TCustomForm* F = GetParentForm())
        F->FocusControlChanged(this);
    else
        Perform(CM_ENTER);
    Invalidate();
}

void TWinControl::focusOutEvent(QFocusEvent* Event)
{
    QWidget::focusOutEvent(Event);
    if (!GetParentForm())
        Perform(CM_EXIT);
    Invalidate();
}

bool TWinControl::focusNextPrevChild(bool)
{
    // Tab reaches keyPressEvent and becomes a dialog key of the form.
    return false;
}

// ---------------------------------------------------------------- graphic and custom controls

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), FCanvas(std::make_unique<TCanvas>())
{
    setFocusPolicy(Qt::NoFocus);
}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::PaintControl(QImage& Image)
{
    FCanvas->SetTarget(&Image);
    FCanvas->Font()->Assign(Font());
    try {
        Paint();
    } catch (...) {
        FCanvas->SetTarget(nullptr);
        throw;
    }
    FCanvas->SetTarget(nullptr);
}

bool TGraphicControl::PaintsTransparent() const
{
    return !FControlStyle.testFlag(csOpaque);
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintControl(QImage& Image)
{
    if (!PaintsTransparent())
        TWinControl::PaintControl(Image);
    FCanvas->SetTarget(&Image);
    FCanvas->Font()->Assign(Font());
    FCanvas->Brush()->SetColor(FColor);
    try {
        Paint();
    } catch (...) {
        FCanvas->SetTarget(nullptr);
        throw;
    }
    FCanvas->SetTarget(nullptr);
}

void RegisterControlsClasses()
{
    static const bool Done = [] {
        RegisterIntegerIdents(QMetaType::fromType<TCursor>(), TIntegerIdents{CursorToIdent, IdentToCursor});
        qRegisterMetaType<Word>("Word");
        // Event handlers bound from form files take these by reference;
        // their parameter types are found by name.
        qRegisterMetaType<TRect>("TRect");
        qRegisterMetaType<TPoint>("TPoint");
        return true;
    }();
    (void)Done;
}

namespace {
[[maybe_unused]] const bool ControlsRegistered = (RegisterControlsClasses(), true);
}
