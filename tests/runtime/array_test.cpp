// CArray against a std::vector model with elements that track their own
// lives (no leak, no double destruction), nested arrays and strings.
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

// Every live Tracked is registered; destroying an unknown one counts as a
// double destruction. Each owns a heap block, so a leak shows natively too.
std::map<int, int> g_live;
int g_nextToken = 1;
int g_doubleDestroys = 0;

struct Tracked {
  explicit Tracked(int v) : value(v), token(g_nextToken++), block(rt::malloc(8)) { g_live[token] = value; }
  Tracked(const Tracked& other) : Tracked(other.value) {}
  Tracked& operator=(const Tracked&) = delete;
  ~Tracked() {
    if (g_live.erase(token) != 1) ++g_doubleDestroys;
    rt::free(block);
  }
  bool operator==(const Tracked& other) const { return value == other.value; }
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
  void SetUp() override { g_live.clear(), g_doubleDestroys = 0; }
  void TearDown() override {
    EXPECT_TRUE(g_live.empty()) << g_live.size() << " elements never destroyed";
    EXPECT_EQ(g_doubleDestroys, 0);
  }
};

TEST_F(ArrayTest, RandomOperationsMatchTheModel) {
  for (u32 growth : {16u, 0u, 1u, 5u}) {
    SCOPED_TRACE(growth);
    std::mt19937 rng(23 + growth);
    CArray<Tracked> a(growth);
    std::vector<int> model;
    u32 capacity = 0;
    const u32 step = growth ? growth : 1;
    int next = 0;
    for (int i = 0; i < 4000; ++i) {
      const u32 index = rng() % 8 == 0 ? 0xFFFFFFFFu : static_cast<u32>(rng() % (model.size() + 3));
      const bool inRange = index < model.size();
      switch (rng() % 9) {
        case 0:
        case 1:
          ASSERT_TRUE(a.Add(Tracked(next)));
          model.push_back(next++);
          break;
        case 2: {  // an element of its own, also while the array grows
          if (model.empty()) break;
          const u32 k = static_cast<u32>(rng() % model.size());
          const int v = model[k];
          ASSERT_TRUE(a.Add(a[k]));
          model.push_back(v);
          break;
        }
        case 3: {  // an index past the count appends
          const bool front = rng() % 4 == 0;
          Tracked* p = front ? a.InsertNewAtFront() : a.InsertNew(index);
          const size_t at = std::min<size_t>(front ? 0 : index, model.size());
          ASSERT_EQ(p, a.GetData() + at);
          ASSERT_EQ(p->value, -1);
          p->value = next;
          model.insert(model.begin() + static_cast<long>(at), next++);
          break;
        }
        case 4: {  // RemoveAt leaves the element to its taker
          alignas(Tracked) unsigned char taken[sizeof(Tracked)];
          if (inRange) std::memcpy(taken, &a[index], sizeof(Tracked));
          a.RemoveAt(index);
          if (inRange) model.erase(model.begin() + index), reinterpret_cast<Tracked*>(taken)->~Tracked();
          break;
        }
        case 5:
          a.DeleteAt(index);
          if (inRange) model.erase(model.begin() + index);
          break;
        case 6: {
          const int wanted = model.empty() ? 7 : model[rng() % model.size()];
          auto at = std::find(model.begin(), model.end(), wanted);
          ASSERT_EQ(a.Find(Tracked(wanted)), at == model.end() ? -1 : static_cast<i32>(at - model.begin()));
          break;
        }
        case 7: {  // grows by the larger of the step and the request
          const u32 request = rng() % 40;
          ASSERT_TRUE(a.Grow(request));
          capacity += std::max(step, request);
          break;
        }
        default:
          if (rng() % 30 == 0) a.Clear(), model.clear();  // storage kept
          if (rng() % 60 == 0) a.Destroy(), model.clear(), capacity = 0;
      }
      // Growth by one step happens exactly when the array was full.
      while (capacity < model.size()) capacity += step;
      ASSERT_EQ(a.GetCapacity(), capacity) << "op " << i;
      ASSERT_EQ(a.GetCount(), model.size()) << "op " << i;
      for (u32 k = 0; k < model.size(); ++k) ASSERT_EQ(a[k].value, model[k]) << "op " << i;
      ASSERT_EQ(g_live.size(), model.size()) << "op " << i;
    }
  }
}

TEST_F(ArrayTest, PlainElementsStartZeroAndNestedArraysDieWithTheirOwner) {
  CArray<u32> plain;
  plain.Add(7);
  ASSERT_NE(plain.InsertNew(100), nullptr);
  EXPECT_EQ(plain[1], 0u);
  {
    CArray<CArray<Tracked>> outer;
    for (int i = 0; i < 20; ++i) {
      CArray<Tracked>* inner = outer.AppendNew();
      ASSERT_NE(inner, nullptr);
      EXPECT_EQ(inner->GetGrowth(), 16u);
      EXPECT_EQ(inner->GetCount(), 0u);
      for (int k = 0; k < i; ++k) inner->Add(Tracked(k));
    }
    outer.InsertNew(0)->Add(Tracked(99));
    EXPECT_EQ(g_live.size(), 191u);
    outer.Clear();
    EXPECT_TRUE(g_live.empty());
    outer.AppendNew()->Add(Tracked(1));
  }  // the destructor destroys the nested array again
  EXPECT_TRUE(g_live.empty());
  CArray<CWideString> strings;
  CWideString s(u"name");
  for (int i = 0; i < 40; ++i) strings.Add(s), s.AppendChar(u'x');
  EXPECT_EQ(strings[39].GetLength(), 43);
  EXPECT_NE(strings[0].GetBuffer(), s.GetBuffer());
  EXPECT_EQ(strings.AppendNew()->GetBuffer(), nullptr);
  strings.Clear();  // frees every buffer (the leak checker watches natively)
}

}  // namespace
