// NativeTreeView: the platform's tree-view control (window class
// "SysTreeView32").
//
// TNativeTreeView is a self-drawn windowed control that holds a tree of items
// and is driven the way the platform's tree window is driven: through
// messages (TVM_*, WM_SETREDRAW) sent with Perform, answering with the
// TV*/NM* structures declared here, and reporting what happens through
// notifications (TVN_*, NM_*).
//
// Notifications. The control sends every notification to itself through the
// virtual Notify(NMHDR&); the default answers 0. A control built on the tree
// (a "sub-classed" tree window) overrides Notify, switches on Header.code and
// casts the header to the structure of that code:
//   TVN_SELCHANGING, TVN_SELCHANGED, TVN_ITEMEXPANDING, TVN_ITEMEXPANDED,
//   TVN_DELETEITEM, TVN_BEGINDRAG, TVN_BEGINRDRAG      NMTREEVIEW
//   TVN_GETDISPINFO, TVN_SETDISPINFO,
//   TVN_BEGINLABELEDIT, TVN_ENDLABELEDIT               NMTVDISPINFO
//   NM_CUSTOMDRAW                                      NMTVCUSTOMDRAW
//   NM_CLICK, NM_DBLCLK, NM_RCLICK, NM_SETFOCUS,
//   NM_KILLFOCUS, NM_RETURN                            NMHDR
// A non-zero answer vetoes TVN_SELCHANGING, TVN_ITEMEXPANDING and
// TVN_BEGINLABELEDIT, accepts the text of TVN_ENDLABELEDIT (an item whose
// text is asked by callback is then sent TVN_SETDISPINFO with the new text
// instead of keeping it). A non-zero answer to NM_DBLCLK skips the
// expansion toggle of the double click, to NM_RCLICK keeps the following
// right-button release from the control. NM_CUSTOMDRAW is answered with
// CDRF_* bits; other answers are not used. Strings are of one kind only, so
// there is a single form of each text notification.
//
// Items. An item has a parent (TVI_ROOT for top-level items), ordered
// children, a text (or TextCallback: asked with TVN_GETDISPINFO when needed),
// an image and a selected image (I_IMAGECALLBACK: asked likewise), state bits
// (TVIS_*, with a 4-bit overlay index in TVIS_OVERLAYMASK and a 4-bit state
// image index in TVIS_STATEIMAGEMASK), a children flag (0, 1 or
// I_CHILDRENCALLBACK; it decides whether an expand button is drawn and
// whether the item can expand, not the real children; until it is set it
// follows the real children, and inserting a child under a 0 flag makes it
// follow them again) and an lParam. Handles stay valid until the item is deleted;
// handles of deleted items are rejected by every message. Deleting an item
// reports TVN_DELETEITEM for every item of its subtree, children before their
// parent, siblings in order; deleting the selected item first moves the
// selection (to the next sibling, else the previous one, else the parent).
//
// Layout of a row (item height H, indent I, level L; x positions before the
// horizontal scrolling by ScrollX):
//   the button cell  [(L + R - 1) * I, (L + R) * I), R = 1 with TVS_LINESATROOT;
//   the state image  (state list width) when the state image index is not 0;
//   the image        (image list width + 1) when there is an image list;
//   the text         its width + 4 (2 pixels on each side).
// Rows are H high, the first visible item in row 0.
//
// Border: WS_BORDER draws a one-pixel frame, WS_EX_CLIENTEDGE a sunken
// two-pixel edge (it wins over WS_BORDER). The client area lies inside the
// border and the scroll bars; client coordinates (item rectangles, hit tests,
// the mouse messages the framework's handlers see, custom draw) start at its
// top-left corner. The label editor is placed in client coordinates too.
//
// Cost: every item keeps the rows its subtree shows and its row offset among
// its siblings (computed lazily, kept while appending), so an item's row, its
// rectangle and the painting of a screen do not depend on the number of
// items; the widest row is kept up to date from the rows that appear, and
// measured over all shown rows again only after a change that can shrink it.
//
// Scroll bars are drawn by the control along its right and bottom edges
// while the rows or the widest row do not fit; they are outside the client
// area (ClientRect), as on the platform. Their arrows scroll a row (8 pixels
// across), the track beside the thumb a page, and the thumb follows the
// mouse.
//
// Painting sends NM_CUSTOMDRAW: CDDS_PREPAINT for the whole client area;
// when answered with CDRF_NOTIFYITEMDRAW, CDDS_ITEMPREPAINT for each row shown
// (the row rectangle, the item in dwItemSpec, CDIS_* state, lParam, colours
// and level; CDRF_SKIPDEFAULT leaves the row to the receiver, CDRF_NEWFONT
// keeps the canvas font the receiver chose for the default drawing, and
// CDRF_NOTIFYPOSTPAINT asks for CDDS_ITEMPOSTPAINT); CDDS_POSTPAINT when the
// pre-paint answer held CDRF_NOTIFYPOSTPAINT.
//
// Mouse: a press on a label, icon or state icon selects the item (a state
// icon with TVS_CHECKBOXES toggles the check state), a press on the button
// cell of an item with children toggles it, a double click toggles the
// item's expansion, a right press sends NM_RCLICK. Dragging by more than
// the drag threshold with the left (right) button down after a press on an
// item sends TVN_BEGINDRAG (TVN_BEGINRDRAG) once, unless TVS_DISABLEDRAGDROP;
// it comes from the mouse move that crosses the threshold, and the release
// later reaches the control as usual.
// A release the receiver handled NM_RCLICK for is not passed on. Mouse
// messages reach the framework's handling (MouseDown, MouseUp, Click) after
// the tree has processed them, as with a sub-classed window.
//
// The selection moves without a veto when the selected item is deleted or
// hidden by a collapse (to the collapsed item); both are reported with
// TVC_UNKNOWN. Selecting by mouse reports TVC_BYMOUSE, by key TVC_BYKEYBOARD.
//
// Keys (after KeyDown, unless it zeroed the key): Up/Down previous/next
// visible, Home/End first/last, PgUp/PgDn a page (the rows shown less one),
// Left collapse or go to the
// parent, Right expand or go to the first child, +/- expand/collapse, *
// expand the whole subtree, Space toggles the check state (TVS_CHECKBOXES),
// F2 edits the label (TVS_EDITLABELS). Return sends NM_RETURN. With
// TVS_EDITLABELS a click on the label of the item that was already selected
// starts editing it after the double-click time (a double click in between
// does not).
#pragma once

#include <algorithm>
#include <memory>
#include <unordered_set>
#include <vector>

#include "Controls.h"
#include "ImageList.h"

class TEdit;
class TNativeTreeView;
struct TTreeItem;
using HTREEITEM = TTreeItem*;

// Special item handles.
inline HTREEITEM const TVI_ROOT = reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x10000));
inline HTREEITEM const TVI_FIRST = reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x0FFFF));
inline HTREEITEM const TVI_LAST = reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x0FFFE));
inline HTREEITEM const TVI_SORT = reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x0FFFD));

enum : int { I_IMAGECALLBACK = -1, I_IMAGENONE = -2, I_CHILDRENCALLBACK = -1 };

// Messages.
enum : unsigned {
    TV_FIRST = 0x1100,
    TVM_INSERTITEM = TV_FIRST + 0,      // LParam TVINSERTSTRUCT*; result HTREEITEM or 0
    TVM_DELETEITEM = TV_FIRST + 1,      // LParam HTREEITEM (TVI_ROOT: all)
    TVM_EXPAND = TV_FIRST + 2,          // WParam TVE_*, LParam HTREEITEM
    TVM_GETITEMRECT = TV_FIRST + 4,     // WParam text only, LParam TVITEMRECT*
    TVM_GETCOUNT = TV_FIRST + 5,
    TVM_GETINDENT = TV_FIRST + 6,
    TVM_SETINDENT = TV_FIRST + 7,       // WParam indent
    TVM_GETIMAGELIST = TV_FIRST + 8,    // WParam TVSIL_*; result TCustomImageList*
    TVM_SETIMAGELIST = TV_FIRST + 9,    // WParam TVSIL_*, LParam TCustomImageList*; result the old one
    TVM_GETNEXTITEM = TV_FIRST + 10,    // WParam TVGN_*, LParam HTREEITEM
    TVM_SELECTITEM = TV_FIRST + 11,     // WParam TVGN_CARET/DROPHILITE/FIRSTVISIBLE, LParam HTREEITEM
    TVM_GETITEM = TV_FIRST + 12,        // LParam TVITEM*
    TVM_SETITEM = TV_FIRST + 13,        // LParam TVITEM*
    TVM_EDITLABEL = TV_FIRST + 14,      // LParam HTREEITEM; result the TEdit* or 0
    TVM_GETEDITCONTROL = TV_FIRST + 15, // result the TEdit* or 0
    TVM_GETVISIBLECOUNT = TV_FIRST + 16,
    TVM_HITTEST = TV_FIRST + 17,        // LParam TVHITTESTINFO*; result HTREEITEM
    TVM_CREATEDRAGIMAGE = TV_FIRST + 18, // LParam HTREEITEM; result a new TCustomImageList* the caller owns
    TVM_SORTCHILDREN = TV_FIRST + 19,   // WParam recurse | TVSORT_CASESENSITIVE, LParam HTREEITEM
    TVM_ENSUREVISIBLE = TV_FIRST + 20,  // LParam HTREEITEM
    TVM_SORTCHILDRENCB = TV_FIRST + 21, // WParam recurse, LParam TVSORTCB*
    TVM_ENDEDITLABELNOW = TV_FIRST + 22, // WParam cancel
    TVM_SETITEMHEIGHT = TV_FIRST + 27,  // WParam height (-1: the default)
    TVM_GETITEMHEIGHT = TV_FIRST + 28,
    TVM_SETBKCOLOR = TV_FIRST + 29,     // LParam TColor (clNone: the control's Color); result the old one
    TVM_SETTEXTCOLOR = TV_FIRST + 30,   // LParam TColor (clNone: the font's colour)
    TVM_GETBKCOLOR = TV_FIRST + 31,
    TVM_GETTEXTCOLOR = TV_FIRST + 32,
    TVM_SETLINECOLOR = TV_FIRST + 40,
    TVM_GETLINECOLOR = TV_FIRST + 41,
    WM_SETREDRAW = 0x000B,              // WParam 0 off, 1 on
    WM_VSCROLL = 0x0115,                // WParam scroll code (low word), position (high word)
    WM_HSCROLL = 0x0114,
};

// TVM_SORTCHILDREN compares the texts with AnsiCompareText; with
// TVSORT_CASESENSITIVE in WParam (an extension of our own) with
// AnsiCompareStr, the platform's locale-aware case-sensitive comparison.
// Either way the order is stable and each text is asked for once.
enum : unsigned { TVSORT_CASESENSITIVE = 2 };

// WM_VSCROLL / WM_HSCROLL take the platform's scroll codes in the low word of
// WParam: 0 line up/left, 1 line down/right, 2 page up/left, 3 page
// down/right, 4 and 5 to the position in the high word, 6 top/left end,
// 7 bottom/right end.

// TVM_GETNEXTITEM codes.
enum : unsigned {
    TVGN_ROOT = 0x0,
    TVGN_NEXT = 0x1,
    TVGN_PREVIOUS = 0x2,
    TVGN_PARENT = 0x3,
    TVGN_CHILD = 0x4,
    TVGN_FIRSTVISIBLE = 0x5,
    TVGN_NEXTVISIBLE = 0x6,
    TVGN_PREVIOUSVISIBLE = 0x7,
    TVGN_DROPHILITE = 0x8,
    TVGN_CARET = 0x9,
    TVGN_LASTVISIBLE = 0xA,
};

// Item state bits.
enum : unsigned {
    TVIS_FOCUSED = 0x0001,
    TVIS_SELECTED = 0x0002,
    TVIS_CUT = 0x0004,
    TVIS_DROPHILITED = 0x0008,
    TVIS_BOLD = 0x0010,
    TVIS_EXPANDED = 0x0020,
    TVIS_EXPANDEDONCE = 0x0040,
    TVIS_OVERLAYMASK = 0x0F00,
    TVIS_STATEIMAGEMASK = 0xF000,
    TVIS_USERMASK = 0xF000,
};
constexpr unsigned INDEXTOOVERLAYMASK(unsigned I) { return (I & 0xF) << 8; }
constexpr unsigned INDEXTOSTATEIMAGEMASK(unsigned I) { return (I & 0xF) << 12; }

// TVITEM.mask bits.
enum : unsigned {
    TVIF_TEXT = 0x0001,
    TVIF_IMAGE = 0x0002,
    TVIF_PARAM = 0x0004,
    TVIF_STATE = 0x0008,
    TVIF_HANDLE = 0x0010,
    TVIF_SELECTEDIMAGE = 0x0020,
    TVIF_CHILDREN = 0x0040,
    TVIF_DI_SETITEM = 0x1000, // in a TVN_GETDISPINFO answer: keep the values
};

// TVM_EXPAND actions.
enum : unsigned {
    TVE_COLLAPSE = 0x0001,
    TVE_EXPAND = 0x0002,
    TVE_TOGGLE = 0x0003,
    TVE_COLLAPSERESET = 0x8000, // with TVE_COLLAPSE: delete the children too
};

// NMTREEVIEW.action of the selection notifications.
enum : unsigned { TVC_UNKNOWN = 0, TVC_BYMOUSE = 1, TVC_BYKEYBOARD = 2 };

// Hit-test flags.
enum : unsigned {
    TVHT_NOWHERE = 0x0001,
    TVHT_ONITEMICON = 0x0002,
    TVHT_ONITEMLABEL = 0x0004,
    TVHT_ONITEMINDENT = 0x0008,
    TVHT_ONITEMBUTTON = 0x0010,
    TVHT_ONITEMRIGHT = 0x0020,
    TVHT_ONITEMSTATEICON = 0x0040,
    TVHT_ONITEM = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON,
    TVHT_ABOVE = 0x0100,
    TVHT_BELOW = 0x0200,
    TVHT_TORIGHT = 0x0400,
    TVHT_TOLEFT = 0x0800,
};

// Image lists.
enum : unsigned { TVSIL_NORMAL = 0, TVSIL_STATE = 2 };

// Style bits.
enum : unsigned {
    TVS_HASBUTTONS = 0x0001,
    TVS_HASLINES = 0x0002,
    TVS_LINESATROOT = 0x0004,
    TVS_EDITLABELS = 0x0008,
    TVS_DISABLEDRAGDROP = 0x0010,
    TVS_SHOWSELALWAYS = 0x0020,
    TVS_NOTOOLTIPS = 0x0080,
    TVS_CHECKBOXES = 0x0100,
    TVS_TRACKSELECT = 0x0200,
    TVS_SINGLEEXPAND = 0x0400,
    TVS_FULLROWSELECT = 0x1000,
    // The window's border: a one-pixel frame in clWindowFrame.
    WS_BORDER = 0x00800000,
};

// Extended style: a sunken two-pixel edge instead of WS_BORDER.
enum : unsigned { WS_EX_CLIENTEDGE = 0x0200 };

// Notification codes.
enum : int {
    NM_FIRST = 0,
    NM_CLICK = NM_FIRST - 2,
    NM_DBLCLK = NM_FIRST - 3,
    NM_RETURN = NM_FIRST - 4,
    NM_RCLICK = NM_FIRST - 5,
    NM_SETFOCUS = NM_FIRST - 7,
    NM_KILLFOCUS = NM_FIRST - 8,
    NM_CUSTOMDRAW = NM_FIRST - 12,
    TVN_FIRST = -400,
    TVN_SELCHANGING = TVN_FIRST - 1,
    TVN_SELCHANGED = TVN_FIRST - 2,
    TVN_GETDISPINFO = TVN_FIRST - 3,
    TVN_SETDISPINFO = TVN_FIRST - 4,
    TVN_ITEMEXPANDING = TVN_FIRST - 5,
    TVN_ITEMEXPANDED = TVN_FIRST - 6,
    TVN_BEGINDRAG = TVN_FIRST - 7,
    TVN_BEGINRDRAG = TVN_FIRST - 8,
    TVN_DELETEITEM = TVN_FIRST - 9,
    TVN_BEGINLABELEDIT = TVN_FIRST - 10,
    TVN_ENDLABELEDIT = TVN_FIRST - 11,
};

// Custom-draw stages, answers and item states.
enum : unsigned {
    CDDS_PREPAINT = 0x00001,
    CDDS_POSTPAINT = 0x00002,
    CDDS_ITEM = 0x10000,
    CDDS_ITEMPREPAINT = CDDS_ITEM | CDDS_PREPAINT,
    CDDS_ITEMPOSTPAINT = CDDS_ITEM | CDDS_POSTPAINT,

    CDRF_DODEFAULT = 0x00,
    CDRF_NEWFONT = 0x02,
    CDRF_SKIPDEFAULT = 0x04,
    CDRF_NOTIFYPOSTPAINT = 0x10,
    CDRF_NOTIFYITEMDRAW = 0x20,

    CDIS_SELECTED = 0x0001,
    CDIS_GRAYED = 0x0002,
    CDIS_DISABLED = 0x0004,
    CDIS_CHECKED = 0x0008,
    CDIS_FOCUS = 0x0010,
    CDIS_DEFAULT = 0x0020,
    CDIS_HOT = 0x0040,
    CDIS_MARKED = 0x0080,
    CDIS_INDETERMINATE = 0x0100,
};

struct TVITEM {
    unsigned mask = 0;
    HTREEITEM hItem = nullptr;
    unsigned state = 0;
    unsigned stateMask = 0;
    String pszText;
    // Setting: the text is asked with TVN_GETDISPINFO. Reading an item whose
    // text is asked: pszText holds the answer and TextCallback is set.
    bool TextCallback = false;
    int cchTextMax = 260; // the most characters (less one) a TVN_GETDISPINFO answer keeps
    int iImage = 0;
    int iSelectedImage = 0;
    int cChildren = 0;
    intptr_t lParam = 0;
};
using TTVItem = TVITEM;

struct TVINSERTSTRUCT {
    HTREEITEM hParent = TVI_ROOT;
    HTREEITEM hInsertAfter = TVI_LAST; // TVI_FIRST, TVI_LAST, TVI_SORT or a sibling
    TVITEM item;
};
using TTVInsertStruct = TVINSERTSTRUCT;

struct TVITEMRECT {
    HTREEITEM hItem = nullptr;
    TRect rc;
};

struct TVHITTESTINFO {
    TPoint pt;
    unsigned flags = 0;
    HTREEITEM hItem = nullptr;
};
using TTVHitTestInfo = TVHITTESTINFO;

// The comparison of TVM_SORTCHILDRENCB: lParam of the two items and lParamSort;
// negative puts the first one first.
using PFNTVCOMPARE = int (*)(intptr_t lParam1, intptr_t lParam2, intptr_t lParamSort);
struct TVSORTCB {
    HTREEITEM hParent = TVI_ROOT;
    PFNTVCOMPARE lpfnCompare = nullptr;
    intptr_t lParam = 0;
};
using TTVSortCB = TVSORTCB;

struct NMHDR {
    TNativeTreeView* hwndFrom = nullptr;
    uintptr_t idFrom = 0;
    int code = 0;
};
using TNMHdr = NMHDR;

struct NMTREEVIEW {
    NMHDR hdr;
    unsigned action = 0;
    TVITEM itemOld;
    TVITEM itemNew;
    TPoint ptDrag;
};
using TNMTreeView = NMTREEVIEW;

struct NMTVDISPINFO {
    NMHDR hdr;
    TVITEM item;
};
using TTVDispInfo = NMTVDISPINFO;

struct NMCUSTOMDRAW {
    NMHDR hdr;
    unsigned dwDrawStage = 0;
    TCanvas* hdc = nullptr;
    TRect rc;
    uintptr_t dwItemSpec = 0;
    unsigned uItemState = 0;
    intptr_t lItemlParam = 0;
};

struct NMTVCUSTOMDRAW {
    NMCUSTOMDRAW nmcd;
    TColor clrText = clNone;
    TColor clrTextBk = clNone;
    int iLevel = 0;
};
using TNMTVCustomDraw = NMTVCUSTOMDRAW;

// One item of the tree (the handle points to it).
struct TTreeItem {
    TTreeItem* Parent = nullptr; // null for a top-level item
    TTreeItem* FirstChild = nullptr;
    TTreeItem* LastChild = nullptr;
    TTreeItem* Prev = nullptr;
    TTreeItem* Next = nullptr;
    String Text;
    bool TextCallback = false;
    int Image = 0;
    int SelectedImage = 0;
    unsigned State = 0;
    int Children = 0;
    intptr_t Param = 0;
    bool Deleting = false;
    int TextWidth = -1; // measured width of the text, -1 until measured
    unsigned Magic = 0; // set while the item is alive (handles are checked)
    // Rows the item and its shown descendants take while the item is shown.
    int Rows = 1;
    // Rows before the item among its siblings and its position there; valid
    // while Epoch equals the sibling list's and Pos is in its valid prefix.
    int Offset = 0;
    int Pos = 0;
    unsigned Epoch = 0;
    // The children's list: the valid prefix of their offsets.
    struct TKids {
        unsigned Epoch = 1;
        int ValidCount = 0;
        TTreeItem* ValidTo = nullptr;
    } Kids;
};

class TNativeTreeView : public TCustomControl {
    Q_OBJECT
public:
    explicit TNativeTreeView(TComponent* AOwner = nullptr);
    ~TNativeTreeView() override;

    // Window style bits (TVS_*); a change of a live control applies at once.
    unsigned Style() const { return FStyle; }
    void SetStyle(unsigned Value);
    // Extended style bits (WS_EX_CLIENTEDGE).
    unsigned ExStyle() const { return FExStyle; }
    void SetExStyle(unsigned Value);
    // The border width on each side: 0, 1 (WS_BORDER) or 2 (client edge).
    int BorderSize() const;

    // The operations behind the messages.
    HTREEITEM InsertItem(const TVINSERTSTRUCT& Insert);
    bool DeleteItem(HTREEITEM Item);
    bool Expand(HTREEITEM Item, unsigned Action);
    HTREEITEM GetNextItem(HTREEITEM Item, unsigned Code) const;
    bool SelectItem(unsigned Code, HTREEITEM Item);
    bool GetItem(TVITEM& Item);
    bool SetItem(const TVITEM& Item);
    bool GetItemRect(HTREEITEM Item, TRect& Rect, bool TextOnly);
    HTREEITEM HitTest(TVHITTESTINFO& Info);
    bool EnsureVisible(HTREEITEM Item);
    bool SortChildrenCB(const TVSORTCB& Sort, bool Recurse);
    bool SortChildren(HTREEITEM Parent, bool Recurse, bool CaseSensitive = false);
    TEdit* EditLabel(HTREEITEM Item);
    bool EndEditLabelNow(bool Cancel);
    TEdit* EditControl() const { return FEdit; }
    TCustomImageList* CreateDragImage(HTREEITEM Item);
    int Count() const { return FCount; }
    // Rows that fit in the client area completely.
    int VisibleCount() const;
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    int ItemHeight() const;
    void SetItemHeight(int Value);
    TCustomImageList* ImageList(unsigned Which) const;
    TCustomImageList* SetImageList(unsigned Which, TCustomImageList* List);
    // True when the handle is an item of this tree.
    bool IsItem(HTREEITEM Item) const;
    // Scroll offsets: the row of the first visible item, the pixels scrolled left.
    int ScrollRow() const;
    // The row of a shown item (0 = the first top-level item), -1 otherwise.
    int ItemRow(HTREEITEM Item) const { return IsItem(Item) && IsShown(Item) ? RowOf(Item) : -1; }
    int ScrollX() const { return FScrollX; }
    void ScrollRows(int Delta);
    void SetScrollX(int Value);
    // Rows of all items not hidden in a collapsed parent.
    int VisibleItemCount() const;

    void WndProc(TMessage& Message) override;
    // The area inside the scroll bars.
    TRect ClientRect() const override;
    // Whether the vertical and horizontal bars show now.
    bool VertScrollBarShown() const;
    bool HorzScrollBarShown() const;
    // The width of a vertical bar (the height of a horizontal one).
    static constexpr int ScrollBarSize = 16;

    // Notifications to the control itself (see above).
    virtual intptr_t Notify(NMHDR& Header);

protected:
    void Paint() override;
    bool WantsKey(Word Key, TShiftState Shift) override;
    void DoEnter() override;
    void DoExit() override;
    void Resize() override;
    void FontChanged() override;
    void DestroyWnd() override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    // The default drawing of a row (lines, button, state image, image, text).
    // KeepFont: the canvas font set by the custom-draw receiver (CDRF_NEWFONT) stays.
    void DrawItemDefault(HTREEITEM Item, const TRect& Row, unsigned ItemState, TColor TextColor, TColor BkColor,
                         bool KeepFont);

private:
    struct TDisplay {
        String Text;
        int Image = 0;
        int SelectedImage = 0;
        int Children = 0;
    };
    TDisplay Display(HTREEITEM Item, unsigned Mask);
    intptr_t Send(NMHDR& Header, int Code);
    void FillItem(HTREEITEM Item, TVITEM& Out, unsigned Mask) const;
    // Text, images, children flag and lParam under the item's mask.
    void StoreFields(HTREEITEM Item, const TVITEM& From);
    intptr_t NotifyTree(int Code, unsigned Action, HTREEITEM OldItem, HTREEITEM NewItem, TPoint Drag = TPoint());
    void DeleteTree(HTREEITEM Item);
    // Account: keep the row bookkeeping (off inside a subtree being deleted).
    void Unlink(HTREEITEM Item, bool Account = true);
    // Puts a parent's children in a new order.
    void Relink(HTREEITEM Parent, const std::vector<HTREEITEM>& Kids);
    void Link(HTREEITEM Parent, HTREEITEM After, HTREEITEM Item);
    // Forced: a veto of TVN_SELCHANGING is not honoured (the selection must move).
    bool SelectCaret(HTREEITEM Item, unsigned Action, bool Forced);
    bool ExpandItem(HTREEITEM Item, unsigned Action, bool Notify);
    bool IsShown(HTREEITEM Item) const;
    int Level(HTREEITEM Item) const;
    int RowOf(HTREEITEM Item) const;
    HTREEITEM ItemAtRow(int Row) const;
    HTREEITEM NextVisible(HTREEITEM Item) const;
    HTREEITEM PrevVisible(HTREEITEM Item) const;
    HTREEITEM LastVisible() const;
    bool HasButton(HTREEITEM Item);
    // Row bookkeeping (see the header comment).
    TTreeItem::TKids& KidsOf(HTREEITEM Parent) { return Parent ? Parent->Kids : FRootKids; }
    const TTreeItem::TKids& KidsOf(HTREEITEM Parent) const { return Parent ? Parent->Kids : FRootKids; }
    bool OffsetValid(HTREEITEM Item) const;
    int OffsetOf(HTREEITEM Item) const;
    void KidsReordered(HTREEITEM Parent);
    // Item's rows changed by Delta: later siblings' offsets and the
    // ancestors' rows follow.
    void RowsChanged(HTREEITEM Item, int Delta);
    void ParentRowsChanged(HTREEITEM Parent, int Delta);
    void SetExpandedBit(HTREEITEM Item, bool Expanded);
    // Widest row: a shown item (new or changed) and items leaving the view.
    int ItemRight(HTREEITEM Item);
    void WidthShown(HTREEITEM Item);
    void WidthChanging(HTREEITEM Item);
    void WidthHiding(HTREEITEM Item, bool Descendants);
    void WidthsChanged() { FWidthValid = false; FWidthPending.clear(); }
    // Mouse points: the widget's coordinates to the client area's.
    TPoint ToClient(TPoint P) const;
    template <class F>
    void ClientMouse(QMouseEvent* Event, F&& Base);
    int InnerWidth() const { return std::max(0, Width() - 2 * BorderSize()); }
    int InnerHeight() const { return std::max(0, Height() - 2 * BorderSize()); }
    int StateIndex(HTREEITEM Item) const { return static_cast<int>((Item->State & TVIS_STATEIMAGEMASK) >> 12); }
    int StateWidth() const;
    // X positions of a row's parts (before scrolling).
    struct TLayout {
        int ButtonLeft = 0;
        int StateLeft = 0;
        int ImageLeft = 0;
        int TextLeft = 0;
        int TextRight = 0;
    };
    TLayout LayoutOf(HTREEITEM Item);
    int TextWidth(HTREEITEM Item, const String& Text);
    void SetTop(HTREEITEM Item);
    void ClampScroll();
    int ContentWidth();
    void InvalidateTree();
    void KeyNavigate(Word Key, TShiftState Shift);
    void MousePress(unsigned Msg, TPoint P);
    void ToggleCheck(HTREEITEM Item);
    void FinishEdit(bool Cancel);
    TColor BackColor() const;
    TColor ForeColor() const;
    void DrawCheckBox(TCanvas* C, const TRect& Box, int StateIdx);
    void UpdateScrollBars() const;
    // Thumb and track of a bar (whole-widget coordinates).
    struct TBarGeometry {
        TRect Bar, Less, More, Thumb;
        int Range = 0;  // positions 0..Range
        int Travel = 0; // pixels the thumb can move
    };
    TBarGeometry BarGeometry(bool Vertical) const;
    void DrawScrollBars(TCanvas* C);
    bool ScrollBarPress(TPoint P);

    // Items live in blocks the control owns, so that a handle can be checked
    // without a lookup table: it must point at a live item of a block.
    HTREEITEM NewItem();
    void FreeItem(HTREEITEM Item);
    template <class F>
    void ForEachItem(F&& Visit);
    struct TBlock {
        std::unique_ptr<TTreeItem[]> Items;
        size_t Size = 0;
    };
    std::vector<TBlock> FBlocks; // sorted by address
    HTREEITEM FFree = nullptr;   // free items, linked through Next
    int FCount = 0;
    HTREEITEM FFirst = nullptr; // first top-level item
    HTREEITEM FLast = nullptr;
    HTREEITEM FSelected = nullptr;
    HTREEITEM FDropHilite = nullptr;
    HTREEITEM FTop = nullptr;
    HTREEITEM FEditItem = nullptr;
    HTREEITEM FPressItem = nullptr;
    HTREEITEM FHot = nullptr;
    unsigned FStyle = 0;
    unsigned FExStyle = 0;
    TTreeItem::TKids FRootKids;
    int FTotalRows = 0;
    mutable int FContentWidth = 0;
    mutable bool FWidthValid = true;
    std::vector<HTREEITEM> FWidthPending;
    int FIndent = 19;
    int FItemHeight = -1; // -1: from the font and images
    mutable int FDefaultHeight = -1;
    int FScrollX = 0;
    TColor FBkColor = clNone;
    TColor FTextColor = clNone;
    TColor FLineColor = clGray;
    TCustomImageList* FImages = nullptr;
    TCustomImageList* FStateImages = nullptr;
    TEdit* FEdit = nullptr;
    bool FRedraw = true;
    bool FEnding = false;
    bool FDragSent = false;
    bool FSwallowRButtonUp = false;
    bool FEditOnRelease = false;
    TPoint FPressPos;
    unsigned FPressButtons = 0; // MK-like: 1 left, 2 right
    QImage FMeasureImage;
    std::unique_ptr<TCanvas> FMeasure;
    mutable bool FBarsDirty = true;
    mutable bool FComputingBars = false;
    mutable bool FShowV = false;
    mutable bool FShowH = false;
    int FThumbDrag = 0; // 1 vertical, 2 horizontal thumb follows the mouse
    int FThumbGrab = 0; // mouse offset into the thumb
};

// Message helpers in the platform's usual form.
inline HTREEITEM TreeView_InsertItem(TNativeTreeView* TV, TVINSERTSTRUCT* Insert)
{
    return reinterpret_cast<HTREEITEM>(TV->Perform(TVM_INSERTITEM, 0, reinterpret_cast<intptr_t>(Insert)));
}
inline bool TreeView_DeleteItem(TNativeTreeView* TV, HTREEITEM Item)
{
    return TV->Perform(TVM_DELETEITEM, 0, reinterpret_cast<intptr_t>(Item)) != 0;
}
inline HTREEITEM TreeView_GetNextItem(TNativeTreeView* TV, HTREEITEM Item, unsigned Code)
{
    return reinterpret_cast<HTREEITEM>(TV->Perform(TVM_GETNEXTITEM, Code, reinterpret_cast<intptr_t>(Item)));
}
inline bool TreeView_Expand(TNativeTreeView* TV, HTREEITEM Item, unsigned Action)
{
    return TV->Perform(TVM_EXPAND, Action, reinterpret_cast<intptr_t>(Item)) != 0;
}
inline bool TreeView_Select(TNativeTreeView* TV, HTREEITEM Item, unsigned Code)
{
    return TV->Perform(TVM_SELECTITEM, Code, reinterpret_cast<intptr_t>(Item)) != 0;
}
inline bool TreeView_GetItem(TNativeTreeView* TV, TVITEM* Item)
{
    return TV->Perform(TVM_GETITEM, 0, reinterpret_cast<intptr_t>(Item)) != 0;
}
inline bool TreeView_SetItem(TNativeTreeView* TV, TVITEM* Item)
{
    return TV->Perform(TVM_SETITEM, 0, reinterpret_cast<intptr_t>(Item)) != 0;
}
inline bool TreeView_GetItemRect(TNativeTreeView* TV, HTREEITEM Item, TRect* Rect, bool TextOnly)
{
    TVITEMRECT R;
    R.hItem = Item;
    const bool Ok = TV->Perform(TVM_GETITEMRECT, TextOnly ? 1 : 0, reinterpret_cast<intptr_t>(&R)) != 0;
    *Rect = R.rc;
    return Ok;
}
inline HTREEITEM TreeView_HitTest(TNativeTreeView* TV, TVHITTESTINFO* Info)
{
    return reinterpret_cast<HTREEITEM>(TV->Perform(TVM_HITTEST, 0, reinterpret_cast<intptr_t>(Info)));
}

void RegisterNativeTreeViewClasses();
