// Classes the common-helper tests use: objects with published properties,
// parents that stand for grids, controls that record invalidation.
#pragma once

#include <QObject>

#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"
#include "nvCommon.h"

// Published properties of several kinds, Booleans among them.
class TTestProps : public TNonVisualComponent {
    Q_OBJECT
    Q_PROPERTY(bool Alpha READ Alpha WRITE SetAlpha)
    Q_PROPERTY(int Count READ Count WRITE SetCount)
    Q_PROPERTY(bool Beta READ Beta WRITE SetBeta)
    Q_PROPERTY(GraphicsTypes::TBrushStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(GraphicsTypes::TFontStyles FontStyle READ FontStyle WRITE SetFontStyle)
    Q_PROPERTY(String Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TnvControlList* ControlList READ ControlList STORED false)
public:
    explicit TTestProps(TComponent* AOwner = nullptr) : TNonVisualComponent(AOwner) {}
    bool Alpha() const { return FAlpha; }
    void SetAlpha(bool V) { FAlpha = V; }
    int Count() const { return FCount; }
    void SetCount(int V) { FCount = V; }
    bool Beta() const { return FBeta; }
    void SetBeta(bool V) { FBeta = V; }
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle V) { FStyle = V; }
    TFontStyles FontStyle() const { return FFontStyle; }
    void SetFontStyle(TFontStyles V) { FFontStyle = V; }
    String Caption() const { return FCaption; }
    void SetCaption(const String& V) { FCaption = V; }
    TnvControlList* ControlList() const { return FList; }

private:
    bool FAlpha = false;
    int FCount = 0;
    bool FBeta = true;
    TBrushStyle FStyle = bsSolid;
    TFontStyles FFontStyle;
    String FCaption;
    TnvControlList* FList = new TnvControlList(this);
};

// A windowed control with the themes switch of the suite's controls and a
// published Transparent flag; it records its invalidations.
class TTestWin : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(bool DisableThemes READ DisableThemes WRITE SetDisableThemes)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
public:
    explicit TTestWin(TComponent* AOwner = nullptr) : TWinControl(AOwner)
    {
        SetControlStyle(ControlStyle() | csAcceptsControls);
    }
    bool DisableThemes() const { return FDisableThemes; }
    void SetDisableThemes(bool V) { FDisableThemes = V; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool V) { FTransparent = V; }
    void Invalidate() override
    {
        ++Invalidations;
        if (Log)
            Log->push_back(Name() + ".Invalidate");
        TWinControl::Invalidate();
    }
    void Update() override
    {
        if (Log)
            Log->push_back(Name() + ".Update");
        TWinControl::Update();
    }
    int Invalidations = 0;
    std::vector<String>* Log = nullptr;

private:
    bool FDisableThemes = false;
    bool FTransparent = false;
};

// A windowed control without the themes switch.
class TTestPlainWin : public TWinControl {
    Q_OBJECT
public:
    explicit TTestPlainWin(TComponent* AOwner = nullptr) : TWinControl(AOwner) {}
};

// A graphic control with a published Transparent flag.
class TTestGraphic : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
public:
    explicit TTestGraphic(TComponent* AOwner = nullptr) : TGraphicControl(AOwner) {}
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool V) { FTransparent = V; }

private:
    bool FTransparent = false;
};

// Stand-ins for the grid classes that the parent checks look for by name.
class TCustomGrid : public TWinControl {
    Q_OBJECT
public:
    explicit TCustomGrid(TComponent* AOwner = nullptr) : TWinControl(AOwner) {}
};

class TzrDBGrid : public TCustomGrid {
    Q_OBJECT
    Q_PROPERTY(GraphicsTypes::TFontStyles Options READ Options WRITE SetOptions)
public:
    explicit TzrDBGrid(TComponent* AOwner = nullptr) : TCustomGrid(AOwner) {}
    TFontStyles Options() const { return FOptions; }
    void SetOptions(TFontStyles V) { FOptions = V; }

private:
    TFontStyles FOptions;
};

class TzrDataInspector : public TWinControl {
    Q_OBJECT
public:
    explicit TzrDataInspector(TComponent* AOwner = nullptr) : TWinControl(AOwner) {}
};

// ---------------------------------------------------------------- collections

#include "nvCollection.h"

// An item that reports its destruction and whether the collection's
// companion still existed then.
class TTestItem : public TnvCollectionItem {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TTestItem(TCollection* ACollection = nullptr) : TnvCollectionItem(ACollection) {}
    ~TTestItem() override
    {
        if (Destroyed)
            Destroyed->push_back(NvCollection() && NvCollection()->Companion() ? "item, companion alive"
                                                                                 : "item, no companion");
    }
    std::vector<String>* Destroyed = nullptr;
};

// A collection that logs the framework's notifications.
class TTestCollection : public TnvCollection {
    Q_OBJECT
public:
    explicit TTestCollection(const TMetaClass* ItemClass) : TnvCollection(ItemClass) {}
    std::vector<String> Log;

protected:
    void Update(TCollectionItem* Item) override
    {
        Log.push_back(Item ? "Update(item " + IntToStr(Item->Index()) + ")" : String("Update(all)"));
    }
    void Notify(TCollectionItem*, TCollectionNotification Action) override
    {
        Log.push_back(Action == cnAdded ? "Notify(added)" : Action == cnExtracting ? "Notify(extracting)"
                                                                                    : "Notify(deleting)");
    }
};

// A companion with a refresh operation.
class TTestCompanion : public QObject {
    Q_OBJECT
public:
    int Refreshes = 0;
    std::vector<String>* Destroyed = nullptr;
    ~TTestCompanion() override
    {
        if (Destroyed)
            Destroyed->push_back("companion");
    }
public slots:
    void Refresh() { ++Refreshes; }
};

// A plain item class that is not a suite item.
class TPlainItem : public TCollectionItem {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TPlainItem(TCollection* ACollection = nullptr) : TCollectionItem(ACollection) {}
};
