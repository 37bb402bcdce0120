#include "base/PointerList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
  // Records the order in which elements are destroyed.
  struct Tracked {
    Tracked(std::vector<std::string> &log, std::string name) : log(log), name(std::move(name)) {}
    ~Tracked() { log.push_back(name); }
    std::vector<std::string> &log;
    std::string name;
  };

  class OwningList : public PointerList<Tracked> {
  public:
    ~OwningList() override { Clear(); }
    void RemoveAt(int index) override
    {
      delete At(index);
      PointerList<Tracked>::RemoveAt(index);
    }
  };
}

TEST(PointerList, GrowsThroughPowersOfTwoAndKeepsInsertionOrder)
{
  int values[5] = {0, 1, 2, 3, 4};
  PointerList<int> list;
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 0);

  std::vector<int> capacities;
  for(int &v : values)
  {
    list.Add(&v);
    capacities.push_back(list.Capacity());
  }
  EXPECT_EQ(capacities, (std::vector<int>{1, 2, 4, 4, 8}));
  ASSERT_EQ(list.Count(), 5);
  for(int i = 0; i < 5; ++i)
    EXPECT_EQ(list.At(i), &values[i]);
}

TEST(PointerList, RemoveAtShiftsLaterElementsDown)
{
  int a = 0, b = 0, c = 0;
  PointerList<int> list;
  list.Add(&a);
  list.Add(&b);
  list.Add(&c);
  list.RemoveAt(1);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.At(0), &a);
  EXPECT_EQ(list.At(1), &c);
  list.RemoveAt(1);
  list.RemoveAt(0);
  EXPECT_EQ(list.Count(), 0);
}

TEST(PointerList, IndexOfFindsTheLowestIndexOrMinusOne)
{
  int a = 0, b = 0, missing = 0;
  PointerList<int> list;
  list.Add(&a);
  list.Add(&b);
  list.Add(&a);
  EXPECT_EQ(list.IndexOf(&a), 0);
  EXPECT_EQ(list.IndexOf(&b), 1);
  EXPECT_EQ(list.IndexOf(&missing), -1);
  EXPECT_EQ(list.IndexOf(nullptr), -1);
}

TEST(PointerList, AssignCopiesTheOtherListsElementsInOrder)
{
  int a = 0, b = 0, c = 0;
  PointerList<int> source, target;
  source.Add(&a);
  source.Add(&b);
  target.Add(&c);
  target.Assign(source);
  ASSERT_EQ(target.Count(), 2);
  EXPECT_EQ(target.At(0), &a);
  EXPECT_EQ(target.At(1), &b);
  EXPECT_EQ(source.Count(), 2);
}

TEST(PointerList, ClearOnAnOwningListDestroysElementsFrontToBack)
{
  std::vector<std::string> log;
  {
    OwningList list;
    list.Add(new Tracked(log, "first"));
    list.Add(new Tracked(log, "second"));
    list.Add(new Tracked(log, "third"));
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second", "third"}));

    list.Add(new Tracked(log, "fourth"));
  }
  // The owning list's destructor cleared what was left, exactly once.
  EXPECT_EQ(log, (std::vector<std::string>{"first", "second", "third", "fourth"}));
}

TEST(PointerList, BaseClassClearAndDestructionDestroyNothing)
{
  std::vector<std::string> log;
  Tracked a(log, "a"), b(log, "b");
  {
    PointerList<Tracked> list;
    list.Add(&a);
    list.Add(&b);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    list.Add(&a);
  }
  EXPECT_TRUE(log.empty());
}
