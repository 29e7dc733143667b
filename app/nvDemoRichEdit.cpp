#include "nvDemoRichEdit.h"

#include <QTextEdit>

#include "FormStream.h"
#include "Streams.h"

namespace {

// Loading and saving go through the rich edit's own stream operations in rich
// text mode, whatever PlainText says meanwhile.
class TRichTextMode {
public:
    explicit TRichTextMode(TCustomRichEdit* Edit) : FEdit(Edit), FPlain(Edit->PlainText())
    {
        FEdit->SetPlainText(false);
    }
    ~TRichTextMode() { FEdit->SetPlainText(FPlain); }
    TRichTextMode(const TRichTextMode&) = delete;
    TRichTextMode& operator=(const TRichTextMode&) = delete;

private:
    TCustomRichEdit* FEdit;
    bool FPlain;
};

} // namespace

TnvDemoRichEdit::TnvDemoRichEdit(TComponent* AOwner) : TCustomRichEdit(AOwner) {}

TnvDemoRichEdit::~TnvDemoRichEdit() = default;

void TnvDemoRichEdit::DefineProperties(TFiler* Filer)
{
    TCustomRichEdit::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        "RichEditLines", [this](TStream& S) { ReadRichEditLines(S); }, [this](TStream& S) { WriteRichEditLines(S); },
        true);
}

void TnvDemoRichEdit::ReadRichEditLines(TStream& Stream)
{
    {
        TRichTextMode Mode(this);
        Lines()->LoadFromStream(Stream);
    }
    // A loaded document shows from its start.
    SetSelStart(0);
    Editor()->ensureCursorVisible();
}

void TnvDemoRichEdit::WriteRichEditLines(TStream& Stream)
{
    TRichTextMode Mode(this);
    Lines()->SaveToStream(Stream);
}

void TnvDemoRichEdit::DestroyWnd()
{
    FSaved = false;
    if (!IsDestroying()) {
        if (FMemStream)
            FMemStream->SetPosition(0);
        else
            FMemStream = std::make_unique<TMemoryStream>();
        WriteRichEditLines(*FMemStream);
        FSaved = true;
    }
    TCustomRichEdit::DestroyWnd();
}

void TnvDemoRichEdit::CreateWnd()
{
    TCustomRichEdit::CreateWnd();
    if (FSaved && FMemStream) {
        FMemStream->SetPosition(0);
        ReadRichEditLines(*FMemStream);
    }
}
