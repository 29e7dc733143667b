// Shared fixture of the tree tests: a form with a tree view that records its
// events, and helpers that build a tree from a short text and write its
// structure back ("A(A1,A2(A2a)),B").
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Forms.h"
#include "Streams.h"
#include "nvTreeView.h"

namespace nvtree_test {

// A node class that counts its live instances.
class TCountedNode : public TnvTreeNode {
    Q_OBJECT
public:
    explicit TCountedNode(TnvTreeNodes* AOwner) : TnvTreeNode(AOwner) { ++Live; }
    ~TCountedNode() override { --Live; }
    static inline int Live = 0;
};

// A tree that logs its events and can refuse native insertions.
class TLogTree : public TnvTreeView {
    Q_OBJECT
public:
    explicit TLogTree(TComponent* AOwner = nullptr) : TnvTreeView(AOwner)
    {
        SetNodeClass(NodeClassOf<TCountedNode>());
    }
    // Shared with the handlers, which may run while the base class destroys
    // the nodes after this object's own members are gone.
    std::shared_ptr<std::vector<String>> LogPtr = std::make_shared<std::vector<String>>();
    std::vector<String>& Log = *LogPtr;
    bool RefuseInsert = false;
    int GetNextItemCalls = 0;
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == TVM_INSERTITEM && RefuseInsert) {
            Message.Result = 0;
            return;
        }
        if (Message.Msg == TVM_GETNEXTITEM)
            ++GetNextItemCalls;
        TnvTreeView::WndProc(Message);
    }
    QImage Render()
    {
        QImage Image(Width(), Height(), QImage::Format_ARGB32_Premultiplied);
        PaintControl(Image);
        return Image;
    }
    void LogEvents()
    {
        auto Name = [](TnvTreeNode* N) { return N ? N->Text() : String("nil"); };
        OnChange = [L = LogPtr, Name](TObject*, TnvTreeNode* N) { L->push_back("change " + Name(N)); };
        OnChanging = [L = LogPtr, Name](TObject*, TnvTreeNode* N, bool&) { L->push_back("changing " + Name(N)); };
        OnExpanding = [L = LogPtr, Name](TObject*, TnvTreeNode* N, bool&) { L->push_back("expanding " + Name(N)); };
        OnExpanded = [L = LogPtr, Name](TObject*, TnvTreeNode* N) { L->push_back("expanded " + Name(N)); };
        OnCollapsing = [L = LogPtr, Name](TObject*, TnvTreeNode* N, bool&) { L->push_back("collapsing " + Name(N)); };
        OnCollapsed = [L = LogPtr, Name](TObject*, TnvTreeNode* N) { L->push_back("collapsed " + Name(N)); };
        OnDeletion = [L = LogPtr, Name](TObject*, TnvTreeNode* N) { L->push_back("deletion " + Name(N)); };
        OnToggleCheckbox = [L = LogPtr, Name](TObject*, TnvTreeNode* N) { L->push_back("toggle " + Name(N)); };
        OnNodeNotify = [L = LogPtr, Name](TnvCustomTreeView*, TnvTreeNode* N, const QVariant& V, int Kind) {
            L->push_back("hook " + std::to_string(Kind) + " " + Name(N) +
                          (V.isValid() ? " " + FromQString(V.toString()) : String()));
        };
    }
    String TakeLog()
    {
        String S;
        for (const String& L : Log)
            S += (S.empty() ? "" : "; ") + L;
        Log.clear();
        return S;
    }
};

struct TTreeFixture {
    std::unique_ptr<TForm> Form;
    TLogTree* Tree = nullptr;
    TTreeFixture(int W = 200, int H = 160)
    {
        InitApplication();
        Form = std::make_unique<TForm>();
        Form->SetBounds(0, 0, W + 20, H + 20);
        Tree = new TLogTree(Form.get());
        Tree->SetParent(Form.get());
        Tree->SetBounds(0, 0, W, H);
    }
    TnvTreeNodes* Items() const { return Tree->Items(); }
};

// Builds "A(A1,A2(A2a)),B" under Parent (nil: the top level).
inline void Build(TnvTreeNodes* Items, TnvTreeNode* Parent, const String& Outline, size_t& Pos)
{
    TnvTreeNode* Last = nullptr;
    String Name;
    auto Flush = [&] {
        if (!Name.empty()) {
            Last = Items->AddChild(Parent, Name);
            Name.clear();
        }
    };
    while (Pos < Outline.size()) {
        const char C = Outline[Pos++];
        if (C == ',') {
            Flush();
        } else if (C == '(') {
            Flush();
            Build(Items, Last, Outline, Pos);
        } else if (C == ')') {
            Flush();
            return;
        } else {
            Name += C;
        }
    }
    Flush();
}

inline void Build(TnvTreeNodes* Items, const String& Outline)
{
    size_t Pos = 0;
    Build(Items, nullptr, Outline, Pos);
}

inline String Dump(TnvTreeNode* First)
{
    String S;
    for (TnvTreeNode* N = First; N; N = N->GetNextSibling()) {
        S += (S.empty() ? "" : ",") + N->Text();
        if (TnvTreeNode* C = N->GetFirstChild())
            S += "(" + Dump(C) + ")";
    }
    return S;
}

inline String Dump(TnvTreeNodes* Items)
{
    return Dump(Items->GetFirstNode());
}

// Depth-first search by text.
inline TnvTreeNode* Find(TnvTreeNodes* Items, const String& Text)
{
    for (TnvTreeNode* N = Items->GetFirstNode(); N; N = N->GetNext())
        if (N->Text() == Text)
            return N;
    return nullptr;
}

inline std::vector<uint8_t> Bytes(std::initializer_list<int> List)
{
    std::vector<uint8_t> V;
    for (int B : List)
        V.push_back(static_cast<uint8_t>(B));
    return V;
}

// Little-endian stream building.
struct TBytes {
    std::vector<uint8_t> Data;
    TBytes& I32(int32_t V)
    {
        for (int K = 0; K < 4; ++K)
            Data.push_back(static_cast<uint8_t>(static_cast<uint32_t>(V) >> (8 * K)));
        return *this;
    }
    TBytes& U8(int V)
    {
        Data.push_back(static_cast<uint8_t>(V));
        return *this;
    }
    TBytes& Str(const String& S)
    {
        Data.insert(Data.end(), S.begin(), S.end());
        return *this;
    }
    TBytes& Zeros(int N)
    {
        Data.insert(Data.end(), static_cast<size_t>(N), 0);
        return *this;
    }
    // A base node record: S, the fixed record with Text, padding to S.
    TBytes& Node(const String& Text, int32_t Children, int32_t Size = -1, int StateIndex = -1, int CheckType = 0,
                 int Flags = 0, const String& Data1 = String(), const String& Data2 = String())
    {
        const int T = static_cast<int>(Text.size());
        if (Size < 0)
            Size = 39 + T;
        I32(Size);
        const size_t Start = Data.size();
        I32(0).I32(0).I32(StateIndex).I32(-1).U8(CheckType).U8(Flags).U8(0).Zeros(3).I32(0);
        I32(static_cast<int32_t>(Data1.size())).I32(static_cast<int32_t>(Data2.size())).I32(Children).U8(T).Str(Text);
        while (Data.size() - Start < static_cast<size_t>(std::min(Size, 294)))
            U8(0);
        Str(Data1).Str(Data2);
        return *this;
    }
};

inline void ReadStream(TnvCustomTreeView* Tree, const std::vector<uint8_t>& Data, int Version)
{
    Tree->SetStreamVersion(Version);
    TMemoryStream S(Data);
    Tree->Items()->ReadData(S);
}

inline std::vector<uint8_t> WriteStream(TnvCustomTreeView* Tree)
{
    TMemoryStream S;
    Tree->Items()->WriteData(S);
    return S.Bytes();
}

} // namespace nvtree_test
