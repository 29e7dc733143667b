#include "Forms.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QScreen>
#include <QUrl>

#include "ExceptionBarrier.h"
#include "FormStream.h"
#include "Menus.h"
#include "StringList.h"

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

// ---------------------------------------------------------------- TForm

TMainMenu* TForm::Menu() const
{
    return GetFormMenu(this);
}

void TForm::SetMenu(TMainMenu* Value)
{
    SetFormMenu(this, Value);
}

// ---------------------------------------------------------------- form files

namespace {
std::vector<String>& FormDirectories()
{
    static std::vector<String> Dirs;
    return Dirs;
}
} // namespace

void AddFormDirectory(const String& Directory)
{
    auto& D = FormDirectories();
    if (std::find(D.begin(), D.end(), Directory) == D.end())
        D.push_back(Directory);
}

String FindFormFile(const String& ClassName)
{
    const QString Name = ToQString(ClassName) + ".nvf";
    const QString Resource = ":/forms/" + Name;
    if (QFile::exists(Resource))
        return FromQString(Resource);
    for (const String& Dir : FormDirectories()) {
        const QString Path = QDir(ToQString(Dir)).filePath(Name);
        if (QFile::exists(Path))
            return FromQString(Path);
    }
    return String();
}

bool InitInheritedComponent(TComponent* Instance)
{
    const String Path = FindFormFile(Instance->ClassName());
    if (Path.empty())
        return false;
    QFile File(ToQString(Path));
    if (!File.open(QIODevice::ReadOnly))
        throw EReadError("Cannot open form file " + Path + ": " + FromQString(File.errorString()));
    const QByteArray Bytes = File.readAll();
    TFormReadOptions Options;
    Options.FileName = Path;
    Options.BaseDir = FromQString(QFileInfo(ToQString(Path)).path());
    ReadComponentFromText(String(Bytes.constData(), static_cast<size_t>(Bytes.size())), Instance, nullptr, Options);
    return true;
}

TComponent* CreateFormInstance(const TMetaClass* Class, TComponent* Owner)
{
    TComponent* C = Class->CreateComponent(Owner);
    try {
        InitInheritedComponent(C);
        if (auto* F = dynamic_cast<TCustomForm*>(C))
            F->DoCreate();
    } catch (...) {
        delete C;
        throw;
    }
    return C;
}

// ---------------------------------------------------------------- TCustomForm

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner)
{
    FVisible = false;
    FColor = clBtnFace;
    FParentColor = false;
    FParentFont = false;
    FControlStyle |= csAcceptsControls;
    SetBounds(0, 0, 320, 240);
    ApplyWindowFlags();
}

TCustomForm::~TCustomForm()
{
    if (FModalLoop)
        FModalLoop->exit(0);
    if (OnDestroy && !IsDesigning()) {
        try {
            OnDestroy(this);
        } catch (const std::exception& E) {
            ShowException(E);
        }
    }
    Destroying();
    DestroyComponents();
    if (Application && Application->MainForm() == this)
        Application->SetMainForm(nullptr);
}

void TCustomForm::SetParent(TWinControl* AParent)
{
    TWinControl::SetParent(AParent);
    if (!AParent)
        ApplyWindowFlags();
}

bool TCustomForm::IsPropertyStored(const char* Name) const
{
    const String N = Name;
    if (N == "Width" || N == "Height")
        return false;
    return TWinControl::IsPropertyStored(Name);
}

void TCustomForm::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    TComponent::GetChildren(Proc, Root);
    TWinControl::GetChildren(Proc, Root);
}

void TCustomForm::ApplyWindowFlags()
{
    if (FParent)
        return;
    Qt::WindowFlags Flags = Qt::Window;
    switch (FBorderStyle) {
    case bsNone: Flags |= Qt::FramelessWindowHint; break;
    case bsDialog: Flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint; break;
    case bsToolWindow:
    case bsSizeToolWin: Flags = Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint; break;
    default:
        Flags |= Qt::WindowTitleHint;
        if (FBorderIcons.testFlag(biSystemMenu))
            Flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (FBorderIcons.testFlag(biMinimize))
            Flags |= Qt::WindowMinimizeButtonHint;
        if (FBorderIcons.testFlag(biMaximize) && FBorderStyle == bsSizeable)
            Flags |= Qt::WindowMaximizeButtonHint;
        break;
    }
    if (FFormStyle == fsStayOnTop)
        Flags |= Qt::WindowStaysOnTopHint;
    const bool WasVisible = QWidget::isVisible();
    setWindowFlags(Flags);
    if (FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin)
        setMinimumSize(0, 0), setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (WasVisible)
        QWidget::show();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    ApplyWindowFlags();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value)
{
    if (FBorderIcons == Value)
        return;
    FBorderIcons = Value;
    ApplyWindowFlags();
}

void TCustomForm::SetFormStyle(TFormStyle Value)
{
    if (FFormStyle == Value)
        return;
    FFormStyle = Value;
    ApplyWindowFlags();
}

void TCustomForm::SetWindowState(TWindowState Value)
{
    FWindowState = Value;
    if (!QWidget::isVisible())
        return;
    switch (Value) {
    case wsMinimized: showMinimized(); break;
    case wsMaximized: showMaximized(); break;
    default: showNormal(); break;
    }
}

void TCustomForm::SetActiveControl(TWinControl* Control)
{
    if (Control && !ContainsControl(Control))
        throw EInvalidOperation("Invalid control: the active control must be on the form");
    FActiveControl = Control;
    if (Control && QWidget::isVisible() && !IsLoading() && Control->CanFocus())
        Control->SetFocus();
}

void TCustomForm::FocusControlChanged(TWinControl* Control)
{
    if (FFocusedControl == Control)
        return;
    // The chains from each control up to the form.
    std::vector<TWinControl*> Old, New;
    for (TControl* C = FFocusedControl; C && C != this; C = C->Parent())
        if (auto* W = dynamic_cast<TWinControl*>(C))
            Old.push_back(W);
    for (TControl* C = Control; C && C != this; C = C->Parent())
        if (auto* W = dynamic_cast<TWinControl*>(C))
            New.push_back(W);
    FFocusedControl = Control;
    FActiveControl = Control;
    std::vector<QPointer<TWinControl>> Exits, Enters;
    for (TWinControl* W : Old)
        if (std::find(New.begin(), New.end(), W) == New.end())
            Exits.emplace_back(W);
    for (auto It = New.rbegin(); It != New.rend(); ++It)
        if (std::find(Old.begin(), Old.end(), *It) == Old.end())
            Enters.emplace_back(*It);
    for (auto& W : Exits)
        if (W)
            W->Perform(CM_EXIT);
    for (auto& W : Enters)
        if (W)
            W->Perform(CM_ENTER);
}

void TCustomForm::SetModalResult(TModalResult Value)
{
    FModalResult = Value;
    if (FModal && Value != mrNone && FModalLoop) {
        TCloseAction Action = caHide;
        if (!CloseQuery()) {
            FModalResult = mrNone;
            return;
        }
        DoClose(Action);
        if (Action == caNone) {
            FModalResult = mrNone;
            return;
        }
        FModalLoop->exit(0);
    }
}

int TCustomForm::ShowModal()
{
    if (FModal || QWidget::isVisible())
        throw EInvalidOperation("Cannot make a visible window modal");
    FModal = true;
    FModalResult = mrNone;
    setWindowModality(Qt::ApplicationModal);
    QEventLoop Loop;
    FModalLoop = &Loop;
    QPointer<TCustomForm> Self(this);
    try {
        Show();
        if (FModalResult == mrNone)
            Loop.exec(QEventLoop::DialogExec);
    } catch (...) {
        if (Self) {
            FModalLoop = nullptr;
            FModal = false;
            QWidget::hide();
        }
        throw;
    }
    if (!Self)
        return mrCancel;
    FModalLoop = nullptr;
    FModal = false;
    FVisible = false;
    QWidget::hide();
    setWindowModality(Qt::NonModal);
    return FModalResult == mrNone ? mrCancel : FModalResult;
}

void TCustomForm::PlaceOnScreen()
{
    if (FPlaced || FParent)
        return;
    FPlaced = true;
    QScreen* S = QGuiApplication::primaryScreen();
    if (!S)
        return;
    QRect Area = S->availableGeometry();
    switch (FPosition) {
    case poMainFormCenter:
    case poOwnerFormCenter:
        if (Application && Application->MainForm() && Application->MainForm() != this &&
            Application->MainForm()->QWidget::isVisible())
            Area = Application->MainForm()->frameGeometry();
        [[fallthrough]];
    case poScreenCenter:
    case poDesktopCenter:
        SetBounds(Area.x() + (Area.width() - FWidth) / 2, Area.y() + (Area.height() - FHeight) / 2, FWidth, FHeight);
        break;
    default: break;
    }
}

void TCustomForm::Show()
{
    if (FParent) {
        TControl::SetVisible(true);
        return;
    }
    PlaceOnScreen();
    FVisible = true;
    QWidget::show();
    // The offscreen platform has no stacking of windows.
    if (QGuiApplication::platformName() != "offscreen") {
        QWidget::raise();
        QWidget::activateWindow();
    }
}

void TCustomForm::Close()
{
    if (FModal) {
        SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction Action = caHide;
    if (Application && Application->MainForm() == this)
        Action = caFree;
    DoClose(Action);
    switch (Action) {
    case caNone: return;
    case caMinimize: showMinimized(); return;
    case caHide:
        FVisible = false;
        QWidget::hide();
        return;
    case caFree:
        FVisible = false;
        QWidget::hide();
        if (Application && Application->MainForm() == this)
            Application->Terminate();
        else
            Release();
        return;
    }
}

bool TCustomForm::CloseQuery()
{
    bool CanClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, CanClose);
    return CanClose;
}

void TCustomForm::DoClose(TCloseAction& Action)
{
    if (OnClose)
        OnClose(this, Action);
}

void TCustomForm::Release()
{
    QWidget::deleteLater();
}

void TCustomForm::DoCreate()
{
    if (FCreated)
        return;
    FCreated = true;
    if (OnCreate)
        OnCreate(this);
}

void TCustomForm::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TCustomForm::DoHide()
{
    if (OnHide)
        OnHide(this);
}

void TCustomForm::Activate()
{
    if (OnActivate)
        OnActivate(this);
}

void TCustomForm::Deactivate()
{
    if (OnDeactivate)
        OnDeactivate(this);
}

void TCustomForm::Loaded()
{
    TWinControl::Loaded();
    setWindowTitle(ToQString(Caption()));
}

void TCustomForm::PaintControl(QImage& Image)
{
    TWinControl::PaintControl(Image);
    if (OnPaint)
        OnPaint(this);
}

bool TCustomForm::event(QEvent* Event)
{
    switch (Event->type()) {
    case QEvent::WindowActivate:
        FActive = true;
        if (FActiveControl && !FActiveControl->Focused() && FActiveControl->CanFocus())
            FActiveControl->SetFocus();
        Activate();
        break;
    case QEvent::WindowDeactivate:
        FActive = false;
        Deactivate();
        break;
    default: break;
    }
    return TWinControl::event(Event);
}

void TCustomForm::closeEvent(QCloseEvent* Event)
{
    // The window's close command runs the form's own closing.
    Event->ignore();
    Close();
}

void TCustomForm::showEvent(QShowEvent* Event)
{
    TWinControl::showEvent(Event);
    if (!FParent) {
        if (FActiveControl && FActiveControl->CanFocus())
            FActiveControl->SetFocus();
        else if (TWinControl* First = FindNextControl(nullptr, true, true, false))
            First->SetFocus();
    }
    DoShow();
}

void TCustomForm::hideEvent(QHideEvent* Event)
{
    TWinControl::hideEvent(Event);
    DoHide();
}

void TCustomForm::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        setWindowTitle(ToQString(Caption()));
        break;
    case CM_VISIBLECHANGED:
        // A top-level form's window follows Visible (Hide, Visible := False).
        if (!FParent && !IsLoading()) {
            if (Message.WParam == 0 && QWidget::isVisible())
                QWidget::hide();
            else if (Message.WParam != 0 && !QWidget::isVisible())
                Show();
        }
        break;
    case CM_DIALOGKEY: {
        const Word Key = static_cast<Word>(Message.WParam);
        const TShiftState Shift = TShiftState::fromInt(static_cast<int>(Message.LParam));
        if (Shift.testFlag(ssAlt) || Shift.testFlag(ssCtrl))
            break;
        switch (Key) {
        case VK_TAB:
            SelectNext(FActiveControl, !Shift.testFlag(ssShift), true);
            Message.Result = 1;
            return;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
            if (FActiveControl) {
                TWinControl* P = FActiveControl->Parent();
                if (P)
                    P->SelectNext(FActiveControl, Key == VK_RIGHT || Key == VK_DOWN, false);
                Message.Result = 1;
                return;
            }
            break;
        default: break;
        }
        break;
    }
    default: break;
    }
    TWinControl::WndProc(Message);
}

// ---------------------------------------------------------------- hints

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner)
{
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    FColor = Application ? Application->HintColor() : clInfoBk;
    FParentColor = false;
    FParentFont = false;
    FVisible = false;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const String& AHint)
{
    TRect R(0, 0, MaxWidth, 0);
    QImage Scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
    TCanvas C(&Scratch);
    C.Font()->Assign(Font());
    DrawText(&C, AHint, R, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    return TRect(0, 0, R.Right + 6, R.Bottom + 2);
}

void THintWindow::ActivateHint(TRect Rect, const String& AHint)
{
    SetCaption(AHint);
    SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
    FVisible = true;
    QWidget::show();
    Invalidate();
}

void THintWindow::ReleaseHandle()
{
    FVisible = false;
    QWidget::hide();
}

void THintWindow::Paint()
{
    TCanvas* C = Canvas();
    TRect R = ClientRect();
    C->Brush()->SetColor(FColor);
    C->FillRect(R);
    C->Brush()->SetColor(clBlack);
    C->FrameRect(R);
    R.Left += 2;
    R.Top += 1;
    C->Brush()->SetStyle(bsClear);
    C->Font()->SetColor(clInfoText);
    DrawText(C, Caption(), R, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

// ---------------------------------------------------------------- application

TApplication::TApplication(TComponent* AOwner) : TNonVisualComponent(AOwner)
{
    FTitle = FromQString(QCoreApplication::applicationName());
    FHintTimer.setSingleShot(true);
    FHintHideTimer.setSingleShot(true);
    QObject::connect(&FHintTimer, &QTimer::timeout, this, [this] {
        if (TControl* C = HintControl())
            ShowHintFor(C);
    });
    QObject::connect(&FHintHideTimer, &QTimer::timeout, this, [this] { CancelHint(); });
}

TApplication::~TApplication()
{
    Destroying();
    DestroyComponents();
    if (Application == this)
        Application = nullptr;
}

void TApplication::Run()
{
    if (FMainForm)
        FMainForm->Show();
    if (!FTerminated)
        QCoreApplication::exec();
}

void TApplication::Terminate()
{
    FTerminated = true;
    QCoreApplication::quit();
}

void TApplication::ProcessMessages()
{
    QCoreApplication::processEvents();
}

void TApplication::SetTitle(const String& Value)
{
    FTitle = Value;
    QCoreApplication::setApplicationName(ToQString(Value));
}

void TApplication::HandleException(const std::exception& E)
{
    if (OnException && !dynamic_cast<const EAbort*>(&E))
        OnException(this, E);
    else
        ShowException(E);
}

void TApplication::SetHint(const String& Value)
{
    if (FHint == Value)
        return;
    FHint = Value;
    if (OnHint)
        OnHint(this);
}

void TApplication::HintMouseMessage(TControl* Control)
{
    if (Control == HintControl())
        return;
    CancelHint();
    FHintControl = Control;
    FHintGuard = Control;
    // The long part of a hint ("short|long") goes to the application's Hint.
    String H = Control ? Control->Hint() : String();
    const size_t Bar = H.find('|');
    SetHint(Bar == String::npos ? H : H.substr(Bar + 1));
    if (Control && FShowHint && Control->ShowHint() && !Control->Hint().empty())
        FHintTimer.start(FHintPause);
}

void TApplication::ActivateHint(TPoint)
{
    if (TControl* C = HintControl())
        ShowHintFor(C);
}

void TApplication::ShowHintFor(TControl* Control)
{
    String H = Control->Hint();
    const size_t Bar = H.find('|');
    if (Bar != String::npos)
        H = H.substr(0, Bar);
    if (H.empty())
        return;
    if (!FHintWindow) {
        FHintWindow = FHintFactory ? FHintFactory(this) : new THintWindow(this);
        FHintWindow->FreeNotification(this);
    }
    TRect R = FHintWindow->CalcHintRect(300, H);
    const QPoint Cursor = QCursor::pos();
    OffsetRect(R, Cursor.x(), Cursor.y() + 20);
    FHintWindow->ActivateHint(R, H);
    FHintHideTimer.start(FHintHidePause);
}

void TApplication::CancelHint()
{
    FHintTimer.stop();
    FHintHideTimer.stop();
    if (FHintWindow)
        FHintWindow->ReleaseHandle();
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation)
{
    TNonVisualComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FHintWindow)
        FHintWindow = nullptr;
    if (Operation == opRemove && AComponent == FMainForm)
        FMainForm = nullptr;
}

// ---------------------------------------------------------------- screen

TScreen::TScreen(TComponent* AOwner) : TNonVisualComponent(AOwner) {}

TScreen::~TScreen()
{
    if (FCursor != crDefault)
        QApplication::restoreOverrideCursor();
    delete FFonts;
    if (Screen == this)
        Screen = nullptr;
}

void TScreen::SetCursor(TCursor Value)
{
    if (FCursor == Value)
        return;
    if (FCursor != crDefault)
        QApplication::restoreOverrideCursor();
    FCursor = Value;
    if (Value != crDefault)
        QApplication::setOverrideCursor(QCursor(CursorToQt(Value)));
}

TWinControl* TScreen::ActiveControl() const
{
    QWidget* W = QApplication::focusWidget();
    for (; W; W = W->parentWidget())
        if (auto* C = dynamic_cast<TWinControl*>(W))
            return C;
    return nullptr;
}

TCustomForm* TScreen::ActiveForm() const
{
    return dynamic_cast<TCustomForm*>(QApplication::activeWindow());
}

int TScreen::FormCount() const
{
    int N = 0;
    for (QWidget* W : QApplication::topLevelWidgets())
        if (dynamic_cast<TCustomForm*>(W))
            ++N;
    return N;
}

TCustomForm* TScreen::Forms(int Index) const
{
    int N = 0;
    for (QWidget* W : QApplication::topLevelWidgets())
        if (auto* F = dynamic_cast<TCustomForm*>(W))
            if (N++ == Index)
                return F;
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

int TScreen::Width() const
{
    QScreen* S = QGuiApplication::primaryScreen();
    return S ? S->geometry().width() : 0;
}

int TScreen::Height() const
{
    QScreen* S = QGuiApplication::primaryScreen();
    return S ? S->geometry().height() : 0;
}

TRect TScreen::WorkAreaRect() const
{
    QScreen* S = QGuiApplication::primaryScreen();
    return S ? TRect::FromQRect(S->availableGeometry()) : TRect();
}

TStrings* TScreen::Fonts()
{
    if (!FFonts) {
        auto* L = new TStringList();
        L->SetSorted(true);
        L->SetDuplicates(dupIgnore);
        for (const QString& F : QFontDatabase::families())
            L->Add(FromQString(F));
        FFonts = L;
    }
    return FFonts;
}

void InitApplication()
{
    if (!Application)
        Application = new TApplication();
    if (!Screen)
        Screen = new TScreen();
}

bool ShellOpen(const String& Address)
{
    QString A = ToQString(Address);
    if (!A.contains(':'))
        A = (A.contains('@') ? "mailto:" : "http://") + A;
    return QDesktopServices::openUrl(QUrl(A));
}

void RegisterFormsClasses()
{
    RegisterClasses<TForm>();
}

namespace {
[[maybe_unused]] const bool FormsRegistered = (RegisterFormsClasses(), true);
}
