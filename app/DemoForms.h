// The demonstration windows, one class each, built from their form files
// (forms/<ClassName>.nvf). ShowDemo of the main window creates one of them
// on every click, shows it modally and destroys it afterwards.
#pragma once

#include "ButtonGroupDemo.h"
#include "CalculatorDemo.h"
#include "ColorDemo.h"
#include "DBImagerDemo.h"
#include "Forms.h"
#include "FrameDemo.h"
#include "ImageBtnDemo.h"
#include "ImageTabDemo.h"
#include "ImagerDemo.h"
#include "JustifyLabelDemo.h"
#include "LabelDemo.h"
#include "MapDemo.h"
#include "OrderDemo.h"
#include "OutlookBarDemo.h"
#include "PaintDemo.h"
#include "Panel2Demo.h"
#include "PanelDemo.h"
#include "ProgressDemo.h"
#include "ShapeBtnDemo.h"
#include "StatusBarDemo.h"
#include "TabBtnGroupDemo.h"
#include "TilerDemo.h"
#include "TrackbarDemo.h"

class TTreeViewDemoForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TTreeViewDemoForm(TComponent* AOwner = nullptr) : TForm(AOwner) {}
};

class TDMTreeViewForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TDMTreeViewForm(TComponent* AOwner = nullptr) : TForm(AOwner) {}
};

class TTreeComboDemoForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TTreeComboDemoForm(TComponent* AOwner = nullptr) : TForm(AOwner) {}
};

class TProportionalDemo : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TProportionalDemo(TComponent* AOwner = nullptr) : TForm(AOwner) {}
};

// Registers the demonstration window classes (and the main window's own
// classes) with the class registry, so form files can name them.
void RegisterDemoClasses();

// The class registry entries of all demonstration windows, in catalogue order.
const std::vector<const TMetaClass*>& DemoFormClasses();
