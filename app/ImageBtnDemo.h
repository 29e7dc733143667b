// The image button demonstration: notebook tabs of image buttons select four
// pages: switches and lights whose states follow each other, thumb tacks,
// puzzle pieces and butterflies with their dithered pressed look, a map of
// continents, and pictures tinted by the button colour.
#pragma once

#include "ComCtrls.h"
#include "ComboEx.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "nvButtonGroup.h"
#include "nvColorCombo.h"
#include "nvImgBtn.h"
#include "nvLabel.h"

class TImageBtnDemoForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TImageBtnDemoForm(TComponent* AOwner = nullptr);

    TnvButtonGroup* TabGroup = nullptr;
    TPageControl* PageControl1 = nullptr;
    TnvImageBtn* Switches[3] = {};
    TnvImageBtn* Lights[3] = {};
    TnvImageBtn* WallSwitch = nullptr;
    TnvImageBtn* Led = nullptr;
    TnvImageBtn* Tacks[3] = {};
    TLabel* TackLabels[3] = {};
    TnvImageBtn* Puzzles[4] = {};
    TnvImageBtn* Butterflies[2] = {};
    TnvColorCombo* DitherColorCombo = nullptr;
    TComboBoxEx* DitherStyleCombo = nullptr;
    TnvLabel* ContinentLabel = nullptr;
    TnvImageBtn* BallButton = nullptr;
    TnvImageBtn* HeartButton = nullptr;
    TnvColorCombo* PictureColorCombo = nullptr;

    // The continents' names by Tag 1 to 6.
    static const char* const ContinentNames[6];

    // The tab of the page "TabSheet<Tag>" shows it; the old tab's caption
    // turns white and the new one's yellow.
    Q_INVOKABLE void TabGroupChange(TnvCustomButtonGroup* Sender, TnvButtonGroupItem* OldSelected,
                                    TnvButtonGroupItem* Selected);
    // Switch i and light i (by Tag) take each other's state; so do the light
    // switch and the LED.
    Q_INVOKABLE void SwitchClick(TObject* Sender);
    Q_INVOKABLE void LightClick(TObject* Sender);
    Q_INVOKABLE void WallSwitchClick(TObject* Sender);
    Q_INVOKABLE void LedClick(TObject* Sender);
    // A tack's label says whether it is in or out.
    Q_INVOKABLE void TackClick(TObject* Sender);
    // The continent's name goes to the label under the map.
    Q_INVOKABLE void ContinentClick(TObject* Sender);
    // The dither colour of the puzzle pieces and butterflies.
    Q_INVOKABLE void DitherColorComboChange(TObject* Sender);
    // The dither style of the puzzle pieces.
    Q_INVOKABLE void DitherStyleComboChange(TObject* Sender);
    // The colour that tints the ball and the heart.
    Q_INVOKABLE void PictureColorComboChange(TObject* Sender);
    // The window opens on its first page.
    Q_INVOKABLE void FormShow(TObject* Sender);

    void Loaded() override;

private:
    template <class T>
    T* Find(const String& Name)
    {
        return CheckedCast<T>(FindComponent(Name));
    }
    // The button of a pair with the given Tag (1 to 3), or null.
    static TnvImageBtn* ByTag(TnvImageBtn* const* Buttons, int Count, int Tag);
};
