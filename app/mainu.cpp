#include "mainu.h"

#include "ComCtrls.h"
#include "DemoForms.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"

namespace {

// The component of that name on the form, which must be of class T.
template <class T>
void Bind(TComponent* Form, T*& Field, const char* Name)
{
    TComponent* C = Form->FindComponent(Name);
    if (!C)
        throw EComponentError(Form->ClassName() + ": component " + Name + " is missing from the form");
    Field = CheckedCast<T>(C);
}

} // namespace

TMainForm::TMainForm(TComponent* AOwner) : TForm(AOwner) {}

void TMainForm::Loaded()
{
    TForm::Loaded();
    Bind(this, nvImageForm1, "nvImageForm1");
    Bind(this, Shape1, "Shape1");
    Bind(this, TitleLabel, "TitleLabel");
    Bind(this, nvLabel2, "nvLabel2");
    Bind(this, PageControl1, "PageControl1");
    Bind(this, nvButtonGroup1, "nvButtonGroup1");
    Bind(this, nvShapeBtn3, "nvShapeBtn3");
    Bind(this, nvImageBtn1, "nvImageBtn1");
    Bind(this, nvOutlookBar1, "nvOutlookBar1");
}

TControl* TMainForm::SelectedCategory() const
{
    TnvButtonGroupItem* Item = nvButtonGroup1 ? nvButtonGroup1->SelectedItem() : nullptr;
    return Item ? Item->Button() : nullptr;
}

void TMainForm::nvButtonGroup1Change(TnvCustomButtonGroup*, TnvButtonGroupItem* OldSelected,
                                     TnvButtonGroupItem* Selected)
{
    if (!Selected || !Selected->Button())
        return;
    CategoryChange(OldSelected ? OldSelected->Button() : nullptr, Selected->Button());
}

void TMainForm::CategoryChange(TControl* OldButton, TControl* Button)
{
    if (OldButton)
        OldButton->Font()->SetColor(clWhite);
    Button->Font()->SetColor(clYellow);
    const String N = std::to_string(Button->Tag());
    PageControl1->SetActivePage(CheckedCast<TTabSheet>(FindComponent("TabSheet" + N)));
    nvOutlookBar1->SetActivePage(CheckedCast<TnvCustomBitBtn>(FindComponent("RichEditPage" + N)));
    TitleLabel->SetCaption(Button->Caption());
}

void TMainForm::ShowDemo(const TMetaClass* FormClass)
{
    Screen->SetCursor(crHourGlass);
    std::unique_ptr<TCustomForm> Form;
    try {
        TComponent* C = CreateFormInstance(FormClass, Application);
        Form.reset(dynamic_cast<TCustomForm*>(C));
        if (!Form) {
            delete C;
            throw EInvalidCast("Invalid class typecast");
        }
    } catch (...) {
        Screen->SetCursor(crDefault);
        throw;
    }
    Screen->SetCursor(crDefault);
    Form->ShowModal();
}

void TMainForm::nvShapeBtn3Click(TObject*)
{
    Close();
}

void TMainForm::nvShapeBtn8Click(TObject*) { ShowDemo(ClassOf<TOutlookBarForm>()); }
void TMainForm::DemoButtonOutlookBarClick(TObject*) { ShowDemo(ClassOf<TPaintForm>()); }
void TMainForm::DemoButtonTreeViewClick(TObject*) { ShowDemo(ClassOf<TTreeViewDemoForm>()); }
void TMainForm::nvShapeBtn9Click(TObject*) { ShowDemo(ClassOf<TDMTreeViewForm>()); }
void TMainForm::nvShapeBtn14Click(TObject*) { ShowDemo(ClassOf<TFrameDemo>()); }
void TMainForm::nvShapeBtn15Click(TObject*) { ShowDemo(ClassOf<TOrderForm>()); }
void TMainForm::nvShapeBtn16Click(TObject*) { ShowDemo(ClassOf<TImageTabForm>()); }
void TMainForm::DemoButtonLabelClick(TObject*) { ShowDemo(ClassOf<TLabelForm>()); }
void TMainForm::Label2DemoButtonClick(TObject*) { ShowDemo(ClassOf<TJustifyLabelDemoForm>()); }
void TMainForm::DemoButtonShapeBtn1Click(TObject*) { ShowDemo(ClassOf<TShapeBtnDemoForm>()); }
void TMainForm::DemoButtonImageBtnClick(TObject*) { ShowDemo(ClassOf<TImageBtnDemoForm>()); }
void TMainForm::nvShapeBtn1Click(TObject*) { ShowDemo(ClassOf<TMapForm>()); }
void TMainForm::nvShapeBtn5Click(TObject*) { ShowDemo(ClassOf<TButtonGroupDemo2>()); }
void TMainForm::nvShapeBtn2Click(TObject*) { ShowDemo(ClassOf<TTabBtnGroupForm>()); }
void TMainForm::nvShapeBtn12Click(TObject*) { ShowDemo(ClassOf<TColorDemoForm>()); }
void TMainForm::nvShapeBtn13Click(TObject*) { ShowDemo(ClassOf<TTreeComboDemoForm>()); }
void TMainForm::CalculatorDemoButtonClick(TObject*) { ShowDemo(ClassOf<TCalculatorDemoForm>()); }
void TMainForm::DemoButtonStatusBarClick(TObject*) { ShowDemo(ClassOf<TStatusBarDemoForm>()); }
void TMainForm::nvShapeBtn7Click(TObject*) { ShowDemo(ClassOf<TProportionalDemo>()); }
void TMainForm::DemoButtonTilerClick(TObject*) { ShowDemo(ClassOf<TTilerForm>()); }
void TMainForm::nvShapeBtn6Click(TObject*) { ShowDemo(ClassOf<TImagerForm>()); }
void TMainForm::DBImagerDemoButtonClick(TObject*) { ShowDemo(ClassOf<TDBImagerDemoForm>()); }
void TMainForm::nvImageBtn2Click(TObject*) { ShowDemo(ClassOf<TFrameDemo>()); }
void TMainForm::nvShapeBtn4Click(TObject*) { ShowDemo(ClassOf<TPanelDemoForm>()); }
void TMainForm::Panel2DemoButtonClick(TObject*) { ShowDemo(ClassOf<TPanel2DemoForm>()); }
void TMainForm::nvShapeBtn17Click(TObject*) { ShowDemo(ClassOf<TProgressForm>()); }
void TMainForm::nvShapeBtn18Click(TObject*) { ShowDemo(ClassOf<TTrackbarForm>()); }
void TMainForm::DemoButtonImageFormClick(TObject*) { ShowDemo(ClassOf<TOrderForm>()); }
