#include "highscore/uTGVHighscore.h"

#include <gtest/gtest.h>

#include "archive/QDStreamCol.h"
#include "records/uStreamProcs.h"

using namespace tessum;

TEST(GVValues, StandardTextsAndIntegerView) {
    TGVValueList l;
    TGVValue& s = l.Add("s", TGVValueType::String);
    TGVValue& i = l.Add("i", TGVValueType::Integer);
    TGVValue& b = l.Add("b", TGVValueType::Boolean);
    TGVValue& y = l.Add("y", TGVValueType::Byte);
    EXPECT_EQ(s.GetText(), "");  // unset
    EXPECT_EQ(i.AsInteger(), 0);
    s.Value = std::string("x y");
    i.Value = std::int32_t{-42};
    b.Value = true;
    y.Value = std::int32_t{200};
    EXPECT_EQ(s.GetText(), "x y");
    EXPECT_EQ(i.GetText(), "-42");
    EXPECT_EQ(b.GetText(), "-1");
    EXPECT_EQ(i.AsInteger(), -42);
    // Only Integer fields answer AsInteger.
    EXPECT_EQ(y.AsInteger(), 0);
    EXPECT_EQ(&s.Owner(), &l);
}

TEST(GVValues, FindIgnoresCaseAndTakesTheFirstMatch) {
    TGVValueList l;
    TGVValue& a = l.Add("Punkte", TGVValueType::Integer);
    l.Add("PUNKTE", TGVValueType::String);
    EXPECT_EQ(l.Find("punkte"), &a);
    EXPECT_EQ(l.Find("pUnKtE"), &a);
    EXPECT_EQ(l.Find("punkt"), nullptr);
    EXPECT_EQ(l.Find(""), nullptr);
}

TEST(GVValues, AssignCopiesShapeValuesAndTextFunctionsWithNewOwner) {
    TGVValueList src;
    src.Add("n", TGVValueType::Integer, [](const TGVValue& v) {
        // Reads a sibling through the owner, as the points text does.
        return std::to_string(v.AsInteger()) + "/" + v.Owner().Find("m")->GetText();
    }).Value = std::int32_t{3};
    src.Add("m", TGVValueType::Integer).Value = std::int32_t{4};
    TGVValueList dst;
    dst.Add("old", TGVValueType::String);
    dst.Assign(src);
    ASSERT_EQ(dst.Count(), 2);
    EXPECT_EQ(dst.Items(0).GetText(), "3/4");
    dst.Find("m")->Value = std::int32_t{9};
    EXPECT_EQ(dst.Items(0).GetText(), "3/9");
    EXPECT_EQ(src.Items(0).GetText(), "3/4");
    EXPECT_EQ(&dst.Items(1).Owner(), &dst);
}

TEST(GVValues, EveryTypeRoundTripsWithItsPrimitiveAndBytesComeBackAsIntegers) {
    TGVValueList t;
    t.Add("s", TGVValueType::String);
    t.Add("i", TGVValueType::Integer);
    t.Add("y", TGVValueType::Byte);
    t.Add("b", TGVValueType::Boolean);
    t.Add("f", TGVValueType::Float);
    EXPECT_EQ(t.MinStreamSize(), 2 + 4 + 1 + 1 + 8);

    TGVValueList e;
    e.Assign(t);
    e.Items(0).Value = std::string("hi");
    e.Items(1).Value = std::int32_t{-7};
    e.Items(2).Value = std::int32_t{0x1FF};  // only the low byte is stored
    e.Items(3).Value = true;
    e.Items(4).Value = 2.5;
    TMemoryStream s;
    e.SaveToStream(s);
    EXPECT_EQ(s.Size(), 4 + 4 + 1 + 1 + 8);
    s.SetPosition(0);
    TGVValueList r;
    r.Assign(t);
    r.LoadFromStream(s);
    EXPECT_EQ(std::get<std::string>(r.Items(0).Value), "hi");
    EXPECT_EQ(std::get<std::int32_t>(r.Items(1).Value), -7);
    EXPECT_EQ(std::get<std::int32_t>(r.Items(2).Value), 0xFF);
    EXPECT_EQ(std::get<bool>(r.Items(3).Value), true);
    EXPECT_EQ(std::get<double>(r.Items(4).Value), 2.5);
}

TEST(GVValues, WritingConvertsHeldValuesToTheFieldType) {
    TGVValueList e;
    e.Add("s", TGVValueType::String).Value = std::int32_t{12};
    e.Add("i", TGVValueType::Integer).Value = std::string("34");
    e.Add("b", TGVValueType::Boolean).Value = std::int32_t{5};
    e.Add("f", TGVValueType::Float).Value = std::int32_t{-1};
    e.Add("unset", TGVValueType::Integer);
    TMemoryStream s;
    e.SaveToStream(s);
    s.SetPosition(0);
    EXPECT_EQ(ReadString(s), "12");
    EXPECT_EQ(ReadInteger(s), 34);
    EXPECT_TRUE(ReadBoolean(s));
    EXPECT_EQ(ReadDouble(s), -1.0);
    EXPECT_EQ(ReadInteger(s), 0);
    EXPECT_EQ(s.Remaining(), 0);
}

TEST(GVValues, GenericTableWithoutOrderOnlyAppendsAndHonoursItsLimit) {
    TGVValueList t;
    t.Add("k", TGVValueType::Integer);
    TCustomHighscore h("key", {}, t);
    h.MaxEntries = 2;
    TGVValueList e;
    e.Assign(t);
    e.Items(0).Value = std::int32_t{1};
    EXPECT_EQ(h.Add(e), 0);
    e.Items(0).Value = std::int32_t{2};
    EXPECT_EQ(h.Add(e), 1);
    EXPECT_EQ(h.Add(e), -1);
    EXPECT_EQ(h.Count(), 2);
    // The caller's entry is copied, not taken.
    e.Items(0).Value = std::int32_t{9};
    EXPECT_EQ(h.GetValueText("k", 1), "2");
    h.Delete(0);
    EXPECT_EQ(h.GetValueText("k", 0), "2");
    EXPECT_THROW(h.Delete(1), std::out_of_range);
    h.Clear();
    EXPECT_EQ(h.Count(), 0);
}

TEST(GVValues, InconsistentOrderingCannotRunTheSortOffTheTable) {
    TGVValueList t;
    t.Add("k", TGVValueType::Integer);
    TCustomHighscore h("key", [](const TGVValueList&, const TGVValueList&) { return -1; }, t);
    TGVValueList e;
    e.Assign(t);
    for (int i = 0; i < 30; ++i) {
        e.Items(0).Value = std::int32_t{i};
        h.Add(e);
    }
    EXPECT_EQ(h.Count(), 20);
}
