#include "RichEdit.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "RichText.h"
#include "Streams.h"

// ---------------------------------------------------------------- TRichEditStrings

namespace {

// An empty document still has one (empty) block; it holds no line.
bool DocumentEmpty(const QTextDocument* Doc)
{
    return Doc->blockCount() == 1 && Doc->firstBlock().length() <= 1;
}

[[noreturn]] void LineIndexError(int Index)
{
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

} // namespace

TRichEditStrings::TRichEditStrings(TCustomRichEdit* Edit) : FEdit(Edit) {}

int TRichEditStrings::Count() const
{
    const QTextDocument* Doc = FEdit->Document();
    return DocumentEmpty(Doc) ? 0 : Doc->blockCount();
}

String TRichEditStrings::Get(int Index) const
{
    if (Index < 0 || Index >= Count())
        LineIndexError(Index);
    return FromQString(FEdit->Document()->findBlockByNumber(Index).text());
}

void TRichEditStrings::Put(int Index, const String& S)
{
    if (Index < 0 || Index >= Count())
        LineIndexError(Index);
    QTextCursor C(FEdit->Document()->findBlockByNumber(Index));
    C.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    C.insertText(ToQString(S));
}

void TRichEditStrings::Insert(int Index, const String& S)
{
    const int N = Count();
    if (Index < 0 || Index > N)
        LineIndexError(Index);
    QTextDocument* Doc = FEdit->Document();
    if (N == 0) {
        QTextCursor C(Doc);
        C.insertText(ToQString(S));
        return;
    }
    if (Index == N) {
        QTextCursor C(Doc);
        C.movePosition(QTextCursor::End);
        C.insertBlock();
        C.insertText(ToQString(S));
        return;
    }
    QTextCursor C(Doc->findBlockByNumber(Index));
    C.insertText(ToQString(S));
    C.insertBlock();
}

void TRichEditStrings::Delete(int Index)
{
    const int N = Count();
    if (Index < 0 || Index >= N)
        LineIndexError(Index);
    QTextDocument* Doc = FEdit->Document();
    QTextBlock B = Doc->findBlockByNumber(Index);
    QTextCursor C(B);
    if (N == 1) {
        Doc->clear();
        return;
    }
    if (Index < N - 1) {
        C.setPosition(B.next().position(), QTextCursor::KeepAnchor);
    } else {
        // The last line takes the paragraph end before it.
        C.setPosition(B.previous().position() + B.previous().length() - 1);
        C.setPosition(B.position() + B.length() - 1, QTextCursor::KeepAnchor);
    }
    C.removeSelectedText();
}

void TRichEditStrings::Clear()
{
    FEdit->Document()->clear();
}

void TRichEditStrings::SetText(const String& Value)
{
    // Lines end with CR LF, LF or CR; a last empty line is no line.
    String T = Value;
    if (T.size() >= 2 && T.compare(T.size() - 2, 2, "\r\n") == 0)
        T.resize(T.size() - 2);
    else if (!T.empty() && (T.back() == '\n' || T.back() == '\r'))
        T.pop_back();
    QString Q = ToQString(T);
    Q.replace("\r\n", "\n");
    Q.replace('\r', '\n');
    FEdit->Document()->setPlainText(Q);
}

void TRichEditStrings::LoadFromStream(TStream& Stream)
{
    if (FEdit->PlainText()) {
        TStrings::LoadFromStream(Stream);
        return;
    }
    ReadRtf(*FEdit->Document(), Stream);
}

void TRichEditStrings::SaveToStream(TStream& Stream) const
{
    if (FEdit->PlainText()) {
        TStrings::SaveToStream(Stream);
        return;
    }
    WriteRtf(*FEdit->Document(), Stream);
}

// ---------------------------------------------------------------- TCustomRichEdit

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner)
    : TWinControl(AOwner), FEditor(new QTextEdit(this)), FLines(std::make_unique<TRichEditStrings>(this))
{
    FColor = clWindow;
    FParentColor = false;
    SetTabStop(true);
    SetBounds(0, 0, 185, 89);
    FEditor->setGeometry(0, 0, 185, 89);
    FEditor->setAcceptRichText(false);
    FEditor->setUndoRedoEnabled(true);
    FEditor->setFrameShape(QFrame::StyledPanel);
    setFocusProxy(FEditor);
    FEditor->installEventFilter(this);
    FEditor->viewport()->installEventFilter(this);
    FEditor->viewport()->setMouseTracking(true);
    ApplyScrollBars();
    ColorChanged();
    QObject::connect(FEditor, &QTextEdit::textChanged, this, [this] { Change(); });
    QObject::connect(FEditor, &QTextEdit::selectionChanged, this, [this] { SelectionChange(); });
    QObject::connect(FEditor, &QTextEdit::cursorPositionChanged, this, [this] { SelectionChange(); });
}

TCustomRichEdit::~TCustomRichEdit()
{
    FEditor->removeEventFilter(this);
    FEditor->viewport()->removeEventFilter(this);
    QObject::disconnect(FEditor, nullptr, this, nullptr);
}

QTextDocument* TCustomRichEdit::Document() const
{
    return FEditor->document();
}

bool TCustomRichEdit::ReadOnly() const
{
    return FEditor->isReadOnly();
}

void TCustomRichEdit::SetReadOnly(bool Value)
{
    FEditor->setReadOnly(Value);
}

void TCustomRichEdit::SetWordWrap(bool Value)
{
    FWordWrap = Value;
    FEditor->setLineWrapMode(Value ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
}

void TCustomRichEdit::SetScrollBars(TScrollStyle Value)
{
    FScrollBars = Value;
    ApplyScrollBars();
}

void TCustomRichEdit::SetHideScrollBars(bool Value)
{
    FHideScrollBars = Value;
    ApplyScrollBars();
}

void TCustomRichEdit::ApplyScrollBars()
{
    const Qt::ScrollBarPolicy Shown = FHideScrollBars ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOn;
    const bool H = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
    const bool V = FScrollBars == ssVertical || FScrollBars == ssBoth;
    FEditor->setHorizontalScrollBarPolicy(H ? Shown : Qt::ScrollBarAlwaysOff);
    FEditor->setVerticalScrollBarPolicy(V ? Shown : Qt::ScrollBarAlwaysOff);
}

void TCustomRichEdit::SetBorderStyle(TBorderStyle Value)
{
    FBorderStyle = Value;
    FEditor->setFrameShape(Value == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

int TCustomRichEdit::SelStart() const
{
    return FEditor->textCursor().selectionStart();
}

void TCustomRichEdit::SetSelStart(int Value)
{
    QTextCursor C = FEditor->textCursor();
    C.setPosition(std::clamp(Value, 0, GetTextLen()));
    FEditor->setTextCursor(C);
}

int TCustomRichEdit::SelLength() const
{
    const QTextCursor C = FEditor->textCursor();
    return C.selectionEnd() - C.selectionStart();
}

void TCustomRichEdit::SetSelLength(int Value)
{
    QTextCursor C = FEditor->textCursor();
    const int Start = C.selectionStart();
    C.setPosition(Start);
    C.setPosition(std::clamp(Start + Value, 0, GetTextLen()), QTextCursor::KeepAnchor);
    FEditor->setTextCursor(C);
}

String TCustomRichEdit::SelText() const
{
    QString S = FEditor->textCursor().selectedText();
    S.replace(QChar::ParagraphSeparator, "\r\n");
    return FromQString(S);
}

int TCustomRichEdit::GetTextLen() const
{
    return std::max(0, Document()->characterCount() - 1);
}

TPoint TCustomRichEdit::CaretPos() const
{
    const QTextCursor C = FEditor->textCursor();
    return TPoint(C.positionInBlock(), C.blockNumber());
}

int TCustomRichEdit::LineFromChar(int CharIndex) const
{
    const QTextBlock B = Document()->findBlock(std::clamp(CharIndex, 0, GetTextLen()));
    return B.isValid() ? B.blockNumber() : 0;
}

int TCustomRichEdit::LineIndex(int Line) const
{
    const QTextBlock B = Document()->findBlockByNumber(Line);
    return B.isValid() ? B.position() : -1;
}

int TCustomRichEdit::CharFromPos(TPoint P) const
{
    const QPoint InViewport = FEditor->viewport()->mapFrom(this, QPoint(P.X, P.Y));
    return FEditor->cursorForPosition(InViewport).position();
}

String TCustomRichEdit::PlainTextContent() const
{
    return FLines->Text();
}

void TCustomRichEdit::CreateWnd()
{
    TWinControl::CreateWnd();
    // A new window starts with the text the old one had, without formatting.
    if (!FSavedText.empty()) {
        FLines->SetText(FSavedText);
        FSavedText.clear();
    }
}

void TCustomRichEdit::DestroyWnd()
{
    FSavedText = FLines->Text();
    FEditor->document()->clear();
    TWinControl::DestroyWnd();
}

bool TCustomRichEdit::WantsKey(Word Key, TShiftState Shift)
{
    if (Key == VK_TAB)
        return FWantTabs && !Shift.testFlag(ssCtrl);
    if (Key == VK_RETURN)
        return FWantReturns;
    if (Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN)
        return true;
    return TWinControl::WantsKey(Key, Shift);
}

void TCustomRichEdit::ApplyQtFont()
{
    TWinControl::ApplyQtFont();
    FEditor->setFont(Font()->QtFont());
    QPalette P = FEditor->palette();
    P.setColor(QPalette::Text, ColorToQColor(Font()->Color()));
    FEditor->setPalette(P);
}

void TCustomRichEdit::ColorChanged()
{
    QPalette P = FEditor->palette();
    P.setColor(QPalette::Base, ColorToQColor(FColor));
    FEditor->setPalette(P);
    TWinControl::ColorChanged();
}

void TCustomRichEdit::BoundsChanged(int OldWidth, int OldHeight)
{
    FEditor->setGeometry(0, 0, std::max(0, FWidth), std::max(0, FHeight));
    TWinControl::BoundsChanged(OldWidth, OldHeight);
}

bool TCustomRichEdit::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == FEditor) {
        switch (Event->type()) {
        case QEvent::KeyPress: {
            auto* K = static_cast<QKeyEvent*>(Event);
            if (FMaxLength > 0 && !K->text().isEmpty() && K->text().at(0).isPrint() &&
                GetTextLen() - SelLength() >= FMaxLength)
                return true;
            return HandleKeyPress(K);
        }
        case QEvent::KeyRelease: return HandleKeyRelease(static_cast<QKeyEvent*>(Event));
        default: return false;
        }
    }
    if (Watched == FEditor->viewport()) {
        switch (Event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove: {
            // Mouse messages of the editor are the control's, in its coordinates.
            auto* M = static_cast<QMouseEvent*>(Event);
            const QPoint P = FEditor->viewport()->mapTo(this, M->position().toPoint());
            const TShiftState Shift = ShiftStateFromQt(M->modifiers(), M->buttons());
            if (Event->type() == QEvent::MouseMove) {
                Perform(WM_MOUSEMOVE, Shift.toInt(), PointToLParam(P.x(), P.y()));
                return false;
            }
            QMouseEvent Mapped(Event->type(), QPointF(P), M->globalPosition(), M->button(), M->buttons(),
                               M->modifiers());
            DoMouseButton(&Mapped, Event->type() != QEvent::MouseButtonRelease,
                          Event->type() == QEvent::MouseButtonDblClick);
            return false;
        }
        default: return false;
        }
    }
    return TWinControl::eventFilter(Watched, Event);
}

void TCustomRichEdit::Change()
{
    if (IsLoading())
        return;
    if (OnChange)
        OnChange(this);
}

void TCustomRichEdit::SelectionChange()
{
    if (IsLoading())
        return;
    if (OnSelectionChange)
        OnSelectionChange(this);
}

namespace {
[[maybe_unused]] const bool RichEditRegistered = (RegisterClasses<TRichEdit>(), true);
}
