#pragma once
// Snapshot enumerators (IEnumFilters, IEnumPins, ...): Next and Reset over the items present
// when the enumerator was made.
#include <vector>

#include "platform/com/ComObject.h"
#include "platform/com/ComPtr.h"

template <typename IEnum, typename IItem>
class TComEnumerator : public TComObject<IEnum> {
public:
  explicit TComEnumerator(std::vector<ComPtr<IItem>> Items) : FItems(std::move(Items)) {}

  HRESULT Next(ULONG Count, IItem** Items, ULONG* Fetched) override {
    if (!Items) return E_POINTER;
    ULONG N = 0;
    for (; N < Count && FNext < FItems.size(); ++N, ++FNext) {
      Items[N] = FItems[FNext].Get();
      Items[N]->AddRef();
    }
    if (Fetched) *Fetched = N;
    return N == Count ? S_OK : S_FALSE;
  }
  HRESULT Reset() override {
    FNext = 0;
    return S_OK;
  }

  // Hands out a new enumerator over Items.
  static HRESULT Make(std::vector<ComPtr<IItem>> Items, IEnum** Enum) {
    if (!Enum) return E_POINTER;
    auto* E = new TComEnumerator(std::move(Items));
    E->AddRef();
    *Enum = E;
    return S_OK;
  }

private:
  std::vector<ComPtr<IItem>> FItems;
  std::size_t FNext = 0;
};
