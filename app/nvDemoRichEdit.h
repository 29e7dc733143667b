// The rich edit of the demonstration's description pages.
//
// Its document is stored in the form under the binary property
// "RichEditLines": the document exactly as the rich edit saves it in rich
// text mode (an RTF document beginning "{\rtf1"), with no header or length
// of its own; the property is always written, an empty document included.
// Lines is not published, so the document is stored only once.
//
// The document lives in the control's window. When the window is destroyed
// while the control lives on (RecreateWnd), the whole rich text is saved in a
// memory stream and loaded again into the new window, so fonts, colours and
// bullets survive, not only the plain text.
#pragma once

#include <memory>

#include "RichEdit.h"

class TMemoryStream;

class TnvDemoRichEdit : public TCustomRichEdit {
    Q_OBJECT
    Q_MOC_INCLUDE("Menus.h")
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(ControlsTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(bool HideScrollBars READ HideScrollBars WRITE SetHideScrollBars)
    Q_PROPERTY(bool HideSelection READ HideSelection WRITE SetHideSelection)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE SetMaxLength)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(bool PlainText READ PlainText WRITE SetPlainText)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
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
    explicit TnvDemoRichEdit(TComponent* AOwner = nullptr);
    ~TnvDemoRichEdit() override;

    void DefineProperties(TFiler* Filer) override;

    // Loads the whole content from the stream's position (rich text).
    virtual void ReadRichEditLines(TStream& Stream);
    // Saves the whole content to the stream at its position (rich text).
    virtual void WriteRichEditLines(TStream& Stream);

protected:
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    // The content kept while the window is away; made on first need.
    std::unique_ptr<TMemoryStream> FMemStream;
    bool FSaved = false;
};
