// The tree view's model: nodes (TnvTreeNode), the node store (TnvTreeNodes)
// and the stored node stream.
//
// The store keeps no lists of its own. The structure (parents, children,
// sibling order, expansion, selection) lives in the native tree-view control
// the tree view is built on: every native item carries its node as its item
// data (lParam), every node knows its native item (ItemId), and every
// structural question is a TVM_* message to the control. Nodes exist only
// while the control has its window; when the window is destroyed the tree is
// saved in the stream format below and read back into the new window.
//
// Stored format ("Items.StreamVersion", always written as 1, and the binary
// "Items.Data"), all integers 32-bit little-endian, strings 8-bit without
// terminator:
//     int32 N                      top-level nodes, then N node entries
//   node entry:
//     int32 S                      size of the fixed record (39 + T from the
//                                  base writer)
//     min(S, 294) bytes            the fixed record:
//        0 int32 ImageIndex   4 int32 SelectedIndex   8 int32 StateIndex
//       12 int32 OverlayIndex 16 byte CheckboxType    17 byte bit 0 Checked,
//       bit 1 Grayed          18 byte Expanded        19 3 zero bytes
//       22 int32 Data         26 int32 L1             30 int32 L2
//       34 int32 C            38 byte T               39 T bytes of Text
//       39 + T ..             padding up to S (zero when written, ignored)
//     L1 bytes StringData, L2 bytes StringData2
//     C node entries           the children
//     S - 39 - T bytes         (only when S > 39 + T) data of a derived node
//                              class, skipped by the base reader in a
//                              version-1 stream
//
// Stored data is input from files: a count or length that does not fit the
// data left, a negative length or size, or a check-box type other than 0..2
// raises EReadError "Invalid tree node data at offset N: <what>", nothing is
// read past the end of the data, and the store is left empty. A record
// shorter than 39 + T is read with zero bytes where it ends (the text length
// byte still decides how much is taken as text). Reader and writer both take
// min(S, 294) bytes as the record, so the data of a derived node class after
// the children is S - 39 - T bytes even when S passes 294. Trees of any
// depth are read and written without recursion; reading a stream sorts the
// tree once at the end (when SortType asks for it) instead of after every
// node's text.
//
// Handlers (events of the tree view and its node hook) may delete any node,
// the one at hand included, or the whole tree. Every operation that runs a
// handler watches the nodes it still needs (TnvNodeWatch) and stops touching
// what went: a setter stops, a walk goes on from a node that is left or ends,
// creating a node whose new node or parent went raises ETreeViewError, and
// reading a stream during which a node went raises EReadError and leaves the
// store empty.
#pragma once

#include <QObject>
#include <QPointer>
#include <QVariant>

#include <array>
#include <cstdint>
#include <unordered_map>

#include "Classes.h"
#include "NativeTreeView.h"
#include "Streams.h"

class TnvCustomTreeView;
class TnvTreeNode;
class TnvTreeNodes;
class TFiler;

ZEN_DECLARE_EXCEPTION(ETreeViewError, Exception);

namespace nvTreeNodesTypes {
Q_NAMESPACE

enum TnvCheckboxType : uint8_t { nvctNone, nvctCheckbox, nvctRadioGroup };
Q_ENUM_NS(TnvCheckboxType)

enum TnvSortType { nvstNone, nvstData, nvstText, nvstBoth };
Q_ENUM_NS(TnvSortType)

// What a search compares: the text, StringData or StringData2.
enum TzrStoreData { sdStoreText, sdStoreData1, sdStoreData2 };
Q_ENUM_NS(TzrStoreData)

enum TnvNodeAttachMode { nvamAdd, nvamAddFirst, nvamAddChild, nvamAddChildFirst, nvamInsert, nvamInsertAfter };
Q_ENUM_NS(TnvNodeAttachMode)

} // namespace nvTreeNodesTypes
using namespace nvTreeNodesTypes;

// A node sort comparison: the two nodes' data (the nodes themselves) and the
// caller's value; negative puts the first one first.
using TnvTVCompare = PFNTVCOMPARE;

// The node class a tree view creates its nodes of ("class of TnvTreeNode").
class TnvTreeNodeClass {
public:
    using TFactory = TnvTreeNode* (*)(TnvTreeNodes* Owner);
    TnvTreeNodeClass(const QMetaObject* Meta, TFactory Factory) : FMeta(Meta), FFactory(Factory) {}
    const QMetaObject* Meta() const { return FMeta; }
    String ClassName() const { return FMeta->className(); }
    TnvTreeNode* Create(TnvTreeNodes* Owner) const { return FFactory(Owner); }

private:
    const QMetaObject* FMeta;
    TFactory FFactory;
};

// The class reference of a node class T (constructible from its store).
template <class T>
const TnvTreeNodeClass* NodeClassOf()
{
    static const TnvTreeNodeClass C(&T::staticMetaObject,
                                    [](TnvTreeNodes* Owner) -> TnvTreeNode* { return new T(Owner); });
    return &C;
}

// Sizes of the fixed node record.
constexpr int nvNodeRecordMax = 294;  // the record buffer; GetRecordSize of the base class
constexpr int nvNodeRecordFixed = 39; // the record before the text

// What a node's stored entry says besides the node's own fields.
struct TnvNodeEntry {
    int32_t RecordSize = 0; // S
    int TextLength = 0;     // T
    int32_t ChildCount = 0; // C
    bool Expanded = false;
};

// Reading a node stream: reads that never pass the end of the data and raise
// EReadError naming the offset and what is wrong, and the record buffer all
// nodes of one stream share.
class TnvNodeReader {
public:
    TnvNodeReader(TStream& Stream, int Version);
    TStream& Stream() { return FStream; }
    // The stored stream version (0: no "StreamVersion", 1).
    int Version() const { return FVersion; }
    // Offset from the start of the data, and the bytes left.
    int64_t Offset() const { return FPos - FStart; }
    int64_t Remaining() const { return FEnd - FPos; }

    int32_t ReadInt32(const char* What);
    void ReadBytes(void* Buffer, int64_t Count, const char* What);
    String ReadString(int32_t Length, const char* What);
    // Moves forward (or back, for a negative Count) within the data.
    void Skip(int64_t Count, const char* What);
    // Raises unless Count entries of at least EntrySize bytes each can follow.
    void CheckCount(int32_t Count, int EntrySize, const char* What);
    [[noreturn]] void Fail(const String& What) const;

    // The fixed record of the node being read (zero beyond what was stored).
    std::array<uint8_t, nvNodeRecordMax> Record{};

private:
    TStream& FStream;
    int FVersion;
    int64_t FStart;
    int64_t FEnd;
    int64_t FPos;
};

// A node that may be deleted by the handlers a call runs (its pointer becomes
// null then; deleting the tree deletes its nodes as well).
using TnvNodeWatch = QPointer<TnvTreeNode>;

// The notification hook kinds (TnvCustomTreeView::OnNodeNotify).
enum : int { nvnkCreated = 0, nvnkDeleted = 1, nvnkTextChanging = 2, nvnkImageChanging = 3 };

class TnvTreeNode : public QObject, public TPersistent {
    Q_OBJECT
public:
    // The node of a store; only the store creates nodes (through the tree
    // view's NodeClass) and gives them native items.
    explicit TnvTreeNode(TnvTreeNodes* AOwner);
    // Destroys the node: deletes its native item with its subtree (the
    // descendants' nodes are freed through the deletion notifications).
    ~TnvTreeNode() override;

    // ---- fields
    TnvTreeNodes* Owner() const { return FOwner; }
    TnvCustomTreeView* TreeView() const;
    bool MultiSelected() const { return FMultiSelected; }
    TnvCheckboxType CheckboxType() const { return FCheckboxType; }
    // A change stores the type and sets StateIndex to 1 (check box, radio
    // button) or -1 (none).
    void SetCheckboxType(TnvCheckboxType Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    bool Grayed() const { return FGrayed; }
    void SetGrayed(bool Value);
    const String& Text() const { return FText; }
    void SetText(const String& Value);
    const String& StringData() const { return FStringData; }
    void SetStringData(const String& Value) { FStringData = Value; }
    const String& StringData2() const { return FStringData2; }
    void SetStringData2(const String& Value) { FStringData2 = Value; }
    // User data; stored as 32 bits.
    void* Data() const { return FData; }
    void SetData(void* Value);
    HTREEITEM ItemId() const { return FItemId; }
    // -2: no image and no space reserved for one.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int SelectedIndex() const { return FSelectedIndex; }
    void SetSelectedIndex(int Value);
    int OverlayIndex() const { return FOverlayIndex; }
    void SetOverlayIndex(int Value);
    // 0 is taken as -1; a check-box node takes only -1 and 1.
    int StateIndex() const { return FStateIndex; }
    void SetStateIndex(int Value);
    bool Deleting() const { return FDeleting; }
    bool InTree() const { return FInTree; }
    // The record size read from a stream for this node.
    int RecordSize() const { return FRecordSize; }

    // ---- states of the native item
    bool Expanded() const;
    void SetExpanded(bool Value);
    bool Selected() const;
    void SetSelected(bool Value);
    bool Focused() const;
    void SetFocused(bool Value);
    bool Cut() const;
    void SetCut(bool Value);
    bool DropTarget() const;
    void SetDropTarget(bool Value);
    // The native children flag (decides whether an expand button shows).
    bool HasChildren() const;
    void SetHasChildren(bool Value);

    // ---- structure
    TnvTreeNode* Parent() const;
    int Level() const;
    int Index() const;
    int AbsoluteIndex() const;
    int Count() const;
    // The Index-th child; below 0 the first child; ETreeViewError "List
    // index out of bounds (%d)" past the last one.
    TnvTreeNode* Item(int Index) const;
    bool HasAsParent(const TnvTreeNode* Node) const;
    TnvTreeNode* GetFirstChild() const;
    TnvTreeNode* GetLastChild() const;
    TnvTreeNode* GetNextSibling() const;
    TnvTreeNode* GetPrevSibling() const;
    TnvTreeNode* GetNextChild(const TnvTreeNode* Node) const;
    TnvTreeNode* GetPrevChild(const TnvTreeNode* Node) const;
    TnvTreeNode* GetNext() const;
    TnvTreeNode* GetPrev() const;
    TnvTreeNode* GetNextVisible() const;
    TnvTreeNode* GetPrevVisible() const;
    bool IsVisible() const;
    TRect DisplayRect(bool TextOnly) const;
    int IndexOf(const TnvTreeNode* Node) const;

    // ---- operations
    void Expand(bool Recurse);
    void Collapse(bool Recurse);
    void MakeVisible();
    void EndEdit(bool Cancel);
    bool AlphaSort();
    bool CustomSort(TnvTVCompare SortProc, intptr_t Data);
    // Destroys the node unless it is being destroyed already.
    void Delete();
    void Assign(TPersistent* Source) override;

    // ---- virtual operations
    // Repaints the node's row without erasing.
    virtual void Invalidate();
    // The size of the fixed stream record: 294 for this class.
    virtual int GetRecordSize() const;
    // Reads the node's own part of a stream entry (size, record, strings),
    // setting the fields; Entry tells the store the child count. A derived
    // class reads its data around it (in a version-0 stream it stands first).
    virtual void ReadData(TnvNodeReader& Reader, TnvNodeEntry& Entry);
    // After the children: applies the stored expansion (with
    // StreamExpandedNode) and, in a version-1 stream, skips the data of a
    // derived class; a derived class may move back and read it.
    virtual void ReadDataEnd(TnvNodeReader& Reader, const TnvNodeEntry& Entry);
    // Writes the node's own part of a stream entry (size, record, strings).
    virtual void WriteData(TStream& Stream, TnvNodeEntry& Entry);
    // After the children: the data of a derived class (nothing here).
    virtual void WriteDataEnd(TStream& Stream, const TnvNodeEntry& Entry);
    // The owning control's window text.
    virtual String GetControlText() const;
    virtual void MoveTo(TnvTreeNode* Destination, TnvNodeAttachMode Mode);

protected:
    TnvTreeNode* NodeOf(HTREEITEM Item) const;
    HTREEITEM Next(unsigned Code) const;
    unsigned State(unsigned Mask) const;
    void SetState(unsigned Mask, bool Value);
    void UpdateNativeStateImage();
    // The state image index the native item gets for StateIndex.
    int NativeStateIndex() const;

private:
    friend class TnvTreeNodes;
    friend class TnvCustomTreeView;
    bool DoCanExpand(bool Expand);
    void ExpandItem(bool Expand, bool Recurse);
    // False when a handler deleted the node.
    bool ExpandOne(bool Expand);
    void SortAfterChange();
    // The work of destruction (events may raise); runs once.
    void Destroy();
    void InternalMove(TnvTreeNode* NewParent, HTREEITEM After);

    bool FMultiSelected = false;
    TnvCheckboxType FCheckboxType = nvctNone;
    bool FChecked = false;
    TnvTreeNodes* FOwner;
    String FText;
    String FStringData;
    String FStringData2;
    void* FData = nullptr;
    HTREEITEM FItemId = nullptr;
    int FImageIndex = 0;
    int FSelectedIndex = 0;
    int FOverlayIndex = -1;
    int FStateIndex = -1;
    bool FDeleting = false;
    bool FDestroyed = false;
    bool FInTree = false;
    bool FGrayed = false;
    int FRecordSize = 0;
};

class TnvTreeNodes : public QObject, public TPersistent {
    Q_OBJECT
public:
    explicit TnvTreeNodes(TnvCustomTreeView* AOwner);
    ~TnvTreeNodes() override;

    TnvCustomTreeView* Owner() const { return FOwner; }
    // Every node (the native control's item count; 0 without a window).
    int Count() const;
    // The node at an absolute depth-first index; ETreeViewError "Invalid
    // index" for a negative index or one past the last node.
    TnvTreeNode* Item(int Index);
    TnvTreeNode* operator[](int Index) { return Item(Index); }

    // New last sibling of Node (top level for nil).
    TnvTreeNode* Add(TnvTreeNode* Node, const String& S);
    TnvTreeNode* AddObject(TnvTreeNode* Node, const String& S, void* Ptr);
    // New first sibling of Node.
    TnvTreeNode* AddFirst(TnvTreeNode* Node, const String& S);
    TnvTreeNode* AddObjectFirst(TnvTreeNode* Node, const String& S, void* Ptr);
    // New last child of Node (top level for nil).
    TnvTreeNode* AddChild(TnvTreeNode* Node, const String& S);
    TnvTreeNode* AddChildObject(TnvTreeNode* Node, const String& S, void* Ptr);

    TnvTreeNode* GetFirstNode() const;
    // The node of a native item; nil when the control does not know it.
    TnvTreeNode* GetNode(HTREEITEM ItemId) const;
    void Delete(TnvTreeNode* Node);
    void Clear();
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    bool Destroying() const { return FDestroying; }
    // Copies another store through the stream format.
    void Assign(TPersistent* Source) override;

    // First node in depth-first order whose text (or string data) equals S
    // ignoring case; only visible nodes with VisibleOnly.
    TnvTreeNode* FindNode(const String& S, bool VisibleOnly);
    TnvTreeNode* FindNodeInfo(const String& S, bool VisibleOnly, TzrStoreData StoreType);

    // The stream ("Data") of the whole store.
    void ReadData(TStream& Stream);
    void WriteData(TStream& Stream);
    void DefineProperties(TFiler* Filer) override;
    TPersistent* GetOwner() override;

    // The default node comparison of sorting: the tree view's OnCompare
    // (through DoCompare) when assigned, else the locale's case-sensitive
    // comparison of the texts. The parameters are nodes.
    static int DefaultCompare(intptr_t Node1, intptr_t Node2, intptr_t Data);

    // The absolute-index cache (a node and its index).
    TnvTreeNode* CacheNode() const { return FCacheNode; }
    int CacheIndex() const { return FCacheIndex; }
    void ClearCache()
    {
        FCacheNode = nullptr;
        FCacheIndex = -1;
    }

private:
    friend class TnvTreeNode;
    friend class TnvCustomTreeView;
    TnvTreeNode* InternalAdd(TnvTreeNode* Parent, HTREEITEM InsertAfter, const String& S, void* Ptr);
    HTREEITEM InsertItem(HTREEITEM Parent, HTREEITEM InsertAfter, TnvTreeNode* Node);
    void AddedToParent(TnvTreeNode* Node, TnvTreeNode* Parent);
    void SetUpdateState(bool Updating);

    TnvCustomTreeView* FOwner;
    int FUpdateCount = 0;
    TnvTreeNode* FCacheNode = nullptr;
    int FCacheIndex = -1;
    bool FDestroying = false;
    // A stream is being read: the nodes are sorted once at the end instead
    // of after every text or data change.
    bool FReading = false;
    // Grayed states being passed to radio siblings.
    bool FPropagating = false;
    // Nodes destroyed so far: a walk whose handlers may delete nodes sees
    // whether more went than it deleted itself.
    uint64_t FDestroyedCount = 0;
};
