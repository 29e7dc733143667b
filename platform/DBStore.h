// The in-memory record store under a dataset: the rows by record id, their
// natural order and the active sort order (index). Used by TDataSet only.
#pragma once

#include <memory>
#include <vector>

#include "DB.h"

// Compares two values of one column (both of the column's kind, or Null):
// Null first, numbers and dates by value, strings in the locale's order with
// bytes breaking ties, false before true. Returns -1, 0 or 1.
int CompareFieldValues(const TVariant& A, const TVariant& B);

// The first of the positions 0..Count-1 for which Less(position) is false,
// Less being true for a leading run of positions.
template <class F>
size_t PartitionPoint(size_t Count, F&& Less)
{
    size_t Lo = 0;
    size_t Hi = Count;
    while (Lo < Hi) {
        const size_t Mid = Lo + (Hi - Lo) / 2;
        if (Less(Mid))
            Lo = Mid + 1;
        else
            Hi = Mid;
    }
    return Lo;
}

// Records are numbered by id (never reused; a deleted record leaves a gap).
// Each has an order key that gives the natural order, in which new records
// go before a given one or at the end. The index keeps the ids sorted by the
// index columns and then by natural order, so that every record has one
// place, found by binary search.
class TRecordStore {
public:
    static constexpr uint32_t NoRecord = 0xFFFFFFFFu;
    // Ids from here on are reserved for the dataset's own use.
    static constexpr uint32_t FirstReservedId = 0xFFFFFFF0u;

    // Checks the packet: unique, named columns of known types (strings get
    // the size 20 when they have none), one value per column in each row,
    // converted to the column's type. Raises EDatabaseError.
    explicit TRecordStore(TDataPacket&& Packet);

    // Unique among all stores made (bookmarks carry it).
    uint64_t Id() const { return FId; }
    const std::vector<TDataPacket::TColumn>& Columns() const { return FColumns; }
    // The column of that name (case-insensitive), or -1.
    int ColumnIndex(const String& Name) const;
    bool Exists(uint32_t Id) const { return Id < FRows.size() && FRows[Id]; }
    const std::vector<TVariant>& Values(uint32_t Id) const { return FRows[Id]->Values; }
    // The records in natural order.
    TDataPacket Packet() const;

    // Sorts by these columns (none: the natural order).
    void SetIndex(std::vector<int> Columns);
    const std::vector<int>& IndexColumns() const { return FIndexColumns; }
    // The ids in index order.
    const std::vector<uint32_t>& Ordered() const { return FIndexColumns.empty() ? FNatural : FIndex; }
    // Index order of two records: -1, 0 (the same record) or 1.
    int Compare(uint32_t A, uint32_t B) const;

    // Changes; the natural order and the index follow. Add puts the record
    // before Before in natural order (at the end for NoRecord) and returns its id.
    uint32_t Add(std::vector<TVariant> Values, uint32_t Before);
    void Update(uint32_t Id, std::vector<TVariant> Values);
    void Remove(uint32_t Id);

private:
    struct TRow {
        int64_t Order;
        std::vector<TVariant> Values;
    };
    size_t NaturalPosition(int64_t Order) const;
    size_t IndexPosition(uint32_t Id) const;
    int64_t OrderBefore(uint32_t Before);

    uint64_t FId;
    std::vector<TDataPacket::TColumn> FColumns;
    std::vector<std::unique_ptr<TRow>> FRows;
    std::vector<uint32_t> FNatural;
    std::vector<int> FIndexColumns;
    std::vector<uint32_t> FIndex;
};
