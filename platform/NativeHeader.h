// NativeHeader: the platform's header control (window class "SysHeader32").
//
// TNativeHeader is a self-drawn windowed control holding a row of items
// (column headings) and driven the way the platform's header window is
// driven: through messages (HDM_*) sent with Perform, with the HD* structures
// declared here, reporting what happens through notifications (HDN_*, NM_*).
//
// Notifications. The control sends every notification to itself through the
// virtual Notify(NMHDR&); the default answers 0. A control built on the
// header (a "sub-classed" header window) overrides Notify, switches on
// Header.code and casts the header to NMHEADER:
//   HDN_ITEMCHANGING, HDN_ITEMCHANGED   pitem: what changes (mask), the new values
//   HDN_ITEMCLICK, HDN_ITEMDBLCLICK     iItem, iButton (0 left, 1 right)
//   HDN_DIVIDERDBLCLICK                 iItem: the item left of the divider
//   HDN_BEGINTRACK, HDN_TRACK,
//   HDN_ENDTRACK                        iItem, pitem (HDI_WIDTH, cxy: the width)
//   HDN_BEGINDRAG                       iItem
//   HDN_ENDDRAG                         iItem, pitem (HDI_ORDER, iOrder: the drop order)
//   NM_RCLICK                           iItem: the item under the mouse or -1, iButton 1
//   NM_RELEASEDCAPTURE                  iItem -1
// Every notification comes as an NMHEADER; hwndFrom is not used.
// A non-zero answer vetoes HDN_ITEMCHANGING and HDN_BEGINTRACK, ends the
// tracking at HDN_TRACK (the width stays as it was), refuses the drag at
// HDN_BEGINDRAG and keeps the control from moving the item itself at
// HDN_ENDDRAG. In HDN_BEGINTRACK, HDN_TRACK and HDN_ENDTRACK the receiver may
// change pitem->cxy in place: the control goes on with the width it gets back.
//
// Items. Each item has a width, a text, a format (HDF_LEFT/RIGHT/CENTER,
// HDF_IMAGE, HDF_BITMAP_ON_RIGHT, HDF_OWNERDRAW), an image index and an
// lParam. Items are addressed by index (the order of insertion); the order
// in which they are shown is a separate permutation (HDM_GETORDERARRAY,
// HDI_ORDER). Inserting and deleting keep the shown order of the others.
//
// Painting. The background is clBtnFace; every item is a button face, raised
// (HDS_BUTTONS) and drawn pressed (a flat shadow frame, its content one pixel
// right and down) while the left button is down on it; the space right of
// the last item is an empty raised face. The text is drawn with its
// alignment and an end ellipsis, 6 pixels in from the sides, the image left
// of it (right with HDF_BITMAP_ON_RIGHT). An HDF_OWNERDRAW item is filled
// with clBtnFace and the control sends itself WM_DRAWITEM (LParam the
// DRAWITEMSTRUCT, the canvas clipped to the item); the receiver sets Result
// to non-zero when it drew. With Themed the faces come from the style
// (hot while hot-tracked, pressed while pressed); without it they are the
// classic edges, drawn after the content. Hot tracking (HDS_HOTTRACK) marks
// the item under the mouse (ODS_HOTLIGHT, and a hot-light text colour).
//
// Mouse. The divider of an item is the band of DividerGrip pixels on each
// side of its right edge (the last shown item whose band holds the point
// wins, so a zero-width item can be opened again). A left press on a divider
// tracks it: HDN_BEGINTRACK, HDN_TRACK at every move, HDN_ENDTRACK at the
// release; with HDS_FULLDRAG every move sets the width (HDN_ITEMCHANGING,
// HDN_ITEMCHANGED), otherwise a line follows the mouse and the width is set
// once at the release. A left press on an item presses it (HDS_BUTTONS);
// a release on the same item sends HDN_ITEMCLICK. With HDS_DRAGDROP, moving
// more than DragThreshold pixels with the item pressed sends HDN_BEGINDRAG and
// then the item's face follows the mouse with a mark at the drop place; the
// release sends HDN_ENDDRAG with the drop order (the order of the item under
// the mouse; 0 left of all items, the last order right of them) and, unless
// refused, moves the item there in the shown order. Every press that the
// control followed ends with NM_RELEASEDCAPTURE. A right release sends
// NM_RCLICK. Mouse messages reach the framework's handling (MouseDown,
// MouseUp, Click) after the header has processed them, as with a
// sub-classed window. MessagePos() is the screen position of the mouse
// message being handled (the platform's GetMessagePos).
#pragma once

#include <vector>

#include "Controls.h"
#include "ImageList.h"
#include "NativeTreeView.h"

class TCanvas;

namespace NativeHeaderTypes {
Q_NAMESPACE

// How a header section is drawn: by the control, or by its owner.
enum THeaderSectionStyle { hsText, hsOwnerDraw };
Q_ENUM_NS(THeaderSectionStyle)

// The phase of a divider drag.
enum TSectionTrackState { tsTrackBegin, tsTrackMove, tsTrackEnd };
Q_ENUM_NS(TSectionTrackState)

} // namespace NativeHeaderTypes
using namespace NativeHeaderTypes;

// Messages.
enum : unsigned {
    HDM_FIRST = 0x1200,
    HDM_GETITEMCOUNT = HDM_FIRST + 0,
    HDM_INSERTITEM = HDM_FIRST + 1,   // WParam index (clamped), LParam HDITEM*; result the new index or -1
    HDM_DELETEITEM = HDM_FIRST + 2,   // WParam index; result 1 or 0
    HDM_GETITEM = HDM_FIRST + 3,      // WParam index, LParam HDITEM* (mask: what to fill)
    HDM_SETITEM = HDM_FIRST + 4,      // WParam index, LParam HDITEM* (mask: what to set)
    HDM_LAYOUT = HDM_FIRST + 5,       // LParam HDLAYOUT*
    HDM_HITTEST = HDM_FIRST + 6,      // LParam HDHITTESTINFO*; result the item or -1
    HDM_GETITEMRECT = HDM_FIRST + 7,  // WParam index, LParam TRect*
    HDM_SETIMAGELIST = HDM_FIRST + 8, // LParam TCustomImageList*; result the old one
    HDM_GETIMAGELIST = HDM_FIRST + 9,
    HDM_ORDERTOINDEX = HDM_FIRST + 15,   // WParam order; result the index or -1
    HDM_GETORDERARRAY = HDM_FIRST + 17,  // WParam count, LParam int[count]; result 1 or 0
    HDM_SETORDERARRAY = HDM_FIRST + 18,  // WParam count, LParam int[count] (a permutation)
    WM_DRAWITEM = 0x002B,                // LParam DRAWITEMSTRUCT*
};

// HDITEM mask bits.
enum : unsigned {
    HDI_WIDTH = 0x0001,
    HDI_HEIGHT = HDI_WIDTH,
    HDI_TEXT = 0x0002,
    HDI_FORMAT = 0x0004,
    HDI_LPARAM = 0x0008,
    HDI_IMAGE = 0x0020,
    HDI_ORDER = 0x0080,
};

// Item formats.
enum : int {
    HDF_LEFT = 0x0000,
    HDF_RIGHT = 0x0001,
    HDF_CENTER = 0x0002,
    HDF_JUSTIFYMASK = 0x0003,
    HDF_RTLREADING = 0x0004,
    HDF_SORTDOWN = 0x0200,
    HDF_SORTUP = 0x0400,
    HDF_IMAGE = 0x0800,
    HDF_BITMAP_ON_RIGHT = 0x1000,
    HDF_STRING = 0x4000,
    HDF_OWNERDRAW = 0x8000,
};

// Styles.
enum : unsigned {
    HDS_HORZ = 0x0000,
    HDS_BUTTONS = 0x0002,
    HDS_HOTTRACK = 0x0004,
    HDS_HIDDEN = 0x0008,
    HDS_DRAGDROP = 0x0040,
    HDS_FULLDRAG = 0x0080,
};

// Hit-test flags.
enum : unsigned {
    HHT_NOWHERE = 0x0001,
    HHT_ONHEADER = 0x0002,
    HHT_ONDIVIDER = 0x0004,
    HHT_ONDIVOPEN = 0x0008,
    HHT_ABOVE = 0x0100,
    HHT_BELOW = 0x0200,
    HHT_TORIGHT = 0x0400,
    HHT_TOLEFT = 0x0800,
};

// Notification codes.
enum : int {
    NM_RELEASEDCAPTURE = NM_FIRST - 16,
    HDN_FIRST = -300,
    HDN_ITEMCHANGING = HDN_FIRST - 0,
    HDN_ITEMCHANGED = HDN_FIRST - 1,
    HDN_ITEMCLICK = HDN_FIRST - 2,
    HDN_ITEMDBLCLICK = HDN_FIRST - 3,
    HDN_DIVIDERDBLCLICK = HDN_FIRST - 5,
    HDN_BEGINTRACK = HDN_FIRST - 6,
    HDN_ENDTRACK = HDN_FIRST - 7,
    HDN_TRACK = HDN_FIRST - 8,
    HDN_BEGINDRAG = HDN_FIRST - 10,
    HDN_ENDDRAG = HDN_FIRST - 11,
};

// Owner drawing.
enum : unsigned {
    ODT_HEADER = 100,
    ODA_DRAWENTIRE = 0x0001,
    ODS_SELECTED = 0x0001,
    ODS_DISABLED = 0x0004,
    ODS_HOTLIGHT = 0x0040,
};

struct HDITEM {
    unsigned mask = 0;
    int cxy = 0;
    String pszText;
    int fmt = 0;
    intptr_t lParam = 0;
    int iImage = 0;
    int iOrder = 0;
};
using THDItem = HDITEM;

struct WINDOWPOS {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    unsigned flags = 0;
};

// HDM_LAYOUT: prc is the rectangle the header is to occupy the top of; on
// return its top has moved down by the header's height and pwpos holds the
// header's place.
struct HDLAYOUT {
    TRect* prc = nullptr;
    WINDOWPOS* pwpos = nullptr;
};

struct HDHITTESTINFO {
    TPoint pt;
    unsigned flags = 0;
    int iItem = -1;
};
using THDHitTestInfo = HDHITTESTINFO;

struct NMHEADER {
    NMHDR hdr;
    int iItem = -1;
    int iButton = 0;
    HDITEM* pitem = nullptr;
};
using THDNotify = NMHEADER;

struct DRAWITEMSTRUCT {
    unsigned CtlType = ODT_HEADER;
    unsigned CtlID = 0;
    unsigned itemID = 0;
    unsigned itemAction = ODA_DRAWENTIRE;
    unsigned itemState = 0;
    TControl* hwndItem = nullptr;
    TCanvas* hDC = nullptr;
    TRect rcItem;
    intptr_t itemData = 0;
};
using TDrawItemStruct = DRAWITEMSTRUCT;

class TNativeHeader : public TCustomControl {
    Q_OBJECT
public:
    static constexpr const char* WindowClassName = "SysHeader32";
    // Pixels on each side of an item's right edge that grab its divider.
    static constexpr int DividerGrip = 4;
    // Pixels the mouse moves with an item pressed before a drag begins.
    static constexpr int DragThreshold = 4;

    explicit TNativeHeader(TComponent* AOwner = nullptr);
    ~TNativeHeader() override;

    unsigned Style() const { return FStyle; }
    void SetStyle(unsigned Value);
    // Faces drawn through the style instead of the classic edges.
    bool Themed() const { return FThemed; }
    void SetThemed(bool Value);

    // ---- the operations behind the messages
    int ItemCount() const { return static_cast<int>(FItems.size()); }
    int InsertItem(int Index, const HDITEM& Item);
    bool DeleteItem(int Index);
    bool GetItem(int Index, HDITEM& Item) const;
    bool SetItem(int Index, const HDITEM& Item);
    bool Layout(HDLAYOUT& Layout);
    int HitTest(HDHITTESTINFO& Info) const;
    bool GetItemRect(int Index, TRect& Rect) const;
    TCustomImageList* ImageList() const { return FImages; }
    TCustomImageList* SetImageList(TCustomImageList* List);
    int OrderToIndex(int Order) const;
    int IndexToOrder(int Index) const;
    bool GetOrderArray(int Count, int* Order) const;
    bool SetOrderArray(int Count, const int* Order);

    // ---- state of the mouse
    int HotItem() const { return FHot; }
    int PressedItem() const { return FPressed; }
    int TrackingItem() const { return FTrackItem; }
    int DraggingItem() const { return FDragItem; }
    TPoint MessagePos() const { return FMessagePos; }

    void WndProc(TMessage& Message) override;
    virtual intptr_t Notify(NMHDR& Header);

protected:
    void Paint() override;
    void FontChanged() override;
    // The items live in the window: they go with it (nothing is sent).
    void DestroyWnd() override;
    // The default look of an item's content (image and text) inside Rect.
    void DrawItemContent(TCanvas* C, int Index, const TRect& Rect, bool Pressed, bool Hot);

private:
    struct TItem {
        int Width = 0;
        String Text;
        int Format = 0;
        intptr_t Param = 0;
        int Image = 0;
    };
    bool ValidIndex(int Index) const { return Index >= 0 && Index < ItemCount(); }
    // Copies the fields the mask names (not the order).
    static void StoreFields(TItem& To, const HDITEM& From);
    intptr_t Send(NMHDR& Header, int Code);
    intptr_t SendHeader(int Code, int Item, int Button, HDITEM* Pitem);
    // Sets the fields of Item that its mask names, with HDN_ITEMCHANGING and
    // HDN_ITEMCHANGED around it; false when vetoed.
    bool ChangeItem(int Index, const HDITEM& Item, bool Notify);
    void MoveOrder(int Index, int Order);
    int ItemLeft(int Index) const;
    int ItemAtX(int X) const;
    int DropOrder(int X) const;
    void MousePress(TPoint P, bool Double);
    void MouseMoved(TPoint P, TShiftState Shift);
    void MouseRelease(TPoint P);
    void EndCapture();
    void SetHot(int Item);
    void DrawFace(TCanvas* C, const TRect& R, bool Pressed, bool Hot);

    std::vector<TItem> FItems; // by index
    std::vector<int> FOrder;   // shown order: position -> index
    unsigned FStyle = HDS_HORZ | HDS_BUTTONS;
    bool FThemed = false;
    TCustomImageList* FImages = nullptr;
    QMetaObject::Connection FImagesGone;
    int FHot = -1;
    int FPressed = -1;     // the item pressed with the left button
    int FPressItem = -1;   // the item the press began on
    TPoint FPressPos;
    int FTrackItem = -1;   // the item whose divider is tracked
    int FTrackStartX = 0;
    int FTrackStartWidth = 0;
    int FTrackWidth = 0;
    int FDragItem = -1;    // the item dragged to a new place
    int FDragX = 0;
    int FDragGrab = 0;     // the mouse's offset into the dragged item
    bool FFollowing = false; // a left press is being followed
    TPoint FMessagePos;
};

void RegisterNativeHeaderClasses();
