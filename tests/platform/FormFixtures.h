// Small component classes with one published property of every kind, used by
// the component model, reflection and stored-form tests.
#pragma once

#include <QWidget>

#include "Classes.h"
#include "FormStream.h"
#include "Streams.h"
#include "TypInfo.h"

namespace FixtureTypes {
Q_NAMESPACE
enum TShapeKind { skCircle, skSquare, skStar };
Q_ENUM_NS(TShapeKind)
enum TStyleFlag { stBold = 1, stItalic = 2, stUnderline = 4 };
Q_DECLARE_FLAGS(TStyles, TStyleFlag)
Q_FLAG_NS(TStyles)
} // namespace FixtureTypes
using namespace FixtureTypes;
Q_DECLARE_OPERATORS_FOR_FLAGS(FixtureTypes::TStyles)

// An integer type whose values have names of their own, as colours do.
enum TShade : int32_t {};
constexpr TShade shDark = TShade(0x101010);
constexpr TShade shLight = TShade(0xF0F0F0);
void RegisterShadeIdents();

using TAllowEvent = TEvent<TObject*, bool&>;
ZEN_EVENT_TYPE(TAllowEvent)

// Counts live fixture components, so tests can see that nothing leaked.
struct TLiveCount {
    static int& Value()
    {
        static int N = 0;
        return N;
    }
};

class TFixtureFont : public TPersistentObject {
    Q_OBJECT
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(String Name READ Name WRITE SetName)
    Q_PROPERTY(FixtureTypes::TStyles Style READ Style WRITE SetStyle)
public:
    Q_INVOKABLE TFixtureFont() = default;
    int Height() const { return FHeight; }
    void SetHeight(int V) { FHeight = V; }
    String Name() const { return FName; }
    void SetName(const String& V) { FName = V; }
    TStyles Style() const { return FStyle; }
    void SetStyle(TStyles V) { FStyle = V; }
    void Assign(TPersistent* Source) override;

private:
    int FHeight = -11;
    String FName = "Sans";
    TStyles FStyle;
};

class TFixtureItem : public TCollectionItem {
    Q_OBJECT
    Q_PROPERTY(String Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
public:
    explicit TFixtureItem(TCollection* C = nullptr) : TCollectionItem(C) {}
    String Caption() const { return FCaption; }
    void SetCaption(const String& V)
    {
        FCaption = V;
        Changed(false);
    }
    int Width() const { return FWidth; }
    void SetWidth(int V) { FWidth = V; }
    void Assign(TPersistent* Source) override;

private:
    String FCaption;
    int FWidth = 50;
};

// A collection that records what it was told.
class TFixtureItems : public TCollection {
    Q_OBJECT
public:
    explicit TFixtureItems(TPersistent* Owner = nullptr) : TCollection(ClassOf<TFixtureItem>(), Owner) {}
    std::vector<String> Log;

protected:
    void Update(TCollectionItem* Item) override;
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override;
};

class TFixtureComponent : public TNonVisualComponent {
    Q_OBJECT
    Q_PROPERTY(int Count READ Count WRITE SetCount)
    Q_PROPERTY(qint64 Big READ Big WRITE SetBig)
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(double Ratio READ Ratio WRITE SetRatio)
    Q_PROPERTY(String Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
    Q_PROPERTY(FixtureTypes::TShapeKind Shape READ Shape WRITE SetShape)
    Q_PROPERTY(FixtureTypes::TStyles Styles READ Styles WRITE SetStyles)
    Q_PROPERTY(TShade Shade READ Shade WRITE SetShade)
    Q_PROPERTY(TFixtureFont* Font READ Font)
    Q_PROPERTY(TFixtureItems* Items READ Items)
    Q_PROPERTY(TFixtureComponent* Buddy READ Buddy WRITE SetBuddy)
    Q_PROPERTY(TNotifyEvent OnChange MEMBER OnChange)
    Q_PROPERTY(TAllowEvent OnAllow MEMBER OnAllow)
public:
    explicit TFixtureComponent(TComponent* AOwner = nullptr);
    ~TFixtureComponent() override;

    int Count() const { return FCount; }
    void SetCount(int V) { FCount = V; }
    qint64 Big() const { return FBig; }
    void SetBig(qint64 V) { FBig = V; }
    bool Active() const { return FActive; }
    void SetActive(bool V) { FActive = V; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool V) { FVisible = V; }
    double Ratio() const { return FRatio; }
    void SetRatio(double V) { FRatio = V; }
    String Caption() const { return FCaption; }
    void SetCaption(const String& V) { FCaption = V; }
    QString Title() const { return FTitle; }
    void SetTitle(const QString& V) { FTitle = V; }
    TShapeKind Shape() const { return FShape; }
    void SetShape(TShapeKind V) { FShape = V; }
    TStyles Styles() const { return FStyles; }
    void SetStyles(TStyles V) { FStyles = V; }
    TShade Shade() const { return FShade; }
    void SetShade(TShade V) { FShade = V; }
    TFixtureFont* Font() const { return FFont.get(); }
    TFixtureItems* Items() const { return FItems.get(); }
    TFixtureComponent* Buddy() const { return FBuddy; }
    void SetBuddy(TFixtureComponent* V);

    TNotifyEvent OnChange;
    TAllowEvent OnAllow;

    // Own stored data: a binary blob and a list of numbers.
    std::vector<uint8_t> Blob;
    std::vector<int> Numbers;
    void DefineProperties(TFiler* Filer) override;

    // What the loading protocol did.
    int LoadedCalls = 0;
    bool BuddyKnownAtLoaded = false;
    std::vector<std::pair<TComponent*, TOperation>> Notifications;
    // Off in benchmarks: a real component keeps no record of what it hears.
    static inline bool RecordNotifications = true;
    void Loaded() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    int FCount = 0;
    qint64 FBig = 0;
    bool FActive = false;
    bool FVisible = true;
    double FRatio = 1.5;
    String FCaption;
    QString FTitle;
    TShapeKind FShape = skSquare;
    TStyles FStyles = stBold;
    TShade FShade = shDark;
    std::unique_ptr<TFixtureFont> FFont = std::make_unique<TFixtureFont>();
    std::unique_ptr<TFixtureItems> FItems = std::make_unique<TFixtureItems>(this);
    TFixtureComponent* FBuddy = nullptr;
};

// A root with event handlers, as a form has them.
class TFixtureForm : public TFixtureComponent {
    Q_OBJECT
public:
    explicit TFixtureForm(TComponent* AOwner = nullptr) : TFixtureComponent(AOwner) {}
    std::vector<String> Calls;

    Q_INVOKABLE void ThingChange(TObject* Sender);
    Q_INVOKABLE void ThingAllow(TObject* Sender, bool& Allow);
    Q_INVOKABLE void WrongShape(int Value);
};

// A form whose Loaded works with its components, as a real form's does: it
// notes the caption of each component it owns.
class TFixtureLoadForm : public TFixtureForm {
    Q_OBJECT
public:
    explicit TFixtureLoadForm(TComponent* AOwner = nullptr) : TFixtureForm(AOwner) {}
    std::vector<String> CaptionsAtLoaded;
    // Loaded calls of every instance, for instances already gone.
    static int& LoadedTotal()
    {
        static int N = 0;
        return N;
    }

protected:
    void Loaded() override;
};

// A control: a QWidget whose own Qt properties are not published.
class TFixtureControl : public QWidget, public TComponent {
    Q_OBJECT
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
public:
    explicit TFixtureControl(TComponent* AOwner = nullptr) : TComponent(AOwner) { ++TLiveCount::Value(); }
    ~TFixtureControl() override;
    int Left() const { return x(); }
    void SetLeft(int V) { move(V, y()); }
    bool Flat() const { return FFlat; }
    void SetFlat(bool V) { FFlat = V; }

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override { return dynamic_cast<TComponent*>(parentWidget()); }
    void SetParentComponent(TComponent* Value) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

private:
    bool FFlat = false;
};

// A root that holds controls.
class TFixtureWindow : public TFixtureControl {
    Q_OBJECT
public:
    explicit TFixtureWindow(TComponent* AOwner = nullptr) : TFixtureControl(AOwner) {}
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
};

void RegisterFixtureClasses();
