// The panel demonstration: six framed panels of a small contact form over a
// tiled backdrop. Entering a panel colours its caption label red; a combo
// chooses the frame of every panel, two colour lists their colours with and
// without the focus, and "Transparent" lets the backdrop through them all.
#pragma once

#include "Forms.h"
#include "StdCtrls.h"
#include "nvColorCombo.h"
#include "nvStatusBar.h"
#include "nvpanel.h"

class TPanel2DemoForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TPanel2DemoForm(TComponent* AOwner = nullptr);

    // The status text while the panels are transparent.
    static constexpr const char* TransparentNote = "Focus/NonFocus Colors ignored when Transparent";

    TComboBox* FrameCombo = nullptr;
    TnvColorList* NonFocusColorList = nullptr;
    TnvColorList* FocusColorList = nullptr;
    TCheckBox* TransparentCheck = nullptr;
    TnvStatusBar* StatusBar1 = nullptr;

    // The label "nvLabel<Tag>" of the entered panel turns red; leaving the
    // panel gives it the window text colour again.
    Q_INVOKABLE void PanelEnter(TObject* Sender);
    Q_INVOKABLE void PanelExit(TObject* Sender);
    // "No Frame (Normal)", "Sunken", "Flat", "FrameBox", "Raised", "Etched"
    // or "Bump" for every panel.
    Q_INVOKABLE void FrameComboChange(TObject* Sender);
    // The colour of every panel without the focus, and with it.
    Q_INVOKABLE void NonFocusColorListClick(TObject* Sender);
    Q_INVOKABLE void FocusColorListClick(TObject* Sender);
    Q_INVOKABLE void TransparentCheckClick(TObject* Sender);

    // The demonstrated panels, in tag order.
    const std::vector<TnvPanel*>& Panels() const { return FPanels; }
    // The caption label of a panel ("nvLabel" followed by its tag).
    TControl* PanelLabel(const TComponent* Panel) const;

    void Loaded() override;

private:
    std::vector<TnvPanel*> FPanels;
    // The status text the window starts with, shown again when opaque.
    String FStatusText;
};
