#include "Dialogs.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

namespace {

TDialogExecutor& DialogExecutor()
{
    static TDialogExecutor E;
    return E;
}

TMessageDlgExecutor& MessageExecutor()
{
    static TMessageDlgExecutor E;
    return E;
}

// The window the dialogs belong to: the active form, if any.
QWidget* DialogParent()
{
    if (Screen)
        if (TCustomForm* F = Screen->ActiveForm())
            return F;
    return QApplication::activeWindow();
}

std::vector<String> SplitBar(const String& S)
{
    std::vector<String> Parts;
    size_t Start = 0;
    for (;;) {
        const size_t Bar = S.find('|', Start);
        Parts.push_back(S.substr(Start, Bar == String::npos ? String::npos : Bar - Start));
        if (Bar == String::npos)
            break;
        Start = Bar + 1;
    }
    return Parts;
}

// The extension of a path's file name without the dot ("" for none).
String ExtensionOf(const String& Path)
{
    const size_t Slash = Path.find_last_of("/\\");
    const size_t Dot = Path.rfind('.');
    if (Dot == String::npos || (Slash != String::npos && Dot < Slash))
        return String();
    return Path.substr(Dot + 1);
}

} // namespace

TDialogExecutor SetDialogExecutor(TDialogExecutor Executor)
{
    TDialogExecutor Old = std::move(DialogExecutor());
    DialogExecutor() = std::move(Executor);
    return Old;
}

TMessageDlgExecutor SetMessageDlgExecutor(TMessageDlgExecutor Executor)
{
    TMessageDlgExecutor Old = std::move(MessageExecutor());
    MessageExecutor() = std::move(Executor);
    return Old;
}

bool RunNativeDialog(TCommonDialog& Dialog)
{
    return Dialog.ExecuteNative();
}

// ---------------------------------------------------------------- TCommonDialog

TCommonDialog::TCommonDialog(TComponent* AOwner) : TNonVisualComponent(AOwner) {}

TCommonDialog::~TCommonDialog() = default;

void TCommonDialog::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TCommonDialog::DoClose()
{
    if (OnClose)
        OnClose(this);
}

bool TCommonDialog::Execute()
{
    DoShow();
    bool Result;
    try {
        // A copy: the executor may install another one while it runs.
        const TDialogExecutor Executor = DialogExecutor();
        Result = Executor ? Executor(*this) : ExecuteNative();
    } catch (...) {
        DoClose();
        throw;
    }
    DoClose();
    return Result;
}

// ---------------------------------------------------------------- TOpenDialog

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFiles(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

void TOpenDialog::SetDefaultExt(const String& Value)
{
    String V = Value;
    while (!V.empty() && V[0] == '.')
        V.erase(0, 1);
    FDefaultExt = V;
}

void TOpenDialog::SetFilter(const String& Value)
{
    if (!Value.empty() && SplitBar(Value).size() % 2 != 0)
        throw EInvalidOperation("Invalid filter '" + Value +
                                "': descriptions and patterns must come in pairs separated by '|'");
    FFilter = Value;
}

QStringList TOpenDialog::NameFilters() const
{
    QStringList Result;
    if (FFilter.empty())
        return Result;
    const std::vector<String> Parts = SplitBar(FFilter);
    for (size_t I = 0; I + 1 < Parts.size(); I += 2) {
        QString Patterns = ToQString(Parts[I + 1]).trimmed();
        Patterns.replace(';', ' ');
        Result << ToQString(Parts[I]).trimmed() + " (" + Patterns.simplified() + ")";
    }
    return Result;
}

bool TOpenDialog::Execute()
{
    if (!TCommonDialog::Execute())
        return false;
    // What follows the choice, whoever made it.
    if (FFiles->Count() == 0 && !FFileName.empty())
        FFiles->Add(FFileName);
    if (!FDefaultExt.empty()) {
        FFiles->BeginUpdate();
        for (int I = 0; I < FFiles->Count(); ++I)
            if (ExtensionOf(FFiles->Get(I)).empty())
                FFiles->Put(I, FFiles->Get(I) + "." + FDefaultExt);
        FFiles->EndUpdate();
    }
    if (FFiles->Count() > 0)
        FFileName = FFiles->Get(0);
    const String Ext = ExtensionOf(FFileName);
    if (!FDefaultExt.empty() && !Ext.empty() && !SameText(Ext, FDefaultExt))
        FOptions |= ofExtensionDifferent;
    else
        FOptions &= ~TOpenOptions(ofExtensionDifferent);
    FOptions &= ~TOpenOptions(ofReadOnly);
    return true;
}

bool TOpenDialog::ExecuteNative()
{
    const QString Caption = ToQString(!FTitle.empty() ? FTitle : FSaveMode ? String("Save As") : String("Open"));
    QFileDialog D(DialogParent(), Caption);
    D.setOption(QFileDialog::DontUseNativeDialog, true);
    D.setAcceptMode(FSaveMode ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (FSaveMode)
        D.setFileMode(QFileDialog::AnyFile);
    else if (FOptions.testFlag(ofAllowMultiSelect))
        D.setFileMode(QFileDialog::ExistingFiles);
    else if (FOptions.testFlag(ofFileMustExist))
        D.setFileMode(QFileDialog::ExistingFile);
    else
        D.setFileMode(QFileDialog::AnyFile);
    D.setOption(QFileDialog::DontConfirmOverwrite, !FOptions.testFlag(ofOverwritePrompt));
    D.setOption(QFileDialog::DontResolveSymlinks, FOptions.testFlag(ofNoDereferenceLinks));
    if (FOptions.testFlag(ofForceShowHidden))
        D.setFilter(D.filter() | QDir::Hidden);
    const QStringList Filters = NameFilters();
    if (!Filters.isEmpty()) {
        D.setNameFilters(Filters);
        if (FFilterIndex >= 1 && FFilterIndex <= Filters.size())
            D.selectNameFilter(Filters[FFilterIndex - 1]);
    }
    if (!FInitialDir.empty())
        D.setDirectory(ToQString(FInitialDir));
    if (!FFileName.empty())
        D.selectFile(ToQString(FFileName));
    for (;;) {
        if (D.exec() != QDialog::Accepted)
            return false;
        const QStringList Chosen = D.selectedFiles();
        bool Again = false;
        for (const QString& F : Chosen) {
            const QFileInfo Info(F);
            if (FOptions.testFlag(ofPathMustExist) && !Info.absoluteDir().exists()) {
                QMessageBox::warning(&D, Caption, "The path does not exist:\n" + Info.absolutePath());
                Again = true;
                break;
            }
            if (!FSaveMode && FOptions.testFlag(ofCreatePrompt) && !Info.exists() &&
                QMessageBox::question(&D, Caption, F + "\nThis file does not exist.\nDo you want to create it?") !=
                    QMessageBox::Yes) {
                Again = true;
                break;
            }
        }
        if (Again)
            continue;
        FFiles->BeginUpdate();
        FFiles->Clear();
        for (const QString& F : Chosen)
            FFiles->Add(FromQString(QDir::toNativeSeparators(F)));
        FFiles->EndUpdate();
        FFileName = FFiles->Count() > 0 ? FFiles->Get(0) : String();
        const int Index = static_cast<int>(Filters.indexOf(D.selectedNameFilter()));
        if (Index >= 0)
            FFilterIndex = Index + 1;
        return true;
    }
}

TSaveDialog::TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner)
{
    FSaveMode = true;
}

// ---------------------------------------------------------------- TColorDialog

namespace {
constexpr int CustomColorCount = 16;

String CustomColorName(int Index)
{
    return "Color" + String(1, static_cast<char>('A' + Index));
}
} // namespace

TColorDialog::TColorDialog(TComponent* AOwner) : TCommonDialog(AOwner), FCustomColors(std::make_unique<TStringList>())
{
}

TColorDialog::~TColorDialog() = default;

TColor TColorDialog::CustomColor(int Index) const
{
    if (Index < 0 || Index >= CustomColorCount)
        throw EListError("Custom colour index out of bounds (" + IntToStr(Index) + ")");
    const String Name = CustomColorName(Index);
    if (FCustomColors->IndexOfName(Name) < 0)
        return clWhite;
    const String Value = Trim(FCustomColors->Values(Name));
    int64_t V = 0;
    if (Value.empty() || !TryStrToInt64("$" + Value, V) || V < 0 || V > 0xFFFFFF)
        throw EConvertError("Invalid custom colour " + Name + "=" + Value +
                            ": expected six hexadecimal digits of a colour value");
    return MakeColor(static_cast<uint32_t>(V));
}

bool TColorDialog::ExecuteNative()
{
    // Read every custom colour first, so a bad entry shows no dialog.
    TColor Custom[CustomColorCount];
    for (int I = 0; I < CustomColorCount; ++I)
        Custom[I] = CustomColor(I);
    for (int I = 0; I < CustomColorCount; ++I)
        QColorDialog::setCustomColor(I, ColorToQColor(Custom[I]));
    QColorDialog D(ColorToQColor(FColor), DialogParent());
    D.setOption(QColorDialog::DontUseNativeDialog, true);
    const bool Ok = D.exec() == QDialog::Accepted;
    FCustomColors->BeginUpdate();
    for (int I = 0; I < CustomColorCount; ++I) {
        const TColor C = QColorToColor(QColorDialog::customColor(I));
        FCustomColors->SetValues(CustomColorName(I), IntToHex(static_cast<int>(C), 6));
    }
    FCustomColors->EndUpdate();
    if (Ok)
        FColor = QColorToColor(D.selectedColor());
    return Ok;
}

// ---------------------------------------------------------------- message boxes

TModalResult ModalResultOf(TMsgDlgBtn Button)
{
    switch (Button) {
    case mbYes: return mrYes;
    case mbNo: return mrNo;
    case mbOK: return mrOk;
    case mbCancel: return mrCancel;
    case mbAbort: return mrAbort;
    case mbRetry: return mrRetry;
    case mbIgnore: return mrIgnore;
    case mbAll: return mrAll;
    case mbNoToAll: return mrNoToAll;
    case mbYesToAll: return mrYesToAll;
    default: return mrNone;
    }
}

String ButtonCaption(TMsgDlgBtn Button)
{
    switch (Button) {
    case mbYes: return "&Yes";
    case mbNo: return "&No";
    case mbOK: return "OK";
    case mbCancel: return "Cancel";
    case mbAbort: return "&Abort";
    case mbRetry: return "&Retry";
    case mbIgnore: return "&Ignore";
    case mbAll: return "&All";
    case mbNoToAll: return "N&o to All";
    case mbYesToAll: return "Yes to &All";
    case mbHelp: return "&Help";
    default: return String();
    }
}

namespace {

constexpr TMsgDlgBtn AllButtons[] = {mbYes,   mbNo,  mbOK,      mbCancel,   mbAbort, mbRetry,
                                     mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp};

int RunMessageBox(const TMessageDlgRequest& R)
{
    QMessageBox Box(DialogParent());
    Box.setWindowTitle(ToQString(R.Caption));
    Box.setText(ToQString(R.Msg));
    switch (R.DlgType) {
    case mtWarning: Box.setIcon(QMessageBox::Warning); break;
    case mtError: Box.setIcon(QMessageBox::Critical); break;
    case mtInformation: Box.setIcon(QMessageBox::Information); break;
    case mtConfirmation: Box.setIcon(QMessageBox::Question); break;
    case mtCustom: Box.setIcon(QMessageBox::NoIcon); break;
    }
    std::vector<std::pair<QPushButton*, TMsgDlgBtn>> Buttons;
    for (TMsgDlgBtn B : AllButtons) {
        if (!R.Buttons.testFlag(B))
            continue;
        QPushButton* P = Box.addButton(ToQString(ButtonCaption(B)), QMessageBox::ActionRole);
        Buttons.emplace_back(P, B);
        if (B == R.DefaultButton)
            Box.setDefaultButton(P);
        if (B == R.CancelButton)
            Box.setEscapeButton(P);
    }
    for (;;) {
        Box.exec();
        QAbstractButton* Clicked = Box.clickedButton();
        TMsgDlgBtn Chosen = R.CancelButton;
        for (auto& [P, B] : Buttons)
            if (P == Clicked)
                Chosen = B;
        // There is no help to show; the box stays.
        if (Chosen == mbHelp && Clicked)
            continue;
        return ModalResultOf(Chosen);
    }
}

} // namespace

int MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx)
{
    if (!Buttons)
        throw EInvalidOperation("A message dialog needs at least one button");
    TMessageDlgRequest R;
    switch (DlgType) {
    case mtWarning: R.Caption = "Warning"; break;
    case mtError: R.Caption = "Error"; break;
    case mtInformation: R.Caption = "Information"; break;
    case mtConfirmation: R.Caption = "Confirm"; break;
    case mtCustom:
        R.Caption = Application && !Application->Title().empty()
                        ? Application->Title()
                        : FromQString(QCoreApplication::applicationName());
        break;
    }
    R.Msg = Msg;
    R.DlgType = DlgType;
    R.Buttons = Buttons;
    R.HelpCtx = HelpCtx;
    R.DefaultButton = Buttons.testFlag(mbOK) ? mbOK : Buttons.testFlag(mbYes) ? mbYes : mbRetry;
    R.CancelButton = Buttons.testFlag(mbCancel) ? mbCancel : Buttons.testFlag(mbNo) ? mbNo : mbOK;
    const TMessageDlgExecutor Executor = MessageExecutor();
    return Executor ? Executor(R) : RunMessageBox(R);
}

void ShowMessage(const String& Msg)
{
    MessageDlg(Msg, mtCustom, TMsgDlgButtons(mbOK), 0);
}

void RegisterDialogsClasses()
{
    RegisterClasses<TOpenDialog, TSaveDialog, TColorDialog>();
}

namespace {
[[maybe_unused]] const bool DialogsRegistered = (RegisterDialogsClasses(), true);
}
