#include <gtest/gtest.h>

#include "FormFixtures.h"

class TypInfoTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterFixtureClasses(); }
};

TEST_F(TypInfoTest, KindsOfPublishedProperties)
{
    TFixtureComponent C;
    struct Case {
        const char* Name;
        TPropKind Kind;
    } Cases[] = {
        {"Count", TPropKind::Integer},   {"Big", TPropKind::Int64},         {"Active", TPropKind::Boolean},
        {"Ratio", TPropKind::Float},     {"Caption", TPropKind::String},    {"Title", TPropKind::String},
        {"Shape", TPropKind::Enumeration}, {"Styles", TPropKind::Set},      {"Shade", TPropKind::IdentInteger},
        {"Font", TPropKind::Class},      {"Items", TPropKind::Class},       {"Buddy", TPropKind::Class},
        {"OnChange", TPropKind::Method}, {"OnAllow", TPropKind::Method},
    };
    for (const Case& K : Cases)
        EXPECT_EQ(PropKind(FindPublishedProperty(&C, K.Name)), K.Kind) << K.Name;
    // Names compare without regard to case; Qt's own properties are not published.
    EXPECT_TRUE(IsPublishedProp(&C, "caption"));
    EXPECT_FALSE(IsPublishedProp(&C, "objectName"));
    TFixtureControl W;
    EXPECT_TRUE(IsPublishedProp(&W, "Left"));
    EXPECT_FALSE(IsPublishedProp(&W, "geometry"));
    EXPECT_FALSE(IsPublishedProp(&W, "enabled"));
}

TEST_F(TypInfoTest, ReadAndWriteByName)
{
    TFixtureComponent C;
    SetOrdProp(&C, "Count", 42);
    EXPECT_EQ(C.Count(), 42);
    EXPECT_EQ(GetOrdProp(&C, "count"), 42);
    SetOrdProp(&C, "Active", 1);
    EXPECT_TRUE(C.Active());
    EXPECT_EQ(GetOrdProp(&C, "Shape"), 1); // skSquare
    SetEnumProp(&C, "Shape", "skStar");
    EXPECT_EQ(C.Shape(), skStar);
    EXPECT_EQ(GetEnumProp(&C, "Shape"), "skStar");
    EXPECT_EQ(GetEnumProp(&C, "Visible"), "True");
    EXPECT_THROW(SetEnumProp(&C, "Shape", "skHexagon"), EConvertError);

    SetSetProp(&C, "Styles", "[stItalic, stUnderline]");
    EXPECT_EQ(C.Styles(), stItalic | stUnderline);
    EXPECT_EQ(GetSetProp(&C, "Styles"), "stItalic,stUnderline");
    EXPECT_EQ(GetSetProp(&C, "Styles", true), "[stItalic,stUnderline]");
    SetSetProp(&C, "Styles", "");
    EXPECT_EQ(C.Styles(), TStyles());
    EXPECT_THROW(SetSetProp(&C, "Styles", "[stBold, stWide]"), EConvertError);

    SetOrdProp(&C, "Shade", shLight);
    EXPECT_EQ(C.Shade(), shLight);
    EXPECT_EQ(GetOrdProp(&C, "Shade"), shLight);

    SetStrProp(&C, "Caption", "caf\xE9");
    EXPECT_EQ(C.Caption(), "caf\xE9");
    SetStrProp(&C, "Title", "caf\xE9");
    EXPECT_EQ(C.Title(), QString::fromLatin1("caf\xE9"));
    EXPECT_EQ(GetStrProp(&C, "Title"), "caf\xE9");
    SetFloatProp(&C, "Ratio", 0.25);
    EXPECT_EQ(GetFloatProp(&C, "Ratio"), 0.25);

    TFixtureComponent Other;
    SetObjectProp(&C, "Buddy", &Other);
    EXPECT_EQ(C.Buddy(), &Other);
    EXPECT_EQ(GetObjectProp(&C, "Font"), C.Font());
    TFixtureFont Font;
    EXPECT_THROW(SetObjectProp(&C, "Buddy", &Font), EConvertError);
    SetObjectProp(&C, "Buddy", nullptr);
    EXPECT_EQ(C.Buddy(), nullptr);

    EXPECT_THROW(GetOrdProp(&C, "Nothing"), EPropertyError);
    EXPECT_THROW(GetOrdProp(&C, "Caption"), EConvertError);
}

TEST_F(TypInfoTest, PathsBooleansAndEnumerators)
{
    TFixtureComponent C;
    String Last;
    EXPECT_EQ(ResolvePropertyPath(&C, "Font.Height", &Last), C.Font());
    EXPECT_EQ(Last, "Height");
    EXPECT_EQ(ResolvePropertyPath(&C, "Caption", &Last), &C);
    EXPECT_EQ(ResolvePropertyPath(&C, "Caption.Length", &Last), nullptr);
    EXPECT_EQ(ResolvePropertyPath(&C, "Buddy.Caption", &Last), nullptr); // no buddy set

    EXPECT_EQ(GetBooleanPropertyNames(&C), (std::vector<String>{"Active", "Visible"}));

    QMetaEnum E = PropEnum(FindPublishedProperty(&C, "Shape"));
    EXPECT_EQ(GetEnumName(E, 2), "skStar");
    EXPECT_EQ(GetEnumName(E, 7), "");
    EXPECT_EQ(GetEnumValue(E, "SKCIRCLE"), 0);
    EXPECT_EQ(GetEnumValue(E, "skNone"), -1);
}
