#include "nvBitmap.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "FormStream.h"
#include "Regions.h"
#include "Streams.h"
#include "System.h"

// The class registry knows the bitmap, so a picture stored with it
// ("TnvBitmap" in a TPicture's data) reads back as one.
namespace {
[[maybe_unused]] const TMetaClass* const nvBitmapClassRef = ClassOf<TnvBitmap>();
}

TRGBTriple ColorToTriple(TColor Color)
{
    const uint32_t C = static_cast<uint32_t>(ColorToRGB(Color));
    return MakeTriple(static_cast<uint8_t>(C), static_cast<uint8_t>(C >> 8), static_cast<uint8_t>(C >> 16));
}

// ---------------------------------------------------------------- pixel kernels
//
// The loops that visit every byte or pixel once are written plainly over
// byte rows so that the compiler vectorises them: GCC is asked for its full
// vectoriser here (at -O2 it only takes loops it can prove trivially cheap),
// and on x86-64 each kernel is built twice, for the baseline and for AVX2,
// and chosen once per call by the processor's features. The bodies are
// always inlined into both builds. The two loops no compiler vectorises, a
// 256-entry byte table applied to every byte and the reversal of three-byte
// pixels, have AVX-512 (VBMI) byte-permutation paths beside their plain
// loops.

#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
#include <immintrin.h>
#endif

#if defined(__GNUC__) && !defined(__clang__) && defined(__OPTIMIZE__)
#pragma GCC push_options
#pragma GCC optimize("tree-vectorize", "vect-cost-model=dynamic")
#define NV_PUSHED_OPTIONS 1
#endif

#if defined(__GNUC__) || defined(__clang__)
#define NV_INLINE inline __attribute__((always_inline))
#else
#define NV_INLINE inline
#endif

#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
#define NV_TARGET_AVX2 __attribute__((target("avx2")))
#define NV_TARGET_VBMI __attribute__((target("avx512f,avx512bw,avx512vbmi")))
#define NV_X86 1
#endif

namespace {

std::atomic<int> KernelLimit{int(TnvBitmapKernels::Best)};

#ifdef NV_X86
bool CpuHasAvx2()
{
    static const bool Has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return Has && KernelLimit.load(std::memory_order_relaxed) < int(TnvBitmapKernels::Baseline);
}
bool CpuHasVbmi()
{
    static const bool Has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
               __builtin_cpu_supports("avx512vbmi");
    }();
    return Has && KernelLimit.load(std::memory_order_relaxed) < int(TnvBitmapKernels::Avx2);
}
// Name(...) runs Name##Body(...) built for AVX2 when the processor has it.
#define NV_KERNEL(Name, Params, Args)                                                                            \
    NV_TARGET_AVX2 void Name##Avx2 Params { Name##Body Args; }                                                  \
    void Name##Base Params { Name##Body Args; }                                                                 \
    void Name Params                                                                                            \
    {                                                                                                           \
        if (CpuHasAvx2())                                                                                       \
            Name##Avx2 Args;                                                                                    \
        else                                                                                                    \
            Name##Base Args;                                                                                    \
    }
#else
#define NV_KERNEL(Name, Params, Args)                                                                            \
    void Name Params { Name##Body Args; }
#endif

// The pixel bytes of a store: Height rows of RowBytes bytes, Stride apart.
struct TPlane {
    uint8_t* Bits;
    int64_t Stride;
    int RowBytes;
    int Height;
    uint8_t* Row(int Y) const { return Bits + Y * Stride; }
};

// ---- one 256-entry table over every byte

NV_INLINE void TableBytesBody(uint8_t* P, int N, const uint8_t* T)
{
    int I = 0;
    for (; I + 4 <= N; I += 4) {
        const uint8_t A = T[P[I]], B = T[P[I + 1]], C = T[P[I + 2]], D = T[P[I + 3]];
        P[I] = A;
        P[I + 1] = B;
        P[I + 2] = C;
        P[I + 3] = D;
    }
    for (; I < N; ++I)
        P[I] = T[P[I]];
}

#ifdef NV_X86
// 64 bytes at a time: two 128-entry byte permutations and a blend by the
// index's top bit.
NV_TARGET_VBMI void TableBytesVbmi(uint8_t* P, int N, const uint8_t* T)
{
    const __m512i T0 = _mm512_loadu_si512(T), T1 = _mm512_loadu_si512(T + 64);
    const __m512i T2 = _mm512_loadu_si512(T + 128), T3 = _mm512_loadu_si512(T + 192);
    int I = 0;
    for (; I + 64 <= N; I += 64) {
        const __m512i X = _mm512_loadu_si512(P + I);
        const __m512i Lo = _mm512_permutex2var_epi8(T0, X, T1);
        const __m512i Hi = _mm512_permutex2var_epi8(T2, X, T3);
        _mm512_storeu_si512(P + I, _mm512_mask_blend_epi8(_mm512_movepi8_mask(X), Lo, Hi));
    }
    if (I < N) {
        const __mmask64 M = _cvtu64_mask64(~uint64_t(0) >> (64 - (N - I)));
        const __m512i X = _mm512_maskz_loadu_epi8(M, P + I);
        const __m512i Lo = _mm512_permutex2var_epi8(T0, X, T1);
        const __m512i Hi = _mm512_permutex2var_epi8(T2, X, T3);
        _mm512_mask_storeu_epi8(P + I, M, _mm512_mask_blend_epi8(_mm512_movepi8_mask(X), Lo, Hi));
    }
}
#endif

bool HasBytePermutations()
{
#ifdef NV_X86
    return CpuHasVbmi();
#else
    return false;
#endif
}

bool HasAvx2()
{
#ifdef NV_X86
    return CpuHasAvx2();
#else
    return false;
#endif
}

void TableBytes(const TPlane& S, const uint8_t* T)
{
#ifdef NV_X86
    if (CpuHasVbmi()) {
        for (int Y = 0; Y < S.Height; ++Y)
            TableBytesVbmi(S.Row(Y), S.RowBytes, T);
        return;
    }
#endif
    for (int Y = 0; Y < S.Height; ++Y)
        TableBytesBody(S.Row(Y), S.RowBytes, T);
}

// Lightness and contrast as arithmetic on 16-bit lanes, for the amounts
// where that equals the table exactly (|L| <= 256: the products stay below
// 65536 and the results inside 0 .. 255; |C| <= 255: the products fit 16
// signed bits). Used where the byte permutations are missing (contrast only
// with AVX2: on 128-bit vectors the table is faster).
NV_INLINE void LightenBytesBody(const TPlane& S, unsigned L)
{
    const int N = S.RowBytes;
    const uint16_t L16 = static_cast<uint16_t>(L);
    for (int Y = 0; Y < S.Height; ++Y) {
        uint8_t* P = S.Row(Y);
        for (int I = 0; I < N; ++I) {
            const uint16_t V = P[I];
            const uint16_t Product = static_cast<uint16_t>(static_cast<uint16_t>(255 - V) * L16);
            P[I] = static_cast<uint8_t>(V + (Product >> 8));
        }
    }
}
NV_KERNEL(LightenBytes, (const TPlane& S, unsigned L), (S, L))

NV_INLINE void DarkenBytesBody(const TPlane& S, unsigned L)
{
    const int N = S.RowBytes;
    const uint16_t L16 = static_cast<uint16_t>(L);
    for (int Y = 0; Y < S.Height; ++Y) {
        uint8_t* P = S.Row(Y);
        for (int I = 0; I < N; ++I) {
            const uint16_t V = P[I];
            const uint16_t Product = static_cast<uint16_t>(V * L16);
            P[I] = static_cast<uint8_t>(V - (Product >> 8));
        }
    }
}
NV_KERNEL(DarkenBytes, (const TPlane& S, unsigned L), (S, L))

NV_INLINE void ContrastBytesBody(const TPlane& S, int C)
{
    const int N = S.RowBytes;
    const int16_t C16 = static_cast<int16_t>(C);
    for (int Y = 0; Y < S.Height; ++Y) {
        uint8_t* P = S.Row(Y);
        for (int I = 0; I < N; ++I) {
            const int16_t V = P[I];
            const int16_t D = static_cast<int16_t>(V < 128 ? 128 - V : V - 128);
            const int16_t Q = static_cast<int16_t>(static_cast<int16_t>(D * C16) / 256);
            const int16_t R = static_cast<int16_t>(V < 127 ? V - Q : V + Q);
            P[I] = static_cast<uint8_t>(R < 0 ? 0 : R > 255 ? 255 : R);
        }
    }
}
NV_KERNEL(ContrastBytes, (const TPlane& S, int C), (S, C))

// ---- linear effects

// The loops keep their bounds and constants in locals: the byte pointers
// may alias anything, and a bound read through one would have to be read
// again after every store.
NV_INLINE void InvertBytesBody(const TPlane& S)
{
    const int N = S.RowBytes;
    for (int Y = 0; Y < S.Height; ++Y) {
        uint8_t* P = S.Row(Y);
        for (int I = 0; I < N; ++I)
            P[I] = static_cast<uint8_t>(255 - P[I]);
    }
}
NV_KERNEL(InvertBytes, (const TPlane& S), (S))

NV_INLINE void GrayPixelsBody(const TPlane& S)
{
    const int W = S.RowBytes / 3;
    for (int Y = 0; Y < S.Height; ++Y) {
        uint8_t* P = S.Row(Y);
        for (int X = 0; X < W; ++X) {
            uint8_t* Q = P + 3 * X;
            const uint8_t G = static_cast<uint8_t>(Q[0] / 3 + Q[1] / 3 + Q[2] / 3);
            Q[0] = G;
            Q[1] = G;
            Q[2] = G;
        }
    }
}
NV_KERNEL(GrayPixels, (const TPlane& S), (S))

// c := ClampByte(g + M(c) - M(g)), M(v) = low 16 bits of ((v * S) shr 8) on
// 32-bit words.
NV_INLINE void SaturationPixelsBody(const TPlane& S, uint32_t Amount)
{
    const int W = S.RowBytes / 3;
    for (int Y = 0; Y < S.Height; ++Y) {
        uint8_t* P = S.Row(Y);
        for (int X = 0; X < W; ++X) {
            uint8_t* Q = P + 3 * X;
            const int G = Q[0] / 3 + Q[1] / 3 + Q[2] / 3;
            const int MG = static_cast<int>((uint32_t(G) * Amount) >> 8 & 0xFFFF);
            for (int C = 0; C < 3; ++C) {
                const int V = G + static_cast<int>((uint32_t(Q[C]) * Amount) >> 8 & 0xFFFF) - MG;
                Q[C] = static_cast<uint8_t>(V < 0 ? 0 : V > 255 ? 255 : V);
            }
        }
    }
}
NV_KERNEL(SaturationPixels, (const TPlane& S, uint32_t Amount), (S, Amount))

// Adds a per-channel offset (-255 .. 255) with clamping. K repeats the three
// offsets 16 times, so blocks of 48 bytes start on a pixel.
NV_INLINE void OffsetBytesBody(const TPlane& S, const int16_t* Offsets)
{
    int16_t K[48];
    std::memcpy(K, Offsets, sizeof K);
    const int N = S.RowBytes;
    for (int Y = 0; Y < S.Height; ++Y) {
        uint8_t* P = S.Row(Y);
        int J = 0;
        for (; J + 48 <= N; J += 48)
            for (int I = 0; I < 48; ++I) {
                const int V = P[J + I] + K[I];
                P[J + I] = static_cast<uint8_t>(V < 0 ? 0 : V > 255 ? 255 : V);
            }
        for (int I = 0; J + I < N; ++I) {
            const int V = P[J + I] + K[I];
            P[J + I] = static_cast<uint8_t>(V < 0 ? 0 : V > 255 ? 255 : V);
        }
    }
}
NV_KERNEL(OffsetBytes, (const TPlane& S, const int16_t* K), (S, K))

// c + floor(a * (b - c) / 256) = ((256 - a) * c + a * b) shr 8: the sum is
// never negative and stays below 65536.
NV_INLINE void BlendBytesBody(uint8_t* __restrict P, const uint8_t* __restrict Q, int N, unsigned A)
{
    const unsigned IA = 256 - A;
    for (int I = 0; I < N; ++I)
        P[I] = static_cast<uint8_t>((IA * P[I] + A * Q[I]) >> 8);
}
NV_KERNEL(BlendBytes, (uint8_t* P, const uint8_t* Q, int N, unsigned A), (P, Q, N, A))

// A blur row whose samples all lie in two other rows, E bytes left and right.
NV_INLINE void BlurBytesBody(uint8_t* __restrict P, const uint8_t* A, const uint8_t* B, int From, int To, int E)
{
    for (int I = From; I < To; ++I)
        P[I] = static_cast<uint8_t>((A[I + E] + A[I - E] + B[I + E] + B[I - E]) >> 2);
}
NV_KERNEL(BlurBytes, (uint8_t* P, const uint8_t* A, const uint8_t* B, int From, int To, int E),
          (P, A, B, From, To, E))

// (c + 255 - n) shr 1 with n the same channel of the next pixel of row N.
NV_INLINE void EmbossBytesBody(uint8_t* __restrict P, const uint8_t* __restrict N, int Count)
{
    for (int I = 0; I < Count; ++I)
        P[I] = static_cast<uint8_t>((P[I] + 255 - N[I + 3]) >> 1);
}
NV_KERNEL(EmbossBytes, (uint8_t* P, const uint8_t* N, int Count), (P, N, Count))

NV_INLINE void MaskPixelsBody(const TPlane& S, TRGBTriple Key)
{
    const int W = S.RowBytes / 3;
    for (int Y = 0; Y < S.Height; ++Y) {
        uint8_t* P = S.Row(Y);
        for (int X = 0; X < W; ++X) {
            uint8_t* Q = P + 3 * X;
            const uint8_t V = (Q[0] == Key.rgbtBlue && Q[1] == Key.rgbtGreen && Q[2] == Key.rgbtRed) ? 0 : 255;
            Q[0] = V;
            Q[1] = V;
            Q[2] = V;
        }
    }
}
NV_KERNEL(MaskPixels, (const TPlane& S, TRGBTriple Key), (S, Key))

NV_INLINE void ReplacePixelsBody(const TPlane& S, TRGBTriple From, TRGBTriple To)
{
    const int W = S.RowBytes / 3;
    for (int Y = 0; Y < S.Height; ++Y) {
        uint8_t* P = S.Row(Y);
        for (int X = 0; X < W; ++X) {
            uint8_t* Q = P + 3 * X;
            const bool Hit = Q[0] == From.rgbtBlue && Q[1] == From.rgbtGreen && Q[2] == From.rgbtRed;
            Q[0] = Hit ? To.rgbtBlue : Q[0];
            Q[1] = Hit ? To.rgbtGreen : Q[1];
            Q[2] = Hit ? To.rgbtRed : Q[2];
        }
    }
}
NV_KERNEL(ReplacePixels, (const TPlane& S, TRGBTriple From, TRGBTriple To), (S, From, To))

// Reverses the pixel order of a row of W pixels.
NV_INLINE void ReverseRowBody(uint8_t* P, int W)
{
    uint8_t* L = P;
    uint8_t* R = P + 3 * (W - 1);
    for (; L < R; L += 3, R -= 3) {
        const uint8_t B = L[0], G = L[1], Rd = L[2];
        L[0] = R[0];
        L[1] = R[1];
        L[2] = R[2];
        R[0] = B;
        R[1] = G;
        R[2] = Rd;
    }
}

#ifdef NV_X86
// 21 pixels (63 bytes) from each end at a time, reversed with one byte
// permutation each; the middle is left to the plain loop.
NV_TARGET_VBMI void ReverseRowVbmi(uint8_t* P, int W)
{
    alignas(64) uint8_t Idx[64];
    for (int K = 0; K < 21; ++K)
        for (int C = 0; C < 3; ++C)
            Idx[3 * K + C] = static_cast<uint8_t>(3 * (20 - K) + C);
    Idx[63] = 63;
    const __m512i Perm = _mm512_load_si512(Idx);
    const __mmask64 M = _cvtu64_mask64(~uint64_t(0) >> 1);
    int L = 0, R = W; // pixels [L, R) are still to be reversed
    while (R - L >= 42) {
        uint8_t* A = P + 3 * L;
        uint8_t* B = P + 3 * (R - 21);
        const __m512i VA = _mm512_maskz_loadu_epi8(M, A);
        const __m512i VB = _mm512_maskz_loadu_epi8(M, B);
        _mm512_mask_storeu_epi8(A, M, _mm512_maskz_permutexvar_epi8(M, Perm, VB));
        _mm512_mask_storeu_epi8(B, M, _mm512_maskz_permutexvar_epi8(M, Perm, VA));
        L += 21;
        R -= 21;
    }
    if (R - L > 1)
        ReverseRowBody(P + 3 * L, R - L);
}
#endif

void ReverseRows(const TPlane& S)
{
    const int W = S.RowBytes / 3;
#ifdef NV_X86
    if (CpuHasVbmi()) {
        for (int Y = 0; Y < S.Height; ++Y)
            ReverseRowVbmi(S.Row(Y), W);
        return;
    }
#endif
    for (int Y = 0; Y < S.Height; ++Y)
        ReverseRowBody(S.Row(Y), W);
}

NV_INLINE void SwapBytesBody(uint8_t* __restrict A, uint8_t* __restrict B, int64_t N)
{
    for (int64_t I = 0; I < N; ++I) {
        const uint8_t T = A[I];
        A[I] = B[I];
        B[I] = T;
    }
}
NV_KERNEL(SwapBytes, (uint8_t* A, uint8_t* B, int64_t N), (A, B, N))

} // namespace

void SetBitmapKernels(TnvBitmapKernels Kernels)
{
    KernelLimit.store(int(Kernels), std::memory_order_relaxed);
}

#ifdef NV_PUSHED_OPTIONS
#pragma GCC pop_options
#endif

// ---------------------------------------------------------------- small helpers

namespace {

int ClampInt(int64_t Value, int Low, int High)
{
    return static_cast<int>(Value > High ? High : Value < Low ? Low : Value);
}

// The integer nearest to an extended value, halves to even (the processor's
// default rounding). On x86-64 a single x87 store; the library's
// nearbyintl saves and restores the floating-point state on every call.
inline int64_t NearestInt(long double Value)
{
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    int64_t Result;
    __asm__("fistpll %0" : "=m"(Result) : "t"(Value) : "st");
    return Result;
#else
    return static_cast<int64_t>(nearbyintl(Value));
#endif
}

// The colour depth of the display (bits a pixel); true colour when there is
// no screen.
int DisplayBitsPerPixel()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        if (QScreen* S = QGuiApplication::primaryScreen())
            return S->depth();
    return 32;
}

int BitCountOf(TPixelFormat Format, const QImage& Image)
{
    switch (Format) {
    case pf1bit:
        return 1;
    case pf4bit:
        return 4;
    case pf8bit:
        return 8;
    case pf15bit:
    case pf16bit:
        return 16;
    case pf24bit:
        return 24;
    case pf32bit:
        return 32;
    case pfDevice:
        return DisplayBitsPerPixel();
    default:
        return Image.depth();
    }
}

TPixelFormat FormatOfBitCount(int Bits)
{
    switch (Bits) {
    case 1:
        return pf1bit;
    case 4:
        return pf4bit;
    case 8:
        return pf8bit;
    case 16:
        return pf16bit;
    case 24:
        return pf24bit;
    default:
        return pf32bit;
    }
}

// Format_Mono mask bit of pixel X (1 = white = show).
inline bool MaskBit(const uchar* Row, int X)
{
    return (Row[X >> 3] >> (7 - (X & 7))) & 1;
}

// A monochrome mask of the bitmap: white (1) where the pixel differs from
// Key, black (0) where it equals it.
QImage MakeMonoMask(const TnvBitmap& B, TRGBTriple Key)
{
    QImage M(B.Width(), B.Height(), QImage::Format_Mono);
    if (M.isNull())
        throw EOutOfMemory("Not enough memory for the mask of a " + IntToStr(B.Width()) + " x " +
                           IntToStr(B.Height()) + " bitmap");
    M.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int Y = 0; Y < B.Height(); ++Y) {
        const TRGBTriple* S = B.Row(Y);
        uchar* D = M.scanLine(Y);
        std::memset(D, 0, static_cast<size_t>(M.bytesPerLine()));
        for (int X = 0; X < B.Width(); ++X)
            if (!(S[X] == Key))
                D[X >> 3] |= static_cast<uchar>(0x80 >> (X & 7));
    }
    return M;
}

// Draws W x H pixels of the bitmap at (X, Y) where the mask (Format_Mono of
// the bitmap's size, 1 = show) is white; elsewhere the canvas keeps its
// pixels. Works on a copy of the destination area, so clipping, the viewport
// and the target's format follow the canvas's transfer rules.
void DrawThroughMask(TCanvas* Canvas, int X, int Y, int W, int H, const TnvBitmap& Source, const QImage& Mask)
{
    if (!Canvas || W <= 0 || H <= 0)
        return;
    EditCanvasPixels(Canvas, TRect(X, Y, X + W, Y + H), [&](QImage& Pixels, TPoint Origin) {
        for (int PY = 0; PY < Pixels.height(); ++PY) {
            const int SY = PY + Origin.Y;
            const uchar* MR = Mask.constScanLine(SY);
            const TRGBTriple* SR = Source.Row(SY);
            auto* D = reinterpret_cast<QRgb*>(Pixels.scanLine(PY));
            for (int PX = 0; PX < Pixels.width(); ++PX) {
                const int SX = PX + Origin.X;
                if (MaskBit(MR, SX)) {
                    const TRGBTriple& P = SR[SX];
                    D[PX] = qRgb(P.rgbtRed, P.rgbtGreen, P.rgbtBlue);
                }
            }
        }
    });
}

} // namespace

// ---------------------------------------------------------------- construction and store

TnvBitmap::TnvBitmap(QObject* Parent) : TGraphic(Parent), FCanvas(std::make_unique<TCanvas>()) {}

TnvBitmap::~TnvBitmap()
{
    FreeMemoryImage();
    FreeBitmap();
}

void TnvBitmap::AllocateStore(int AWidth, int AHeight)
{
    const int Gap = AWidth % 4;
    const int Stride = 3 * AWidth + Gap;
    const int64_t Size = int64_t(Stride) * AHeight;
    std::unique_ptr<uint8_t[]> Store(new (std::nothrow) uint8_t[static_cast<size_t>(Size)]);
    if (!Store)
        throw EOutOfMemory("Not enough memory for a bitmap of " + IntToStr(AWidth) + " x " + IntToStr(AHeight) +
                           " pixels");
    if (Gap)
        for (int Y = 0; Y < AHeight; ++Y)
            std::memset(Store.get() + int64_t(Y) * Stride + 3 * AWidth, 0, static_cast<size_t>(Gap));
    FStore = std::move(Store);
    FBits = FStore.get();
    FWidth = AWidth;
    FHeight = AHeight;
    FRowGap = Gap;
    FRowStride = Stride;
    FImageSize = Size;
}

void TnvBitmap::FreeBitmap()
{
    FCanvas->SetTarget(nullptr);
    FImage = QImage();
    FRows.clear();
    FMask.reset();
    FStore.reset();
    FBits = nullptr;
    FWidth = FHeight = 0;
    FRowGap = FRowStride = 0;
    FImageSize = 0;
}

void TnvBitmap::InitBitmap()
{
    if (!FBits) {
        FreeBitmap();
    } else {
        FRows.resize(static_cast<size_t>(FHeight));
        for (int Y = 0; Y < FHeight; ++Y)
            FRows[static_cast<size_t>(Y)] = reinterpret_cast<TRGBTriple*>(FBits + int64_t(Y) * FRowStride);
        FImage = QImage(FBits, FWidth, FHeight, FRowStride, QImage::Format_BGR888);
        FCanvas->SetTarget(&FImage);
    }
    Changed(this);
}

void TnvBitmap::Clear()
{
    FreeBitmap();
}

void TnvBitmap::SetSize(int AWidth, int AHeight)
{
    if (AWidth <= 0 || AHeight <= 0) {
        FreeBitmap();
        return;
    }
    try {
        CheckBitmapSize(AWidth, AHeight);
    } catch (const EInvalidGraphic& E) {
        throw EInvalidGraphicOperation(E.Message());
    }
    if (FBits && AWidth == FWidth && AHeight == FHeight) {
        // The store of this size is whitened again instead of remade.
        FMask.reset();
    } else {
        FreeBitmap();
        AllocateStore(AWidth, AHeight);
    }
    for (int Y = 0; Y < FHeight; ++Y)
        std::memset(FBits + int64_t(Y) * FRowStride, 0xFF, static_cast<size_t>(3 * FWidth));
    InitBitmap();
}

void TnvBitmap::SetDimensions(int AWidth, int AHeight)
{
    if (AWidth != FWidth || AHeight != FHeight)
        SetSize(AWidth, AHeight);
}

void TnvBitmap::StretchTo(int AWidth, int AHeight)
{
    if (AWidth == FWidth && AHeight == FHeight)
        return;
    TnvBitmap Copy;
    Copy.Assign(this);
    SetSize(AWidth, AHeight);
    if (!Empty())
        FCanvas->StretchDraw(TRect(0, 0, AWidth, AHeight), &Copy);
}

void TnvBitmap::StretchFrom(const TnvBitmap& Source, int AWidth, int AHeight)
{
    if (&Source == this || Source.Empty() || AWidth <= 0 || AHeight <= 0) {
        if (&Source != this)
            Assign(const_cast<TnvBitmap*>(&Source));
        StretchTo(AWidth, AHeight);
        return;
    }
    try {
        CheckBitmapSize(AWidth, AHeight);
    } catch (const EInvalidGraphic& E) {
        throw EInvalidGraphicOperation(E.Message());
    }
    const bool Ignore = FIgnoreChange;
    FIgnoreChange = true;
    try {
        if (AWidth != FWidth || AHeight != FHeight) {
            FreeBitmap();
            AllocateStore(AWidth, AHeight);
            InitBitmap();
        }
        FRespectPalette = Source.FRespectPalette;
        FUseHalftonePalette = Source.FUseHalftonePalette;
        FSmoothStretching = Source.FSmoothStretching;
        FTransparentColor = Source.FTransparentColor;
        FMask.reset();
        FPixelFormat = Source.FPixelFormat;
        FColorTable = Source.FColorTable;
        FColorTableCount = Source.FColorTableCount;
        FHasColorTable = Source.FHasColorTable;
        FMoreColorsThanDisplay = Source.FMoreColorsThanDisplay;
        // Every pixel is written: the store needs no clearing first.
        if (AWidth == Source.FWidth && AHeight == Source.FHeight)
            for (int Y = 0; Y < FHeight; ++Y)
                std::memcpy(FRows[size_t(Y)], Source.FRows[size_t(Y)], static_cast<size_t>(3 * FWidth));
        else if (FSmoothStretching)
            Source.BilinearInto(*this);
        else
            NearestInto(Source);
        SetTransparent(Source.Transparent());
    } catch (...) {
        FIgnoreChange = Ignore;
        throw;
    }
    FIgnoreChange = Ignore;
    Changed(this);
}

// Plain scaling straight between the two stores: each destination pixel
// takes the source pixel under its centre, as a stretched copy does.
void TnvBitmap::NearestInto(const TnvBitmap& Source)
{
    const int64_t SW = Source.FWidth, SH = Source.FHeight, DW = FWidth, DH = FHeight;
    std::vector<int> Cols(static_cast<size_t>(DW));
    for (int64_t X = 0; X < DW; ++X)
        Cols[size_t(X)] = static_cast<int>(3 * (((2 * X + 1) * SW) / (2 * DW)));
    int64_t PrevRow = -1;
    for (int64_t Y = 0; Y < DH; ++Y) {
        const int64_t SY = ((2 * Y + 1) * SH) / (2 * DH);
        uint8_t* D = FBits + Y * FRowStride;
        if (SY == PrevRow) {
            std::memcpy(D, D - FRowStride, static_cast<size_t>(3 * DW));
            continue;
        }
        PrevRow = SY;
        const uint8_t* S = Source.FBits + SY * Source.FRowStride;
        for (int64_t X = 0; X < DW; ++X, D += 3) {
            const uint8_t* P = S + Cols[size_t(X)];
            D[0] = P[0];
            D[1] = P[1];
            D[2] = P[2];
        }
    }
}

// ---------------------------------------------------------------- loading and giving away

void TnvBitmap::CopyFromImage(const QImage& Src)
{
    const int W = FWidth;
    switch (Src.format()) {
    case QImage::Format_BGR888:
        for (int Y = 0; Y < FHeight; ++Y)
            std::memcpy(FBits + int64_t(Y) * FRowStride, Src.constScanLine(Y), static_cast<size_t>(3 * W));
        return;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        for (int Y = 0; Y < FHeight; ++Y) {
            const auto* S = reinterpret_cast<const QRgb*>(Src.constScanLine(Y));
            uint8_t* D = FBits + int64_t(Y) * FRowStride;
            for (int X = 0; X < W; ++X) {
                D[3 * X] = static_cast<uint8_t>(qBlue(S[X]));
                D[3 * X + 1] = static_cast<uint8_t>(qGreen(S[X]));
                D[3 * X + 2] = static_cast<uint8_t>(qRed(S[X]));
            }
        }
        return;
    case QImage::Format_Indexed8:
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: {
        // Indices without a table entry read as black.
        TRGBTriple Table[256] = {};
        const QList<QRgb> CT = Src.colorTable();
        for (qsizetype I = 0; I < CT.size() && I < 256; ++I)
            Table[I] = MakeTriple(static_cast<uint8_t>(qRed(CT[I])), static_cast<uint8_t>(qGreen(CT[I])),
                                  static_cast<uint8_t>(qBlue(CT[I])));
        const bool Lsb = Src.format() == QImage::Format_MonoLSB;
        const bool Mono = Src.format() != QImage::Format_Indexed8;
        for (int Y = 0; Y < FHeight; ++Y) {
            const uchar* S = Src.constScanLine(Y);
            auto* D = reinterpret_cast<TRGBTriple*>(FBits + int64_t(Y) * FRowStride);
            for (int X = 0; X < W; ++X) {
                const int Index = !Mono ? S[X] : Lsb ? (S[X >> 3] >> (X & 7)) & 1 : (S[X >> 3] >> (7 - (X & 7))) & 1;
                D[X] = Table[Index];
            }
        }
        return;
    }
    default:
        // Other formats (5-5-5, 5-6-5, ...) a row at a time through Qt, so
        // no second full-size copy is made.
        for (int Y = 0; Y < FHeight; ++Y) {
            const QImage Line(Src.constScanLine(Y), W, 1, Src.bytesPerLine(), Src.format());
            const QImage C = Line.convertToFormat(QImage::Format_RGB32);
            const auto* S = reinterpret_cast<const QRgb*>(C.constScanLine(0));
            uint8_t* D = FBits + int64_t(Y) * FRowStride;
            for (int X = 0; X < W; ++X) {
                D[3 * X] = static_cast<uint8_t>(qBlue(S[X]));
                D[3 * X + 1] = static_cast<uint8_t>(qGreen(S[X]));
                D[3 * X + 2] = static_cast<uint8_t>(qRed(S[X]));
            }
        }
        return;
    }
}

void TnvBitmap::LoadFromBitmap(TBitmap* Source)
{
    FreeBitmap();
    if (!Source || Source->Empty()) {
        InitBitmap();
        return;
    }
    const QImage& Src = Source->Image();
    AllocateStore(Src.width(), Src.height());
    CopyFromImage(Src);
    TPixelFormat Format = Source->PixelFormat();
    if (Format == pfCustom)
        Format = FormatOfBitCount(Src.depth());
    FPixelFormat = Format;
    FMoreColorsThanDisplay = BitCountOf(Format, Src) > DisplayBitsPerPixel();
    const std::vector<TRGBQuad> Table = Source->ColorTable();
    FColorTable.fill(TRGBQuad());
    FColorTableCount = static_cast<int>(std::min<size_t>(Table.size(), FColorTable.size()));
    std::copy_n(Table.begin(), FColorTableCount, FColorTable.begin());
    FHasColorTable = FColorTableCount > 0;
    InitBitmap();
}

void TnvBitmap::LoadFromGraphic(TGraphic* Graphic)
{
    TBitmap B;
    if (Graphic && !Graphic->Empty()) {
        B.SetSize(Graphic->Width(), Graphic->Height());
        B.Canvas()->Draw(0, 0, Graphic);
    }
    LoadFromBitmap(&B);
}

void TnvBitmap::AssignGraphic(TGraphic* Graphic)
{
    LoadFromGraphic(Graphic);
}

void TnvBitmap::LoadFromMemory(const uint8_t* Data, int64_t ByteCount, TSize Size)
{
    if (Size.cx > 0 && Size.cy > 0) {
        CheckBitmapSize(Size.cx, Size.cy);
        const int64_t Need = int64_t(3 * Size.cx + Size.cx % 4) * Size.cy;
        if (!Data || ByteCount < Need)
            throw EInvalidGraphic("Bitmap image is not valid: a memory image of " + IntToStr(ByteCount) +
                                  " bytes cannot hold " + IntToStr(Size.cx) + " x " + IntToStr(Size.cy) +
                                  " pixels");
    }
    FreeBitmap();
    if (Size.cx > 0 && Size.cy > 0) {
        AllocateStore(Size.cx, Size.cy);
        std::memcpy(FBits, Data, static_cast<size_t>(FImageSize));
    }
    InitBitmap();
}

void TnvBitmap::SaveToBitmap(TBitmap* Dest)
{
    if (!Dest)
        return;
    const TPixelFormat Format = FPixelFormat == pfCustom ? pf24bit : FPixelFormat;
    if (Empty()) {
        Dest->SetImage(QImage());
        Dest->SetPixelFormat(Format);
        return;
    }
    const bool Indexed = Format == pf1bit || Format == pf4bit || Format == pf8bit;
    QImage Out;
    if (Indexed && FHasColorTable) {
        // The remembered colour table, as many entries as the format holds;
        // every pixel takes the nearest entry (exact for pixels that came
        // from the table).
        const int Max = Format == pf1bit ? 2 : Format == pf4bit ? 16 : 256;
        QList<QRgb> Table;
        for (int I = 0; I < std::min(FColorTableCount, Max); ++I)
            Table.push_back(qRgb(FColorTable[I].rgbRed, FColorTable[I].rgbGreen, FColorTable[I].rgbBlue));
        if (Format == pf1bit)
            while (Table.size() < 2)
                Table.push_back(qRgb(0, 0, 0));
        Out = FImage.convertToFormat(QImage::Format_RGB32)
                  .convertToFormat(Format == pf1bit ? QImage::Format_Mono : QImage::Format_Indexed8, Table,
                                   Qt::ThresholdDither | Qt::AvoidDither);
    } else {
        Out = FImage.copy();
    }
    if (Out.isNull())
        throw EOutOfMemory("Not enough memory to convert a bitmap of " + IntToStr(FWidth) + " x " +
                           IntToStr(FHeight) + " pixels");
    Dest->SetImage(Out);
    if (Dest->PixelFormat() != Format)
        Dest->SetPixelFormat(Format);
}

void TnvBitmap::SaveToMemory()
{
    FreeMemoryImage();
    if (!Empty()) {
        std::unique_ptr<uint8_t[]> Copy(new (std::nothrow) uint8_t[static_cast<size_t>(FImageSize)]);
        if (!Copy)
            throw EOutOfMemory("Not enough memory to keep a bitmap of " + IntToStr(FWidth) + " x " +
                               IntToStr(FHeight) + " pixels");
        std::memcpy(Copy.get(), FBits, static_cast<size_t>(FImageSize));
        FMemoryImage = std::move(Copy);
        FMemoryImageCount = FImageSize;
        FMemoryImageSize = TSize(FWidth, FHeight);
    }
    FreeBitmap();
}

void TnvBitmap::RestoreFromMemory()
{
    if (!HasMemoryImage())
        return;
    LoadFromMemory(FMemoryImage.get(), FMemoryImageCount, FMemoryImageSize);
    FreeMemoryImage();
}

void TnvBitmap::FreeMemoryImage()
{
    FMemoryImage.reset();
    FMemoryImageCount = 0;
    FMemoryImageSize = TSize();
}

void TnvBitmap::LoadFromStream(TStream& Stream)
{
    TBitmap B;
    B.LoadFromStream(Stream);
    LoadFromBitmap(&B);
}

void TnvBitmap::SaveToStream(TStream& Stream)
{
    TBitmap B;
    SaveToBitmap(&B);
    B.SaveToStream(Stream);
}

void TnvBitmap::LoadFromClipboardFormat(uint16_t, uintptr_t, uintptr_t) {}

void TnvBitmap::SaveToClipboardFormat(uint16_t&, uintptr_t&, uintptr_t&) {}

void TnvBitmap::DefineProperties(TFiler* Filer)
{
    TGraphic::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        "Data", [this](TStream& S) { LoadFromStream(S); }, [this](TStream& S) { SaveToStream(S); }, !Empty());
}

void TnvBitmap::Assign(TPersistent* Source)
{
    if (Source == this)
        return;
    auto* B = dynamic_cast<TBitmap*>(Source);
    if (B && !B->Empty()) {
        FPixelFormat = B->PixelFormat();
        LoadFromBitmap(B);
        SetTransparent(B->Transparent());
        return;
    }
    if (!Source || B) {
        FreeBitmap();
        Changed(this);
        return;
    }
    auto* G = dynamic_cast<TGraphic*>(Source);
    if (G && !dynamic_cast<TnvBitmap*>(Source)) {
        AssignGraphic(G);
        return;
    }
    TGraphic::Assign(Source);
}

void TnvBitmap::AssignTo(TPersistent* Dest)
{
    if (auto* B = dynamic_cast<TBitmap*>(Dest)) {
        SaveToBitmap(B);
        B->SetTransparent(Transparent());
        // clNone stands for the top-left pixel here; the framework bitmap
        // is given that colour itself.
        if (FTransparentColor != clNone)
            B->SetTransparentColor(FTransparentColor);
        else if (!Empty())
            B->SetTransparentColor(TripleToColor(Row(0)[0]));
        else
            B->SetTransparentColor(clDefault);
        return;
    }
    if (auto* N = dynamic_cast<TnvBitmap*>(Dest)) {
        if (N == this)
            return;
        if (Empty()) {
            N->FreeBitmap();
        } else {
            const bool Ignore = N->FIgnoreChange;
            N->FIgnoreChange = true;
            try {
                N->FRespectPalette = FRespectPalette;
                N->FUseHalftonePalette = FUseHalftonePalette;
                N->SetSize(FWidth, FHeight);
                std::memcpy(N->FBits, FBits, static_cast<size_t>(FImageSize));
                N->SetTransparent(Transparent());
                N->FSmoothStretching = FSmoothStretching;
                N->FTransparentColor = FTransparentColor;
                N->FPixelFormat = FPixelFormat;
                N->FColorTable = FColorTable;
                N->FColorTableCount = FColorTableCount;
                N->FHasColorTable = FHasColorTable;
                N->FMoreColorsThanDisplay = FMoreColorsThanDisplay;
            } catch (...) {
                N->FIgnoreChange = Ignore;
                throw;
            }
            N->FIgnoreChange = Ignore;
        }
        N->Changed(N);
        return;
    }
    TGraphic::AssignTo(Dest);
}

// ---------------------------------------------------------------- change announcement

void TnvBitmap::Changed(TObject* Sender)
{
    if (FIgnoreChange)
        return;
    TGraphic::Changed(Sender);
    NotifyChanges();
}

void TnvBitmap::NotifyChanges()
{
    FLinks.NotifyChange(this);
}

void TnvBitmap::RegisterChanges(TnvChangeLink* Link)
{
    FLinks.RegisterLink(Link);
}

void TnvBitmap::UnregisterChanges(TnvChangeLink* Link)
{
    FLinks.UnregisterLink(Link);
}

// ---------------------------------------------------------------- palettes

void TnvBitmap::RestoreDrawPalette(TCanvas*) {}

void TnvBitmap::SelectDrawPalette(TCanvas*) {}

void TnvBitmap::CreateDrawPalette() {}

// ---------------------------------------------------------------- drawing

void TnvBitmap::SetTransparentColor(TColor Value)
{
    if (Value == FTransparentColor)
        return;
    FTransparentColor = Value;
    FMask.reset();
}

TRGBTriple TnvBitmap::TransparentKey() const
{
    return FTransparentColor != clNone ? ColorToTriple(FTransparentColor) : Row(0)[0];
}

void TnvBitmap::DrawOpaque(TCanvas* ACanvas, int X, int Y)
{
    BitBlt(ACanvas, X, Y, FWidth, FHeight, FCanvas.get(), 0, 0, SRCCOPY);
}

void TnvBitmap::Draw(TCanvas* ACanvas, const TRect& Rect)
{
    if (!ACanvas || Empty())
        return;
    if (!FPaletteHeld)
        SelectDrawPalette(ACanvas);
    try {
        if (Rect.Width() == FWidth && Rect.Height() == FHeight) {
            if (Transparent())
                TransparentDraw(ACanvas, Rect);
            else
                DrawOpaque(ACanvas, Rect.Left, Rect.Top);
        } else if (FSmoothStretching) {
            SmoothStretchDraw(ACanvas, Rect);
        } else {
            PlainStretchDraw(ACanvas, Rect);
        }
    } catch (...) {
        if (!FPaletteHeld)
            RestoreDrawPalette(ACanvas);
        throw;
    }
    if (!FPaletteHeld)
        RestoreDrawPalette(ACanvas);
}

void TnvBitmap::PlainStretchDraw(TCanvas* ACanvas, const TRect& Rect)
{
    if (!ACanvas || Empty())
        return;
    if (!Transparent()) {
        StretchBlt(ACanvas, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), FCanvas.get(), 0, 0, FWidth, FHeight,
                   SRCCOPY);
        return;
    }
    if (Rect.Width() <= 0 || Rect.Height() <= 0)
        return;
    TnvBitmap Scaled;
    Scaled.AllocateStore(Rect.Width(), Rect.Height());
    Scaled.InitBitmap();
    StretchBlt(Scaled.Canvas(), 0, 0, Rect.Width(), Rect.Height(), FCanvas.get(), 0, 0, FWidth, FHeight, SRCCOPY);
    Scaled.TransparentDraw(ACanvas, Rect);
}

void TnvBitmap::SmoothStretchDraw(TCanvas* ACanvas, const TRect& Rect)
{
    if (!ACanvas || Empty() || Rect.Width() <= 0 || Rect.Height() <= 0)
        return;
    TnvBitmap Scaled;
    Scaled.AllocateStore(Rect.Width(), Rect.Height());
    Scaled.InitBitmap();
    BilinearInto(Scaled);
    if (Transparent())
        Scaled.TransparentDraw(ACanvas, Rect);
    else
        Scaled.DrawOpaque(ACanvas, Rect.Left, Rect.Top);
}

// Fixed point with 15 fraction bits. Each destination row blends source rows
// r0 and r1 by wy, each pixel columns col and col + 1 by wx; the neighbour
// beyond the last row or column gets a zero weight and is read as the last.
void TnvBitmap::BilinearInto(TnvBitmap& Dest) const
{
    const int SW = FWidth, SH = FHeight, DW = Dest.FWidth, DH = Dest.FHeight;
    const int64_t StepX = (int64_t(SW - 1) * 32768) / DW;
    const int64_t StepY = (int64_t(SH - 1) * 32768) / DH;
    // Per column: byte offsets of col and col + 1, and the weight wx.
    std::vector<int> Col0(static_cast<size_t>(DW)), Col1(static_cast<size_t>(DW)), WX(static_cast<size_t>(DW));
    int64_t FX = 0;
    for (int X = 0; X < DW; ++X, FX += StepX) {
        const int C = static_cast<int>(FX >> 15);
        Col0[X] = 3 * C;
        Col1[X] = 3 * (C + 1 < SW ? C + 1 : C);
        WX[X] = static_cast<int>(FX & 32767);
    }
    int64_t FY = 0;
    for (int Y = 0; Y < DH; ++Y, FY += StepY) {
        const int R0 = static_cast<int>(FY >> 15);
        const int R1 = R0 + 1 < SH ? R0 + 1 : R0;
        const int WY = static_cast<int>(FY & 32767);
        const int IY = 32768 - WY;
        const uint8_t* S0 = FBits + int64_t(R0) * FRowStride;
        const uint8_t* S1 = FBits + int64_t(R1) * FRowStride;
        uint8_t* D = Dest.FBits + int64_t(Y) * Dest.FRowStride;
        for (int X = 0; X < DW; ++X) {
            const int W01 = (WX[X] * IY) >> 15;
            const int W00 = IY - W01;
            const int W11 = (WX[X] * WY) >> 15;
            const int W10 = WY - W11;
            const uint8_t* A = S0 + Col0[X];
            const uint8_t* B = S0 + Col1[X];
            const uint8_t* C = S1 + Col0[X];
            const uint8_t* E = S1 + Col1[X];
            for (int K = 0; K < 3; ++K)
                D[3 * X + K] = static_cast<uint8_t>((A[K] * W00 + B[K] * W01 + C[K] * W10 + E[K] * W11) >> 15);
        }
    }
}

void TnvBitmap::TileDraw(TCanvas* ACanvas, const TRect& Rect)
{
    if (!ACanvas || Empty())
        return;
    // Tiles that fall wholly outside what the canvas can show draw nothing,
    // so they are skipped: the work stays bounded by the visible area.
    const TRect Clip = ACanvas->ClipRect();
    if (Clip.IsEmpty())
        return;
    const int64_t W = FWidth, H = FHeight;
    const int64_t XEnd = std::min<int64_t>(Rect.Right, int64_t(Clip.Right) + Rect.Left);
    const int64_t YEnd = std::min<int64_t>(Rect.Bottom, int64_t(Clip.Bottom) + Rect.Top);
    auto FirstTile = [](int64_t VisibleStart, int64_t Size) -> int64_t {
        // The first multiple of Size (from 0) whose tile reaches VisibleStart.
        const int64_t K = VisibleStart - Size + 1;
        return K <= 0 ? 0 : (K + Size - 1) / Size * Size;
    };
    const int64_t X0 = FirstTile(int64_t(Clip.Left) + Rect.Left, W);
    const int64_t Y0 = FirstTile(int64_t(Clip.Top) + Rect.Top, H);
    FPaletteHeld = true;
    SelectDrawPalette(ACanvas);
    try {
        for (int64_t Y = Y0; Y < YEnd; Y += H)
            for (int64_t X = X0; X < XEnd; X += W)
                ACanvas->Draw(static_cast<int>(X - Rect.Left), static_cast<int>(Y - Rect.Top), this);
    } catch (...) {
        FPaletteHeld = false;
        RestoreDrawPalette(ACanvas);
        throw;
    }
    FPaletteHeld = false;
    RestoreDrawPalette(ACanvas);
}

void TnvBitmap::TransparentDraw(TCanvas* ACanvas, const TRect& Rect)
{
    if (!ACanvas || Empty())
        return;
    TBitmap* Mask = MaskBitmap();
    DrawThroughMask(ACanvas, Rect.Left, Rect.Top, std::min(Rect.Width(), FWidth), std::min(Rect.Height(), FHeight),
                    *this, Mask->Image());
}

TBitmap* TnvBitmap::MaskBitmap()
{
    if (!FMask && !Empty()) {
        auto M = std::make_unique<TBitmap>();
        M->SetImage(MakeMonoMask(*this, TransparentKey()));
        FMask = std::move(M);
    }
    return FMask.get();
}

// ---------------------------------------------------------------- effects

namespace {

TPlane PlaneOf(uint8_t* Bits, int RowStride, int Width, int Height)
{
    return TPlane{Bits, RowStride, 3 * Width, Height};
}

} // namespace

void TnvBitmap::Lightness(int Amount)
{
    if (Empty())
        return;
    const TPlane S = PlaneOf(FBits, FRowStride, FWidth, FHeight);
    if (!HasBytePermutations() && Amount >= -256 && Amount <= 256) {
        if (Amount > 0)
            LightenBytes(S, static_cast<unsigned>(Amount));
        else
            DarkenBytes(S, static_cast<unsigned>(-Amount));
        return;
    }
    alignas(64) uint8_t T[256];
    for (int I = 0; I < 256; ++I) {
        // 32-bit products, logical shifts.
        if (Amount > 0)
            T[I] = ClampByte(I + static_cast<int>((uint32_t(255 - I) * uint32_t(Amount)) >> 8));
        else
            T[I] = ClampByte(I - static_cast<int>((uint32_t(I) * (0u - uint32_t(Amount))) >> 8));
    }
    TableBytes(S, T);
}

void TnvBitmap::Contrast(int Amount)
{
    if (Empty())
        return;
    // The arithmetic form pays only with 256-bit vectors.
    if (!HasBytePermutations() && HasAvx2() && Amount >= -255 && Amount <= 255) {
        ContrastBytes(PlaneOf(FBits, FRowStride, FWidth, FHeight), Amount);
        return;
    }
    alignas(64) uint8_t T[256];
    for (int I = 0; I < 256; ++I) {
        // A 32-bit product, divided truncating toward zero.
        const int Q = static_cast<int32_t>(uint32_t(std::abs(128 - I)) * uint32_t(Amount)) / 256;
        T[I] = I < 127 ? ClampByte(I - Q) : ClampByte(I + Q);
    }
    TableBytes(PlaneOf(FBits, FRowStride, FWidth, FHeight), T);
}

void TnvBitmap::Invert()
{
    if (Empty())
        return;
    InvertBytes(PlaneOf(FBits, FRowStride, FWidth, FHeight));
}

void TnvBitmap::GrayScale()
{
    if (Empty())
        return;
    GrayPixels(PlaneOf(FBits, FRowStride, FWidth, FHeight));
}

void TnvBitmap::Saturation(int Amount)
{
    if (Empty())
        return;
    SaturationPixels(PlaneOf(FBits, FRowStride, FWidth, FHeight), static_cast<uint32_t>(Amount));
}

namespace {

// Offsets beyond +-255 clamp every channel anyway.
int16_t ClampOffset(int64_t V)
{
    return static_cast<int16_t>(V > 255 ? 255 : V < -255 ? -255 : V);
}

void AddOffsets(const TPlane& S, int64_t R, int64_t G, int64_t B)
{
    int16_t K[48];
    for (int I = 0; I < 48; I += 3) {
        K[I] = ClampOffset(B);
        K[I + 1] = ClampOffset(G);
        K[I + 2] = ClampOffset(R);
    }
    OffsetBytes(S, K);
}

} // namespace

void TnvBitmap::AddRGB(int R, int G, int B)
{
    if (Empty())
        return;
    AddOffsets(PlaneOf(FBits, FRowStride, FWidth, FHeight), R, G, B);
}

void TnvBitmap::Colorize(int R, int G, int B)
{
    if (Empty())
        return;
    const int64_t DR = int64_t(R) - 192, DG = int64_t(G) - 192, DB = int64_t(B) - 192;
    if (FTransparentColor == clNone) {
        AddOffsets(PlaneOf(FBits, FRowStride, FWidth, FHeight), DR, DG, DB);
        return;
    }
    const TRGBTriple Key = ColorToTriple(FTransparentColor);
    const int KR = ClampOffset(DR), KG = ClampOffset(DG), KB = ClampOffset(DB);
    for (int Y = 0; Y < FHeight; ++Y) {
        TRGBTriple* P = Row(Y);
        for (int X = 0; X < FWidth; ++X) {
            if (P[X] == Key)
                continue;
            P[X].rgbtRed = ClampByte(P[X].rgbtRed + KR);
            P[X].rgbtGreen = ClampByte(P[X].rgbtGreen + KG);
            P[X].rgbtBlue = ClampByte(P[X].rgbtBlue + KB);
        }
    }
}

void TnvBitmap::BlurStep(int Distance)
{
    // Distance 0: each pixel is the mean of four copies of itself.
    if (Empty() || Distance == 0)
        return;
    const int W = FWidth, H = FHeight;
    // Per column: byte offsets of x + d and x - d, clamped into the row.
    std::vector<int> XA(static_cast<size_t>(W)), XB(static_cast<size_t>(W));
    for (int X = 0; X < W; ++X) {
        XA[X] = 3 * ClampInt(int64_t(X) + Distance, 0, W - 1);
        XB[X] = 3 * ClampInt(int64_t(X) - Distance, 0, W - 1);
    }
    // The middle columns, whose samples x - |d| and x + |d| need no clamping.
    const int64_t AbsD = Distance < 0 ? -int64_t(Distance) : int64_t(Distance);
    const int D = static_cast<int>(std::min<int64_t>(AbsD, W));
    const int E = 3 * D;
    const int InFrom = 3 * D, InTo = 3 * (W - D);
    for (int Y = 0; Y < H; ++Y) {
        const int YA = ClampInt(int64_t(Y) + Distance, 0, H - 1);
        const int YB = ClampInt(int64_t(Y) - Distance, 0, H - 1);
        uint8_t* P = FBits + int64_t(Y) * FRowStride;
        const uint8_t* A = FBits + int64_t(YA) * FRowStride;
        const uint8_t* B = FBits + int64_t(YB) * FRowStride;
        auto Pixel = [&](int X) {
            for (int C = 0; C < 3; ++C)
                P[3 * X + C] = static_cast<uint8_t>(
                    (A[XA[X] + C] + A[XB[X] + C] + B[XA[X] + C] + B[XB[X] + C]) >> 2);
        };
        if (YA != Y && YB != Y && InFrom < InTo) {
            // No sample lies in this row: the middle goes in one sweep.
            for (int X = 0; X < D; ++X)
                Pixel(X);
            BlurBytes(P, A, B, InFrom, InTo, E);
            for (int X = W - D; X < W; ++X)
                Pixel(X);
        } else {
            // The row reads itself: strictly left to right.
            for (int X = 0; X < W; ++X)
                Pixel(X);
        }
    }
}

void TnvBitmap::GaussianBlur(int Amount)
{
    if (Empty())
        return;
    // From Saturated on, every clamped sample is a corner of the picture:
    // all those distances are the same step, and once it changes nothing,
    // neither do its repetitions.
    const int Saturated = std::max(std::max(FWidth, FHeight) - 1, 1);
    int D = Amount;
    if (D > Saturated) {
        std::vector<uint8_t> Before(static_cast<size_t>(FImageSize));
        for (; D >= Saturated; --D) {
            std::memcpy(Before.data(), FBits, Before.size());
            BlurStep(D);
            if (std::memcmp(Before.data(), FBits, Before.size()) == 0) {
                D = Saturated - 1;
                break;
            }
        }
    }
    for (; D >= 1; --D)
        BlurStep(D);
}

void TnvBitmap::Sharpen(int Amount)
{
    // Amount 0: all nine samples are the centre, which stays.
    if (Empty() || Amount == 0)
        return;
    const int W = FWidth, H = FHeight;
    std::vector<int> XL(static_cast<size_t>(W)), XR(static_cast<size_t>(W));
    for (int X = 0; X < W; ++X) {
        XL[X] = 3 * ClampInt(int64_t(X) - Amount, 0, W - 1);
        XR[X] = 3 * ClampInt(int64_t(X) + Amount, 0, W - 1);
    }
    for (int Y = 0; Y < H; ++Y) {
        uint8_t* M = FBits + int64_t(Y) * FRowStride;
        const uint8_t* U = FBits + int64_t(ClampInt(int64_t(Y) - Amount, 0, H - 1)) * FRowStride;
        const uint8_t* D = FBits + int64_t(ClampInt(int64_t(Y) + Amount, 0, H - 1)) * FRowStride;
        for (int X = 0; X < W; ++X) {
            const int L = XL[X], R = XR[X], J = 3 * X;
            for (int C = 0; C < 3; ++C) {
                const int S = U[L + C] + U[J + C] + U[R + C] + M[L + C] + M[R + C] + D[L + C] + D[J + C] + D[R + C];
                M[J + C] = ClampByte((256 * M[J + C] - 16 * S) / 128);
            }
        }
    }
}

void TnvBitmap::Emboss()
{
    if (Empty())
        return;
    const int W = FWidth, H = FHeight;
    // The neighbour of the last two rows: pixel (1, H - 1) before the pass
    // (column 0 for a one-pixel-wide picture).
    const TRGBTriple Last = Row(H - 1)[std::min(1, W - 1)];
    for (int Y = 0; Y + 2 < H; ++Y) {
        uint8_t* P = FBits + int64_t(Y) * FRowStride;
        const uint8_t* N = P + FRowStride;
        EmbossBytes(P, N, 3 * (W - 1));
        for (int C = 3 * (W - 1); C < 3 * W; ++C)
            P[C] = static_cast<uint8_t>((P[C] + 255 - N[C]) >> 1);
    }
    const uint8_t K[3] = {Last.rgbtBlue, Last.rgbtGreen, Last.rgbtRed};
    for (int Y = std::max(0, H - 2); Y < H; ++Y) {
        uint8_t* P = FBits + int64_t(Y) * FRowStride;
        for (int X = 0; X < W; ++X)
            for (int C = 0; C < 3; ++C)
                P[3 * X + C] = static_cast<uint8_t>((P[3 * X + C] + 255 - K[C]) >> 1);
    }
}

void TnvBitmap::Sponge(int Amount)
{
    if (Empty())
        return;
    const int W = FWidth, H = FHeight;
    for (int Y = 0; Y < H; ++Y) {
        TRGBTriple* P = Row(Y);
        for (int X = 0; X < W; ++X) {
            // 32-bit arithmetic that wraps, as the generator's callers do.
            const int32_t R = Random(Amount);
            const int32_t R2 = static_cast<int32_t>(uint32_t(R) * 2u);
            const int32_t DX = static_cast<int32_t>(uint32_t(R) - uint32_t(Random(R2)));
            const int32_t DY = static_cast<int32_t>(uint32_t(R) - uint32_t(Random(R2)));
            const int SX = ClampInt(static_cast<int32_t>(uint32_t(X) + uint32_t(DX)), 0, W - 1);
            const int SY = ClampInt(static_cast<int32_t>(uint32_t(Y) + uint32_t(DY)), 0, H - 1);
            P[X] = Row(SY)[SX];
        }
    }
}

void TnvBitmap::Flip(bool Horizontal)
{
    if (Empty())
        return;
    if (Horizontal) {
        ReverseRows(PlaneOf(FBits, FRowStride, FWidth, FHeight));
        return;
    }
    for (int Y = 0, Z = FHeight - 1; Y < Z; ++Y, --Z)
        SwapBytes(FBits + int64_t(Y) * FRowStride, FBits + int64_t(Z) * FRowStride, FRowStride);
}

void TnvBitmap::Rotate(TPoint Center, long double Angle)
{
    if (Empty())
        return;
    if (!std::isfinite(Angle))
        throw EInvalidOperation("Cannot rotate a bitmap by an angle that is not a finite number");
    const int W = FWidth, H = FHeight;
    const int64_t CX = Center.X < 0 ? W / 2 : Center.X;
    const int64_t CY = Center.Y < 0 ? H / 2 : Center.Y;
    const long double Theta = -Angle * std::numbers::pi_v<long double> / 180;
    const long double S = sinl(Theta), K = cosl(Theta);
    // Per column u * k and u * s, per row v * s and v * k: the products of
    // u * k - v * s and u * s + v * k, in extended precision.
    std::vector<long double> UK(static_cast<size_t>(W)), US(static_cast<size_t>(W));
    for (int X = 0; X < W; ++X) {
        const long double U = static_cast<long double>(2 * (int64_t(X) - CX) + 1);
        UK[X] = U * K;
        US[X] = U * S;
    }
    const TRGBTriple Fill = Row(0)[0];
    std::vector<TRGBTriple> Out(static_cast<size_t>(W) * static_cast<size_t>(H), Fill);
    for (int Y = 0; Y < H; ++Y) {
        const long double V = static_cast<long double>(2 * (int64_t(Y) - CY) + 1);
        const long double VS = V * S, VK = V * K;
        TRGBTriple* D = Out.data() + size_t(Y) * size_t(W);
        for (int X = 0; X < W; ++X) {
            const int64_t SX = CX + (NearestInt(UK[X] - VS) - 1) / 2;
            const int64_t SY = CY + (NearestInt(US[X] + VK) - 1) / 2;
            if (SX >= 0 && SX < W && SY >= 0 && SY < H)
                D[X] = Row(static_cast<int>(SY))[SX];
        }
    }
    for (int Y = 0; Y < H; ++Y)
        std::memcpy(Row(Y), Out.data() + size_t(Y) * size_t(W), size_t(W) * 3);
}

void TnvBitmap::Wave(int XDiv, int YDiv, int Ratio, bool Wrap)
{
    if (Empty() || XDiv == 0 || YDiv == 0)
        return;
    const int W = FWidth, H = FHeight;
    auto Nearest = [Ratio](long double Arg) { return NearestInt(Ratio * sinl(Arg)); };
    std::vector<int64_t> RowShift(static_cast<size_t>(H)), ColShift(static_cast<size_t>(W));
    for (int J = 0; J < H; ++J)
        RowShift[J] = Nearest(static_cast<long double>(J) / YDiv);
    for (int X = 0; X < W; ++X) {
        int64_t F = Nearest(static_cast<long double>(X) / XDiv);
        if (Wrap) {
            if (F < 0)
                F = (H - 1) - ((-F) % H);
            else if (F >= H)
                F = H > 1 ? F % (H - 1) : 0; // a one-row picture reads its only row
        }
        ColShift[X] = F;
    }
    std::vector<TRGBTriple> Out(static_cast<size_t>(W) * static_cast<size_t>(H), MakeTriple(255, 255, 255));
    for (int J = 0; J < H; ++J) {
        TRGBTriple* D = Out.data() + size_t(J) * size_t(W);
        for (int X = 0; X < W; ++X) {
            int64_t SX = X + RowShift[J];
            int64_t SY = ColShift[X] + J;
            if (Wrap) {
                if (SX < 0)
                    SX = (W - 1) - ((-SX) % W);
                else if (SX >= W)
                    SX %= W;
                SY %= H;
            } else if (SX < 0 || SX >= W || SY < 0 || SY >= H) {
                continue;
            }
            D[X] = Row(static_cast<int>(SY))[SX];
        }
    }
    for (int Y = 0; Y < H; ++Y)
        std::memcpy(Row(Y), Out.data() + size_t(Y) * size_t(W), size_t(W) * 3);
}

void TnvBitmap::AlphaBlend(TnvBitmap* Blend, uint8_t Amount, bool Stretch)
{
    if (!Blend)
        throw EInvalidOperation("In Alpha Blend, there is no Blend Bitmap");
    const int W = FWidth, H = FHeight;
    TnvBitmap* Src = Blend;
    std::unique_ptr<TnvBitmap> Scaled;
    if (Blend->Width() != W || Blend->Height() != H) {
        if (!Stretch)
            throw EInvalidOperation("In Alpha Blend, Blend Bitmap must be same dimensions as Current Bitmap");
        if (Empty())
            return;
        Scaled = std::make_unique<TnvBitmap>();
        Scaled->SetSize(W, H);
        // The blend bitmap draws opaque into (0, 0, W - 1, H - 1); its
        // Transparent is off for that drawing only, which it does not
        // announce.
        const bool WasTransparent = Blend->Transparent();
        const bool Ignore = Blend->FIgnoreChange;
        Blend->FIgnoreChange = true;
        Blend->SetTransparent(false);
        try {
            Scaled->Canvas()->StretchDraw(TRect(0, 0, W - 1, H - 1), Blend);
        } catch (...) {
            Blend->SetTransparent(WasTransparent);
            Blend->FIgnoreChange = Ignore;
            throw;
        }
        Blend->SetTransparent(WasTransparent);
        Blend->FIgnoreChange = Ignore;
        Scaled->SetTransparent(WasTransparent);
        Src = Scaled.get();
    }
    if (Empty() || Src == this)
        return; // blending a picture with itself changes nothing
    const unsigned A = Amount;
    if (!Src->Transparent()) {
        for (int Y = 0; Y < H; ++Y)
            BlendBytes(FBits + int64_t(Y) * FRowStride, Src->FBits + int64_t(Y) * Src->FRowStride, 3 * W, A);
        return;
    }
    const TRGBTriple Key = Src->Row(0)[0];
    for (int Y = 0; Y < H; ++Y) {
        uint8_t* P = FBits + int64_t(Y) * FRowStride;
        const TRGBTriple* Q = Src->Row(Y);
        for (int X = 0; X < W; ++X) {
            if (Q[X] == Key)
                continue;
            const uint8_t B[3] = {Q[X].rgbtBlue, Q[X].rgbtGreen, Q[X].rgbtRed};
            for (int C = 0; C < 3; ++C)
                P[3 * X + C] = static_cast<uint8_t>(((256 - A) * P[3 * X + C] + A * B[C]) >> 8);
        }
    }
}

void TnvBitmap::MakeMask(const TRGBTriple& Key)
{
    if (Empty())
        return;
    MaskPixels(PlaneOf(FBits, FRowStride, FWidth, FHeight), Key);
}

void TnvBitmap::ReplaceColor(const TRGBTriple& From, const TRGBTriple& To)
{
    if (Empty())
        return;
    ReplacePixels(PlaneOf(FBits, FRowStride, FWidth, FHeight), From, To);
}

// ---------------------------------------------------------------- helpers over the bitmap

QRegion RegionFromBitmap(TnvBitmap* Bitmap, TColor TransparentColor)
{
    if (!Bitmap || Bitmap->Empty())
        return QRegion();
    const int W = Bitmap->Width(), H = Bitmap->Height();
    const uint32_t Key = static_cast<int32_t>(TransparentColor) == -1
                             ? static_cast<uint32_t>(TripleToColor(Bitmap->Row(0)[0]))
                             : static_cast<uint32_t>(TransparentColor);
    TRegionBuilder Builder;
    for (int Y = 0; Y < H; ++Y) {
        const uint8_t* P = reinterpret_cast<const uint8_t*>(Bitmap->Row(Y));
        int X = 0;
        while (X < W) {
            // Colour value of a pixel: red + green * 256 + blue * 65536.
            auto Value = [P](int I) {
                return uint32_t(P[3 * I + 2]) | uint32_t(P[3 * I + 1]) << 8 | uint32_t(P[3 * I]) << 16;
            };
            while (X < W && Value(X) == Key)
                ++X;
            const int Start = X;
            while (X < W && Value(X) != Key)
                ++X;
            if (X > Start)
                Builder.AddRun(Y, Start, X);
        }
    }
    return Builder.Build();
}

void FillOutsideRegion(TnvBitmap* Bitmap, const QRegion& Region)
{
    if (!Bitmap || Bitmap->Empty())
        return;
    const TRGBTriple Key = Bitmap->TransparentColor() != clNone ? ColorToTriple(Bitmap->TransparentColor())
                                                                 : Bitmap->Row(0)[0];
    const QRegion Outside = QRegion(0, 0, Bitmap->Width(), Bitmap->Height()).subtracted(Region);
    for (const QRect& R : Outside)
        for (int Y = R.top(); Y <= R.bottom(); ++Y)
            std::fill(Bitmap->Row(Y) + R.left(), Bitmap->Row(Y) + R.right() + 1, Key);
}

void DitherFill(TCanvas* Canvas, const TRect& Rect, TColor Color1, TColor Color2)
{
    if (Color2 == clNone)
        throw EInvalidOperation("Color2 cannot be clNone");
    if (!Canvas || Rect.IsEmpty())
        return;
    if (Color1 == clNone) {
        // The checker with the inverse of Color2 in place of Color1, drawn
        // leaving out that colour (the top-left pixel's).
        TnvBitmap Scratch;
        Scratch.SetSize(Rect.Width(), Rect.Height());
        const TColor Inverse = MakeColor(~static_cast<uint32_t>(ColorToRGB(Color2)) & 0xFFFFFF);
        DitherFill(Scratch.Canvas(), TRect(0, 0, Rect.Width(), Rect.Height()), Inverse, Color2);
        DrawBitmapTransparent(Canvas, Rect, &Scratch, MakeColor(0xFFFFFFFF));
        return;
    }
    // The checker brush: an 8 x 8 monochrome pattern, even rows $AA, odd
    // rows $55; its white bits take the background colour (Color1), its
    // black bits the text colour (Color2).
    QImage Pattern(8, 8, QImage::Format_Mono);
    Pattern.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int Y = 0; Y < 8; ++Y)
        Pattern.scanLine(Y)[0] = (Y & 1) ? 0x55 : 0xAA;
    TBrush Saved;
    Saved.Assign(Canvas->Brush());
    Canvas->Brush()->SetBitmap(Pattern);
    Canvas->RequireAllState();
    const TColor OldText = Canvas->SetTextColor(ColorToRGB(Color2));
    const TColor OldBk = Canvas->SetBkColor(ColorToRGB(Color1));
    try {
        Canvas->FillRect(Rect);
    } catch (...) {
        Canvas->SetTextColor(OldText);
        Canvas->SetBkColor(OldBk);
        Canvas->Brush()->Assign(&Saved);
        throw;
    }
    Canvas->SetTextColor(OldText);
    Canvas->SetBkColor(OldBk);
    Canvas->Brush()->Assign(&Saved);
}

void DrawBitmapTransparent(TCanvas* Canvas, const TRect& Rect, TnvBitmap* Bitmap, TColor TransparentColor)
{
    if (!Canvas || !Bitmap || Bitmap->Empty() || Rect.IsEmpty())
        return;
    const TRGBTriple Key =
        static_cast<int32_t>(TransparentColor) == -1 ? Bitmap->Row(0)[0] : ColorToTriple(TransparentColor);
    const QImage Mask = MakeMonoMask(*Bitmap, Key);
    DrawThroughMask(Canvas, Rect.Left, Rect.Top, std::min(Rect.Width(), Bitmap->Width()),
                    std::min(Rect.Height(), Bitmap->Height()), *Bitmap, Mask);
}
