#include "DBFields.h"

#include <QPointer>

#include <cmath>
#include <limits>
#include <ostream>

#include "ExceptionBarrier.h"
#include "FloatFormat.h"
#include "System.h"

// ---------------------------------------------------------------- variants

TVariant TVariant::FromDateTime(TDateTime V)
{
    TVariant R;
    R.FValue.emplace<6>(TDate{V});
    return R;
}

TVariant TVariant::FromArray(std::vector<TVariant> Items)
{
    TVariant R;
    R.FValue.emplace<7>(std::make_shared<const std::vector<TVariant>>(std::move(Items)));
    return R;
}

TVariant VarArrayOf(std::vector<TVariant> Items)
{
    return TVariant::FromArray(std::move(Items));
}

bool TVariant::IsNumeric() const
{
    const TVarType T = Type();
    return T == TVarType::Integer || T == TVarType::Int64 || T == TVarType::Double;
}

int TVariant::ArrayCount() const
{
    return IsArray() ? static_cast<int>(std::get<7>(FValue)->size()) : 0;
}

const TVariant& TVariant::operator[](int Index) const
{
    if (!IsArray())
        throw EVariantError("Variant is not an array");
    const auto& A = *std::get<7>(FValue);
    if (Index < 0 || static_cast<size_t>(Index) >= A.size())
        throw EVariantError("Variant array index out of bounds");
    return A[static_cast<size_t>(Index)];
}

String TVariant::TypeName() const
{
    static const char* const Names[] = {"Null", "Integer", "Int64", "Double", "Boolean", "String", "Date", "Array"};
    return Names[FValue.index()];
}

void TVariant::CastError(const char* Target) const
{
    throw EVariantError("Could not convert variant of type (" + TypeName() + ") into type (" + Target + ")");
}

int64_t TVariant::AsInt64() const
{
    return ToInt64("Int64");
}

int64_t TVariant::ToInt64(const char* Target) const
{
    switch (Type()) {
    case TVarType::Integer: return std::get<1>(FValue);
    case TVarType::Int64: return std::get<2>(FValue);
    case TVarType::Double: {
        const double D = std::get<3>(FValue);
        if (!std::isfinite(D) || D < -9.2233720368547758e18 || D >= 9.2233720368547758e18)
            CastError(Target);
        return Round(D);
    }
    case TVarType::Boolean: return std::get<4>(FValue) ? -1 : 0;
    case TVarType::String: {
        int64_t V;
        if (!TryStrToInt64(std::get<5>(FValue), V))
            CastError(Target);
        return V;
    }
    default: CastError(Target);
    }
}

int32_t TVariant::AsInteger() const
{
    const int64_t V = ToInt64("Integer");
    if (V < std::numeric_limits<int32_t>::min() || V > std::numeric_limits<int32_t>::max())
        CastError("Integer");
    return static_cast<int32_t>(V);
}

double TVariant::AsFloat() const
{
    switch (Type()) {
    case TVarType::Integer: return std::get<1>(FValue);
    case TVarType::Int64: return static_cast<double>(std::get<2>(FValue));
    case TVarType::Double: return std::get<3>(FValue);
    case TVarType::Boolean: return std::get<4>(FValue) ? -1 : 0;
    case TVarType::DateTime: return std::get<6>(FValue).Value;
    case TVarType::String: {
        double V;
        if (!TryStrToFloat(std::get<5>(FValue), V))
            CastError("Double");
        return V;
    }
    default: CastError("Double");
    }
}

bool TVariant::AsBoolean() const
{
    switch (Type()) {
    case TVarType::Boolean: return std::get<4>(FValue);
    case TVarType::Integer:
    case TVarType::Int64: return AsInt64() != 0;
    case TVarType::Double: return std::get<3>(FValue) != 0;
    case TVarType::String: {
        bool V;
        if (!TryStrToBool(std::get<5>(FValue), V))
            CastError("Boolean");
        return V;
    }
    default: CastError("Boolean");
    }
}

TDateTime TVariant::AsDateTime() const
{
    switch (Type()) {
    case TVarType::DateTime: return std::get<6>(FValue).Value;
    case TVarType::Integer:
    case TVarType::Int64:
    case TVarType::Double: return AsFloat();
    case TVarType::String: {
        TDateTime V;
        if (!TryStrToDateTime(std::get<5>(FValue), V))
            CastError("Date");
        return V;
    }
    default: CastError("Date");
    }
}

String TVariant::AsString() const
{
    switch (Type()) {
    case TVarType::Null: return String();
    case TVarType::Integer: return IntToStr(std::get<1>(FValue));
    case TVarType::Int64: return IntToStr(std::get<2>(FValue));
    case TVarType::Double: return FloatToStr(std::get<3>(FValue));
    case TVarType::Boolean: return std::get<4>(FValue) ? "True" : "False";
    case TVarType::String: return std::get<5>(FValue);
    case TVarType::DateTime: return DateTimeToStr(std::get<6>(FValue).Value);
    case TVarType::Array: break;
    }
    CastError("String");
}

bool operator==(const TVariant& A, const TVariant& B)
{
    const TVarType TA = A.Type();
    const TVarType TB = B.Type();
    if (A.IsNumeric() && B.IsNumeric()) {
        if (TA != TVarType::Double && TB != TVarType::Double)
            return A.AsInt64() == B.AsInt64();
        return A.AsFloat() == B.AsFloat();
    }
    if (TA != TB)
        return false;
    switch (TA) {
    case TVarType::Null: return true;
    case TVarType::Boolean: return A.AsBoolean() == B.AsBoolean();
    case TVarType::String: return std::get<5>(A.FValue) == std::get<5>(B.FValue);
    case TVarType::DateTime: return A.AsDateTime() == B.AsDateTime();
    case TVarType::Array: {
        if (A.ArrayCount() != B.ArrayCount())
            return false;
        for (int I = 0; I < A.ArrayCount(); ++I)
            if (!(A[I] == B[I]))
                return false;
        return true;
    }
    default: return false;
    }
}

std::ostream& operator<<(std::ostream& Out, const TVariant& V)
{
    Out << V.TypeName();
    if (V.IsArray()) {
        Out << '[';
        for (int I = 0; I < V.ArrayCount(); ++I)
            Out << (I ? ", " : "") << V[I];
        return Out << ']';
    }
    if (!V.IsNull())
        Out << '(' << V.AsString() << ')';
    return Out;
}

// ---------------------------------------------------------------- value conversion

namespace {

String Quoted(const String& S)
{
    return "'" + S + "'";
}

// Long texts are shortened in messages.
String Shown(const String& S)
{
    return S.size() <= 40 ? S : S.substr(0, 37) + "...";
}

[[noreturn]] void ConvertAccessError(const String& FieldName, const String& TypeName)
{
    throw EDatabaseError("Cannot access field " + Quoted(FieldName) + " as type " + TypeName);
}

bool IsStringType(TFieldType T)
{
    return T == ftString || T == ftMemo || T == ftBlob || T == ftGraphic;
}

bool IsIntegerType(TFieldType T)
{
    return T == ftSmallint || T == ftInteger || T == ftWord || T == ftLargeint;
}

bool IsDateType(TFieldType T)
{
    return T == ftDate || T == ftTime || T == ftDateTime;
}

// A date/time kept to the millisecond (the date part only for dates, the
// time part only for times); false outside years 1..9999.
bool NormalizeDateTime(double Value, TFieldType Type, double& Result)
{
    if (!std::isfinite(Value))
        return false;
    double Day = std::trunc(Value);
    if (Day < -693593.0 || Day > 2958465.0)
        return false;
    double MS = std::nearbyint(std::fabs(Value - Day) * MSecsPerDay);
    if (MS >= MSecsPerDay) {
        MS = 0;
        Day += 1;
        if (Day > 2958465.0)
            return false;
    }
    if (Type == ftDate)
        MS = 0;
    if (Type == ftTime)
        Day = 0;
    const double Frac = MS / MSecsPerDay;
    Result = Day < 0 ? Day - Frac : Day + Frac;
    return true;
}

} // namespace

TVariant TField::ConvertValue(const TVariant& V, TFieldType Type, int Size, const String& FieldName)
{
    if (V.IsNull())
        return TVariant();
    const TVarType VT = V.Type();
    if (VT == TVarType::Array)
        ConvertAccessError(FieldName, "Array");
    if (IsStringType(Type)) {
        String S = V.AsString();
        if (Type == ftString && Size > 0 && S.size() > static_cast<size_t>(Size))
            throw EDatabaseError("Value " + Quoted(Shown(S)) + " is too long for field " + Quoted(FieldName) +
                                 " (at most " + IntToStr(Size) + " characters)");
        return TVariant(std::move(S));
    }
    if (IsIntegerType(Type)) {
        int64_t I = 0;
        switch (VT) {
        case TVarType::Integer:
        case TVarType::Int64: I = V.AsInt64(); break;
        case TVarType::Double: {
            const double D = V.AsFloat();
            if (!std::isfinite(D) || D < -9.2233720368547758e18 || D >= 9.2233720368547758e18)
                throw EDatabaseError(FloatToStr(D) + " is not a valid value for field " + Quoted(FieldName));
            I = Round(D);
            break;
        }
        case TVarType::String:
            if (!TryStrToInt64(Trim(V.AsString()), I))
                throw EDatabaseError(Quoted(Shown(V.AsString())) + " is not a valid integer value for field " +
                                     Quoted(FieldName));
            break;
        default: ConvertAccessError(FieldName, V.TypeName());
        }
        int64_t Min = std::numeric_limits<int32_t>::min();
        int64_t Max = std::numeric_limits<int32_t>::max();
        if (Type == ftSmallint) {
            Min = -32768;
            Max = 32767;
        } else if (Type == ftWord) {
            Min = 0;
            Max = 65535;
        } else if (Type == ftLargeint) {
            return TVariant(static_cast<long long>(I));
        }
        if (I < Min || I > Max)
            throw EDatabaseError(IntToStr(I) + " is not a valid value for field " + Quoted(FieldName) +
                                 ". The allowed range is " + IntToStr(Min) + " to " + IntToStr(Max));
        return TVariant(static_cast<int>(I));
    }
    switch (Type) {
    case ftFloat:
    case ftCurrency:
        switch (VT) {
        case TVarType::Integer:
        case TVarType::Int64:
        case TVarType::Double:
        case TVarType::DateTime: return TVariant(V.AsFloat());
        case TVarType::String: {
            double D;
            if (!TryStrToFloat(V.AsString(), D))
                throw EDatabaseError(Quoted(Shown(V.AsString())) + " is not a valid floating point value for field " +
                                     Quoted(FieldName));
            return TVariant(D);
        }
        default: ConvertAccessError(FieldName, V.TypeName());
        }
    case ftBoolean:
        switch (VT) {
        case TVarType::Boolean: return V;
        case TVarType::Integer:
        case TVarType::Int64: return TVariant(V.AsInt64() != 0);
        case TVarType::String: {
            bool B;
            if (!TryStrToBool(Trim(V.AsString()), B))
                throw EDatabaseError(Quoted(Shown(V.AsString())) + " is not a valid boolean value for field " +
                                     Quoted(FieldName));
            return TVariant(B);
        }
        default: ConvertAccessError(FieldName, V.TypeName());
        }
    case ftDate:
    case ftTime:
    case ftDateTime: {
        double D = 0;
        switch (VT) {
        case TVarType::Integer:
        case TVarType::Int64:
        case TVarType::Double:
        case TVarType::DateTime: D = V.AsFloat(); break;
        case TVarType::String: {
            const String S = Trim(V.AsString());
            const bool Ok = Type == ftDate ? TryStrToDate(S, D) : Type == ftTime ? TryStrToTime(S, D)
                                                                                 : TryStrToDateTime(S, D);
            const char* What = Type == ftDate ? "date" : Type == ftTime ? "time" : "date and time";
            if (!Ok)
                throw EDatabaseError(Quoted(Shown(S)) + " is not a valid " + What + " value for field " +
                                     Quoted(FieldName));
            break;
        }
        default: ConvertAccessError(FieldName, V.TypeName());
        }
        double R;
        if (!NormalizeDateTime(D, Type, R))
            throw EDatabaseError(FloatToStr(D) + " is not a valid date and time value for field " + Quoted(FieldName));
        return TVariant::FromDateTime(R);
    }
    default: break;
    }
    throw EDatabaseError("Field " + Quoted(FieldName) + " has no valid data type");
}

const TMetaClass* TField::FieldClassOf(TFieldType Type)
{
    switch (Type) {
    case ftString: return ClassOf<TStringField>();
    case ftSmallint: return ClassOf<TSmallintField>();
    case ftInteger: return ClassOf<TIntegerField>();
    case ftWord: return ClassOf<TWordField>();
    case ftBoolean: return ClassOf<TBooleanField>();
    case ftFloat: return ClassOf<TFloatField>();
    case ftCurrency: return ClassOf<TCurrencyField>();
    case ftDate: return ClassOf<TDateField>();
    case ftTime: return ClassOf<TTimeField>();
    case ftDateTime: return ClassOf<TDateTimeField>();
    case ftBlob: return ClassOf<TBlobField>();
    case ftMemo: return ClassOf<TMemoField>();
    case ftGraphic: return ClassOf<TGraphicField>();
    case ftLargeint: return ClassOf<TLargeintField>();
    case ftUnknown: break;
    }
    throw EDatabaseError("No field class for data type " + FieldTypeName(Type));
}

// ---------------------------------------------------------------- TField

TField::TField(TComponent* AOwner, TFieldType DataType) : TNonVisualComponent(AOwner), FDataType(DataType) {}

TField::~TField()
{
    if (FDataSet) {
        TDataSet* DS = FDataSet;
        FDataSet = nullptr;
        DS->RemoveField(this);
    }
}

void TField::SetDataSet(TDataSet* Value)
{
    if (Value == FDataSet)
        return;
    if (FDataSet)
        FDataSet->CheckInactive();
    if (Value)
        Value->AddField(this);
    if (FDataSet)
        FDataSet->RemoveField(this);
    FDataSet = Value;
}

TComponent* TField::GetParentComponent() const
{
    return FDataSet;
}

void TField::SetParentComponent(TComponent* Value)
{
    auto* DS = dynamic_cast<TDataSet*>(Value);
    if (Value && !DS)
        throw EDatabaseError("Field " + Quoted(FFieldName.empty() ? Name() : FFieldName) + " cannot belong to a " +
                             Value->ClassName());
    SetDataSet(DS);
}

void TField::SetFieldName(const String& Value)
{
    if (Value == FFieldName)
        return;
    if (FDataSet) {
        FDataSet->CheckInactive();
        FDataSet->CheckFieldName(this, Value);
    }
    if (FDisplayLabel == Value)
        FDisplayLabel.clear();
    FFieldName = Value;
}

void TField::SetSize(int Value)
{
    if (FDataSet)
        FDataSet->CheckInactive();
    if (Value < 0)
        throw EDatabaseError("Invalid size " + IntToStr(Value) + " for field " + Quoted(FFieldName));
    FSize = Value;
}

int TField::Index() const
{
    return FDataSet ? FDataSet->Fields().IndexOf(this) : -1;
}

void TField::SetFieldKind(TFieldKind Value)
{
    if (FDataSet)
        FDataSet->CheckInactive();
    FFieldKind = Value;
}

bool TField::CanModify() const
{
    if (!FDataSet || FReadOnly || !FDataSet->CanModify())
        return false;
    return FFieldKind == fkData || FDataSet->State() == dsCalcFields;
}

void TField::SetLookupDataSet(TDataSet* Value)
{
    if (Value == FLookupDataSet)
        return;
    if (FDataSet)
        FDataSet->CheckInactive();
    if (FLookupDataSet)
        FLookupDataSet->RemoveFreeNotification(this);
    FLookupDataSet = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TField::Notification(TComponent* AComponent, TOperation Operation)
{
    TNonVisualComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && FLookupDataSet && AComponent == static_cast<TComponent*>(FLookupDataSet))
        FLookupDataSet = nullptr;
}

const TVariant* TField::Slot() const
{
    return FDataSet ? FDataSet->FieldSlot(this) : nullptr;
}

bool TField::IsNull() const
{
    const TVariant* S = Slot();
    return !S || S->IsNull();
}

TVariant TField::Value() const
{
    const TVariant* S = Slot();
    return S ? *S : TVariant();
}

void TField::SetValue(const TVariant& Value)
{
    if (!FDataSet)
        throw EDatabaseError("Field " + Quoted(DisplayName()) + " has no dataset");
    FDataSet->SetFieldValue(this, ConvertValue(Value, FDataType, FFieldKind == fkData ? FSize : 0, DisplayName()));
}

void TField::AccessError(const char* TypeName) const
{
    ConvertAccessError(DisplayName(), TypeName);
}

String TField::GetAsString() const
{
    const TVariant* S = Slot();
    if (!S || S->IsNull())
        return String();
    switch (FDataType) {
    case ftDate: return DateToStr(S->AsDateTime());
    case ftTime: return TimeToStr(S->AsDateTime());
    default: return S->AsString();
    }
}

void TField::SetAsStringImpl(const String& Value)
{
    if (Value.empty() && !IsStringType(FDataType))
        Clear();
    else
        SetValue(TVariant(Value));
}

int64_t TField::AsLargeInt() const
{
    const TVariant* S = Slot();
    if (!S || S->IsNull())
        return 0;
    if (IsIntegerType(FDataType))
        return S->AsInt64();
    if (FDataType == ftFloat || FDataType == ftCurrency) {
        const double D = S->AsFloat();
        if (!std::isfinite(D) || std::fabs(D) >= 9.2233720368547758e18)
            throw EDatabaseError(FloatToStr(D) + " is out of the integer range for field " + Quoted(DisplayName()));
        return Round(D);
    }
    if (FDataType == ftString || FDataType == ftMemo) {
        int64_t V;
        if (!TryStrToInt64(Trim(S->AsString()), V))
            throw EDatabaseError(Quoted(Shown(S->AsString())) + " is not a valid integer value for field " +
                                 Quoted(DisplayName()));
        return V;
    }
    AccessError("Integer");
}

int TField::AsInteger() const
{
    const int64_t V = AsLargeInt();
    if (V < std::numeric_limits<int32_t>::min() || V > std::numeric_limits<int32_t>::max())
        throw EDatabaseError(IntToStr(V) + " is out of the integer range for field " + Quoted(DisplayName()));
    return static_cast<int>(V);
}

void TField::SetAsInteger(int Value)
{
    if (!IsIntegerType(FDataType) && !IsStringType(FDataType) && FDataType != ftFloat && FDataType != ftCurrency)
        AccessError("Integer");
    SetValue(TVariant(Value));
}

void TField::SetAsLargeInt(int64_t Value)
{
    if (!IsIntegerType(FDataType) && !IsStringType(FDataType) && FDataType != ftFloat && FDataType != ftCurrency)
        AccessError("Largeint");
    SetValue(TVariant(static_cast<long long>(Value)));
}

double TField::AsFloat() const
{
    const TVariant* S = Slot();
    if (!S || S->IsNull())
        return 0;
    if (IsIntegerType(FDataType) || FDataType == ftFloat || FDataType == ftCurrency || IsDateType(FDataType))
        return S->AsFloat();
    if (FDataType == ftString || FDataType == ftMemo) {
        double D;
        if (!TryStrToFloat(S->AsString(), D))
            throw EDatabaseError(Quoted(Shown(S->AsString())) + " is not a valid floating point value for field " +
                                 Quoted(DisplayName()));
        return D;
    }
    AccessError("Float");
}

void TField::SetAsFloat(double Value)
{
    if (FDataType == ftBoolean || FDataType == ftBlob || FDataType == ftGraphic)
        AccessError("Float");
    SetValue(TVariant(Value));
}

bool TField::AsBoolean() const
{
    const TVariant* S = Slot();
    if (!S || S->IsNull())
        return false;
    if (FDataType == ftBoolean)
        return S->AsBoolean();
    if (FDataType == ftString || FDataType == ftMemo) {
        const String T = S->AsString();
        return !T.empty() && (T[0] == 'T' || T[0] == 't' || T[0] == 'Y' || T[0] == 'y');
    }
    AccessError("Boolean");
}

void TField::SetAsBoolean(bool Value)
{
    if (FDataType == ftBoolean)
        SetValue(TVariant(Value));
    else if (FDataType == ftString || FDataType == ftMemo)
        SetValue(TVariant(Value ? "True" : "False"));
    else
        AccessError("Boolean");
}

TDateTime TField::AsDateTime() const
{
    const TVariant* S = Slot();
    if (!S || S->IsNull())
        return 0;
    if (IsDateType(FDataType))
        return S->AsDateTime();
    if (FDataType == ftString || FDataType == ftMemo) {
        TDateTime D;
        if (!TryStrToDateTime(S->AsString(), D))
            throw EDatabaseError(Quoted(Shown(S->AsString())) + " is not a valid date and time value for field " +
                                 Quoted(DisplayName()));
        return D;
    }
    AccessError("DateTime");
}

void TField::SetAsDateTime(TDateTime Value)
{
    if (IsDateType(FDataType))
        SetValue(TVariant::FromDateTime(Value));
    else if (FDataType == ftString || FDataType == ftMemo)
        SetValue(TVariant(DateTimeToStr(Value)));
    else
        AccessError("DateTime");
}

String TField::GetText(bool) const
{
    return GetAsString();
}

String TField::DisplayText() const
{
    if (OnGetText) {
        String T;
        OnGetText(const_cast<TField*>(this), T, true);
        return T;
    }
    return GetText(true);
}

String TField::EditText() const
{
    if (OnGetText) {
        String T;
        OnGetText(const_cast<TField*>(this), T, false);
        return T;
    }
    return GetText(false);
}

void TField::SetEditText(const String& Value)
{
    if (OnSetText)
        OnSetText(this, Value);
    else
        SetAsString(Value);
}

// ---------------------------------------------------------------- field kinds

TStringField::TStringField(TComponent* AOwner) : TField(AOwner, ftString)
{
    SetSize(20);
}

TNumericField::TNumericField(TComponent* AOwner, TFieldType DataType) : TField(AOwner, DataType)
{
    SetAlignment(taRightJustify);
}

String TIntegerField::GetText(bool Display) const
{
    if (IsNull())
        return String();
    const String& Fmt = TextFormat(Display);
    const int64_t V = AsLargeInt();
    return Fmt.empty() ? IntToStr(V) : FormatFloat(Fmt, static_cast<double>(V));
}

String TLargeintField::GetText(bool Display) const
{
    if (IsNull())
        return String();
    const String& Fmt = TextFormat(Display);
    const int64_t V = AsLargeInt();
    return Fmt.empty() ? IntToStr(V) : FormatFloat(Fmt, static_cast<double>(V));
}

String TFloatField::GetText(bool Display) const
{
    if (IsNull())
        return String();
    const String& Fmt = TextFormat(Display);
    const double V = AsFloat();
    if (!Fmt.empty())
        return FormatFloat(Fmt, V);
    if (FCurrency)
        return FloatToStrF(V, Display ? ffCurrency : ffFixed, FPrecision, FormatSettings.CurrencyDecimals);
    return FloatToStrF(V, ffGeneral, FPrecision, 0);
}

TBooleanField::TBooleanField(TComponent* AOwner) : TField(AOwner, ftBoolean) {}

void TBooleanField::SetDisplayValues(const String& Value)
{
    const size_t P = Value.find(';');
    const String T = P == String::npos ? Value : Value.substr(0, P);
    const String F = P == String::npos ? String() : Value.substr(P + 1);
    if (T.empty() && F.empty())
        throw EDatabaseError("Invalid DisplayValues " + Quoted(Value) + " for field " + Quoted(DisplayName()));
    FDisplayValues = Value;
    FTrueText = T;
    FFalseText = F;
}

String TBooleanField::GetAsString() const
{
    const TVariant* S = Slot();
    if (!S || S->IsNull())
        return String();
    return S->AsBoolean() ? FTrueText : FFalseText;
}

String TBooleanField::GetText(bool) const
{
    return GetAsString();
}

void TBooleanField::SetAsStringImpl(const String& Value)
{
    const String T = Trim(Value);
    if (T.empty()) {
        Clear();
        return;
    }
    // A leading part of either display text, then the runtime's Boolean texts.
    auto Starts = [&](const String& Text) {
        return !Text.empty() && T.size() <= Text.size() && AnsiSameText(T, Text.substr(0, T.size()));
    };
    if (Starts(FTrueText) && !Starts(FFalseText)) {
        SetValue(TVariant(true));
        return;
    }
    if (Starts(FFalseText) && !Starts(FTrueText)) {
        SetValue(TVariant(false));
        return;
    }
    bool B;
    if (!TryStrToBool(T, B))
        throw EDatabaseError(Quoted(Shown(Value)) + " is not a valid boolean value for field " + Quoted(DisplayName()));
    SetValue(TVariant(B));
}

String TDateTimeField::GetText(bool Display) const
{
    if (IsNull())
        return String();
    String Fmt;
    if (Display && !FDisplayFormat.empty())
        Fmt = FDisplayFormat;
    else if (DataType() == ftDate)
        Fmt = FormatSettings.ShortDateFormat;
    else if (DataType() == ftTime)
        Fmt = FormatSettings.LongTimeFormat;
    return FormatDateTime(Fmt, AsDateTime());
}

// ---------------------------------------------------------------- blobs

// A stream over a blob field's value being written: every write lands in the
// record at once; the change is announced when the stream goes.
class TBlobStream : public TStream {
public:
    TBlobStream(TBlobField* Field, std::vector<uint8_t> Initial) : FField(Field), FData(std::move(Initial)) {}
    ~TBlobStream() override
    {
        if (!FChanged || !FField)
            return;
        try {
            FField->AnnounceChange();
        } catch (const std::exception& E) {
            ShowException(E); // a destructor cannot pass it on
        }
    }
    int64_t Read(void* Buffer, int64_t Count) override { return FData.Read(Buffer, Count); }
    int64_t Write(const void* Buffer, int64_t Count) override
    {
        const int64_t N = FData.Write(Buffer, Count);
        Store();
        return N;
    }
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override { return FData.Seek(Offset, Origin); }
    int64_t Size() override { return FData.Size(); }
    void SetSize(int64_t NewSize) override
    {
        FData.SetSize(NewSize);
        Store();
    }

private:
    void Store()
    {
        if (!FField)
            throw EDatabaseError("The blob field of this stream no longer exists");
        const auto& B = FData.Bytes();
        FField->StoreBytes(String(B.begin(), B.end()));
        FChanged = true;
    }
    QPointer<TBlobField> FField;
    TMemoryStream FData;
    bool FChanged = false;
};

std::vector<uint8_t> TBlobField::AsBytes() const
{
    const TVariant* S = Slot();
    if (!S || S->IsNull())
        return {};
    const String V = S->AsString();
    return std::vector<uint8_t>(V.begin(), V.end());
}

void TBlobField::SetAsBytes(const std::vector<uint8_t>& Value)
{
    SetValue(TVariant(String(Value.begin(), Value.end())));
}

void TBlobField::LoadFromStream(TStream& Stream)
{
    TMemoryStream M;
    M.CopyFrom(Stream, 0);
    SetAsBytes(M.Bytes());
}

void TBlobField::SaveToStream(TStream& Stream) const
{
    const TVariant* S = Slot();
    if (!S || S->IsNull())
        return;
    const String V = S->AsString();
    Stream.WriteBuffer(V.data(), static_cast<int64_t>(V.size()));
}

void TBlobField::LoadFromFile(const String& FileName)
{
    TFileStream F(FileName, fmOpenRead);
    LoadFromStream(F);
}

void TBlobField::SaveToFile(const String& FileName) const
{
    TFileStream F(FileName, fmCreate);
    SaveToStream(F);
}

void TBlobField::StoreBytes(String Bytes)
{
    // The same checks as any write, without the change notifications.
    TDataSet* DS = DataSet();
    if (!DS)
        throw EDatabaseError("Field " + Quoted(DisplayName()) + " has no dataset");
    if (DS->State() != dsEdit && DS->State() != dsInsert)
        DatabaseError("Dataset not in edit or insert mode", DS);
    if (FieldKind() != fkData || ReadOnly())
        throw EDatabaseError("Field " + Quoted(DisplayName()) + " cannot be modified");
    auto* S = const_cast<TVariant*>(Slot());
    if (!S)
        throw EDatabaseError("Field " + Quoted(DisplayName()) + " is not bound to its dataset");
    *S = TVariant(std::move(Bytes));
    DS->FModified = true;
}

void TBlobField::AnnounceChange()
{
    if (TDataSet* DS = DataSet(); DS && (DS->State() == dsEdit || DS->State() == dsInsert)) {
        DS->DataEvent(deFieldChange, reinterpret_cast<intptr_t>(this));
        if (OnChange)
            OnChange(this);
    }
}

std::unique_ptr<TStream> TBlobField::CreateBlobStream(TBlobStreamMode Mode)
{
    if (Mode == bmRead)
        return std::make_unique<TMemoryStream>(AsBytes());
    std::vector<uint8_t> Initial = Mode == bmReadWrite ? AsBytes() : std::vector<uint8_t>();
    StoreBytes(String(Initial.begin(), Initial.end())); // checks that the field can be written now
    return std::make_unique<TBlobStream>(this, std::move(Initial));
}

String TBlobField::GetText(bool) const
{
    const char* Name = DataType() == ftMemo ? "Memo" : DataType() == ftGraphic ? "Graphic" : "Blob";
    return IsNull() ? "(" + String(Name) + ")" : "(" + UpperCase(Name) + ")";
}

String TMemoField::GetText(bool Display) const
{
    return Display ? TBlobField::GetText(true) : AsString();
}
