#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <random>
#include <vector>

#include "runtime/array.h"
#include "runtime/heap.h"
#include "runtime/wide_string.h"

namespace {

// Every live Tracked holds a token registered here; a destruction of an
// unknown or already destroyed token is a double free. Each also owns a heap
// block, so a leaked element shows under the leak checker too.
std::map<int, int>& Live() {
  static std::map<int, int> live;
  return live;
}
int g_nextToken = 1;
int g_doubleDestroys = 0;

struct Tracked {
  explicit Tracked(int v) : value(v), token(g_nextToken++), block(rt::malloc(8)) { Live()[token] = value; }
  Tracked(const Tracked& other) : Tracked(other.value) {}
  Tracked& operator=(const Tracked&) = delete;
  ~Tracked() {
    if (Live().erase(token) != 1) ++g_doubleDestroys;
    rt::free(block);
  }
  int value;
  int token;
  void* block;
};

}  // namespace

template <>
struct ArrayTraits<Tracked> {
  static void InitNew(Tracked* slot) { new (slot) Tracked(-1); }
  static void CopyInto(Tracked* slot, const Tracked& from) { new (slot) Tracked(from); }
  static void Destroy(Tracked* element) { element->~Tracked(); }
};

namespace {

class ArrayTest : public testing::Test {
 protected:
  void SetUp() override {
    Live().clear();
    g_doubleDestroys = 0;
  }
  void TearDown() override {
    EXPECT_TRUE(Live().empty()) << Live().size() << " elements never destroyed";
    EXPECT_EQ(g_doubleDestroys, 0);
  }
};

TEST_F(ArrayTest, GrowthSteps) {
  CArray<int*> a;
  EXPECT_EQ(a.GetCapacity(), 0u);
  int x = 0;
  a.Add(&x);
  EXPECT_EQ(a.GetCapacity(), 16u);
  for (int i = 1; i < 16; ++i) a.Add(&x);
  EXPECT_EQ(a.GetCapacity(), 16u);
  a.Add(&x);
  EXPECT_EQ(a.GetCapacity(), 32u);
  EXPECT_EQ(a.GetCount(), 17u);
  EXPECT_TRUE(a.Grow(40));  // larger than the step: grows by the request
  EXPECT_EQ(a.GetCapacity(), 72u);
  EXPECT_TRUE(a.Grow(3));  // smaller: grows by the step
  EXPECT_EQ(a.GetCapacity(), 88u);
  EXPECT_EQ(a.GetCount(), 17u);
  for (u32 i = 0; i < a.GetCount(); ++i) EXPECT_EQ(a[i], &x);

  for (u32 growth : {0u, 1u}) {
    CArray<int> one(growth);
    one.Add(1);
    EXPECT_EQ(one.GetCapacity(), 1u);
    one.Add(2);
    EXPECT_EQ(one.GetCapacity(), 2u);
  }
  CArray<int> rows(32);
  rows.Add(5);
  EXPECT_EQ(rows.GetCapacity(), 32u);
}

TEST_F(ArrayTest, FindAndRemoveOnPointers) {
  CArray<int*> a;
  int v[4] = {};
  EXPECT_EQ(a.Find(&v[0]), -1);
  a.RemoveAt(0);
  EXPECT_EQ(a.GetCount(), 0u);
  for (int& e : v) a.Add(&e);
  a.Add(&v[1]);
  EXPECT_EQ(a.Find(&v[1]), 1);
  EXPECT_EQ(a.Find(nullptr), -1);
  a.RemoveAt(a.GetCount());  // at count: nothing
  a.RemoveAt(static_cast<u32>(a.Find(nullptr)));
  EXPECT_EQ(a.GetCount(), 5u);
  a.RemoveAt(1);
  EXPECT_EQ(a.Find(&v[1]), 3);
  EXPECT_EQ(a[1], &v[2]);
}

TEST_F(ArrayTest, InsertNewClampsAndZeroFills) {
  CArray<u32> a;
  a.Add(7);
  a.Add(8);
  u32* p = a.InsertNew(100);  // past the count: appended
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(*p, 0u);
  EXPECT_EQ(p, &a[2]);
  *p = 9;
  *a.InsertNew(0) = 6;
  *a.InsertNew(0xFFFFFFFFu) = 10;
  ASSERT_EQ(a.GetCount(), 5u);
  for (u32 i = 0; i < 5; ++i) EXPECT_EQ(a[i], 6 + i);
}

TEST_F(ArrayTest, AddOfOwnElementAcrossGrowth) {
  CArray<Tracked> a;
  for (int i = 0; i < 16; ++i) a.Add(Tracked(i));
  ASSERT_EQ(a.GetCount(), a.GetCapacity());
  a.Add(a[3]);  // the source moves while the array grows
  EXPECT_EQ(a[16].value, 3);
  a.Destroy();
}

TEST_F(ArrayTest, RandomOperationsAgainstModel) {
  std::mt19937 rng(23);
  CArray<Tracked> a;
  std::vector<int> model;
  u32 capacity = 0;
  int next = 0;
  for (int step = 0; step < 5000; ++step) {
    switch (rng() % 6) {
      case 0:
      case 1: {
        Tracked t(next++);
        a.Add(t);
        model.push_back(t.value);
        break;
      }
      case 2: {
        u32 index = static_cast<u32>(rng() % (model.size() + 4));
        if (rng() % 8 == 0) index = 0xFFFFFFFFu;
        Tracked* p = a.InsertNew(index);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->value, -1);
        p->value = next;
        model.insert(model.begin() + static_cast<long>(std::min<size_t>(index, model.size())), next++);
        break;
      }
      case 3: {
        // RemoveAt does not destroy: the caller takes the element out first.
        u32 index = static_cast<u32>(rng() % (model.size() + 3));
        alignas(Tracked) unsigned char taken[sizeof(Tracked)];
        bool inRange = index < model.size();
        if (inRange) std::memcpy(taken, &a[index], sizeof(Tracked));
        a.RemoveAt(index);
        if (inRange) {
          model.erase(model.begin() + index);
          reinterpret_cast<Tracked*>(taken)->~Tracked();
        }
        break;
      }
      case 4: {
        if (rng() % 40 == 0) {
          a.Clear();
          model.clear();
        }
        break;
      }
      default: {
        if (rng() % 60 == 0) {
          a.Destroy();
          model.clear();
          capacity = 0;
        }
        break;
      }
    }
    // Capacity grows by the step of 16 exactly when the array was full.
    while (capacity < model.size()) capacity += 16;
    ASSERT_EQ(a.GetCapacity(), capacity) << "step " << step;
    ASSERT_EQ(a.GetCount(), model.size()) << "step " << step;
    for (u32 i = 0; i < model.size(); ++i) ASSERT_EQ(a[i].value, model[i]) << "step " << step;
    ASSERT_EQ(Live().size(), model.size()) << "step " << step;
  }
  a.Clear();
  EXPECT_TRUE(Live().empty());
  EXPECT_NE(a.GetCapacity(), 0u);  // storage kept
}

TEST_F(ArrayTest, NestedArraysAreDestroyedWithTheirOwner) {
  {
    CArray<CArray<Tracked>> outer;
    for (int i = 0; i < 20; ++i) {
      CArray<Tracked>* inner = outer.AppendNew();
      ASSERT_NE(inner, nullptr);
      EXPECT_EQ(inner->GetGrowth(), 16u);
      EXPECT_EQ(inner->GetCount(), 0u);
      for (int k = 0; k < i; ++k) inner->Add(Tracked(k));
    }
    CArray<Tracked>* front = outer.InsertNew(0);
    front->Add(Tracked(99));
    EXPECT_EQ(Live().size(), 191u);
    outer.Clear();
    EXPECT_TRUE(Live().empty());
    outer.AppendNew()->Add(Tracked(1));
  }  // the destructor destroys the nested array again
  EXPECT_TRUE(Live().empty());
}

TEST_F(ArrayTest, StringsAreCopiedAndFreed) {
  CArray<CWideString> a;
  CWideString s(u"name");
  for (int i = 0; i < 40; ++i) {
    a.Add(s);
    s.AppendChar(static_cast<wchar16>(u'a' + i % 26));
  }
  EXPECT_EQ(a[0].GetLength(), 4);
  EXPECT_EQ(a[39].GetLength(), 43);
  EXPECT_NE(a[0].GetBuffer(), s.GetBuffer());
  CWideString* fresh = a.AppendNew();
  EXPECT_EQ(fresh->GetBuffer(), nullptr);
  EXPECT_EQ(fresh->GetLength(), 0);
  a.Clear();  // frees every buffer (checked by the leak checker natively)
  EXPECT_EQ(a.GetCount(), 0u);
}

}  // namespace
