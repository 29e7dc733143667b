// What the button group tests share: a form that records the group's change
// events as text, and the main window's category group built in code.
#pragma once

#include <QObject>

#include <vector>

#include "Forms.h"
#include "nvButtonGroup.h"
#include "nvShapeBtn.h"

// A form whose group handlers write "change:<old>><new>" / "changing:<old>><new>"
// into Log, with the captions of the items' buttons ("-" for none).
class TGroupTestForm : public TForm {
    Q_OBJECT
public:
    explicit TGroupTestForm(TComponent* AOwner = nullptr) : TForm(AOwner) {}
    std::vector<String> Log;

    static String ItemText(TnvButtonGroupItem* Item)
    {
        return Item && Item->Button() ? Item->Button()->Caption() : String("-");
    }
    Q_INVOKABLE void nvButtonGroup1Change(TnvCustomButtonGroup* ButtonGroup, TnvButtonGroupItem* OldSelected,
                                          TnvButtonGroupItem* Selected)
    {
        Log.push_back((ButtonGroup ? ButtonGroup->Name() : String("?")) + ".change:" + ItemText(OldSelected) + ">" +
                      ItemText(Selected));
    }
    Q_INVOKABLE void nvButtonGroup1Changing(TnvCustomButtonGroup*, TnvButtonGroupItem* OldSelected,
                                            TnvButtonGroupItem* Selected)
    {
        Log.push_back("changing:" + ItemText(OldSelected) + ">" + ItemText(Selected));
    }
};

// A group whose key handling the tests can call.
class TTestButtonGroup : public TnvButtonGroup {
public:
    explicit TTestButtonGroup(TComponent* AOwner = nullptr) : TnvButtonGroup(AOwner) {}
    using TnvCustomButtonGroup::KeyDown;
    using TnvCustomButtonGroup::WantsKey;
};

// The main window's category captions, by Tag.
inline const char* const CategoryCaptions[11] = {
    "Outlook Bar", "TreeViews",     "Image Forms",   "Buttons && Labels", "Button Group",      "Combos",
    "Status Bar",  "Imager Control", "Custom Framing", "Panels",            "Progress&&Trackbar"};
inline const char* const CategoryNames[11] = {
    "DemoBtnOutlookBar", "DemoBtnTreeview", "DemoBtnImageForm", "DemoBtnLabelButtons", "DemoBtnButtonGroup",
    "DemoBtnCombos",     "DemoBtnStatusBar", "DemoBtnImager",   "DemoFramingBtn",      "DemoPanels",
    "DemoBars"};

// Sets up Group (parented to and owned by Form) as the main window's category
// group with its eleven shape buttons.
inline void BuildCategoryGroup(TForm* Form, TnvButtonGroup* Group)
{
    Group->SetName("nvButtonGroup1");
    Group->SetParent(Form);
    Group->SetBounds(44, 88, 117, 238);
    Group->SetButtonClassName("TnvShapeBtn");
    Group->SetClickStyle(bcsRadioGroup);
    Group->SetColumns(1);
    Group->SetControlSpacing(0);
    Group->SetLayout(loVertical);
    Group->SetMaxControlSize(0);
    Group->SetAutoBold(false);
    Group->SetTransparent(false);
    Group->SetBevelOuter(bvNone);
    Group->Font()->SetStyle(fsBold);
    Group->Font()->SetColor(clWindow);
    for (int I = 0; I < 11; ++I) {
        TnvButtonGroupItem* Item = Group->ButtonItems()->Add();
        auto* B = static_cast<TnvShapeBtn*>(Item->Button());
        B->SetName(CategoryNames[I]);
        B->SetCaption(CategoryCaptions[I]);
        B->SetTag(I + 1);
        B->SetColor(clBlue);
        B->SetDitherColor(clNavy);
        B->SetGroupIndex(1);
        B->SetOptions(boFocusable);
        B->SetTabStop(true);
        B->SetShadeStyle(fbsHighlight);
        B->ShadeColors()->SetBtn3DLight(static_cast<TColor>(0xFF7F7F));
        B->ShadeColors()->SetBtnHighlight(static_cast<TColor>(0xFFBFBF));
        B->ShadeColors()->SetBtnShadow(clNavy);
        B->ShadeColors()->SetBtnBlack(static_cast<TColor>(0x400000));
        B->Font()->SetName("MS Sans Serif");
        B->Font()->SetHeight(-11);
        B->Font()->SetStyle(fsBold);
        B->Font()->SetColor(I == 0 ? clYellow : clWhite);
    }
    Group->ButtonItems()->Item(0)->SetDown(true);
}
