#pragma once
// An owning interface reference: AddRef on copy, Release on reset and destruction.
#include <utility>

#include "platform/com/ComTypes.h"

template <typename T>
class ComPtr {
public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}  // NOLINT
  // Takes a new reference of its own to P.
  explicit ComPtr(T* P) : FPtr(P) {
    if (FPtr) FPtr->AddRef();
  }
  ComPtr(const ComPtr& O) : ComPtr(O.FPtr) {}
  ComPtr(ComPtr&& O) noexcept : FPtr(std::exchange(O.FPtr, nullptr)) {}
  ComPtr& operator=(ComPtr O) noexcept {
    std::swap(FPtr, O.FPtr);
    return *this;
  }
  ~ComPtr() { Reset(); }

  // Adopts a reference the caller already owns (as an out parameter hands it over).
  static ComPtr Attach(T* P) {
    ComPtr R;
    R.FPtr = P;
    return R;
  }
  T* Detach() { return std::exchange(FPtr, nullptr); }
  void Reset() {
    if (T* P = std::exchange(FPtr, nullptr)) P->Release();
  }
  T* Get() const { return FPtr; }
  T* operator->() const { return FPtr; }
  explicit operator bool() const { return FPtr != nullptr; }
  // For out parameters: releases what is held and hands out the slot.
  T** ReleaseAndGetAddressOf() {
    Reset();
    return &FPtr;
  }
  void** ReleaseAndGetVoidAddress() { return reinterpret_cast<void**>(ReleaseAndGetAddressOf()); }

  // Queries the held object for interface U.
  template <typename U>
  HRESULT As(ComPtr<U>& Out) const {
    if (!FPtr) return E_POINTER;
    return FPtr->QueryInterface(U::IID, Out.ReleaseAndGetVoidAddress());
  }

  friend bool operator==(const ComPtr& A, const ComPtr& B) { return A.FPtr == B.FPtr; }

private:
  T* FPtr = nullptr;
};
