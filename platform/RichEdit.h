// The rich edit control: a QTextEdit inside a windowed control, whose
// document loads and saves as rich text (RTF, see RichText.h).
//
// Lines are the document's paragraphs. Lines->LoadFromStream and
// SaveToStream read and write rich text unless PlainText is set. The
// document lives in the control's window: when the window is destroyed and
// made again (RecreateWnd) only the plain text survives, as with the
// platform's rich edit; controls that need the formatting save it
// themselves around DestroyWnd/CreateWnd.
#pragma once

#include "Controls.h"
#include "StringList.h"

class QTextEdit;
class QTextDocument;
class TCustomRichEdit;

// The paragraphs of a rich edit's document.
class TRichEditStrings : public TStrings {
    Q_OBJECT
public:
    explicit TRichEditStrings(TCustomRichEdit* Edit);

    int Count() const override;
    String Get(int Index) const override;
    void Put(int Index, const String& S) override;
    void Insert(int Index, const String& S) override;
    void Delete(int Index) override;
    void Clear() override;
    void SetText(const String& Value) override;
    // Rich text unless the edit's PlainText is set.
    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) const override;

private:
    TCustomRichEdit* FEdit;
};

class TCustomRichEdit : public TWinControl {
    Q_OBJECT
public:
    explicit TCustomRichEdit(TComponent* AOwner = nullptr);
    ~TCustomRichEdit() override;

    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* Value) { FLines->Assign(Value); }
    bool PlainText() const { return FPlainText; }
    void SetPlainText(bool Value) { FPlainText = Value; }
    bool ReadOnly() const;
    void SetReadOnly(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool HideScrollBars() const { return FHideScrollBars; }
    void SetHideScrollBars(bool Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value) { FHideSelection = Value; }
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value) { FMaxLength = Value; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }

    // Character positions count one per character and one per paragraph end.
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    String SelText() const;
    int GetTextLen() const;
    // Line (paragraph) and column of the caret, both from 0.
    TPoint CaretPos() const;
    int LineFromChar(int CharIndex) const;
    int LineIndex(int Line) const;
    // The character position nearest to a client point.
    int CharFromPos(TPoint P) const;
    // The whole document as plain text, paragraphs ended by CR LF.
    String PlainTextContent() const;

    QTextEdit* Editor() const { return FEditor; }
    QTextDocument* Document() const;

    TNotifyEvent OnChange;
    TNotifyEvent OnSelectionChange;

protected:
    void CreateWnd() override;
    void DestroyWnd() override;
    bool WantsKey(Word Key, TShiftState Shift) override;
    bool WantsChars() const override { return true; }
    void ApplyQtFont() override;
    void ColorChanged() override;
    void BoundsChanged(int OldWidth, int OldHeight) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    virtual void Change();
    virtual void SelectionChange();

private:
    friend class TRichEditStrings;
    void ApplyScrollBars();
    QTextEdit* FEditor;
    std::unique_ptr<TRichEditStrings> FLines;
    bool FPlainText = false;
    bool FWordWrap = true;
    TScrollStyle FScrollBars = ssNone;
    TBorderStyle FBorderStyle = bsSingle;
    bool FHideScrollBars = true;
    bool FHideSelection = true;
    int FMaxLength = 0;
    bool FWantTabs = false;
    bool FWantReturns = true;
    String FSavedText;
    bool FChanging = false;
};

class TRichEdit : public TCustomRichEdit {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(ControlsTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(bool HideScrollBars READ HideScrollBars WRITE SetHideScrollBars)
    Q_PROPERTY(bool HideSelection READ HideSelection WRITE SetHideSelection)
    Q_PROPERTY(TStrings* Lines READ Lines WRITE SetLines)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE SetMaxLength)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool PlainText READ PlainText WRITE SetPlainText)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(ControlsTypes::TScrollStyle ScrollBars READ ScrollBars WRITE SetScrollBars)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(bool WantReturns READ WantReturns WRITE SetWantReturns)
    Q_PROPERTY(bool WantTabs READ WantTabs WRITE SetWantTabs)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_PROPERTY(TNotifyEvent OnChange MEMBER OnChange)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
    Q_PROPERTY(TKeyPressEvent OnKeyPress MEMBER OnKeyPress)
    Q_PROPERTY(TKeyEvent OnKeyUp MEMBER OnKeyUp)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
    Q_PROPERTY(TNotifyEvent OnSelectionChange MEMBER OnSelectionChange)
public:
    explicit TRichEdit(TComponent* AOwner = nullptr) : TCustomRichEdit(AOwner) {}
};
