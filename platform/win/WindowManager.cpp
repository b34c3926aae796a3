#include "platform/win/WindowManager.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {
struct TFree {
  void operator()(void* Reply) const { std::free(Reply); }
};

// The atom of Name if the server knows it (a window manager that supports it has made it).
xcb_atom_t KnownAtom(xcb_connection_t* X, const char* Name) {
  const xcb_intern_atom_cookie_t Cookie = xcb_intern_atom(X, 1, std::uint16_t(std::strlen(Name)), Name);
  const std::unique_ptr<xcb_intern_atom_reply_t, TFree> Reply(xcb_intern_atom_reply(X, Cookie, nullptr));
  return Reply ? Reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The 32-bit values of a window's property of the type.
std::vector<std::uint32_t> Values(xcb_connection_t* X, xcb_window_t Window, xcb_atom_t Property, xcb_atom_t Type) {
  const xcb_get_property_cookie_t Cookie = xcb_get_property(X, 0, Window, Property, Type, 0, 4096);
  const std::unique_ptr<xcb_get_property_reply_t, TFree> Reply(xcb_get_property_reply(X, Cookie, nullptr));
  if (!Reply || Reply->format != 32 || Reply->type != Type) return {};
  const auto* First = static_cast<const std::uint32_t*>(xcb_get_property_value(Reply.get()));
  return {First, First + xcb_get_property_value_length(Reply.get()) / 4};
}

// An EWMH window manager names its check window on the root and on that window itself (a
// stale name left by one that has ended does not); its supported atoms are listed on the root.
bool X11WindowManagerHonours(xcb_connection_t* X, const char* State) {
  const xcb_window_t Root = xcb_setup_roots_iterator(xcb_get_setup(X)).data->root;
  const xcb_atom_t Check = KnownAtom(X, "_NET_SUPPORTING_WM_CHECK");
  const xcb_atom_t Supported = KnownAtom(X, "_NET_SUPPORTED");
  const xcb_atom_t Wanted = KnownAtom(X, State);
  if (Check == XCB_ATOM_NONE || Supported == XCB_ATOM_NONE || Wanted == XCB_ATOM_NONE) return false;
  const std::vector<std::uint32_t> Named = Values(X, Root, Check, XCB_ATOM_WINDOW);
  if (Named.empty() || Values(X, Named.front(), Check, XCB_ATOM_WINDOW) != Named) return false;
  const std::vector<std::uint32_t> Atoms = Values(X, Root, Supported, XCB_ATOM_ATOM);
  return std::find(Atoms.begin(), Atoms.end(), Wanted) != Atoms.end();
}
}  // namespace

bool MaximizesAfterLeavingFullScreen() { return QGuiApplication::platformName().startsWith("wayland"); }

bool FullScreenStateHonoured() {
  const QString Platform = QGuiApplication::platformName();
  if (Platform.startsWith("wayland")) return true;
  if (Platform != "xcb") return false;
  const auto* X11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return X11 && X11->connection() && X11WindowManagerHonours(X11->connection(), "_NET_WM_STATE_FULLSCREEN");
}
