#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include "Controls.h"
#include "FormStream.h"
#include "Forms.h"

namespace {

// A windowed test control that records what reaches it.
class TProbe : public TCustomControl {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(String Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
public:
    explicit TProbe(TComponent* AOwner = nullptr) : TCustomControl(AOwner) { SetBounds(0, 0, 50, 20); }
    std::vector<String> Log;
    int PaintCount = 0;
    bool AnswerDialogKey = false;

    void WndProc(TMessage& Message) override
    {
        switch (Message.Msg) {
        case CM_MOUSEENTER: Log.push_back("enter"); break;
        case CM_MOUSELEAVE: Log.push_back("leave"); break;
        case CM_BUTTONPRESSED: Log.push_back("pressed " + std::to_string(Message.WParam)); break;
        case CM_DIALOGKEY:
            if (AnswerDialogKey && Message.WParam == VK_RETURN) {
                Log.push_back("default");
                Message.Result = 1;
                return;
            }
            break;
        case WM_TIMER: Log.push_back("timer " + std::to_string(Message.WParam)); break;
        default: break;
        }
        TCustomControl::WndProc(Message);
    }

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override
    {
        Log.push_back("down " + std::to_string(Button) + " " + std::to_string(Shift.toInt()) + " " +
                      std::to_string(X) + "," + std::to_string(Y));
        TCustomControl::MouseDown(Button, Shift, X, Y);
    }
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override
    {
        Log.push_back("up " + std::to_string(Button) + " " + std::to_string(X) + "," + std::to_string(Y));
        TCustomControl::MouseUp(Button, Shift, X, Y);
    }
    void Click() override
    {
        Log.push_back("click");
        TCustomControl::Click();
    }
    void KeyPress(char& Key) override
    {
        Log.push_back(String("char ") + Key);
        TCustomControl::KeyPress(Key);
    }
    void DoEnter() override
    {
        Log.push_back("enter-focus " + Name());
        TCustomControl::DoEnter();
    }
    void DoExit() override
    {
        Log.push_back("exit-focus " + Name());
        TCustomControl::DoExit();
    }
    void Paint() override
    {
        ++PaintCount;
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(ClientRect());
    }
};

class TGraphicProbe : public TGraphicControl {
    Q_OBJECT
public:
    explicit TGraphicProbe(TComponent* AOwner = nullptr) : TGraphicControl(AOwner) { SetBounds(0, 0, 10, 10); }
};

class TProbeForm : public TForm {
    Q_OBJECT
public:
    explicit TProbeForm(TComponent* AOwner = nullptr) : TForm(AOwner) {}
    std::vector<String> Calls;
    Q_INVOKABLE void ProbeClick(TObject* Sender) { Calls.push_back("click " + dynamic_cast<TComponent*>(Sender)->Name()); }
    Q_INVOKABLE void ProbeKeyDown(TObject*, Word& Key, TShiftState)
    {
        Calls.push_back("key " + std::to_string(Key));
        if (Key == 'X')
            Key = 0;
    }
};

struct RegisterProbes {
    RegisterProbes() { RegisterClasses<TProbe, TGraphicProbe, TProbeForm>(); }
} const Registered;

void SendMouse(QWidget* W, QEvent::Type Type, QPoint P, Qt::MouseButton Button = Qt::LeftButton,
               Qt::KeyboardModifiers Mods = Qt::NoModifier)
{
    const Qt::MouseButtons Buttons = Type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Button);
    QMouseEvent E(Type, QPointF(P), QPointF(W->mapToGlobal(P)), Button, Buttons, Mods);
    QApplication::sendEvent(W, &E);
}

void SendKey(QWidget* W, int Key, const QString& Text = QString(), Qt::KeyboardModifiers Mods = Qt::NoModifier)
{
    QKeyEvent Press(QEvent::KeyPress, Key, Mods, Text);
    QApplication::sendEvent(W, &Press);
    QKeyEvent Release(QEvent::KeyRelease, Key, Mods, Text);
    QApplication::sendEvent(W, &Release);
}

const char* const ProbeFormText = R"(object ProbeForm1: TProbeForm
  BorderStyle = bsNone
  Caption = 'Probe'
  ClientHeight = 200
  ClientWidth = 300
  Font.Height = -13
  Font.Name = 'Arial'
  KeyPreview = True
  object Top1: TProbe
    Width = 300
    Height = 30
    Align = alTop
    TabStop = True
    OnKeyDown = ProbeKeyDown
  end
  object Panel1: TProbe
    Left = 10
    Top = 40
    Width = 200
    Height = 100
    Anchors = [akLeft, akTop, akRight, akBottom]
    Color = clRed
    ParentColor = False
    object Inner1: TProbe
      Left = 5
      Top = 5
      TabStop = True
      OnClick = ProbeClick
    end
    object Inner2: TProbe
      Left = 5
      Top = 40
      Font.Height = -20
      ParentFont = False
      TabStop = True
    end
  end
  object Corner1: TProbe
    Left = 250
    Top = 170
    Width = 40
    Anchors = [akRight, akBottom]
  end
end
)";

std::unique_ptr<TProbeForm> LoadProbeForm()
{
    auto Form = std::make_unique<TProbeForm>(nullptr);
    ReadComponentFromText(ProbeFormText, Form.get());
    return Form;
}

template <class T>
T* Find(TComponent* Root, const char* Name)
{
    return dynamic_cast<T*>(Root->FindComponent(Name));
}

} // namespace

TEST(Controls, FormFileBuildsNestedControlsWithParentFontsAndColours)
{
    auto Form = LoadProbeForm();
    auto* Top1 = Find<TProbe>(Form.get(), "Top1");
    auto* Panel1 = Find<TProbe>(Form.get(), "Panel1");
    auto* Inner1 = Find<TProbe>(Form.get(), "Inner1");
    auto* Inner2 = Find<TProbe>(Form.get(), "Inner2");
    ASSERT_TRUE(Top1 && Panel1 && Inner1 && Inner2);
    EXPECT_EQ(Inner1->Parent(), Panel1);
    EXPECT_EQ(Panel1->Parent(), Form.get());
    EXPECT_EQ(Inner1->parentWidget(), Panel1);

    // Alignment happens once loading is done.
    EXPECT_EQ(Top1->BoundsRect(), TRect(0, 0, 300, 30));
    // Fonts and colours come from the parent unless the control has its own.
    EXPECT_EQ(Inner1->Font()->Height(), -13);
    EXPECT_EQ(Inner1->Font()->Name(), "Arial");
    EXPECT_EQ(Inner2->Font()->Height(), -20);
    EXPECT_EQ(Inner1->Color(), clRed);
    EXPECT_TRUE(Inner1->ParentColor());
    EXPECT_FALSE(Panel1->ParentColor());

    Form->Font()->SetHeight(-15);
    EXPECT_EQ(Top1->Font()->Height(), -15);
    EXPECT_EQ(Inner1->Font()->Height(), -15);
    EXPECT_EQ(Inner2->Font()->Height(), -20);
    Form->Font()->SetHeight(-13);
    Panel1->SetColor(clBlue);
    EXPECT_EQ(Inner1->Color(), clBlue);
    Panel1->SetColor(clRed);
    EXPECT_EQ(ComponentToText(Form.get()), ProbeFormText);
    Inner1->SetColor(clLime); // now its own
    Panel1->SetColor(clYellow);
    EXPECT_EQ(Inner1->Color(), clLime);
    EXPECT_NE(ComponentToText(Form.get()).find("Color = clLime"), String::npos);
}

TEST(Controls, AlignAndAnchorsFollowTheParentsSize)
{
    auto Form = LoadProbeForm();
    auto* Panel1 = Find<TProbe>(Form.get(), "Panel1");
    auto* Corner1 = Find<TProbe>(Form.get(), "Corner1");
    Form->SetClientWidth(400);
    Form->SetClientHeight(260);
    EXPECT_EQ(Find<TProbe>(Form.get(), "Top1")->BoundsRect(), TRect(0, 0, 400, 30));
    EXPECT_EQ(Panel1->BoundsRect(), TRect(10, 40, 310, 200)); // grows with the form
    EXPECT_EQ(Corner1->BoundsRect(), TRect(350, 230, 390, 250)); // keeps its distance to the corner

    // Stacked alignments take the remaining space in order.
    TProbe Host(nullptr);
    Host.SetBounds(0, 0, 100, 100);
    auto* L = new TProbe(&Host);
    auto* B = new TProbe(&Host);
    auto* C = new TProbe(&Host);
    for (TProbe* P : {L, B, C})
        P->SetParent(&Host);
    L->SetWidth(20);
    L->SetAlign(alLeft);
    B->SetHeight(10);
    B->SetAlign(alBottom);
    C->SetAlign(alClient);
    // Top and bottom come before left and right, which take what is left.
    EXPECT_EQ(L->BoundsRect(), TRect(0, 0, 20, 90));
    EXPECT_EQ(B->BoundsRect(), TRect(0, 90, 100, 100));
    EXPECT_EQ(C->BoundsRect(), TRect(20, 0, 100, 90));
    B->SetVisible(false);
    EXPECT_EQ(L->BoundsRect(), TRect(0, 0, 20, 100));
    EXPECT_EQ(C->BoundsRect(), TRect(20, 0, 100, 100));
}

TEST(Controls, MouseMessagesBecomeHandlersAndClicks)
{
    auto Form = LoadProbeForm();
    auto* Inner1 = Find<TProbe>(Form.get(), "Inner1");
    SendMouse(Inner1, QEvent::MouseButtonPress, QPoint(3, 4), Qt::LeftButton, Qt::ShiftModifier);
    SendMouse(Inner1, QEvent::MouseButtonRelease, QPoint(3, 4));
    // Released outside: no click.
    SendMouse(Inner1, QEvent::MouseButtonPress, QPoint(3, 4));
    SendMouse(Inner1, QEvent::MouseButtonRelease, QPoint(80, 4));
    SendMouse(Inner1, QEvent::MouseButtonPress, QPoint(1, 1), Qt::RightButton);
    EXPECT_EQ(Inner1->Log, (std::vector<String>{"down 0 9 3,4", "click", "up 0 3,4", "down 0 8 3,4", "up 0 80,4",
                                                "down 1 16 1,1"}));
    EXPECT_EQ(Form->Calls, std::vector<String>{"click Inner1"});
    QEnterEvent Enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(Inner1, &Enter);
    QEvent Leave(QEvent::Leave);
    QApplication::sendEvent(Inner1, &Leave);
    EXPECT_EQ(Inner1->Log.back(), "leave");
    EXPECT_EQ(Inner1->Log[Inner1->Log.size() - 2], "enter");
}

TEST(Controls, KeysReachTheFormFirstThenTheControlAndDialogKeysNavigate)
{
    auto Form = LoadProbeForm();
    auto* Top1 = Find<TProbe>(Form.get(), "Top1");
    auto* Inner1 = Find<TProbe>(Form.get(), "Inner1");
    auto* Inner2 = Find<TProbe>(Form.get(), "Inner2");
    Form->Show();
    Top1->SetFocus();
    EXPECT_EQ(Form->ActiveControl(), Top1);

    // KeyPreview: the form's handler sees the key first and may swallow it.
    Form->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { Form->Calls.push_back("form " + std::to_string(Key)); };
    SendKey(Top1, Qt::Key_A, "a");
    SendKey(Top1, Qt::Key_X, "x");
    EXPECT_EQ(Form->Calls, (std::vector<String>{"form 65", "key 65", "form 88", "key 88"}));
    EXPECT_EQ(Top1->Log, (std::vector<String>{"enter-focus Top1", "char a", "char x"}));

    // Tab moves through the tab order; entering a control inside a container
    // tells the container first, leaving tells the control first.
    SendKey(Top1, Qt::Key_Tab);
    EXPECT_EQ(Form->ActiveControl(), Inner1);
    auto* Panel1 = Find<TProbe>(Form.get(), "Panel1");
    EXPECT_EQ(Panel1->Log.back(), "enter-focus Panel1");
    EXPECT_EQ(Inner1->Log.back(), "enter-focus Inner1");
    SendKey(Inner1, Qt::Key_Tab);
    EXPECT_EQ(Form->ActiveControl(), Inner2);
    SendKey(Inner2, Qt::Key_Tab);
    EXPECT_EQ(Form->ActiveControl(), Top1);
    EXPECT_EQ(Inner2->Log.back(), "exit-focus Inner2");
    EXPECT_EQ(Panel1->Log.back(), "exit-focus Panel1");
    SendKey(Top1, Qt::Key_Backtab, QString(), Qt::ShiftModifier);
    EXPECT_EQ(Form->ActiveControl(), Inner2);

    // Return is offered to every control of the form (default buttons).
    Inner1->AnswerDialogKey = true;
    SendKey(Inner2, Qt::Key_Return, "\r");
    EXPECT_EQ(Inner1->Log.back(), "default");
}

TEST(Controls, ShowModalReturnsTheModalResultAndBlocksOtherWindows)
{
    auto Form = LoadProbeForm();
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(Form->Modal());
        EXPECT_EQ(QApplication::activeModalWidget(), Form.get());
        Form->SetModalResult(mrOk);
    });
    EXPECT_EQ(Form->ShowModal(), mrOk);
    EXPECT_FALSE(Form->Visible());
    EXPECT_FALSE(Form->QWidget::isVisible());

    // Closing without a result gives mrCancel; a close query can refuse.
    bool Allow = false;
    Form->OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = Allow; };
    QTimer::singleShot(0, [&] {
        Form->Close(); // refused
        EXPECT_TRUE(Form->QWidget::isVisible());
        Allow = true;
        Form->Close();
    });
    EXPECT_EQ(Form->ShowModal(), mrCancel);
    EXPECT_THROW(
        {
            Form->Show();
            Form->ShowModal();
        },
        EInvalidOperation);
}

TEST(Controls, HooksSeeInputAnywhereAndMaySwallowIt)
{
    auto Form = LoadProbeForm();
    auto* Inner1 = Find<TProbe>(Form.get(), "Inner1");
    std::vector<std::pair<unsigned, TControl*>> Seen;
    bool Swallow = false;
    THookHandle H = InstallMouseHook([&](const TMouseHookInfo& Info) {
        Seen.emplace_back(Info.Msg, Info.Control);
        return Swallow;
    });
    // Hooks filter events as Qt delivers them (QApplication::notify).
    QMouseEvent Press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(Inner1, &Press);
    ASSERT_EQ(Seen.size(), 1u);
    EXPECT_EQ(Seen[0].first, unsigned(WM_LBUTTONDOWN));
    EXPECT_EQ(Seen[0].second, Inner1);
    EXPECT_EQ(Inner1->Log.size(), 1u);
    Swallow = true;
    QApplication::sendEvent(Inner1, &Press);
    EXPECT_EQ(Inner1->Log.size(), 1u); // swallowed
    RemoveHook(H);
    QApplication::sendEvent(Inner1, &Press);
    EXPECT_EQ(Seen.size(), 2u);

    std::vector<Word> Keys;
    THookHandle K = InstallKeyboardHook([&](const TKeyHookInfo& Info) {
        if (Info.Msg == WM_KEYDOWN)
            Keys.push_back(Info.Key);
        return false;
    });
    SendKey(Inner1, Qt::Key_F2);
    SendKey(Inner1, Qt::Key_CapsLock);
    RemoveHook(K);
    EXPECT_EQ(Keys, (std::vector<Word>{VK_F2, VK_CAPITAL}));
    EXPECT_TRUE(GetKeyToggled(VK_CAPITAL));
    SendKey(Inner1, Qt::Key_CapsLock);
    EXPECT_FALSE(GetKeyToggled(VK_CAPITAL));
}

TEST(Controls, BroadcastTimersMessagesAndZOrder)
{
    TProbe Host(nullptr);
    auto* A = new TProbe(&Host);
    auto* B = new TProbe(&Host);
    A->SetParent(&Host);
    B->SetParent(&Host);
    TMessage M{CM_BUTTONPRESSED, 3, reinterpret_cast<intptr_t>(A), 0};
    Host.Broadcast(M);
    EXPECT_EQ(A->Log, std::vector<String>{"pressed 3"});
    EXPECT_EQ(B->Log, std::vector<String>{"pressed 3"});

    EXPECT_EQ(RegisterWindowMessage("NVCOMBODROPDOWNMESSAGE"), RegisterWindowMessage("nvcombodropdownmessage"));
    EXPECT_NE(RegisterWindowMessage("A"), RegisterWindowMessage("B"));
    EXPECT_GE(RegisterWindowMessage("C"), 0xC000u);

    // A graphic control stays below the windowed ones, whatever the order.
    auto* G = new TGraphicProbe(&Host);
    G->SetParent(&Host);
    EXPECT_EQ(Host.Controls(0), G);
    G->BringToFront();
    EXPECT_EQ(Host.Controls(0), G);
    A->BringToFront();
    EXPECT_EQ(Host.Controls(2), A);
    EXPECT_EQ(A->TabOrder(), 1);
    A->SetTabOrder(0);
    EXPECT_EQ(A->TabOrder(), 0);

    // Timers by identifier; starting one again replaces it.
    A->SetTimer(200, 5);
    A->SetTimer(200, 5);
    QEventLoop Loop;
    QTimer::singleShot(60, &Loop, &QEventLoop::quit);
    Loop.exec();
    A->KillTimer(200);
    const auto Ticks = std::count(A->Log.begin(), A->Log.end(), String("timer 200"));
    EXPECT_GE(Ticks, 2);
    EXPECT_LE(Ticks, 13); // one timer, not two
}

TEST(Controls, PaintingGoesThroughTheCanvasAndGraphicControlsAreTransparent)
{
    auto Form = LoadProbeForm();
    Form->Show();
    const QImage Shot = Form->grab().toImage();
    // The panel paints red; its children inherit the colour.
    EXPECT_EQ(QColor(Shot.pixel(12, 42)), QColor(Qt::red));
    // The form's own background is clBtnFace.
    EXPECT_EQ(Shot.pixel(5, 150) & 0xFFFFFF, ColorToQRgb(clBtnFace) & 0xFFFFFF);
    EXPECT_GT(Find<TProbe>(Form.get(), "Panel1")->PaintCount, 0);

    // A graphic control that draws nothing shows its parent.
    auto* G = new TGraphicProbe(Form.get());
    G->SetParent(Find<TProbe>(Form.get(), "Panel1"));
    G->SetBounds(150, 60, 10, 10);
    const QImage Shot2 = Form->grab().toImage();
    EXPECT_EQ(QColor(Shot2.pixel(10 + 155, 40 + 65)), QColor(Qt::red));
}

#include "ControlsTest.moc"

TEST(Controls, VirtualKeysOfTheMainKeyboardAndTheKeypad)
{
    const struct {
        int QtKey;
        bool Keypad;
        Word Vk;
    } Cases[] = {
        {Qt::Key_A, false, 'A'},          {Qt::Key_7, false, '7'},
        {Qt::Key_7, true, VK_NUMPAD0 + 7}, {Qt::Key_0, true, VK_NUMPAD0},
        {Qt::Key_Minus, false, VK_OEM_MINUS}, {Qt::Key_Minus, true, VK_SUBTRACT},
        {Qt::Key_Plus, false, VK_ADD},     {Qt::Key_Plus, true, VK_ADD}, // "+" without Shift: its own key
        {Qt::Key_Equal, false, VK_OEM_PLUS}, {Qt::Key_Slash, false, VK_OEM_2},
        {Qt::Key_Slash, true, VK_DIVIDE},  {Qt::Key_Asterisk, true, VK_MULTIPLY},
        {Qt::Key_Period, false, VK_OEM_PERIOD}, {Qt::Key_Period, true, VK_DECIMAL},
        {Qt::Key_Comma, false, VK_OEM_COMMA}, {Qt::Key_Semicolon, false, VK_OEM_1},
        {Qt::Key_BracketRight, false, VK_OEM_6}, {Qt::Key_Enter, true, VK_RETURN},
        {Qt::Key_Left, true, VK_LEFT},     {Qt::Key_F5, false, VK_F1 + 4},
        {Qt::Key_At, false, '2'},          {Qt::Key_Percent, false, '5'}, // shifted digits
        {Qt::Key_ParenRight, false, '0'},
        {Qt::Key_Launch0, false, 0},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.QtKey);
        EXPECT_EQ(QtKeyToVirtualKey(C.QtKey, C.Keypad ? Qt::KeypadModifier : Qt::NoModifier), C.Vk);
    }
    // "+" as the shifted "=" key stays that key with Shift.
    EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_Plus, Qt::ShiftModifier), VK_OEM_PLUS);
    // Back to Qt: the keypad's keys give the keys they type.
    EXPECT_EQ(VirtualKeyToQtKey(VK_NUMPAD0 + 3), int(Qt::Key_3));
    EXPECT_EQ(VirtualKeyToQtKey(VK_SUBTRACT), int(Qt::Key_Minus));
    EXPECT_EQ(VirtualKeyToQtKey(VK_OEM_MINUS), int(Qt::Key_Minus));
    EXPECT_EQ(VirtualKeyToQtKey(VK_DECIMAL), int(Qt::Key_Period));
}
