// Forms, the application object, the screen and hint windows.
//
// A form is a top-level window built from its form file: the creator makes
// the instance and then reads the form file of its class into it
// (CreateFormInstance; constructors never load form files). Form files are
// found by class name ("TMainForm.nvf") in the form directories
// (AddFormDirectory) and under the Qt resource prefix ":/forms/".
//
// A form's client area is the QWidget itself: Width/Height and
// ClientWidth/ClientHeight are the same, and the window frame (when the
// border style has one) lies outside, drawn by the window manager.
#pragma once

#include <QEventLoop>
#include <QTimer>

#include "Controls.h"

class TStrings;
class TMainMenu;

namespace FormsTypes {
Q_NAMESPACE

enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
Q_ENUM_NS(TPosition)

enum TBorderIcon { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
Q_DECLARE_FLAGS(TBorderIcons, TBorderIcon)
Q_FLAG_NS(TBorderIcons)

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
Q_ENUM_NS(TFormStyle)

enum TCloseAction { caNone, caHide, caFree, caMinimize };
Q_ENUM_NS(TCloseAction)

enum TWindowState { wsNormal, wsMinimized, wsMaximized };
Q_ENUM_NS(TWindowState)

} // namespace FormsTypes
using namespace FormsTypes;
Q_DECLARE_OPERATORS_FOR_FLAGS(FormsTypes::TBorderIcons)

using TModalResult = int;
enum : TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10
};

using TCloseEvent = TEvent<TObject*, TCloseAction&>;
ZEN_EVENT_TYPE(TCloseEvent)
using TCloseQueryEvent = TEvent<TObject*, bool&>;
ZEN_EVENT_TYPE(TCloseQueryEvent)

// ---------------------------------------------------------------- forms

class TCustomForm : public TWinControl {
    Q_OBJECT
public:
    explicit TCustomForm(TComponent* AOwner = nullptr);
    ~TCustomForm() override;

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState Value);
    bool Scaled() const { return FScaled; }
    void SetScaled(bool Value) { FScaled = Value; }
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    int PixelsPerInch() const { return ScreenPixelsPerInch; }
    void SetPixelsPerInch(int) {}
    int TextHeight() const { return FTextHeight; }
    void SetTextHeight(int Value) { FTextHeight = Value; }

    // The control that has (or gets, when the form shows) the focus.
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Control);
    // Called when a control of the form receives the focus: tells the
    // controls that lose it and their containers (CM_EXIT, innermost first)
    // and those that gain it (CM_ENTER, outermost first).
    void FocusControlChanged(TWinControl* Control);

    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value);
    bool Modal() const { return FModal; }
    // Shows the form and runs a message loop until ModalResult is set or the
    // form closes; the other windows of the application get no input
    // meanwhile. Returns the modal result (mrCancel when closed without one).
    int ShowModal();
    void Show();
    void Close();
    bool CloseQuery();
    void Release();
    bool Active() const { return FActive; }

    // The default and cancel buttons answer Enter and Esc through
    // CM_DIALOGKEY, which the form broadcasts to its controls after handling
    // navigation keys (tab and arrows) itself.
    void WndProc(TMessage& Message) override;
    void Loaded() override;
    void SetParent(TWinControl* AParent) override;
    // A form stores its client size, not Width and Height.
    bool IsPropertyStored(const char* Name) const override;
    // The non-visual components the form owns (timers, menus, dialogs, data
    // sets), then its controls.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnPaint;

    // Runs OnCreate; called once the form file is read.
    virtual void DoCreate();

protected:
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    virtual void Activate();
    virtual void Deactivate();
    void PaintControl(QImage& Image) override;
    bool event(QEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
    void hideEvent(QHideEvent* Event) override;
    void ApplyWindowFlags();
    void PlaceOnScreen();

private:
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons = TBorderIcons(biSystemMenu) | biMinimize | biMaximize;
    TPosition FPosition = poDesigned;
    TFormStyle FFormStyle = fsNormal;
    TWindowState FWindowState = wsNormal;
    bool FScaled = true;
    bool FKeyPreview = false;
    int FTextHeight = 13;
    QPointer<TWinControl> FActiveControl;
    QPointer<TWinControl> FFocusedControl;
    TModalResult FModalResult = mrNone;
    bool FModal = false;
    bool FActive = false;
    bool FPlaced = false;
    bool FCreated = false;
    QEventLoop* FModalLoop = nullptr;
};

class TForm : public TCustomForm {
    Q_OBJECT
    Q_MOC_INCLUDE("Menus.h")
    Q_PROPERTY(TWinControl* ActiveControl READ ActiveControl WRITE SetActiveControl)
    Q_PROPERTY(ControlsTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(FormsTypes::TBorderIcons BorderIcons READ BorderIcons WRITE SetBorderIcons)
    Q_PROPERTY(String Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int ClientHeight READ ClientHeight WRITE SetClientHeight)
    Q_PROPERTY(int ClientWidth READ ClientWidth WRITE SetClientWidth)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(FormsTypes::TFormStyle FormStyle READ FormStyle WRITE SetFormStyle)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool KeyPreview READ KeyPreview WRITE SetKeyPreview)
    Q_PROPERTY(TMainMenu* Menu READ Menu WRITE SetMenu)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int PixelsPerInch READ PixelsPerInch WRITE SetPixelsPerInch STORED false)
    Q_PROPERTY(FormsTypes::TPosition Position READ Position WRITE SetPosition)
    Q_PROPERTY(bool Scaled READ Scaled WRITE SetScaled)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(int TextHeight READ TextHeight WRITE SetTextHeight STORED false)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible STORED false)
    Q_PROPERTY(FormsTypes::TWindowState WindowState READ WindowState WRITE SetWindowState)
    Q_PROPERTY(TNotifyEvent OnActivate MEMBER OnActivate)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TCloseEvent OnClose MEMBER OnClose)
    Q_PROPERTY(TCloseQueryEvent OnCloseQuery MEMBER OnCloseQuery)
    Q_PROPERTY(TNotifyEvent OnCreate MEMBER OnCreate)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TNotifyEvent OnDeactivate MEMBER OnDeactivate)
    Q_PROPERTY(TNotifyEvent OnDestroy MEMBER OnDestroy)
    Q_PROPERTY(TNotifyEvent OnHide MEMBER OnHide)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
    Q_PROPERTY(TKeyPressEvent OnKeyPress MEMBER OnKeyPress)
    Q_PROPERTY(TKeyEvent OnKeyUp MEMBER OnKeyUp)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
    Q_PROPERTY(TNotifyEvent OnPaint MEMBER OnPaint)
    Q_PROPERTY(TNotifyEvent OnResize MEMBER OnResize)
    Q_PROPERTY(TNotifyEvent OnShow MEMBER OnShow)
public:
    explicit TForm(TComponent* AOwner = nullptr) : TCustomForm(AOwner) {}
    // The main menu the form shows (GetFormMenu / SetFormMenu of Menus.h).
    TMainMenu* Menu() const;
    void SetMenu(TMainMenu* Value);
};

// ---------------------------------------------------------------- form files

// Directories searched for form files, after ":/forms/".
void AddFormDirectory(const String& Directory);
// The form file of a class ("" when there is none).
String FindFormFile(const String& ClassName);
// Reads the form file of the instance's class into it; false when the class
// has no form file. Raises the reader's errors.
bool InitInheritedComponent(TComponent* Instance);
// Creates an instance of a component class with the owner and builds it from
// its form file; forms then get OnCreate. Nothing is left on failure.
TComponent* CreateFormInstance(const TMetaClass* Class, TComponent* Owner);

// ---------------------------------------------------------------- hints

// The window that shows a hint: the text on clInfoBk in a one-pixel frame.
class THintWindow : public TCustomControl {
    Q_OBJECT
public:
    explicit THintWindow(TComponent* AOwner = nullptr);
    // The size the hint needs, wrapped at MaxWidth, placed at (0, 0).
    virtual TRect CalcHintRect(int MaxWidth, const String& AHint);
    // Shows the hint at the screen rectangle.
    virtual void ActivateHint(TRect Rect, const String& AHint);
    void ReleaseHandle();

protected:
    void Paint() override;
};

using THintWindowFactory = std::function<THintWindow*(TComponent* Owner)>;

// ---------------------------------------------------------------- application

using TExceptionEvent = TEvent<TObject*, const Exception&>;

class TApplication : public TNonVisualComponent {
    Q_OBJECT
public:
    explicit TApplication(TComponent* AOwner = nullptr);
    ~TApplication() override;

    void Initialize() {}
    // Creates a form of class T owned by the application, built from its
    // form file; the first form created becomes the main form.
    template <class T>
    void CreateForm(T*& Reference)
    {
        Reference = static_cast<T*>(CreateFormInstance(ClassOf<T>(), this));
        if (!FMainForm)
            FMainForm = Reference;
    }
    // Shows the main form and runs the message loop until it closes.
    void Run();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    void ProcessMessages();
    TCustomForm* MainForm() const { return FMainForm; }
    void SetMainForm(TCustomForm* Form) { FMainForm = Form; }

    String Title() const { return FTitle; }
    void SetTitle(const String& Value);
    // Shows an exception the way the default exception display does (or
    // calls OnException when assigned).
    void HandleException(const std::exception& E);
    std::function<void(TObject*, const std::exception&)> OnException;

    // ---- hints
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) { FShowHint = Value; }
    int HintPause() const { return FHintPause; }
    void SetHintPause(int Value) { FHintPause = Value; }
    int HintHidePause() const { return FHintHidePause; }
    void SetHintHidePause(int Value) { FHintHidePause = Value; }
    TColor HintColor() const { return FHintColor; }
    void SetHintColor(TColor Value) { FHintColor = Value; }
    void SetHintWindowFactory(THintWindowFactory Factory) { FHintFactory = std::move(Factory); }
    // Shows the hint of the control under the mouse at once.
    void ActivateHint(TPoint CursorPos);
    void CancelHint();
    THintWindow* HintWindow() const { return FHintWindow; }
    // Called as the mouse moves over a control: starts the hint pause.
    void HintMouseMessage(TControl* Control);
    TNotifyEvent OnHint;

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void ShowHintFor(TControl* Control);
    TCustomForm* FMainForm = nullptr;
    bool FTerminated = false;
    String FTitle;
    String FHint;
    bool FShowHint = true;
    int FHintPause = 500;
    int FHintHidePause = 2500;
    TColor FHintColor = clInfoBk;
    THintWindowFactory FHintFactory;
    THintWindow* FHintWindow = nullptr;
    // The control under the mouse, with a guard that empties when it is
    // gone (compared as an address only: it may be half destroyed).
    TControl* FHintControl = nullptr;
    QPointer<QObject> FHintGuard;
    TControl* HintControl() const { return FHintGuard ? FHintControl : nullptr; }
    QTimer FHintTimer;
    QTimer FHintHideTimer;
};

// ---------------------------------------------------------------- screen

class TScreen : public TNonVisualComponent {
    Q_OBJECT
public:
    explicit TScreen(TComponent* AOwner = nullptr);
    ~TScreen() override;

    // crDefault removes the application-wide cursor.
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    TWinControl* ActiveControl() const;
    TCustomForm* ActiveForm() const;
    int FormCount() const;
    TCustomForm* Forms(int Index) const;
    int PixelsPerInch() const { return ScreenPixelsPerInch; }
    int Width() const;
    int Height() const;
    TRect WorkAreaRect() const;
    // The installed font families (sorted).
    TStrings* Fonts();

private:
    TCursor FCursor = crDefault;
    TStrings* FFonts = nullptr;
};

extern TApplication* Application;
extern TScreen* Screen;
// Creates Application and Screen (once); the QApplication must exist.
void InitApplication();

// Opens a web or mail address with the desktop's handler (the shell's "OPEN").
bool ShellOpen(const String& Address);

void RegisterFormsClasses();
