#include "DBStore.h"

#include <algorithm>

namespace {

constexpr int64_t OrderGap = int64_t(1) << 20;

String Quoted(const String& S)
{
    return "'" + S + "'";
}

} // namespace

int CompareFieldValues(const TVariant& A, const TVariant& B)
{
    if (A.IsNull() || B.IsNull())
        return A.IsNull() == B.IsNull() ? 0 : A.IsNull() ? -1 : 1;
    const TVarType TA = A.Type();
    const TVarType TB = B.Type();
    if (TA == TVarType::String && TB == TVarType::String) {
        const String SA = A.AsString();
        const String SB = B.AsString();
        if (int R = AnsiCompareStr(SA, SB))
            return R < 0 ? -1 : 1;
        return SA < SB ? -1 : SA > SB ? 1 : 0;
    }
    if (TA == TVarType::Boolean && TB == TVarType::Boolean)
        return int(A.AsBoolean()) - int(B.AsBoolean());
    if ((TA == TVarType::Integer || TA == TVarType::Int64) && (TB == TVarType::Integer || TB == TVarType::Int64)) {
        const int64_t X = A.AsInt64();
        const int64_t Y = B.AsInt64();
        return X < Y ? -1 : X > Y ? 1 : 0;
    }
    if ((A.IsNumeric() || TA == TVarType::DateTime) && (B.IsNumeric() || TB == TVarType::DateTime)) {
        const double X = A.AsFloat();
        const double Y = B.AsFloat();
        return X < Y ? -1 : X > Y ? 1 : 0;
    }
    return int(TA) < int(TB) ? -1 : int(TA) > int(TB) ? 1 : 0;
}

TRecordStore::TRecordStore(TDataPacket&& Packet)
{
    static uint64_t NextId = 0;
    FId = ++NextId;
    for (TDataPacket::TColumn C : Packet.Columns) {
        if (C.Name.empty())
            throw EDatabaseError("A field definition has no name");
        if (ColumnIndex(C.Name) >= 0)
            throw EDatabaseError("Duplicate field name " + Quoted(C.Name));
        if (C.DataType <= ftUnknown || C.DataType > ftLargeint)
            throw EDatabaseError("Field " + Quoted(C.Name) + " has no valid data type");
        if (C.Size < 0)
            throw EDatabaseError("Field " + Quoted(C.Name) + " has an invalid size " + IntToStr(C.Size));
        C.Size = C.DataType != ftString ? 0 : C.Size == 0 ? 20 : C.Size;
        FColumns.push_back(C);
    }
    const size_t N = FColumns.size();
    if (Packet.Rows.size() >= FirstReservedId)
        throw EDatabaseError("Too many records");
    FRows.reserve(Packet.Rows.size());
    FNatural.reserve(Packet.Rows.size());
    for (size_t R = 0; R < Packet.Rows.size(); ++R) {
        std::vector<TVariant>& Values = Packet.Rows[R];
        if (Values.size() != N)
            throw EDatabaseError("Row " + IntToStr(static_cast<uint64_t>(R + 1)) + " has " +
                                 IntToStr(static_cast<uint64_t>(Values.size())) + " values for " +
                                 IntToStr(static_cast<uint64_t>(N)) + " fields");
        for (size_t C = 0; C < N; ++C)
            Values[C] = TField::ConvertValue(Values[C], FColumns[C].DataType, FColumns[C].Size, FColumns[C].Name);
        FNatural.push_back(static_cast<uint32_t>(FRows.size()));
        FRows.push_back(std::make_unique<TRow>(TRow{static_cast<int64_t>(R + 1) * OrderGap, std::move(Values)}));
    }
}

int TRecordStore::ColumnIndex(const String& Name) const
{
    for (size_t I = 0; I < FColumns.size(); ++I)
        if (SameText(FColumns[I].Name, Name))
            return static_cast<int>(I);
    return -1;
}

TDataPacket TRecordStore::Packet() const
{
    TDataPacket P;
    P.Columns = FColumns;
    P.Rows.reserve(FNatural.size());
    for (uint32_t Id : FNatural)
        P.Rows.push_back(FRows[Id]->Values);
    return P;
}

void TRecordStore::SetIndex(std::vector<int> Columns)
{
    FIndexColumns = std::move(Columns);
    FIndex.clear();
    if (FIndexColumns.empty())
        return;
    FIndex = FNatural;
    std::sort(FIndex.begin(), FIndex.end(), [this](uint32_t A, uint32_t B) { return Compare(A, B) < 0; });
}

int TRecordStore::Compare(uint32_t A, uint32_t B) const
{
    const TRow& RA = *FRows[A];
    const TRow& RB = *FRows[B];
    for (int C : FIndexColumns)
        if (int R = CompareFieldValues(RA.Values[static_cast<size_t>(C)], RB.Values[static_cast<size_t>(C)]))
            return R;
    return RA.Order < RB.Order ? -1 : RA.Order > RB.Order ? 1 : 0;
}

size_t TRecordStore::NaturalPosition(int64_t Order) const
{
    return PartitionPoint(FNatural.size(), [&](size_t P) { return FRows[FNatural[P]]->Order < Order; });
}

size_t TRecordStore::IndexPosition(uint32_t Id) const
{
    return PartitionPoint(FIndex.size(), [&](size_t P) { return Compare(FIndex[P], Id) < 0; });
}

int64_t TRecordStore::OrderBefore(uint32_t Before)
{
    if (Before == NoRecord || !Exists(Before))
        return FNatural.empty() ? OrderGap : FRows[FNatural.back()]->Order + OrderGap;
    for (int Attempt = 0; Attempt < 2; ++Attempt) {
        const int64_t Next = FRows[Before]->Order;
        const size_t P = NaturalPosition(Next);
        const int64_t Prev = P == 0 ? Next - 2 * OrderGap : FRows[FNatural[P - 1]]->Order;
        if (Next - Prev >= 2)
            return Prev + (Next - Prev) / 2;
        // The gap is used up: number the records anew, keeping their order.
        for (size_t I = 0; I < FNatural.size(); ++I)
            FRows[FNatural[I]]->Order = static_cast<int64_t>(I + 1) * OrderGap;
    }
    throw EDatabaseError("Record order keys exhausted");
}

uint32_t TRecordStore::Add(std::vector<TVariant> Values, uint32_t Before)
{
    if (FRows.size() >= FirstReservedId)
        throw EDatabaseError("Too many records");
    const int64_t Order = OrderBefore(Before);
    const auto Id = static_cast<uint32_t>(FRows.size());
    FRows.push_back(std::make_unique<TRow>(TRow{Order, std::move(Values)}));
    FNatural.insert(FNatural.begin() + static_cast<ptrdiff_t>(NaturalPosition(Order)), Id);
    if (!FIndexColumns.empty())
        FIndex.insert(FIndex.begin() + static_cast<ptrdiff_t>(IndexPosition(Id)), Id);
    return Id;
}

void TRecordStore::Update(uint32_t Id, std::vector<TVariant> Values)
{
    if (!FIndexColumns.empty())
        FIndex.erase(FIndex.begin() + static_cast<ptrdiff_t>(IndexPosition(Id)));
    FRows[Id]->Values = std::move(Values);
    if (!FIndexColumns.empty())
        FIndex.insert(FIndex.begin() + static_cast<ptrdiff_t>(IndexPosition(Id)), Id);
}

void TRecordStore::Remove(uint32_t Id)
{
    if (!FIndexColumns.empty())
        FIndex.erase(FIndex.begin() + static_cast<ptrdiff_t>(IndexPosition(Id)));
    FNatural.erase(FNatural.begin() + static_cast<ptrdiff_t>(NaturalPosition(FRows[Id]->Order)));
    FRows[Id].reset();
}
