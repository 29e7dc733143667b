// Data layer: variant values and fields (included by DB.h).
//
// A field is a component that shows one column of its dataset's current
// record, or a value calculated for it. Persistent fields are declared in
// form files as children of their dataset:
//
//     object Customers: TClientDataSet
//       FileName = 'nvcust.xml'
//       object CustomersCustNo: TIntegerField
//         FieldName = 'CustNo'
//       end
//       object CustomersPercent: TIntegerField
//         FieldName = 'Percent'
//         FieldKind = fkCalculated
//       end
//     end
//
// A dataset without persistent fields makes default fields from its field
// definitions when it opens and destroys them when it closes.
#pragma once

#include <iosfwd>
#include <memory>
#include <variant>
#include <vector>

#include "DB.h"
#include "Streams.h"

// ---------------------------------------------------------------- variants

ZEN_DECLARE_EXCEPTION(EVariantError, Exception);

enum class TVarType { Null, Integer, Int64, Double, Boolean, String, DateTime, Array };

// A small variant: Null, a 32- or 64-bit integer, a double, a Boolean, an
// 8-bit string, a date/time or an array of variants (multi-field keys).
// Conversions raise EVariantError "Could not convert variant of type (A)
// into type (B)"; Null converts only to the empty string.
class TVariant {
public:
    TVariant() = default;
    TVariant(int V) : FValue(std::in_place_index<1>, V) {}
    TVariant(long V) : FValue(std::in_place_index<2>, static_cast<int64_t>(V)) {}
    TVariant(long long V) : FValue(std::in_place_index<2>, static_cast<int64_t>(V)) {}
    TVariant(unsigned V) : FValue(std::in_place_index<2>, static_cast<int64_t>(V)) {}
    TVariant(double V) : FValue(std::in_place_index<3>, V) {}
    TVariant(bool V) : FValue(std::in_place_index<4>, V) {}
    TVariant(const char* V) : FValue(std::in_place_index<5>, String(V ? V : "")) {}
    TVariant(String V) : FValue(std::in_place_index<5>, std::move(V)) {}
    static TVariant FromDateTime(TDateTime V);
    static TVariant FromArray(std::vector<TVariant> Items);

    TVarType Type() const { return static_cast<TVarType>(FValue.index()); }
    bool IsNull() const { return FValue.index() == 0; }
    bool IsArray() const { return Type() == TVarType::Array; }
    bool IsNumeric() const;
    // Items of an array (0 for other values).
    int ArrayCount() const;
    // Raises EVariantError for a value that is not an array or a bad index.
    const TVariant& operator[](int Index) const;

    int32_t AsInteger() const;
    int64_t AsInt64() const;
    double AsFloat() const;
    bool AsBoolean() const;
    TDateTime AsDateTime() const;
    // Numbers as FloatToStr/IntToStr write them, Booleans as "True"/"False",
    // dates as DateTimeToStr; Null as "".
    String AsString() const;
    // "Null", "Integer", "Int64", "Double", "Boolean", "String", "Date", "Array".
    String TypeName() const;

    // Numbers compare by value whatever their width; other kinds only with
    // their own kind; arrays item by item.
    friend bool operator==(const TVariant& A, const TVariant& B);
    friend std::ostream& operator<<(std::ostream& Out, const TVariant& V);

private:
    struct TDate {
        double Value;
    };
    using TArray = std::shared_ptr<const std::vector<TVariant>>;
    [[noreturn]] void CastError(const char* Target) const;
    int64_t ToInt64(const char* Target) const;
    std::variant<std::monostate, int32_t, int64_t, double, bool, String, TDate, TArray> FValue;
};

TVariant VarArrayOf(std::vector<TVariant> Items);
inline bool VarIsNull(const TVariant& V) { return V.IsNull(); }
inline String VarToStr(const TVariant& V) { return V.AsString(); }

// ---------------------------------------------------------------- fields

using TFieldNotifyEvent = TEvent<TField*>;
// Text: the text to show; DisplayText: for display (true) or editing (false).
using TFieldGetTextEvent = TEvent<TField*, String&, bool>;
using TFieldSetTextEvent = TEvent<TField*, const String&>;

enum TBlobStreamMode { bmRead, bmWrite, bmReadWrite };

// The base of the field kinds. Reading a value reads the dataset's active
// record buffer (or, inside OnCalcFields and OnFilterRecord, the record being
// calculated or filtered). Writing needs the dataset in edit or insert mode
// ("Dataset not in edit or insert mode"), or, for a calculated field, inside
// OnCalcFields; a read-only field raises "Field 'X' cannot be modified".
// Conversions a kind does not support raise "Cannot access field 'X' as type Y";
// bad text raises e.g. "'abc' is not a valid integer value for field 'Qty'".
class TField : public TNonVisualComponent {
    Q_OBJECT
    Q_PROPERTY(String FieldName READ FieldName WRITE SetFieldName)
    Q_PROPERTY(String DisplayLabel READ StoredDisplayLabel WRITE SetDisplayLabel)
    Q_PROPERTY(int DisplayWidth READ StoredDisplayWidth WRITE SetDisplayWidth)
    Q_PROPERTY(DBTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(DBTypes::TFieldKind FieldKind READ FieldKind WRITE SetFieldKind)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(bool Required READ Required WRITE SetRequired)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TDataSet* LookupDataSet READ LookupDataSet WRITE SetLookupDataSet)
    Q_PROPERTY(String LookupKeyFields READ LookupKeyFields WRITE SetLookupKeyFields)
    Q_PROPERTY(String LookupResultField READ LookupResultField WRITE SetLookupResultField)
    Q_PROPERTY(String KeyFields READ KeyFields WRITE SetKeyFields)
    Q_PROPERTY(TFieldNotifyEvent OnChange MEMBER OnChange)
    Q_PROPERTY(TFieldNotifyEvent OnValidate MEMBER OnValidate)
    Q_PROPERTY(TFieldGetTextEvent OnGetText MEMBER OnGetText)
    Q_PROPERTY(TFieldSetTextEvent OnSetText MEMBER OnSetText)
public:
    ~TField() override;

    // ---- the field and its dataset
    TDataSet* DataSet() const { return FDataSet; }
    // Only while the old and the new dataset are closed.
    void SetDataSet(TDataSet* Value);
    const String& FieldName() const { return FFieldName; }
    void SetFieldName(const String& Value);
    TFieldType DataType() const { return FDataType; }
    // Maximum length of a string field; 0 for other kinds.
    int Size() const { return FSize; }
    void SetSize(int Value);
    // The store column (from 1) of a data field of an open dataset, else 0.
    int FieldNo() const { return FFieldNo; }
    // Position in the dataset's Fields.
    int Index() const;
    TFieldKind FieldKind() const { return FFieldKind; }
    void SetFieldKind(TFieldKind Value);
    bool Calculated() const { return FFieldKind == fkCalculated; }
    void SetCalculated(bool Value) { SetFieldKind(Value ? fkCalculated : fkData); }
    bool Lookup() const { return FFieldKind == fkLookup; }
    void SetLookup(bool Value) { SetFieldKind(Value ? fkLookup : fkData); }
    virtual bool IsBlob() const { return false; }

    // ---- presentation
    // DisplayLabel: the caption for the field; the field name unless set.
    String DisplayLabel() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
    void SetDisplayLabel(const String& Value) { FDisplayLabel = Value == FFieldName ? String() : Value; }
    String DisplayName() const { return DisplayLabel(); }
    // Width in characters (by default from the kind and size).
    int DisplayWidth() const { return FDisplayWidth >= 0 ? FDisplayWidth : DefaultDisplayWidth(); }
    void SetDisplayWidth(int Value) { FDisplayWidth = Value < 0 ? -1 : Value; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { FAlignment = Value; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    // Post raises "Field 'X' must have a value" while a required field is null.
    bool Required() const { return FRequired; }
    void SetRequired(bool Value) { FRequired = Value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; }
    // Whether a value may be written now: not read-only, the dataset can be
    // modified, and the field is a data field (a calculated one only inside
    // OnCalcFields).
    bool CanModify() const;

    // ---- lookup fields: the value of LookupResultField of the record of
    // LookupDataSet whose LookupKeyFields equal this dataset's KeyFields.
    TDataSet* LookupDataSet() const { return FLookupDataSet; }
    void SetLookupDataSet(TDataSet* Value);
    const String& LookupKeyFields() const { return FLookupKeyFields; }
    void SetLookupKeyFields(const String& Value) { FLookupKeyFields = Value; }
    const String& LookupResultField() const { return FLookupResultField; }
    void SetLookupResultField(const String& Value) { FLookupResultField = Value; }
    const String& KeyFields() const { return FKeyFields; }
    void SetKeyFields(const String& Value) { FKeyFields = Value; }

    // ---- the value
    bool IsNull() const;
    void Clear() { SetValue(TVariant()); }
    // The stored value: Null, Integer (small, word and integer fields), Int64,
    // Double (float, currency), Boolean, String (strings, memos, blobs) or a
    // date (date, time and date/time fields, kept to the millisecond).
    TVariant Value() const;
    // Converts Value to the field's kind first.
    void SetValue(const TVariant& Value);
    String AsString() const { return GetAsString(); }
    void SetAsString(const String& Value) { SetAsStringImpl(Value); }
    int AsInteger() const;
    void SetAsInteger(int Value);
    int64_t AsLargeInt() const;
    void SetAsLargeInt(int64_t Value);
    double AsFloat() const;
    void SetAsFloat(double Value);
    double AsCurrency() const { return AsFloat(); }
    void SetAsCurrency(double Value) { SetAsFloat(Value); }
    bool AsBoolean() const;
    void SetAsBoolean(bool Value);
    TDateTime AsDateTime() const;
    void SetAsDateTime(TDateTime Value);
    TVariant AsVariant() const { return Value(); }
    void SetAsVariant(const TVariant& V) { SetValue(V); }

    // The text to show (DisplayFormat, OnGetText) and the text to edit
    // (EditFormat); setting the edit text goes through OnSetText or AsString.
    String DisplayText() const;
    String EditText() const;
    void SetEditText(const String& Value);
    String Text() const { return EditText(); }
    void SetText(const String& Value) { SetEditText(Value); }

    TFieldNotifyEvent OnChange;
    // Called with the new value in place; raising puts the old value back.
    TFieldNotifyEvent OnValidate;
    TFieldGetTextEvent OnGetText;
    TFieldSetTextEvent OnSetText;

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

    // Converts a value to what a field of type Type stores; messages name FieldName.
    static TVariant ConvertValue(const TVariant& Value, TFieldType Type, int Size, const String& FieldName);
    // The field class for a field type.
    static const TMetaClass* FieldClassOf(TFieldType Type);

protected:
    TField(TComponent* AOwner, TFieldType DataType);
    void Notification(TComponent* AComponent, TOperation Operation) override;

    virtual String GetAsString() const;
    virtual void SetAsStringImpl(const String& Value);
    // Display or edit text of a non-null value.
    virtual String GetText(bool Display) const;
    virtual int DefaultDisplayWidth() const { return 10; }
    [[noreturn]] void AccessError(const char* TypeName) const;
    // The published values: empty and -1 until set, so that forms store
    // only what was set explicitly.
    const String& StoredDisplayLabel() const { return FDisplayLabel; }
    int StoredDisplayWidth() const { return FDisplayWidth; }
    const TVariant* Slot() const;

private:
    friend class TDataSet;
    TDataSet* FDataSet = nullptr;
    String FFieldName;
    TFieldType FDataType;
    int FSize = 0;
    int FFieldNo = 0;
    int FCalcSlot = -1;
    TFieldKind FFieldKind = fkData;
    String FDisplayLabel;
    int FDisplayWidth = -1;
    TAlignment FAlignment = taLeftJustify;
    bool FReadOnly = false;
    bool FRequired = false;
    bool FVisible = true;
    TDataSet* FLookupDataSet = nullptr;
    String FLookupKeyFields;
    String FLookupResultField;
    String FKeyFields;
};
ZEN_EVENT_TYPE(TFieldNotifyEvent)
ZEN_EVENT_TYPE(TFieldGetTextEvent)
ZEN_EVENT_TYPE(TFieldSetTextEvent)
ZEN_EVENT_TYPE(TDataChangeEvent)

class TStringField : public TField {
    Q_OBJECT
    Q_PROPERTY(int Size READ Size WRITE SetSize)
public:
    explicit TStringField(TComponent* AOwner = nullptr);

protected:
    int DefaultDisplayWidth() const override { return Size(); }
};

// Numbers: DisplayFormat and EditFormat are FormatFloat pictures (the edit
// text uses DisplayFormat when EditFormat is empty). Right-aligned.
class TNumericField : public TField {
    Q_OBJECT
    Q_PROPERTY(String DisplayFormat READ DisplayFormat WRITE SetDisplayFormat)
    Q_PROPERTY(String EditFormat READ EditFormat WRITE SetEditFormat)
public:
    const String& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const String& Value) { FDisplayFormat = Value; }
    const String& EditFormat() const { return FEditFormat; }
    void SetEditFormat(const String& Value) { FEditFormat = Value; }

protected:
    TNumericField(TComponent* AOwner, TFieldType DataType);
    const String& TextFormat(bool Display) const
    {
        return Display || FEditFormat.empty() ? FDisplayFormat : FEditFormat;
    }

private:
    String FDisplayFormat;
    String FEditFormat;
};

class TIntegerField : public TNumericField {
    Q_OBJECT
public:
    explicit TIntegerField(TComponent* AOwner = nullptr) : TNumericField(AOwner, ftInteger) {}

protected:
    TIntegerField(TComponent* AOwner, TFieldType DataType) : TNumericField(AOwner, DataType) {}
    String GetText(bool Display) const override;
};

// -32768..32767
class TSmallintField : public TIntegerField {
    Q_OBJECT
public:
    explicit TSmallintField(TComponent* AOwner = nullptr) : TIntegerField(AOwner, ftSmallint) {}
};

// 0..65535
class TWordField : public TIntegerField {
    Q_OBJECT
public:
    explicit TWordField(TComponent* AOwner = nullptr) : TIntegerField(AOwner, ftWord) {}
};

class TLargeintField : public TNumericField {
    Q_OBJECT
public:
    explicit TLargeintField(TComponent* AOwner = nullptr) : TNumericField(AOwner, ftLargeint) {}

protected:
    String GetText(bool Display) const override;
    int DefaultDisplayWidth() const override { return 15; }
};

// Without a format the text is FloatToStrF(ffGeneral, Precision); with
// Currency set, the display text is in the locale's currency format and the
// edit text has CurrencyDecimals decimals.
class TFloatField : public TNumericField {
    Q_OBJECT
    Q_PROPERTY(bool Currency READ Currency WRITE SetCurrency)
    Q_PROPERTY(int Precision READ Precision WRITE SetPrecision)
public:
    explicit TFloatField(TComponent* AOwner = nullptr) : TNumericField(AOwner, ftFloat) {}
    bool Currency() const { return FCurrency; }
    void SetCurrency(bool Value) { FCurrency = Value; }
    int Precision() const { return FPrecision; }
    // 2..15
    void SetPrecision(int Value) { FPrecision = Value < 2 ? 2 : Value > 15 ? 15 : Value; }

protected:
    TFloatField(TComponent* AOwner, TFieldType DataType) : TNumericField(AOwner, DataType) {}
    String GetText(bool Display) const override;
    bool FCurrency = false;

private:
    int FPrecision = 15;
};

class TCurrencyField : public TFloatField {
    Q_OBJECT
public:
    explicit TCurrencyField(TComponent* AOwner = nullptr) : TFloatField(AOwner, ftCurrency) { FCurrency = true; }
};

// DisplayValues: the texts for true and false, "True;False" by default.
class TBooleanField : public TField {
    Q_OBJECT
    Q_PROPERTY(String DisplayValues READ DisplayValues WRITE SetDisplayValues)
public:
    explicit TBooleanField(TComponent* AOwner = nullptr);
    const String& DisplayValues() const { return FDisplayValues; }
    // "Yes;No", or one text for true only ("Yes" gives "" for false).
    void SetDisplayValues(const String& Value);

protected:
    String GetAsString() const override;
    void SetAsStringImpl(const String& Value) override;
    String GetText(bool Display) const override;
    int DefaultDisplayWidth() const override { return 5; }

private:
    String FDisplayValues = "True;False";
    String FTrueText = "True";
    String FFalseText = "False";
};

// Date and time values are kept to the millisecond. The display text uses
// DisplayFormat (FormatDateTime) when set; otherwise, and for editing, the
// short date (date fields), the long time (time fields) or both ("c").
class TDateTimeField : public TField {
    Q_OBJECT
    Q_PROPERTY(String DisplayFormat READ DisplayFormat WRITE SetDisplayFormat)
public:
    explicit TDateTimeField(TComponent* AOwner = nullptr) : TField(AOwner, ftDateTime) {}
    const String& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const String& Value) { FDisplayFormat = Value; }

protected:
    TDateTimeField(TComponent* AOwner, TFieldType DataType) : TField(AOwner, DataType) {}
    String GetText(bool Display) const override;
    int DefaultDisplayWidth() const override { return 18; }

private:
    String FDisplayFormat;
};

class TDateField : public TDateTimeField {
    Q_OBJECT
public:
    explicit TDateField(TComponent* AOwner = nullptr) : TDateTimeField(AOwner, ftDate) {}
};

class TTimeField : public TDateTimeField {
    Q_OBJECT
public:
    explicit TTimeField(TComponent* AOwner = nullptr) : TDateTimeField(AOwner, ftTime) {}
};

// Binary values of any length. The display text is "(Blob)", "(Memo)" or
// "(Graphic)", in capitals when there is a value.
class TBlobField : public TField {
    Q_OBJECT
public:
    explicit TBlobField(TComponent* AOwner = nullptr) : TField(AOwner, ftBlob) {}
    bool IsBlob() const override { return true; }

    std::vector<uint8_t> AsBytes() const;
    void SetAsBytes(const std::vector<uint8_t>& Value);
    // The whole of Stream (from its start) becomes the value.
    void LoadFromStream(TStream& Stream);
    // Writes the value at the stream's position.
    void SaveToStream(TStream& Stream) const;
    void LoadFromFile(const String& FileName);
    void SaveToFile(const String& FileName) const;
    // bmRead: a stream over a copy of the value. bmWrite (empty at first)
    // and bmReadWrite: writes go into the record at once (the field must be
    // modifiable when the stream is made); the change is announced when the
    // stream is destroyed.
    std::unique_ptr<TStream> CreateBlobStream(TBlobStreamMode Mode);

protected:
    TBlobField(TComponent* AOwner, TFieldType DataType) : TField(AOwner, DataType) {}
    String GetText(bool Display) const override;

private:
    friend class TBlobStream;
    void StoreBytes(String Bytes);
    void AnnounceChange();
};

class TMemoField : public TBlobField {
    Q_OBJECT
public:
    explicit TMemoField(TComponent* AOwner = nullptr) : TBlobField(AOwner, ftMemo) {}

protected:
    String GetText(bool Display) const override;
};

// A picture stored as the bytes of an image file (the graphics layer reads
// and writes them through the blob streams).
class TGraphicField : public TBlobField {
    Q_OBJECT
public:
    explicit TGraphicField(TComponent* AOwner = nullptr) : TBlobField(AOwner, ftGraphic) {}
};
