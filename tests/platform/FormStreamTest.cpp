#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "FormFixtures.h"

// The form unit's file lookup and form creation (its header also registers
// an event type that the fixtures register under their own name).
void AddFormDirectory(const String& Directory);
TComponent* CreateFormInstance(const TMetaClass* Class, TComponent* Owner);

namespace {

class FormStreamTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterFixtureClasses();
        Live = TLiveCount::Value();
    }
    void TearDown() override { EXPECT_EQ(TLiveCount::Value(), Live) << "components left behind"; }
    int Live = 0;
};

const char* const SampleForm = R"(object Form1: TFixtureForm
  Count = 7
  Caption = 'It''s a '#13#10'form' +
    ' with more'
  Shape = skStar
  Styles = [stBold, stUnderline]
  Shade = shLight
  Font.Height = -14
  Font.Style = [stItalic]
  Items = <
    item
      Caption = 'First'
    end
    item
      Caption = 'Second'
      Width = 80
    end>
  OnChange = ThingChange
  OnAllow = ThingAllow
  Buddy = Thing2
  object Thing1: TFixtureComponent
    Big = -5000000000
    Ratio = 0.125
    Title = 'Title'
    Active = True
    Buddy = Form1
    OnChange = ThingChange
    BlobData = {
      00FF10
      20}
    NumberList = (
      1
      -2
      $10)
  end
  object Thing2: TFixtureComponent
    Tag = 12
    Visible = False
  end
end
)";

} // namespace

TEST_F(FormStreamTest, ReadsEveryKindOfValue)
{
    auto* Form = dynamic_cast<TFixtureForm*>(ReadComponentFromText(SampleForm, nullptr));
    ASSERT_NE(Form, nullptr);
    std::unique_ptr<TFixtureForm> Holder(Form);
    EXPECT_EQ(Form->Name(), "Form1");
    EXPECT_EQ(Form->Count(), 7);
    EXPECT_EQ(Form->Caption(), "It's a \r\nform with more");
    EXPECT_EQ(Form->Shape(), skStar);
    EXPECT_EQ(Form->Styles(), stBold | stUnderline);
    EXPECT_EQ(Form->Shade(), shLight);
    EXPECT_EQ(Form->Font()->Height(), -14);
    EXPECT_EQ(Form->Font()->Style(), stItalic);
    ASSERT_EQ(Form->Items()->Count(), 2);
    EXPECT_EQ(ItemAs<TFixtureItem>(Form->Items(), 0)->Caption(), "First");
    EXPECT_EQ(ItemAs<TFixtureItem>(Form->Items(), 0)->Width(), 50);
    EXPECT_EQ(ItemAs<TFixtureItem>(Form->Items(), 1)->Width(), 80);

    auto* Thing1 = dynamic_cast<TFixtureComponent*>(Form->FindComponent("Thing1"));
    auto* Thing2 = dynamic_cast<TFixtureComponent*>(Form->FindComponent("Thing2"));
    ASSERT_TRUE(Thing1 && Thing2);
    EXPECT_EQ(Thing1->Owner(), Form);
    EXPECT_EQ(Thing1->Big(), -5000000000LL);
    EXPECT_EQ(Thing1->Ratio(), 0.125);
    EXPECT_EQ(Thing1->Title(), "Title");
    EXPECT_TRUE(Thing1->Active());
    EXPECT_EQ(Thing1->Blob, (std::vector<uint8_t>{0x00, 0xFF, 0x10, 0x20}));
    EXPECT_EQ(Thing1->Numbers, (std::vector<int>{1, -2, 16}));
    EXPECT_EQ(Thing2->Tag(), 12);
    EXPECT_FALSE(Thing2->Visible());

    // References are resolved once everything exists, also forward ones, and
    // before Loaded, which every component gets exactly once.
    EXPECT_EQ(Form->Buddy(), Thing2);
    EXPECT_EQ(Thing1->Buddy(), Form);
    for (TFixtureComponent* C : {static_cast<TFixtureComponent*>(Form), Thing1, Thing2}) {
        EXPECT_EQ(C->LoadedCalls, 1);
        EXPECT_FALSE(C->IsLoading());
        EXPECT_FALSE(C->ComponentState().testFlag(csReading));
    }
    EXPECT_TRUE(Form->BuddyKnownAtLoaded);

    // Events call the form's methods by name, with reference arguments.
    Thing1->OnChange(Thing1);
    Form->OnChange(Form);
    bool Allow = true;
    Form->OnAllow(Form, Allow);
    EXPECT_FALSE(Allow);
    EXPECT_EQ(Form->Calls, (std::vector<String>{"change Thing1", "change Form1", "allow"}));
}

TEST_F(FormStreamTest, WritingWhatWasReadGivesTheSameForm)
{
    std::unique_ptr<TComponent> First(ReadComponentFromText(SampleForm, nullptr));
    const String Text = ComponentToText(First.get());
    std::unique_ptr<TComponent> Second(ReadComponentFromText(Text, nullptr));
    EXPECT_EQ(ComponentToText(Second.get()), Text);

    // Values equal to those of a new instance are not written.
    EXPECT_EQ(Text.find("Width = 50"), String::npos) << Text;
    EXPECT_EQ(Text.find("Ratio = 1.5"), String::npos) << Text;
    EXPECT_EQ(Text.find("Font.Name"), String::npos) << Text;
    EXPECT_NE(Text.find("Width = 80"), String::npos) << Text;
    EXPECT_NE(Text.find("Font.Height = -14"), String::npos) << Text;
    EXPECT_NE(Text.find("OnAllow = ThingAllow"), String::npos) << Text;
    EXPECT_NE(Text.find("Buddy = Thing2"), String::npos) << Text;
    EXPECT_NE(Text.find("Tag = 12"), String::npos) << Text;
    EXPECT_NE(Text.find("Shade = shLight"), String::npos) << Text;
    // Unnamed values of an ident integer type are written as numbers.
    auto* Thing2 = dynamic_cast<TFixtureComponent*>(Second->FindComponent("Thing2"));
    Thing2->SetShade(TShade(0x123456));
    std::unique_ptr<TComponent> Third(ReadComponentFromText(ComponentToText(Second.get()), nullptr));
    EXPECT_EQ(dynamic_cast<TFixtureComponent*>(Third->FindComponent("Thing2"))->Shade(), TShade(0x123456));
}

TEST_F(FormStreamTest, ControlsNestByParentAndKeepTheirOrder)
{
    const char* Text = R"(object Window1: TFixtureWindow
  object Thing: TFixtureComponent
  end
  object Panel1: TFixtureControl
    Left = 10
    object Button1: TFixtureControl
      Left = 3
      Flat = True
    end
    object Button2: TFixtureControl
      Left = 40
    end
  end
end
)";
    std::unique_ptr<TComponent> Root(ReadComponentFromText(Text, nullptr));
    auto* Window = dynamic_cast<TFixtureWindow*>(Root.get());
    ASSERT_NE(Window, nullptr);
    auto* Panel = dynamic_cast<TFixtureControl*>(Window->FindComponent("Panel1"));
    auto* Button1 = dynamic_cast<TFixtureControl*>(Window->FindComponent("Button1"));
    ASSERT_TRUE(Panel && Button1);
    EXPECT_EQ(Button1->parentWidget(), Panel);
    EXPECT_EQ(Panel->parentWidget(), Window);
    EXPECT_EQ(Button1->Owner(), Window);
    EXPECT_EQ(Button1->Left(), 3);
    EXPECT_TRUE(Button1->Flat());
    EXPECT_EQ(ComponentToText(Window), Text);
}

TEST_F(FormStreamTest, ReadsIntoAnExistingRootOfTheStoredClass)
{
    TFixtureForm Form;
    ReadComponentFromText("object Main: TFixtureForm\n  Count = 3\nend\n", &Form);
    EXPECT_EQ(Form.Name(), "Main");
    EXPECT_EQ(Form.Count(), 3);
    EXPECT_EQ(Form.LoadedCalls, 1);
    // A form of a base class can be read into a derived root, not the reverse.
    TFixtureForm Derived;
    ReadComponentFromText("object Main: TFixtureComponent\n  Count = 4\nend\n", &Derived);
    EXPECT_EQ(Derived.Count(), 4);
    TFixtureComponent Base;
    EXPECT_THROW(ReadComponentFromText("object Main: TFixtureForm\nend\n", &Base), EReadError);
}

TEST_F(FormStreamTest, LargeBinaryDataCanLiveInAFileBesideTheForm)
{
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    const String FormFile = FromQString(Dir.filePath("Main.nvf"));
    {
        TFixtureForm Form;
        Form.SetName("Main");
        Form.Blob.assign(1000, 0xAB);
        Form.Numbers = {5};
        TFormWriteOptions Options;
        Options.ExternalBinaryThreshold = 100;
        WriteComponentToFile(FormFile, &Form, Options);
    }
    TMemoryStream Saved;
    Saved.LoadFromFile(FormFile);
    String Text(reinterpret_cast<const char*>(Saved.Memory()), static_cast<size_t>(Saved.Size()));
    EXPECT_NE(Text.find("BlobData = {file 'Main.1.bin'}"), String::npos) << Text;
    EXPECT_TRUE(QFile::exists(Dir.filePath("Main.1.bin")));

    std::unique_ptr<TComponent> Back(ReadComponentFromFile(FormFile, nullptr));
    auto* Form = dynamic_cast<TFixtureForm*>(Back.get());
    ASSERT_NE(Form, nullptr);
    EXPECT_EQ(Form->Blob, std::vector<uint8_t>(1000, 0xAB));
    EXPECT_EQ(Form->Numbers, std::vector<int>{5});
}

// Each bad form raises an error that says where, and leaves nothing behind.
TEST_F(FormStreamTest, BadFormsRaiseErrorsThatNameFileLineComponentAndProperty)
{
    struct Case {
        const char* Text;
        std::vector<const char*> Expected; // parts of the message
        bool ClassNotFound = false;
    } Cases[] = {
        {"object F: TFixtureForm\n  object X: TNoSuchThing\n  end\nend\n",
         {"bad.nvf(2)", "X", "Class TNoSuchThing not found"}, true},
        {"object F: TFixtureForm\n  object T: TFixtureComponent\n    Colour = 3\n  end\nend\n",
         {"bad.nvf(3)", "T.Colour", "Property Colour does not exist"}},
        {"object F: TFixtureForm\n  Count = 'seven'\nend\n", {"bad.nvf(2)", "F.Count", "integer expected"}},
        {"object F: TFixtureForm\n  Count = 99999999999\nend\n", {"bad.nvf(2)", "F.Count", "out of range"}},
        {"object F: TFixtureForm\n  Shape = skHexagon\nend\n", {"bad.nvf(2)", "F.Shape", "skHexagon"}},
        {"object F: TFixtureForm\n  Styles = [stBold, stWide]\nend\n", {"bad.nvf(2)", "F.Styles", "stWide"}},
        {"object F: TFixtureForm\n  Shade = shMedium\nend\n", {"bad.nvf(2)", "F.Shade"}},
        {"object F: TFixtureForm\n  Active = Yes\nend\n", {"bad.nvf(2)", "F.Active", "True or False"}},
        {"object F: TFixtureForm\n  Font.Size = 3\nend\n", {"bad.nvf(2)", "F.Font.Size"}},
        {"object F: TFixtureForm\n  Caption.Size = 3\nend\n", {"bad.nvf(2)", "F.Caption.Size"}},
        {"object F: TFixtureForm\n  Items = <\n    item\n      Colour = 1\n    end>\nend\n",
         {"bad.nvf(4)", "F.Items[0].Colour", "does not exist"}},
        {"object F: TFixtureForm\n  object T: TFixtureComponent\n    OnChange = Missing\n  end\nend\n",
         {"bad.nvf(3)", "T.OnChange", "Method Missing not found"}},
        {"object F: TFixtureForm\n  OnChange = WrongShape\nend\n", {"bad.nvf(2)", "F.OnChange", "does not match"}},
        {"object F: TFixtureForm\n  OnChange = ThingAllow\nend\n", {"bad.nvf(2)", "F.OnChange", "does not match"}},
        {"object F: TFixtureForm\n  object T: TFixtureComponent\n    Buddy = Nobody\n  end\nend\n",
         {"bad.nvf(3)", "T.Buddy", "Nobody not found"}},
        {"object F: TFixtureForm\n  object T: TFixtureComponent\n  end\n  object T: TFixtureComponent\n  end\nend\n",
         {"bad.nvf(4)", "T.Name", "already exists"}},
        {"object F: TFixtureForm\n  object T: TFixtureComponent\n    Count = 1\n", {"bad.nvf(4)", "end of file"}},
        {"object F: TFixtureForm\n  Caption = 'open\nend\n", {"bad.nvf(2)", "Unterminated string"}},
        {"object F: TFixtureForm\n  BlobData = {00F}\nend\n", {"bad.nvf(2)", "odd number"}},
        {"object F: TFixtureForm\n  BlobData = {00FG}\nend\n", {"bad.nvf(2)", "Invalid binary data"}},
        {"object F: TFixtureForm\n  BlobData = {file '../secret'}\nend\n",
         {"bad.nvf(2)", "F.BlobData", "Invalid binary data file name"}},
        {"object F: TFixtureForm\n  BlobData = {file 'missing.bin'}\nend\n",
         {"bad.nvf(2)", "F.BlobData", "missing.bin"}},
        {"object F: TFixtureForm\n  NumberList = (1 'two')\nend\n", {"bad.nvf(2)", "F.NumberList", "integer expected"}},
        {"object F: TFixtureForm\n  BlobData = 'text'\nend\n", {"bad.nvf(2)", "F.BlobData", "binary data expected"}},
        {"object F: TFixtureForm\n  Caption = #300\nend\n", {"bad.nvf(2)", "8-bit"}},
        {"object F: TFixtureForm\nend\nobject G: TFixtureForm\nend\n", {"bad.nvf(3)", "after the end"}},
        {"object F: TFixtureItem\nend\n", {"bad.nvf(1)", "not a component class"}},
        {"", {"bad.nvf(1)", "'object' expected"}},
    };
    for (const Case& K : Cases) {
        const int Before = TLiveCount::Value();
        TFormReadOptions Options;
        Options.FileName = "bad.nvf";
        Options.BaseDir = "/nonexistent-dir";
        String Message;
        bool RightClass = false;
        try {
            delete ReadComponentFromText(K.Text, nullptr, nullptr, Options);
        } catch (const EClassNotFound& E) {
            Message = E.Message();
            RightClass = K.ClassNotFound;
        } catch (const EReadError& E) {
            Message = E.Message();
            RightClass = !K.ClassNotFound;
        }
        EXPECT_TRUE(RightClass) << K.Text << "\n-> " << Message;
        for (const char* Part : K.Expected)
            EXPECT_NE(Message.find(Part), String::npos) << K.Text << "\n-> " << Message << "\nmissing: " << Part;
        EXPECT_EQ(TLiveCount::Value(), Before) << K.Text;
    }
}

TEST_F(FormStreamTest, DeepNestingIsAnErrorNotACrash)
{
    String Deep = "object F: TFixtureForm\n  NumberList = ";
    Deep += String(100000, '(');
    EXPECT_THROW(ReadComponentFromText(Deep, nullptr), EReadError);
    String DeepObjects;
    for (int I = 0; I < 5000; ++I)
        DeepObjects += "object F" + std::to_string(I) + ": TFixtureWindow\n";
    EXPECT_THROW(ReadComponentFromText(DeepObjects, nullptr), EReadError);
}

TEST_F(FormStreamTest, AFailedReadIntoAnExistingRootRemovesWhatItCreated)
{
    TFixtureForm Form;
    const int Before = TLiveCount::Value();
    EXPECT_THROW(ReadComponentFromText("object F: TFixtureForm\n  object A: TFixtureComponent\n  end\n"
                                       "  object B: TFixtureComponent\n    Buddy = Nobody\n  end\nend\n",
                                       &Form),
                 EReadError);
    EXPECT_EQ(Form.ComponentCount(), 0);
    EXPECT_EQ(TLiveCount::Value(), Before);
    EXPECT_FALSE(Form.IsLoading());
}

TEST_F(FormStreamTest, LoadedIsOnlyForASuccessfulRead)
{
    // The second component is in error: a bad value, or a reference that
    // never resolves. The partly read components go, the error comes out,
    // and no Loaded runs (a form's Loaded would use components now gone).
    const String Good = "object F: TFixtureLoadForm\n  object A: TFixtureComponent\n    Caption = 'one'\n  end\n"
                        "  object B: TFixtureComponent\n    Caption = 'two'\n  end\nend\n";
    const String Bad[] = {
        "object F: TFixtureLoadForm\n  object A: TFixtureComponent\n    Caption = 'one'\n  end\n"
        "  object B: TFixtureComponent\n    Count = 'many'\n  end\nend\n",
        "object F: TFixtureLoadForm\n  object A: TFixtureComponent\n    Caption = 'one'\n  end\n"
        "  object B: TFixtureComponent\n    Buddy = Nobody\n  end\nend\n",
    };
    for (const String& Text : Bad) {
        SCOPED_TRACE(Text);
        // Read into a root that exists.
        {
            TFixtureLoadForm Form;
            const int Live = TLiveCount::Value();
            const int Total = TFixtureLoadForm::LoadedTotal();
            EXPECT_THROW(ReadComponentFromText(Text, &Form), EReadError);
            EXPECT_EQ(Form.LoadedCalls, 0);
            EXPECT_EQ(TFixtureLoadForm::LoadedTotal(), Total);
            EXPECT_EQ(Form.ComponentCount(), 0);
            EXPECT_EQ(TLiveCount::Value(), Live);
            EXPECT_FALSE(Form.IsLoading());
            EXPECT_FALSE(Form.ComponentState().testFlag(csReading));
            // The same root reads a sound form afterwards, with one Loaded.
            ReadComponentFromText(Good, &Form);
            EXPECT_EQ(Form.LoadedCalls, 1);
            EXPECT_EQ(Form.CaptionsAtLoaded, (std::vector<String>{"one", "two"}));
        }
        // Read by the root's own reader, the root made from its class.
        {
            const int Live = TLiveCount::Value();
            const int Total = TFixtureLoadForm::LoadedTotal();
            EXPECT_THROW(delete ReadComponentFromText(Text, nullptr), EReadError);
            EXPECT_EQ(TFixtureLoadForm::LoadedTotal(), Total);
            EXPECT_EQ(TLiveCount::Value(), Live);
        }
    }
}

TEST_F(FormStreamTest, AFormWhoseFileFailsIsNotLoaded)
{
    // A form made from its class and its form file: a failing file leaves
    // no form, no component and no Loaded behind.
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    AddFormDirectory(FromQString(Dir.path()));
    const auto WriteFormFile = [&](const char* Text) {
        QFile File(Dir.filePath("TFixtureLoadForm.nvf"));
        ASSERT_TRUE(File.open(QIODevice::WriteOnly | QIODevice::Truncate));
        File.write(Text);
    };
    WriteFormFile("object LoadForm: TFixtureLoadForm\n  object A: TFixtureComponent\n    Caption = 'one'\n  end\n"
                  "  object B: TFixtureComponent\n    Count = 'many'\n  end\nend\n");
    const int Live = TLiveCount::Value();
    const int Total = TFixtureLoadForm::LoadedTotal();
    EXPECT_THROW(delete CreateFormInstance(ClassOf<TFixtureLoadForm>(), nullptr), EReadError);
    EXPECT_EQ(TFixtureLoadForm::LoadedTotal(), Total);
    EXPECT_EQ(TLiveCount::Value(), Live);

    WriteFormFile("object LoadForm: TFixtureLoadForm\n  object A: TFixtureComponent\n    Caption = 'one'\n  end\nend\n");
    std::unique_ptr<TComponent> Made(CreateFormInstance(ClassOf<TFixtureLoadForm>(), nullptr));
    auto* Form = dynamic_cast<TFixtureLoadForm*>(Made.get());
    ASSERT_NE(Form, nullptr);
    EXPECT_EQ(Form->LoadedCalls, 1);
    EXPECT_EQ(Form->CaptionsAtLoaded, (std::vector<String>{"one"}));
}
