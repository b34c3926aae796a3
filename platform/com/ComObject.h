#pragma once
// Base for our COM objects: a thread-safe reference count and QueryInterface over the
// interfaces listed. Objects are created with a count of 0; the first ComPtr takes it to 1.
#include <atomic>

#include "platform/com/ComTypes.h"

template <typename... Interfaces>
class TComObject : public Interfaces... {
public:
  HRESULT QueryInterface(REFIID Iid, void** Object) override {
    if (!Object) return E_POINTER;
    *Object = nullptr;
    if (Iid == IUnknown::IID) {
      *Object = static_cast<IUnknown*>(static_cast<First*>(this));
    } else {
      (TryInterface<Interfaces>(Iid, Object) || ...);
      if (!*Object) *Object = QueryExtraInterface(Iid);
    }
    if (!*Object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++FRefCount; }
  ULONG Release() override {
    const ULONG Left = --FRefCount;
    if (Left == 0) FinalRelease();
    return Left;
  }

protected:
  TComObject() = default;
  virtual ~TComObject() = default;
  // The last reference went: frees the object, or has it freed elsewhere.
  virtual void FinalRelease() { delete this; }
  // Interfaces that are not base classes (held by the object); returns a non-owning pointer.
  virtual void* QueryExtraInterface(REFIID) { return nullptr; }

private:
  template <typename T, typename...>
  struct Head {
    using Type = T;
  };
  using First = typename Head<Interfaces...>::Type;

  template <typename I>
  bool TryInterface(REFIID Iid, void** Object) {
    if (Iid != I::IID) return false;
    *Object = static_cast<I*>(this);
    return true;
  }

  std::atomic<ULONG> FRefCount{0};
};
