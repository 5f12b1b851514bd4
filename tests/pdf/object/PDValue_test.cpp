#include "pdf/object/PDValue.h"

#include <gtest/gtest.h>

#include "pdf/object/PDDict.h"
#include "pdf/writer/PDFile.h"
#include "pdf/object/PDObject.h"

using namespace folian;

namespace {
std::vector<std::string> OrderedKeys(const PDDict& dict) {
  std::vector<std::string> keys;
  PDValue* value = nullptr;
  int32_t key = 0;
  for (int32_t i = 0; dict.EntryAt(i, value, key); ++i) keys.push_back(dict.KeyAt(key));
  return keys;
}
}  // namespace

TEST(PDDict, freshDictionaryHasNoEntriesButKnowsTheWellKnownKeys) {
  PDDict dict;
  EXPECT_EQ(dict.EntryCount(), 0);
  EXPECT_EQ(dict.KeyIndex("/Type"), 5);
  EXPECT_EQ(dict.KeyIndex("/Length"), 0);
  EXPECT_EQ(dict.KeyIndex("/ProcSet"), 16);
  EXPECT_EQ(dict.KeyIndex("/Title"), 17);
  EXPECT_EQ(dict.FindKey("/type"), -1) << "keys compare case-sensitively";
  EXPECT_EQ(dict.Find("/Subject"), nullptr);
  EXPECT_EQ(dict.FindKey("/Subject"), -1) << "find never adds a key";
}

TEST(PDDict, storingAKeyTwiceKeepsItsPlaceAndReplacesTheValue) {
  PDDict dict;
  dict.SaveAttrVal(kKeyType, PDValue::MakeText("/Page"));
  dict.SaveAttrVal("/Rotate", PDValue::MakeInt(90));
  dict.SaveAttrVal(kKeyType, PDValue::MakeText("/Pages"));
  EXPECT_EQ(OrderedKeys(dict), (std::vector<std::string>{"/Type", "/Rotate"}));
  EXPECT_TRUE(dict.Get(kKeyType)->IsText("/Pages"));
}

TEST(PDDict, removedEntryStoredAgainMovesToTheEnd) {
  PDDict dict;
  dict.SaveAttrVal("/A", PDValue::MakeInt(1));
  dict.SaveAttrVal("/B", PDValue::MakeInt(2));
  dict.SaveAttrVal("/C", PDValue::MakeInt(3));
  dict.Remove(dict.FindKey("/A"));
  EXPECT_EQ(OrderedKeys(dict), (std::vector<std::string>{"/B", "/C"}));
  dict.SaveAttrVal("/A", PDValue::MakeInt(4));
  EXPECT_EQ(OrderedKeys(dict), (std::vector<std::string>{"/B", "/C", "/A"}));
  dict.Remove(dict.FindKey("/Missing"));  // a no-op, not a crash
  EXPECT_EQ(dict.EntryCount(), 3);
}

TEST(PDDict, outOfRangeIndexStoresNothing) {
  PDDict dict;
  testing::internal::CaptureStderr();
  dict.SaveAttrVal(500, PDValue::MakeInt(1));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "SaveAttrVal: internal error\n");
  EXPECT_EQ(dict.EntryCount(), 0);
}

TEST(PDDict, tableGrowsPastItsFirstCapacity) {
  PDDict dict;
  for (int i = 0; i < 100; ++i) dict.SaveAttrVal(("/K" + std::to_string(i)).c_str(), PDValue::MakeInt(i));
  EXPECT_EQ(dict.EntryCount(), 100);
  EXPECT_EQ(dict.Find("/K77")->Number(), 77);
}

TEST(PDDict, moveEntryReplacesTheTargetValueUnderTheSameName) {
  PDDict source, target;
  source.SaveAttrVal("/Resources", PDValue::MakeRef(12));
  target.SaveAttrVal("/X", PDValue::MakeInt(0));
  target.SaveAttrVal("/Resources", PDValue::MakeInt(1));
  source.MoveEntry("/Resources", target);
  EXPECT_EQ(source.Find("/Resources"), nullptr);
  EXPECT_EQ(target.Find("/Resources")->Kind(), PDKind::Reference);
  EXPECT_EQ(OrderedKeys(target), (std::vector<std::string>{"/X", "/Resources"}));
}

TEST(PDValue, copyOfNestedArrayIsIndependentWithRightCounts) {
  auto inner = PDValue::MakeArray();
  inner->AppendEl(PDValue::MakeInt(1));
  inner->AppendEl(PDValue::MakeInt(2));
  auto outer = PDValue::MakeArray();
  outer->AppendEl(std::move(inner));
  outer->AppendEl(PDValue::MakeInt(3));

  auto copy = outer->Copy();
  outer->GetFirstEl()->GetFirstEl()->SetNumber(99);
  ASSERT_EQ(copy->Number(), 2);
  PDValue* first = copy->GetFirstEl();
  EXPECT_EQ(first->Number(), 2);
  EXPECT_EQ(first->GetFirstEl()->Number(), 1);
  EXPECT_EQ(first->GetFirstEl()->Next()->Number(), 2);
  EXPECT_EQ(first->Next()->Number(), 3);
  EXPECT_EQ(first->Next()->Next(), nullptr);
  EXPECT_EQ(PDValue::Copy(nullptr), nullptr);
}

TEST(PDValue, copyKeepsDictionaryOrderAndDropsStreamBytes) {
  auto dict = PDValue::MakeDict();
  dict->Dict()->SaveAttrVal("/Z", PDValue::MakeInt(1));
  dict->Dict()->SaveAttrVal(kKeyType, PDValue::MakeText("/XObject"));
  EXPECT_TRUE(dict->AssignStream("abc", 3, nullptr));
  auto copy = dict->Copy();
  EXPECT_EQ(OrderedKeys(*copy->Dict()), (std::vector<std::string>{"/Z", "/Type", "/Length"}));
  EXPECT_FALSE(copy->HasStream());
}

TEST(PDValue, appendingCountsElementsAndLongChainsFreeWithoutRecursion) {
  auto array = PDValue::MakeArray();
  for (int i = 0; i < 3; ++i) array->AppendEl(PDValue::MakeInt(i));
  EXPECT_EQ(array->Number(), 3);
  EXPECT_EQ(array->ElementAt(2)->Number(), 2);
  EXPECT_EQ(array->ElementAt(3), nullptr);
  for (int i = 0; i < 1000000; ++i) array->AppendEl(PDValue::MakeInt(i));
  EXPECT_EQ(array->Number(), 1000003);
}

TEST(PDValue, elementOperationsOnNonArraysAreRefused) {
  auto integer = PDValue::MakeInt(4);
  testing::internal::CaptureStderr();
  EXPECT_EQ(integer->GetFirstEl(), nullptr);
  integer->AppendEl(PDValue::MakeInt(1));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "assertion failed in PDValue::GetFirstEl\nelement assignment to non-array\n");
  EXPECT_EQ(integer->Number(), 4);
}

TEST(PDValue, assignStreamSetsLengthAndFilter) {
  auto dict = PDValue::MakeDict();
  dict->Dict()->SaveAttrVal(kKeyLength, PDValue::MakeRef(7));
  dict->Dict()->SaveAttrVal(kKeyFilter, PDValue::MakeText("/LZWDecode"));
  EXPECT_TRUE(dict->AssignStream("", 0, nullptr));
  EXPECT_EQ(dict->Dict()->Get(kKeyLength)->Kind(), PDKind::Integer);
  EXPECT_EQ(dict->Dict()->Get(kKeyLength)->Number(), 0);
  EXPECT_EQ(dict->Dict()->Get(kKeyFilter), nullptr);

  EXPECT_TRUE(dict->AssignStream("xyz", 3, "/FlateDecode"));
  EXPECT_EQ(dict->Dict()->Get(kKeyLength)->Number(), 3);
  EXPECT_TRUE(dict->Dict()->Get(kKeyFilter)->IsText("/FlateDecode"));
  EXPECT_EQ(std::string(dict->StreamBytes().begin(), dict->StreamBytes().end()), "xyz");

  auto text = PDValue::MakeText("/Name");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(text->AssignStream("a", 1, nullptr));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "PDValue::AssignStream: not a dictionary\n");
}

TEST(PDValue, renumberRefsTranslatesEveryReferenceThroughTheTable) {
  PDFile file;
  ASSERT_TRUE(file.OpenMemory());
  auto dict = PDValue::MakeDict();
  auto kids = PDValue::MakeArray();
  kids->AppendEl(PDValue::MakeRef(12));
  kids->AppendEl(PDValue::MakeRef(5));
  dict->Dict()->SaveAttrVal(kKeyKids, std::move(kids));
  dict->Dict()->SaveAttrVal(kKeyParent, PDValue::MakeRef(12));
  dict->RenumberRefs([&file](int32_t number) { return file.RefNum(number, 0); });
  PDValue* list = dict->Dict()->Get(kKeyKids);
  EXPECT_EQ(list->ElementAt(0)->Number(), 1000001);
  EXPECT_EQ(list->ElementAt(1)->Number(), 1000002);
  EXPECT_EQ(dict->Dict()->Get(kKeyParent)->Number(), 1000001) << "one source object, one output number";
}

TEST(PDObject, classComesFromType) {
  auto page = PDValue::MakeDict();
  page->Dict()->SaveAttrVal(kKeyType, PDValue::MakeText("/Page"));
  auto pages = PDValue::MakeDict();
  pages->Dict()->SaveAttrVal(kKeyType, PDValue::MakeText("/Pages"));
  auto font = PDValue::MakeDict();
  font->Dict()->SaveAttrVal(kKeyType, PDValue::MakeText("/Font"));
  EXPECT_EQ(PDObject::ClassOf(page.get()), kClassPage);
  EXPECT_EQ(PDObject::ClassOf(pages.get()), kClassPages);
  EXPECT_EQ(PDObject::ClassOf(font.get()), kClassOther);
  EXPECT_EQ(PDObject::ClassOf(PDValue::MakeInt(1).get()), kClassOther);
}

TEST(PDDict, wellKnownKeysKeepTheirIndexesAndLookalikesGetTheirOwn) {
  PDDict dict;
  for (int32_t i = 0; i < kWellKnownKeyCount; ++i) {
    EXPECT_EQ(dict.FindKey(WellKnownKeys[i]), i) << WellKnownKeys[i];
    EXPECT_STREQ(dict.KeyAt(i), WellKnownKeys[i].data());
  }
  // Keys that share a first letter or a length with a well-known one, and keys
  // without the slash, are keys of this dictionary; more than eight of them get
  // a hash index, which must find the earlier ones too.
  const char* lookalikes[] = {"/Lengths", "/Lengt", "/P", "/Page", "/Parents", "/Typ", "Type", "/type",
                              "/Fonts", "/Contents2", "/", "/X", "/Count "};
  std::vector<int32_t> indexes;
  for (const char* key : lookalikes) {
    int32_t index = dict.KeyIndex(key);
    EXPECT_GE(index, kWellKnownKeyCount) << key;
    dict.SaveAttrVal(index, PDValue::MakeInt(index));
    indexes.push_back(index);
  }
  for (size_t i = 0; i < std::size(lookalikes); ++i) {
    EXPECT_EQ(dict.FindKey(lookalikes[i]), indexes[i]) << lookalikes[i];
    EXPECT_STREQ(dict.KeyAt(indexes[i]), lookalikes[i]);
    EXPECT_EQ(dict.Find(lookalikes[i])->Number(), indexes[i]);
  }
  EXPECT_EQ(dict.KeyCount(), kWellKnownKeyCount + static_cast<int32_t>(std::size(lookalikes)));
  EXPECT_EQ(dict.Get(dict.KeyCount()), nullptr);
  EXPECT_EQ(dict.Get(-1), nullptr);
  EXPECT_EQ(dict.Take(kKeyType), nullptr) << "an empty well-known slot";
}
