// Straightforward pixel-by-pixel statements of the bitmap effects, used by the
// tests as the expected results: every channel of every pixel in the order
// the effects define (rows from the top, left to right, reading the partly
// replaced picture), with 32-bit integer arithmetic where the effects say so.
// Written for clarity, not speed.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numbers>
#include <random>
#include <vector>

#include "nvBitmap.h"

namespace nvref {

struct Pic {
    int W = 0;
    int H = 0;
    std::vector<TRGBTriple> P;

    Pic() = default;
    Pic(int AW, int AH, TRGBTriple Fill = TRGBTriple{}) : W(AW), H(AH), P(size_t(AW) * size_t(AH), Fill) {}
    TRGBTriple& At(int X, int Y) { return P[size_t(Y) * size_t(W) + size_t(X)]; }
    const TRGBTriple& At(int X, int Y) const { return P[size_t(Y) * size_t(W) + size_t(X)]; }
    // Channel C (0 blue, 1 green, 2 red).
    uint8_t& Ch(int X, int Y, int C) { return reinterpret_cast<uint8_t*>(&At(X, Y))[C]; }
    friend bool operator==(const Pic&, const Pic&) = default;
};

inline Pic FromBitmap(const TnvBitmap& B)
{
    Pic R(B.Width(), B.Height());
    for (int Y = 0; Y < B.Height(); ++Y)
        for (int X = 0; X < B.Width(); ++X)
            R.At(X, Y) = B.Row(Y)[X];
    return R;
}

inline void ToBitmap(const Pic& Src, TnvBitmap& B)
{
    B.SetSize(Src.W, Src.H);
    for (int Y = 0; Y < Src.H; ++Y)
        for (int X = 0; X < Src.W; ++X)
            B.Row(Y)[X] = Src.At(X, Y);
}

// A picture of random pixels; with Palette > 0 the channels come from that
// many levels only, so equal pixels occur.
inline Pic RandomPic(int W, int H, unsigned Seed, int Palette = 0)
{
    std::mt19937 G(Seed);
    Pic R(W, H);
    for (auto& T : R.P) {
        if (Palette > 0) {
            const int K = int(G() % unsigned(Palette));
            T = MakeTriple(uint8_t(K * 255 / std::max(1, Palette - 1)), uint8_t(255 - K * 40), uint8_t(K * 17));
        } else {
            T = MakeTriple(uint8_t(G()), uint8_t(G()), uint8_t(G()));
        }
    }
    return R;
}

inline int Clamp(int64_t V, int Lo, int Hi)
{
    return int(V > Hi ? Hi : V < Lo ? Lo : V);
}
inline uint8_t Byte(int64_t V)
{
    return uint8_t(V > 255 ? 255 : V < 0 ? 0 : V);
}

inline void ApplyTable(Pic& P, const uint8_t* T)
{
    for (int Y = 0; Y < P.H; ++Y)
        for (int X = 0; X < P.W; ++X)
            for (int C = 0; C < 3; ++C)
                P.Ch(X, Y, C) = T[P.Ch(X, Y, C)];
}

inline void Lightness(Pic& P, int L)
{
    uint8_t T[256];
    for (uint32_t I = 0; I < 256; ++I) {
        if (L > 0)
            T[I] = Byte(int64_t(I) + int64_t((uint32_t(255 - I) * uint32_t(L)) >> 8));
        else
            T[I] = Byte(int64_t(I) - int64_t((I * uint32_t(-int64_t(L))) >> 8));
    }
    ApplyTable(P, T);
}

inline void Contrast(Pic& P, int C)
{
    uint8_t T[256];
    for (int I = 0; I < 256; ++I) {
        const int32_t Product = int32_t(uint32_t(std::abs(128 - I)) * uint32_t(C));
        const int32_t Q = Product / 256; // truncates toward zero
        T[I] = I <= 126 ? Byte(int64_t(I) - Q) : Byte(int64_t(I) + Q);
    }
    ApplyTable(P, T);
}

inline void Invert(Pic& P)
{
    for (auto& T : P.P)
        T = MakeTriple(uint8_t(255 - T.rgbtRed), uint8_t(255 - T.rgbtGreen), uint8_t(255 - T.rgbtBlue));
}

inline int GrayOf(const TRGBTriple& T)
{
    return T.rgbtBlue / 3 + T.rgbtGreen / 3 + T.rgbtRed / 3;
}

inline void GrayScale(Pic& P)
{
    for (auto& T : P.P) {
        const uint8_t G = uint8_t(GrayOf(T));
        T = MakeTriple(G, G, G);
    }
}

inline void Saturation(Pic& P, int S)
{
    auto M = [S](int V) { return int((uint32_t(V) * uint32_t(S)) >> 8 & 0xFFFF); };
    for (auto& T : P.P) {
        const int G = GrayOf(T);
        T = MakeTriple(Byte(G + M(T.rgbtRed) - M(G)), Byte(G + M(T.rgbtGreen) - M(G)),
                       Byte(G + M(T.rgbtBlue) - M(G)));
    }
}

inline void AddRGB(Pic& P, int R, int G, int B)
{
    for (auto& T : P.P)
        T = MakeTriple(Byte(int64_t(T.rgbtRed) + R), Byte(int64_t(T.rgbtGreen) + G), Byte(int64_t(T.rgbtBlue) + B));
}

inline void Colorize(Pic& P, int R, int G, int B, bool HasKey, TRGBTriple Key)
{
    for (auto& T : P.P)
        if (!HasKey || !(T == Key))
            T = MakeTriple(Byte(int64_t(T.rgbtRed) + R - 192), Byte(int64_t(T.rgbtGreen) + G - 192),
                           Byte(int64_t(T.rgbtBlue) + B - 192));
}

inline void BlurStep(Pic& P, int D)
{
    for (int Y = 0; Y < P.H; ++Y)
        for (int X = 0; X < P.W; ++X) {
            const int YA = Clamp(int64_t(Y) + D, 0, P.H - 1), YB = Clamp(int64_t(Y) - D, 0, P.H - 1);
            const int XA = Clamp(int64_t(X) + D, 0, P.W - 1), XB = Clamp(int64_t(X) - D, 0, P.W - 1);
            for (int C = 0; C < 3; ++C)
                P.Ch(X, Y, C) = uint8_t((P.Ch(XA, YA, C) + P.Ch(XA, YB, C) + P.Ch(XB, YA, C) + P.Ch(XB, YB, C)) >> 2);
        }
}

inline void Sharpen(Pic& P, int D)
{
    for (int Y = 0; Y < P.H; ++Y)
        for (int X = 0; X < P.W; ++X) {
            const int Ys[3] = {Clamp(int64_t(Y) - D, 0, P.H - 1), Y, Clamp(int64_t(Y) + D, 0, P.H - 1)};
            const int Xs[3] = {Clamp(int64_t(X) - D, 0, P.W - 1), X, Clamp(int64_t(X) + D, 0, P.W - 1)};
            for (int C = 0; C < 3; ++C) {
                int S = 0;
                for (int I = 0; I < 3; ++I)
                    for (int J = 0; J < 3; ++J)
                        if (I != 1 || J != 1)
                            S += P.Ch(Xs[J], Ys[I], C);
                P.Ch(X, Y, C) = Byte((256 * P.Ch(X, Y, C) - 16 * S) / 128);
            }
        }
}

inline void Emboss(Pic& P)
{
    const TRGBTriple Saved = P.At(std::min(1, P.W - 1), P.H - 1);
    for (int Y = 0; Y < P.H; ++Y)
        for (int X = 0; X < P.W; ++X) {
            const TRGBTriple N = Y <= P.H - 3 ? P.At(std::min(X + 1, P.W - 1), Y + 1) : Saved;
            TRGBTriple& T = P.At(X, Y);
            T.rgbtBlue = uint8_t((T.rgbtBlue + (255 - N.rgbtBlue)) >> 1);
            T.rgbtGreen = uint8_t((T.rgbtGreen + (255 - N.rgbtGreen)) >> 1);
            T.rgbtRed = uint8_t((T.rgbtRed + (255 - N.rgbtRed)) >> 1);
        }
}

// The runtime's generator, stated again: seed := seed * 134775813 + 1, the
// result the high 32 bits of seed * range (unsigned).
struct Generator {
    uint32_t Seed;
    int32_t Next(int32_t Range)
    {
        Seed = Seed * 134775813u + 1u;
        return int32_t((uint64_t(Seed) * uint32_t(Range)) >> 32);
    }
};

inline void Sponge(Pic& P, int N, Generator& G)
{
    for (int Y = 0; Y < P.H; ++Y)
        for (int X = 0; X < P.W; ++X) {
            const int32_t R = G.Next(N);
            const int32_t DX = int32_t(uint32_t(R) - uint32_t(G.Next(int32_t(uint32_t(R) * 2))));
            const int32_t DY = int32_t(uint32_t(R) - uint32_t(G.Next(int32_t(uint32_t(R) * 2))));
            P.At(X, Y) = P.At(Clamp(int32_t(uint32_t(X) + uint32_t(DX)), 0, P.W - 1),
                              Clamp(int32_t(uint32_t(Y) + uint32_t(DY)), 0, P.H - 1));
        }
}

inline void Flip(Pic& P, bool Horizontal)
{
    if (Horizontal) {
        for (int Y = 0; Y < P.H; ++Y)
            for (int X = 0; X <= (P.W - 1) / 2; ++X)
                std::swap(P.At(X, Y), P.At(P.W - 1 - X, Y));
    } else {
        for (int Y = 0; Y <= (P.H - 1) / 2; ++Y)
            for (int X = 0; X < P.W; ++X)
                std::swap(P.At(X, Y), P.At(X, P.H - 1 - Y));
    }
}

inline void Rotate(Pic& P, int CenterX, int CenterY, long double Angle)
{
    const int64_t CX = CenterX < 0 ? P.W / 2 : CenterX, CY = CenterY < 0 ? P.H / 2 : CenterY;
    const long double T = -Angle * std::numbers::pi_v<long double> / 180;
    const long double S = sinl(T), K = cosl(T);
    Pic Out(P.W, P.H, P.At(0, 0));
    for (int Y = 0; Y < P.H; ++Y)
        for (int X = 0; X < P.W; ++X) {
            const long double U = 2 * (X - CX) + 1, V = 2 * (Y - CY) + 1;
            const int64_t SX = CX + (int64_t(nearbyintl(U * K - V * S)) - 1) / 2;
            const int64_t SY = CY + (int64_t(nearbyintl(U * S + V * K)) - 1) / 2;
            if (SX >= 0 && SX < P.W && SY >= 0 && SY < P.H)
                Out.At(X, Y) = P.At(int(SX), int(SY));
        }
    P = Out;
}

inline void Wave(Pic& P, int XDiv, int YDiv, int Ratio, bool Wrap)
{
    if (XDiv == 0 || YDiv == 0)
        return;
    Pic Out(P.W, P.H, MakeTriple(255, 255, 255));
    for (int X = 0; X < P.W; ++X) {
        int64_t F = int64_t(nearbyintl(Ratio * sinl((long double)X / XDiv)));
        if (Wrap) {
            if (F < 0)
                F = (P.H - 1) - ((-F) % P.H);
            else if (F >= P.H)
                F = P.H > 1 ? F % (P.H - 1) : 0;
        }
        for (int J = 0; J < P.H; ++J) {
            const int64_t S = int64_t(nearbyintl(Ratio * sinl((long double)J / YDiv)));
            if (!Wrap) {
                const int64_t SX = X + S, SY = F + J;
                if (SX >= 0 && SX < P.W && SY >= 0 && SY < P.H)
                    Out.At(X, J) = P.At(int(SX), int(SY));
            } else {
                int64_t G = X + S;
                if (G < 0)
                    G = (P.W - 1) - ((-G) % P.W);
                else if (G >= P.W)
                    G = G % P.W;
                Out.At(X, J) = P.At(int(G), int((F + J) % P.H));
            }
        }
    }
    P = Out;
}

// The blend as a table of 511 entries of which the low byte counts.
inline void AlphaBlend(Pic& P, const Pic& B, int Amount, bool HasKey)
{
    uint8_t A[511];
    for (int K = -255; K <= 255; ++K)
        A[K + 255] = uint8_t(uint32_t(Amount * K) >> 8);
    const TRGBTriple Key = B.At(0, 0);
    for (int Y = 0; Y < P.H; ++Y)
        for (int X = 0; X < P.W; ++X) {
            if (HasKey && B.At(X, Y) == Key)
                continue;
            for (int C = 0; C < 3; ++C) {
                const int Cv = P.Ch(X, Y, C), Bv = const_cast<Pic&>(B).Ch(X, Y, C);
                P.Ch(X, Y, C) = uint8_t(Cv + A[Bv - Cv + 255]);
            }
        }
}

inline Pic Bilinear(const Pic& S, int W, int H)
{
    Pic D(W, H);
    const int StepX = ((S.W - 1) * 32768) / W, StepY = ((S.H - 1) * 32768) / H;
    int FY = 0;
    for (int Y = 0; Y < H; ++Y, FY += StepY) {
        const int R0 = FY >> 15, R1 = R0 + 1 < S.H ? R0 + 1 : R0;
        const int WY = FY & 32767, IY = 32768 - WY;
        int FX = 0;
        for (int X = 0; X < W; ++X, FX += StepX) {
            const int Col = FX >> 15, WX = FX & 32767;
            const int W01 = (WX * IY) >> 15, W00 = IY - W01, W11 = (WX * WY) >> 15, W10 = WY - W11;
            const int Col1 = Col + 1 < S.W ? Col + 1 : Col;
            for (int C = 0; C < 3; ++C) {
                auto Ch = [&](int XX, int YY) { return int(reinterpret_cast<const uint8_t*>(&S.At(XX, YY))[C]); };
                reinterpret_cast<uint8_t*>(&D.At(X, Y))[C] =
                    uint8_t((Ch(Col, R0) * W00 + Ch(Col1, R0) * W01 + Ch(Col, R1) * W10 + Ch(Col1, R1) * W11) >> 15);
            }
        }
    }
    return D;
}

} // namespace nvref
