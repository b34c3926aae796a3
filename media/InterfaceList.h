#pragma once
// An ordered list of interface references, each held with a reference of its own.
#include <vector>

#include "platform/com/ComPtr.h"

template <typename I>
class TInterfaceList {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  I* Items(int Index) const { return FItems.at(static_cast<std::size_t>(Index)).Get(); }
  void Add(ComPtr<I> Item) { FItems.push_back(std::move(Item)); }
  // The index of the first entry that is the same reference (identity), or -1.
  int IndexOf(const I* Item) const {
    for (std::size_t Index = 0; Index < FItems.size(); ++Index)
      if (FItems[Index].Get() == Item) return static_cast<int>(Index);
    return -1;
  }
  void Delete(int Index) { FItems.erase(FItems.begin() + Index); }
  // Takes out the first entry that is the same reference; returns its former index, or -1.
  int Remove(const I* Item) {
    const int Index = IndexOf(Item);
    if (Index >= 0) Delete(Index);
    return Index;
  }

private:
  std::vector<ComPtr<I>> FItems;
};

// Fills List from an enumerator, one item at a time, until Next no longer answers S_OK.
template <typename I, typename IEnum>
void FillInterfaceList(TInterfaceList<I>& List, IEnum* Enum) {
  if (!Enum) return;
  I* Item = nullptr;
  ULONG Fetched = 0;
  while (Enum->Next(1, &Item, &Fetched) == S_OK && Item) {
    List.Add(ComPtr<I>::Attach(Item));
    Item = nullptr;
  }
}
