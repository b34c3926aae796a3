#pragma once
// The calls fakes receive, in the order they arrive, as short texts ("G1 Run", "A after-add").
#include <string>
#include <vector>

struct TCallLog {
  void Add(std::string Call) { Calls.push_back(std::move(Call)); }
  // The calls logged so far, and forgets them.
  std::vector<std::string> Take() { return std::exchange(Calls, {}); }

  std::vector<std::string> Calls;
};

// The reference count of a COM object, read without changing it.
template <typename T>
unsigned long References(T* Object) {
  Object->AddRef();
  return Object->Release();
}
