// The imager demonstration: a picture with every pixel effect of the imager.
// The effect controls are found by their names, which say what they set:
// "Track_<property>" track bars set the integer properties of the imager's
// BitmapOptions, "edit_<object>_<property>" edits and
// "checkbox_<object>_<property>" check boxes those of its Rotation, Wave and
// AlphaBlend, and "combo_Color" its colour filter. A check list switches the
// Boolean options, a combo the draw style; clicking the picture (or the blend
// button) opens the picture editor; "Restore Defaults" puts every control
// back as the window first showed it.
#pragma once

#include <memory>

#include "CheckLst.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "Streams.h"
#include "nvColorCombo.h"
#include "nvImager.h"
#include "nvTrackBar.h"

class TImagerForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TImagerForm(TComponent* AOwner = nullptr);
    ~TImagerForm() override;

    // The check list's entries; without blanks each names a Boolean property,
    // of BitmapOptions for the first BitmapOptionEntries, else of the imager.
    static const char* const OptionEntries[8];
    static constexpr int BitmapOptionEntries = 5;
    // The draw-style combo's entries: DrawStyle is "ds" followed by the text.
    static const char* const DrawStyleEntries[5];

    TnvImager* Imager1 = nullptr;
    TCheckListBox* OptionsList = nullptr;
    TMemo* HintMemo = nullptr;
    TComboBox* DrawStyleCombo = nullptr;
    TnvColorCombo* combo_Color = nullptr;
    TCheckBox* checkbox_AlphaBlend_Transparent = nullptr;

    // Track_<name>: BitmapOptions.<name> = the track bar's position.
    Q_INVOKABLE void TrackChange(TObject* Sender);
    // BitmapOptions.Color = the combo's colour.
    Q_INVOKABLE void ColorComboChange(TObject* Sender);
    // edit_Rotation_Angle/X/Y: Rotation.Angle/CenterX/CenterY = the number
    // (0 when the text is not one).
    Q_INVOKABLE void RotationEditChange(TObject* Sender);
    // edit_Wave_<name>, checkbox_Wave_Wrap: Wave.<name>.
    Q_INVOKABLE void WaveEditChange(TObject* Sender);
    Q_INVOKABLE void WaveCheckClick(TObject* Sender);
    // edit_AlphaBlend_Amount: the blend bitmap takes the check box's
    // transparency, then AlphaBlend.Amount = the number (within 0 .. 255).
    Q_INVOKABLE void AlphaBlendEditChange(TObject* Sender);
    // checkbox_AlphaBlend_Transparent: AlphaBlend.Transparent.
    Q_INVOKABLE void AlphaBlendCheckClick(TObject* Sender);
    // Writes all eight Boolean options at once.
    Q_INVOKABLE void OptionsListClickCheck(TObject* Sender);
    // The entry under the mouse takes its hint from the hidden memo.
    Q_INVOKABLE void OptionsListMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void DrawStyleComboChange(TObject* Sender);
    // Picture editor on the imager's picture, or on the blend bitmap.
    Q_INVOKABLE void Imager1Click(TObject* Sender);
    Q_INVOKABLE void BlendPictureButtonClick(TObject* Sender);
    Q_INVOKABLE void RestoreDefaultsButtonClick(TObject* Sender);
    // The first show keeps the controls' state for "Restore Defaults"; every
    // show reads the Boolean options into the check list.
    Q_INVOKABLE void FormShow(TObject* Sender);

    // The Boolean options into the check list, or from it into the imager.
    void ReadOptions();
    void WriteOptions();
    // Whether the first-show state has been kept.
    bool HasDefaults() const { return FDefaults != nullptr; }

    void Loaded() override;

private:
    // The object an option entry names a property of, and the property.
    QObject* OptionTarget(int Index, String& Property) const;
    static bool KeptForDefaults(TComponent* C);
    void SaveDefaults();
    void RestoreDefaults();
    std::unique_ptr<TMemoryStream> FDefaults;
    int FHintIndex = -1;
};
