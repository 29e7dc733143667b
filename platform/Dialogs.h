// Dialogs: the open, save and colour dialogs and the message boxes.
//
// Execute shows the dialog modally and returns true when the user chose OK;
// what the user chose is then in the dialog's properties (FileName and Files,
// FilterIndex; Color and CustomColors). Qt's own (non-native) dialogs run
// underneath: QFileDialog and QColorDialog, QMessageBox for MessageDlg.
//
// Every dialog and message box goes through a replaceable executor, so
// programs without a screen (tests) can answer for the user:
//
//     SetDialogExecutor([](TCommonDialog& D) {
//         static_cast<TOpenDialog&>(D).SetFileName("/tmp/a.txt");
//         return true;                       // the user pressed OK
//     });
//     SetMessageDlgExecutor([](const TMessageDlgRequest& R) { return mrYes; });
//
// The executor plays the user's part; Execute then does the rest as it does
// after the real dialog (default extension, Files, the ExtensionDifferent
// flag). An empty executor restores the real dialogs.
#pragma once

#include <functional>
#include <memory>

#include "Classes.h"
#include "Colors.h"
#include "Forms.h"
#include "StringList.h"

namespace DialogsTypes {
Q_NAMESPACE

// Options of the file dialogs. Those with an effect here: ofOverwritePrompt
// (save: confirm replacing a file), ofAllowMultiSelect, ofFileMustExist,
// ofPathMustExist, ofCreatePrompt (open: confirm a new file),
// ofNoDereferenceLinks, ofForceShowHidden; ofExtensionDifferent is set by
// Execute when the chosen extension differs from DefaultExt, ofReadOnly is
// never set (the dialog has no read-only box, as with ofHideReadOnly). The
// others concern features of other platforms' dialogs (help buttons,
// network buttons, short names, sizing, recent-file lists, sharing checks,
// the working directory) and change nothing here.
enum TOpenOption : unsigned {
    ofReadOnly = 0x1,
    ofOverwritePrompt = 0x2,
    ofHideReadOnly = 0x4,
    ofNoChangeDir = 0x8,
    ofShowHelp = 0x10,
    ofNoValidate = 0x20,
    ofAllowMultiSelect = 0x40,
    ofExtensionDifferent = 0x80,
    ofPathMustExist = 0x100,
    ofFileMustExist = 0x200,
    ofCreatePrompt = 0x400,
    ofShareAware = 0x800,
    ofNoReadOnlyReturn = 0x1000,
    ofNoTestFileCreate = 0x2000,
    ofNoNetworkButton = 0x4000,
    ofNoLongNames = 0x8000,
    ofOldStyleDialog = 0x10000,
    ofNoDereferenceLinks = 0x20000,
    ofEnableIncludeNotify = 0x40000,
    ofEnableSizing = 0x80000,
    ofDontAddToRecent = 0x100000,
    ofForceShowHidden = 0x200000,
};
Q_DECLARE_FLAGS(TOpenOptions, TOpenOption)
Q_FLAG_NS(TOpenOptions)

// Options of the colour dialog. Qt's colour dialog always shows its custom
// colour part and any colour, and has no help button, so these are kept for
// the program but change nothing in the dialog.
enum TColorDialogOption : unsigned {
    cdFullOpen = 0x1,
    cdPreventFullOpen = 0x2,
    cdShowHelp = 0x4,
    cdSolidColor = 0x8,
    cdAnyColor = 0x10,
};
Q_DECLARE_FLAGS(TColorDialogOptions, TColorDialogOption)
Q_FLAG_NS(TColorDialogOptions)

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
Q_ENUM_NS(TMsgDlgType)

enum TMsgDlgBtn : unsigned {
    mbYes = 0x1,
    mbNo = 0x2,
    mbOK = 0x4,
    mbCancel = 0x8,
    mbAbort = 0x10,
    mbRetry = 0x20,
    mbIgnore = 0x40,
    mbAll = 0x80,
    mbNoToAll = 0x100,
    mbYesToAll = 0x200,
    mbHelp = 0x400,
};
Q_DECLARE_FLAGS(TMsgDlgButtons, TMsgDlgBtn)
Q_FLAG_NS(TMsgDlgButtons)

} // namespace DialogsTypes
using namespace DialogsTypes;
Q_DECLARE_OPERATORS_FOR_FLAGS(DialogsTypes::TOpenOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(DialogsTypes::TColorDialogOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(DialogsTypes::TMsgDlgButtons)

inline constexpr TMsgDlgButtons mbYesNoCancel = TMsgDlgButtons(mbYes) | mbNo | mbCancel;
inline constexpr TMsgDlgButtons mbYesAllNoAllCancel = TMsgDlgButtons(mbYes) | mbYesToAll | mbNo | mbNoToAll | mbCancel;
inline constexpr TMsgDlgButtons mbOKCancel = TMsgDlgButtons(mbOK) | mbCancel;
inline constexpr TMsgDlgButtons mbAbortRetryIgnore = TMsgDlgButtons(mbAbort) | mbRetry | mbIgnore;
inline constexpr TMsgDlgButtons mbAbortIgnore = TMsgDlgButtons(mbAbort) | mbIgnore;

// ---------------------------------------------------------------- common dialogs

class TCommonDialog : public TNonVisualComponent {
    Q_OBJECT
public:
    explicit TCommonDialog(TComponent* AOwner = nullptr);
    ~TCommonDialog() override;

    // Shows the dialog (OnShow before, OnClose after) and returns whether
    // the user chose OK.
    virtual bool Execute();

    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

protected:
    friend bool RunNativeDialog(TCommonDialog& Dialog);
    // Shows the real dialog and takes over what the user chose.
    virtual bool ExecuteNative() = 0;
    virtual void DoShow();
    virtual void DoClose();
};

// The executor of the dialogs: returns true for OK after setting what the
// user chose in the dialog.
using TDialogExecutor = std::function<bool(TCommonDialog& Dialog)>;
// Installs an executor and returns the one installed before (empty: the real
// dialogs).
TDialogExecutor SetDialogExecutor(TDialogExecutor Executor);
// Runs the real dialog whatever executor is installed.
bool RunNativeDialog(TCommonDialog& Dialog);

// ---------------------------------------------------------------- file dialogs

class TOpenDialog : public TCommonDialog {
    Q_OBJECT
    Q_PROPERTY(String DefaultExt READ DefaultExt WRITE SetDefaultExt)
    Q_PROPERTY(String FileName READ FileName WRITE SetFileName)
    Q_PROPERTY(String Filter READ Filter WRITE SetFilter)
    Q_PROPERTY(int FilterIndex READ FilterIndex WRITE SetFilterIndex)
    Q_PROPERTY(String InitialDir READ InitialDir WRITE SetInitialDir)
    Q_PROPERTY(DialogsTypes::TOpenOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(String Title READ Title WRITE SetTitle)
    Q_PROPERTY(TNotifyEvent OnClose MEMBER OnClose)
    Q_PROPERTY(TNotifyEvent OnShow MEMBER OnShow)
public:
    explicit TOpenDialog(TComponent* AOwner = nullptr);
    ~TOpenDialog() override;

    // Without a leading dot ("txt"); added to a chosen name without extension.
    const String& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const String& Value);
    const String& FileName() const { return FFileName; }
    void SetFileName(const String& Value) { FFileName = Value; }
    // Pairs of description and patterns separated by '|':
    // "Text files (*.txt)|*.txt|All files|*.*"; patterns of one entry are
    // separated by ';'. EInvalidOperation for an odd number of parts.
    const String& Filter() const { return FFilter; }
    void SetFilter(const String& Value);
    // 1-based: the filter shown first, and the one the user chose.
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int Value) { FFilterIndex = Value; }
    const String& InitialDir() const { return FInitialDir; }
    void SetInitialDir(const String& Value) { FInitialDir = Value; }
    TOpenOptions Options() const { return FOptions; }
    void SetOptions(TOpenOptions Value) { FOptions = Value; }
    // The window title ("" shows "Open" or "Save As").
    const String& Title() const { return FTitle; }
    void SetTitle(const String& Value) { FTitle = Value; }
    // The chosen files (several with ofAllowMultiSelect).
    TStrings* Files() const { return FFiles.get(); }

    // The filter as Qt's name filters ("Text files (*.txt)").
    QStringList NameFilters() const;
    bool SaveMode() const { return FSaveMode; }

    bool Execute() override;

protected:
    bool ExecuteNative() override;
    bool FSaveMode = false;

private:
    String FDefaultExt;
    String FFileName;
    String FFilter;
    int FFilterIndex = 1;
    String FInitialDir;
    TOpenOptions FOptions = TOpenOptions(ofHideReadOnly) | ofEnableSizing;
    String FTitle;
    std::unique_ptr<TStringList> FFiles;
};

class TSaveDialog : public TOpenDialog {
    Q_OBJECT
public:
    explicit TSaveDialog(TComponent* AOwner = nullptr);
};

// ---------------------------------------------------------------- colour dialog

// CustomColors holds the 16 custom colours as "ColorA=FFFFFF" .. "ColorP=..."
// (the colour value $BBGGRR in hexadecimal); after the real dialog they hold
// what the user left there. A malformed value raises EConvertError.
class TColorDialog : public TCommonDialog {
    Q_OBJECT
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(TStrings* CustomColors READ CustomColors WRITE SetCustomColors)
    Q_PROPERTY(DialogsTypes::TColorDialogOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(TNotifyEvent OnClose MEMBER OnClose)
    Q_PROPERTY(TNotifyEvent OnShow MEMBER OnShow)
public:
    explicit TColorDialog(TComponent* AOwner = nullptr);
    ~TColorDialog() override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    TStrings* CustomColors() const { return FCustomColors.get(); }
    void SetCustomColors(TStrings* Value) { FCustomColors->Assign(Value); }
    TColorDialogOptions Options() const { return FOptions; }
    void SetOptions(TColorDialogOptions Value) { FOptions = Value; }

    // Custom colour Index (0 .. 15) from CustomColors; clWhite when unset.
    TColor CustomColor(int Index) const;

protected:
    bool ExecuteNative() override;

private:
    TColor FColor = clBlack;
    std::unique_ptr<TStringList> FCustomColors;
    TColorDialogOptions FOptions;
};

// ---------------------------------------------------------------- message boxes

// What a message box shows; the executor answers with a modal result.
struct TMessageDlgRequest {
    String Caption; // "Warning", "Error", "Information", "Confirm", or the application's title
    String Msg;
    TMsgDlgType DlgType = mtCustom;
    TMsgDlgButtons Buttons;
    int HelpCtx = 0;
    TMsgDlgBtn DefaultButton = mbOK; // answers Enter
    TMsgDlgBtn CancelButton = mbOK;  // answers Esc and closing the box
};
using TMessageDlgExecutor = std::function<int(const TMessageDlgRequest& Request)>;
TMessageDlgExecutor SetMessageDlgExecutor(TMessageDlgExecutor Executor);

// The modal result of a button (mbOK: mrOk, ...; mbHelp: mrNone).
TModalResult ModalResultOf(TMsgDlgBtn Button);
// The caption of a button ("&Yes", "OK", ...).
String ButtonCaption(TMsgDlgBtn Button);

// Shows Msg with the buttons and returns the modal result of the button
// chosen. EInvalidOperation when Buttons is empty.
int MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
// Msg in a box with an OK button, titled with the application's title.
void ShowMessage(const String& Msg);

void RegisterDialogsClasses();
