// Feeds arbitrary bytes to the tree view's node stream reader (the "Data" of
// a stored tree; the first byte chooses the stream version and whether the
// stored expansion is applied). Bad data must raise EReadError and leave the
// tree empty with every node freed; a stream that reads must write back to
// a stream that reads again to a tree of the same size and shape. A sort, a
// full expansion and a paint then run over what was read.
#include <QApplication>
#include <QImage>

#include <cstdlib>

#include "Forms.h"
#include "Streams.h"
#include "nvTreeView.h"

namespace {

class TFuzzNode : public TnvTreeNode {
public:
    explicit TFuzzNode(TnvTreeNodes* AOwner) : TnvTreeNode(AOwner) { ++Live; }
    ~TFuzzNode() override { --Live; }
    static inline int Live = 0;
};

class TFuzzTree : public TnvTreeView {
public:
    TFuzzTree()
    {
        SetNodeClass(NodeClassOf<TFuzzNode>());
        SetBounds(0, 0, 160, 120);
    }
    void PaintInto(QImage& Image) { PaintControl(Image); }
};

std::vector<uint8_t> Write(TnvCustomTreeView* Tree)
{
    TMemoryStream S;
    Tree->Items()->WriteData(S);
    return S.Bytes();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication App(*argc, *argv);
    InitApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 1 || Size > (1 << 16))
        return 0;
    const int Version = Data[0] & 1;
    const std::vector<uint8_t> Bytes(Data + 1, Data + Size);
    TFuzzTree Tree;
    Tree.SetStreamExpandedNode((Data[0] & 2) != 0);
    Tree.SetStreamVersion(Version);
    TMemoryStream In(Bytes);
    try {
        Tree.Items()->ReadData(In);
    } catch (const EReadError&) {
        if (Tree.Items()->Count() != 0 || TFuzzNode::Live != 0)
            std::abort();
        return 0;
    }
    if (TFuzzNode::Live != Tree.Items()->Count())
        std::abort();
    // What was read writes, and reads back to a tree of the same shape
    // (check and grayed marks of radio groups may settle differently).
    const std::vector<uint8_t> Once = Write(&Tree);
    {
        TFuzzTree Again;
        Again.SetStreamExpandedNode(Tree.StreamExpandedNode());
        TMemoryStream S(Once);
        Again.Items()->ReadData(S);
        if (Again.Items()->Count() != Tree.Items()->Count() || Write(&Again).size() != Once.size())
            std::abort();
    }
    Tree.AlphaSort();
    Tree.FullExpand();
    QImage Image(Tree.Width(), Tree.Height(), QImage::Format_ARGB32_Premultiplied);
    Tree.PaintInto(Image);
    return 0;
}
