#include "DemoForms.h"

#include "mainu.h"
#include "nvDemoRichEdit.h"

const std::vector<const TMetaClass*>& DemoFormClasses()
{
    static const std::vector<const TMetaClass*> Classes = {
        ClassOf<TOutlookBarForm>(),
        ClassOf<TPaintForm>(),
        ClassOf<TTreeViewDemoForm>(),
        ClassOf<TDMTreeViewForm>(),
        ClassOf<TFrameDemo>(),
        ClassOf<TOrderForm>(),
        ClassOf<TImageTabForm>(),
        ClassOf<TLabelForm>(),
        ClassOf<TJustifyLabelDemoForm>(),
        ClassOf<TShapeBtnDemoForm>(),
        ClassOf<TImageBtnDemoForm>(),
        ClassOf<TMapForm>(),
        ClassOf<TButtonGroupDemo2>(),
        ClassOf<TTabBtnGroupForm>(),
        ClassOf<TColorDemoForm>(),
        ClassOf<TTreeComboDemoForm>(),
        ClassOf<TCalculatorDemoForm>(),
        ClassOf<TStatusBarDemoForm>(),
        ClassOf<TProportionalDemo>(),
        ClassOf<TTilerForm>(),
        ClassOf<TImagerForm>(),
        ClassOf<TDBImagerDemoForm>(),
        ClassOf<TPanelDemoForm>(),
        ClassOf<TPanel2DemoForm>(),
        ClassOf<TProgressForm>(),
        ClassOf<TTrackbarForm>(),
    };
    return Classes;
}

void RegisterDemoClasses()
{
    RegisterClasses<TMainForm, TnvDemoRichEdit, TInfoForm>();
    DemoFormClasses();
}

namespace {
[[maybe_unused]] const bool DemoClassesRegistered = (RegisterDemoClasses(), true);
} // namespace
