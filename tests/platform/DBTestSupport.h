// Helpers of the data layer tests: small tables and data links that record
// what they are told.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "DB.h"
#include "DBClient.h"

struct TTestColumn {
    const char* Name;
    TFieldType Type;
    int Size = 0;
};

// An open client dataset with these columns and rows, on its first record.
inline std::unique_ptr<TClientDataSet> MakeTable(const std::vector<TTestColumn>& Columns,
                                                 const std::vector<std::vector<TVariant>>& Rows,
                                                 const String& Name = String())
{
    auto DS = std::make_unique<TClientDataSet>();
    if (!Name.empty())
        DS->SetName(Name);
    for (const TTestColumn& C : Columns)
        DS->FieldDefs()->Add(C.Name, C.Type, C.Size);
    DS->CreateDataSet();
    for (const auto& R : Rows)
        DS->AppendRecord(R);
    DS->First();
    return DS;
}

// The values of one field for every record from the first, joined by ",";
// the cursor returns to where it was.
inline String ColumnText(TDataSet& DS, const String& Field)
{
    const TBookmark B = DS.GetBookmark();
    String S;
    DS.DisableControls();
    for (DS.First(); !DS.Eof(); DS.Next())
        S += (S.empty() ? "" : ",") + DS.FieldByName(Field)->AsString();
    if (B)
        DS.GotoBookmark(B);
    DS.EnableControls();
    return S;
}

// A data link that writes down every notification it receives.
class TRecordingLink : public TDataLink {
public:
    std::vector<String> Log;
    // Field whose values ShowWindow reads for each record of the window.
    String WindowField;
    // Whether CheckBrowseMode notifications are written down.
    bool LogChecks = true;

    String Take()
    {
        String S;
        for (const String& L : Log)
            S += (S.empty() ? "" : "; ") + L;
        Log.clear();
        return S;
    }
    // The window's records as "a,[b],c", the current one in brackets.
    String ShowWindow()
    {
        String S;
        const int Saved = ActiveRecord();
        for (int I = 0; I < RecordCount(); ++I) {
            SetActiveRecord(I);
            const String V = DataSet()->FieldByName(WindowField)->AsString();
            S += (I ? "," : "") + (I == Saved ? "[" + V + "]" : V);
        }
        SetActiveRecord(Saved);
        return S;
    }

protected:
    void ActiveChanged() override { Log.push_back(Active() ? "active" : "inactive"); }
    void DataSetChanged() override { Log.push_back("changed"); }
    void DataSetScrolled(int Distance) override { Log.push_back("scrolled " + IntToStr(Distance)); }
    void RecordChanged(TField* Field) override { Log.push_back("record " + (Field ? Field->FieldName() : "nil")); }
    void EditingChanged() override { Log.push_back(Editing() ? "editing" : "browsing"); }
    void UpdateData() override { Log.push_back("update"); }
    void CheckBrowseMode() override
    {
        if (LogChecks)
            Log.push_back("check");
    }
    void LayoutChanged() override { Log.push_back("layout"); }
};

// Expects Statement to raise an Exception (of class E) whose message is Text.
#define EXPECT_RAISES(Statement, E, Text)                                                     \
    do {                                                                                      \
        try {                                                                                 \
            Statement;                                                                        \
            ADD_FAILURE() << "no exception; expected " #E ": " << String(Text);               \
        } catch (const E& Raised) {                                                           \
            EXPECT_EQ(Raised.Message(), String(Text));                                        \
        }                                                                                     \
    } while (false)
