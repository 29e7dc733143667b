// Byte streams: the abstract stream, memory, file and string streams.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "SysUtils.h"

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// File open modes.
constexpr unsigned fmCreate = 0xFF00;
constexpr unsigned fmOpenRead = 0x0000;
constexpr unsigned fmOpenWrite = 0x0001;
constexpr unsigned fmOpenReadWrite = 0x0002;

class TStream {
public:
    virtual ~TStream();

    // Reads or writes up to Count bytes; returns how many were moved.
    virtual int64_t Read(void* Buffer, int64_t Count) = 0;
    virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

    // Move exactly Count bytes or raise EReadError "Stream read error" /
    // EWriteError "Stream write error".
    void ReadBuffer(void* Buffer, int64_t Count);
    void WriteBuffer(const void* Buffer, int64_t Count);

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t Value) { Seek(Value, soBeginning); }
    virtual int64_t Size();
    // Streams that cannot change their size raise EStreamError.
    virtual void SetSize(int64_t NewSize);

    // Copies Count bytes from Source (all of it from the start when Count is 0).
    int64_t CopyFrom(TStream& Source, int64_t Count);

    // Little-endian helpers for binary stored formats.
    int32_t ReadInt32();
    uint32_t ReadUInt32();
    uint16_t ReadUInt16();
    uint8_t ReadByte();
    void WriteInt32(int32_t Value);
    void WriteUInt32(uint32_t Value);
    void WriteUInt16(uint16_t Value);
    void WriteByte(uint8_t Value);
};

// A stream over a growable block of memory. Seeking past the end is allowed;
// writing there grows the block and zero-fills the gap. At a negative
// position nothing is read or written.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> Data) : FData(std::move(Data)) {}

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override { return static_cast<int64_t>(FData.size()); }
    void SetSize(int64_t NewSize) override;

    void Clear();
    const uint8_t* Memory() const { return FData.data(); }
    uint8_t* Memory() { return FData.data(); }
    const std::vector<uint8_t>& Bytes() const { return FData; }
    void LoadFromStream(TStream& Stream);
    void SaveToStream(TStream& Stream);
    void LoadFromFile(const String& FileName);
    void SaveToFile(const String& FileName);

private:
    std::vector<uint8_t> FData;
    int64_t FPosition = 0;
};

// A stream over a file. Opening raises EFOpenError "Cannot open file "X". <reason>"
// and creating EFCreateError "Cannot create file "X". <reason>".
class TFileStream : public TStream {
public:
    TFileStream(const String& FileName, unsigned Mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    // Truncates or extends the file; the position moves to the new end.
    void SetSize(int64_t NewSize) override;
    const String& FileName() const { return FFileName; }

private:
    enum class TLastOperation { None, Read, Write };
    void SwitchTo(TLastOperation Operation);

    String FFileName;
    std::FILE* FFile = nullptr;
    TLastOperation FLastOperation = TLastOperation::None;
};

// A stream over an 8-bit string, with the positioning rules of TMemoryStream.
class TStringStream : public TStream {
public:
    explicit TStringStream(String Data = String()) : FData(std::move(Data)) {}
    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    void SetSize(int64_t NewSize) override;
    const String& DataString() const { return FData; }

private:
    String FData;
    int64_t FPosition = 0;
};
