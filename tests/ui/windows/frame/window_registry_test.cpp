#include <gtest/gtest.h>

#include "ui/windows/frame/window_registry.h"

namespace {

intptr_t Proc(void*, u32, uintptr_t, intptr_t) { return 0; }

// A creation whose window receives its first message.
void Created(void* object, uintptr_t handle) {
  const u32 index = WindowRegistry::BeginCreation(object, &Proc);
  WindowRegistry::Resolve(handle);
  WindowRegistry::EndCreation(index, handle);
}

class WindowRegistryTest : public testing::Test {
 protected:
  void SetUp() override { FreeWindowRegistry(); }
  void TearDown() override { FreeWindowRegistry(); }
  int a = 0, b = 0;
};

TEST_F(WindowRegistryTest, ARecordBindsOnlyOnItsOwnCreationsFirstMessage) {
  const u32 first = WindowRegistry::BeginCreation(&a, &Proc);
  ASSERT_NE(nullptr, WindowRegistry::Resolve(0x100));  // its first message
  EXPECT_EQ(&a, WindowRegistry::Resolve(0x100)->object);
  WindowRegistry::EndCreation(first, 0x100);
  // After its creation an unknown handle binds nothing, even though the
  // binding index still names the record.
  EXPECT_EQ(nullptr, WindowRegistry::Resolve(0x200));
  EXPECT_EQ(0x100u, WindowRegistry::At(first)->handle);
  // A second window: a known handle is looked up before the new record
  // binds, so another window's message during the creation cannot take it.
  const u32 second = WindowRegistry::BeginCreation(&b, &Proc);
  EXPECT_EQ(&a, WindowRegistry::Resolve(0x100)->object);
  EXPECT_EQ(&b, WindowRegistry::Resolve(0x300)->object);
  WindowRegistry::EndCreation(second, 0x300);
  EXPECT_EQ(&a, WindowRegistry::Resolve(0x100)->object) << "search from the first record";
  EXPECT_EQ(2u, WindowRegistry::Count());
}

TEST_F(WindowRegistryTest, AFailedCreationLeavesNoRecordToBind) {
  const u32 failed = WindowRegistry::BeginCreation(&a, &Proc);
  WindowRegistry::EndCreation(failed, 0);
  EXPECT_EQ(0u, WindowRegistry::Count()) << "the last record is dropped";
  EXPECT_EQ(nullptr, WindowRegistry::Resolve(0x100));
  // A failure in the middle (a window created during the failed creation)
  // is kept but can never bind.
  const u32 outer = WindowRegistry::BeginCreation(&a, &Proc);
  const u32 inner = WindowRegistry::BeginCreation(&b, &Proc);
  ASSERT_NE(nullptr, WindowRegistry::Resolve(0x500));
  WindowRegistry::EndCreation(inner, 0x500);
  WindowRegistry::EndCreation(outer, 0);
  EXPECT_EQ(nullptr, WindowRegistry::Resolve(0x600));
  EXPECT_EQ(nullptr, WindowRegistry::At(outer)->object);
  EXPECT_EQ(&b, WindowRegistry::Resolve(0x500)->object);
}

TEST_F(WindowRegistryTest, ADestroyedWindowsRecordForgetsItsObjectAndHandle) {
  Created(&a, 0x100);
  ASSERT_NE(nullptr, WindowRegistry::Resolve(0x100));
  WindowRegistry::Unbind(0x100);
  EXPECT_EQ(nullptr, WindowRegistry::Resolve(0x100));
  // The system gives the handle value to a later window of another object.
  Created(&b, 0x100);
  EXPECT_EQ(&b, WindowRegistry::Resolve(0x100)->object);
}

}  // namespace
