#pragma once
// An event property: at most one handler, replaceable at any time (also from inside the
// handler being called), and not raised while empty.
#include <functional>
#include <utility>

template <typename... Args>
class TEvent {
public:
  using Handler = std::function<void(Args...)>;

  TEvent() = default;
  TEvent(Handler AHandler) : FHandler(std::move(AHandler)) {}  // NOLINT: assignable from a handler
  TEvent& operator=(Handler AHandler) {
    FHandler = std::move(AHandler);
    FReceiver = nullptr;
    return *this;
  }

  // Binds a method of an object, the way a form wires a component's event to its handler.
  template <typename Object, typename Method>
  void Bind(Object* Receiver, Method M) {
    FHandler = [Receiver, M](Args... A) { (Receiver->*M)(std::forward<Args>(A)...); };
    FReceiver = Receiver;
  }
  // True while the handler is a method bound to Object, so an object can unhook itself.
  bool BoundTo(const void* Object) const { return FHandler && FReceiver == Object; }

  void Clear() {
    FHandler = nullptr;
    FReceiver = nullptr;
  }
  bool Assigned() const { return static_cast<bool>(FHandler); }
  explicit operator bool() const { return Assigned(); }

  // Calls a copy of the handler, so a handler that replaces or clears this event while it
  // runs is not destroyed under its own feet; the replacement takes effect from the next call.
  void operator()(Args... A) const {
    if (!FHandler) return;
    Handler Current = FHandler;
    Current(std::forward<Args>(A)...);
  }

private:
  Handler FHandler;
  const void* FReceiver = nullptr;
};
