#include "ImagerDemo.h"

#include <set>

#include "FormStream.h"
#include "PicEditor.h"
#include "RichEdit.h"
#include "TypInfo.h"
#include "nvButtonGroup.h"
#include "nvCommon.h"

const char* const TImagerForm::OptionEntries[8] = {"Embossed",          "Grayscale",  "Horizontally Flipped",
                                                   "Inverted",          "Vertically Flipped", "PreProcess",
                                                   "SmoothStretching", "Transparent"};
const char* const TImagerForm::DrawStyleEntries[5] = {"Center", "Normal", "Proportional", "Stretch", "Tile"};

TImagerForm::TImagerForm(TComponent* AOwner) : TForm(AOwner) {}

TImagerForm::~TImagerForm() = default;

void TImagerForm::Loaded()
{
    TForm::Loaded();
    Imager1 = CheckedCast<TnvImager>(FindComponent("Imager1"));
    OptionsList = CheckedCast<TCheckListBox>(FindComponent("OptionsList"));
    HintMemo = CheckedCast<TMemo>(FindComponent("HintMemo"));
    DrawStyleCombo = CheckedCast<TComboBox>(FindComponent("DrawStyleCombo"));
    combo_Color = CheckedCast<TnvColorCombo>(FindComponent("combo_Color"));
    checkbox_AlphaBlend_Transparent = CheckedCast<TCheckBox>(FindComponent("checkbox_AlphaBlend_Transparent"));
    // A form that failed to read is told of its loading without its
    // components.
    if (!Imager1 || !OptionsList || !HintMemo || !DrawStyleCombo || !combo_Color || !checkbox_AlphaBlend_Transparent)
        return;
    // The check list publishes no mouse event; its hints follow the mouse.
    OptionsList->OnMouseMove = [this](TObject* Sender, TShiftState Shift, int X, int Y) {
        OptionsListMouseMove(Sender, Shift, X, Y);
    };
    OptionsList->SetShowHint(true);
}

// ---------------------------------------------------------------- effects by name

void TImagerForm::TrackChange(TObject* Sender)
{
    auto* Track = CheckedCast<TnvTrackBar>(Sender);
    const String Property = GetToken(Track->Name(), "_", 1);
    SetOrdPropByName(Imager1->BitmapOptions(), Property, static_cast<int>(Track->Position()));
}

void TImagerForm::ColorComboChange(TObject*)
{
    const TColor Colour = combo_Color->SelectedColor();
    Imager1->BitmapOptions()->SetColor(Colour == clNoColorSelected ? clNone : Colour);
}

void TImagerForm::RotationEditChange(TObject* Sender)
{
    auto* Edit = CheckedCast<TEdit>(Sender);
    String Property = GetToken(Edit->Name(), "_", 2);
    if (Property == "X" || Property == "Y")
        Property = "Center" + Property;
    SetOrdPropByName(Imager1->BitmapOptions()->Rotation(), Property, StrToIntDef(Trim(Edit->Text()), 0));
}

void TImagerForm::WaveEditChange(TObject* Sender)
{
    auto* Edit = CheckedCast<TEdit>(Sender);
    SetOrdPropByName(Imager1->BitmapOptions()->Wave(), GetToken(Edit->Name(), "_", 2),
                     StrToIntDef(Trim(Edit->Text()), 0));
}

void TImagerForm::WaveCheckClick(TObject* Sender)
{
    auto* Check = CheckedCast<TCheckBox>(Sender);
    SetOrdPropByName(Imager1->BitmapOptions()->Wave(), GetToken(Check->Name(), "_", 2), Check->Checked());
}

void TImagerForm::AlphaBlendEditChange(TObject* Sender)
{
    auto* Edit = CheckedCast<TEdit>(Sender);
    TnvAlphaBlend* Blend = Imager1->BitmapOptions()->AlphaBlend();
    Blend->Bitmap()->SetTransparent(checkbox_AlphaBlend_Transparent->Checked());
    // The amount is a byte: the text is taken within its range.
    const int Amount = std::clamp(StrToIntDef(Trim(Edit->Text()), 0), 0, 255);
    SetOrdPropByName(Blend, GetToken(Edit->Name(), "_", 2), Amount);
}

void TImagerForm::AlphaBlendCheckClick(TObject* Sender)
{
    auto* Check = CheckedCast<TCheckBox>(Sender);
    SetOrdPropByName(Imager1->BitmapOptions()->AlphaBlend(), GetToken(Check->Name(), "_", 2), Check->Checked());
}

// ---------------------------------------------------------------- Boolean options

QObject* TImagerForm::OptionTarget(int Index, String& Property) const
{
    Property = StringReplace(OptionEntries[Index], " ", "", TReplaceFlags(rfReplaceAll));
    if (Index < BitmapOptionEntries)
        return Imager1->BitmapOptions();
    return Imager1;
}

void TImagerForm::ReadOptions()
{
    TnvBitmapOptions* Options = Imager1->BitmapOptions();
    Options->BeginUpdate();
    try {
        for (int I = 0; I < 8 && I < OptionsList->Items()->Count(); ++I) {
            String Property;
            QObject* Target = OptionTarget(I, Property);
            OptionsList->SetChecked(I, GetOrdPropByName(Target, Property) != 0);
        }
    } catch (...) {
        Options->EndUpdate();
        throw;
    }
    Options->EndUpdate();
}

void TImagerForm::WriteOptions()
{
    TnvBitmapOptions* Options = Imager1->BitmapOptions();
    Options->BeginUpdate();
    try {
        for (int I = 0; I < 8 && I < OptionsList->Items()->Count(); ++I) {
            String Property;
            QObject* Target = OptionTarget(I, Property);
            SetOrdPropByName(Target, Property, OptionsList->Checked(I));
        }
    } catch (...) {
        Options->EndUpdate();
        throw;
    }
    Options->EndUpdate();
}

void TImagerForm::OptionsListClickCheck(TObject*)
{
    WriteOptions();
}

void TImagerForm::OptionsListMouseMove(TObject*, TShiftState, int X, int Y)
{
    const int Index = OptionsList->ItemAtPos(TPoint(X, Y), true);
    if (Index == FHintIndex)
        return;
    FHintIndex = Index;
    const String Hint = Index >= 0 && Index < HintMemo->Lines()->Count() ? HintMemo->Lines()->Strings(Index) : String();
    OptionsList->SetHint(Hint);
    Application->CancelHint();
}

void TImagerForm::DrawStyleComboChange(TObject*)
{
    const int Index = DrawStyleCombo->ItemIndex();
    if (Index < 0)
        return;
    const String Name = "ds" + DrawStyleCombo->Items()->Strings(Index);
    const QMetaEnum Enum = QMetaEnum::fromType<TnvImagerDrawStyle>();
    const int Value = GetEnumValue(Enum, Name);
    if (Value < 0)
        throw EInvalidOperation("Unknown draw style " + Name);
    Imager1->SetDrawStyle(static_cast<TnvImagerDrawStyle>(Value));
}

// ---------------------------------------------------------------- picture editor

void TImagerForm::Imager1Click(TObject*)
{
    TnvPicEditor::Execute(Imager1->Picture());
}

void TImagerForm::BlendPictureButtonClick(TObject*)
{
    TnvAlphaBlend* Blend = Imager1->BitmapOptions()->AlphaBlend();
    if (TnvPicEditor::Execute(Blend->Bitmap()))
        Imager1->BitmapOptions()->Changed();
}

// ---------------------------------------------------------------- defaults

bool TImagerForm::KeptForDefaults(TComponent* C)
{
    return !dynamic_cast<TnvCustomButtonGroup*>(C) && !dynamic_cast<TnvCustomColorCombo*>(C) &&
           !dynamic_cast<TCustomRichEdit*>(C);
}

void TImagerForm::SaveDefaults()
{
    FDefaults = std::make_unique<TMemoryStream>();
    for (int I = 0; I < ComponentCount(); ++I) {
        TComponent* C = Components(I);
        if (!KeptForDefaults(C))
            continue;
        const String Text = ComponentToText(C);
        FDefaults->WriteInt32(static_cast<int32_t>(Text.size()));
        FDefaults->WriteBuffer(Text.data(), static_cast<int64_t>(Text.size()));
    }
}

namespace {

// A stored form holds only the values that differ from a new instance's; a
// value changed since from such a default is put back to it here, so that
// reading the stored form restores the whole state.
void ResetUnstored(QObject* Object, const QObject* Fresh, const String& Prefix, const std::set<String>& Stored)
{
    const bool ParentFont = IsPublishedProp(Object, "ParentFont") && GetOrdProp(Object, "ParentFont") != 0;
    const bool ParentColor = IsPublishedProp(Object, "ParentColor") && GetOrdProp(Object, "ParentColor") != 0;
    for (const QMetaProperty& P : GetPublishedProperties(Object)) {
        const String Name = P.name();
        const String Path = LowerCase(Prefix + Name);
        if (Stored.count(Path) || !P.isWritable() || Name == "Name" || (ParentColor && Name == "Color") ||
            (ParentFont && Name == "Font"))
            continue;
        switch (PropKind(P)) {
        case TPropKind::Integer:
        case TPropKind::Int64:
        case TPropKind::Float:
        case TPropKind::Boolean:
        case TPropKind::String:
        case TPropKind::Enumeration:
        case TPropKind::Set:
        case TPropKind::IdentInteger: {
            const QVariant Default = P.read(Fresh);
            if (P.read(Object) != Default)
                P.write(Object, Default);
            break;
        }
        case TPropKind::Class: {
            QObject* Sub = ReadObject(Object, P);
            const QObject* FreshSub = ReadObject(Fresh, P);
            if (Sub && FreshSub && !dynamic_cast<TComponent*>(Sub) && Sub->metaObject() == FreshSub->metaObject())
                ResetUnstored(Sub, FreshSub, Prefix + Name + ".", Stored);
            break;
        }
        default: break;
        }
    }
}

} // namespace

void TImagerForm::RestoreDefaults()
{
    FDefaults->Seek(0, soBeginning);
    for (int I = 0; I < ComponentCount(); ++I) {
        TComponent* C = Components(I);
        if (!KeptForDefaults(C))
            continue;
        const int32_t Size = FDefaults->ReadInt32();
        String Text(static_cast<size_t>(Size), '\0');
        FDefaults->ReadBuffer(Text.data(), Size);
        TFormObject Form = ParseFormText(Text, C->Name());
        // Components a control owns itself (a track bar's thumb) are its
        // own business and are not read back.
        Form.Children.clear();
        std::set<String> Stored;
        for (const TFormProperty& P : Form.Properties)
            Stored.insert(LowerCase(P.Name));
        if (const TMetaClass* Class = FindClass(C->ClassName())) {
            std::unique_ptr<TComponent> Fresh(Class->CreateComponent(nullptr));
            ResetUnstored(C->AsObject(), Fresh->AsObject(), String(), Stored);
        }
        ReadComponent(Form, C, nullptr, TFormReadOptions{C->Name(), String()});
    }
}

void TImagerForm::RestoreDefaultsButtonClick(TObject*)
{
    if (!FDefaults)
        return;
    Imager1->BitmapOptions()->BeginUpdate();
    try {
        RestoreDefaults();
    } catch (...) {
        Imager1->BitmapOptions()->EndUpdate();
        throw;
    }
    Imager1->BitmapOptions()->EndUpdate();
    combo_Color->SetSelectedColor(clNone);
    Imager1->BitmapOptions()->SetColor(clNone);
    DrawStyleComboChange(DrawStyleCombo);
    ReadOptions();
}

void TImagerForm::FormShow(TObject*)
{
    if (!FDefaults)
        SaveDefaults();
    ReadOptions();
}
