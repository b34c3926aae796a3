#include "platform/gst/GstSinkChain.h"

#include <vector>

bool IsVideoCaps(GstCaps* Caps) {
  return Caps && !gst_caps_is_empty(Caps) && g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(Caps, 0)), "video/");
}

void StartChain(GstElement* Bin, std::initializer_list<GstElement*> Elements) {
  GstElement* Previous = nullptr;
  for (GstElement* E : Elements) {
    gst_bin_add(GST_BIN(Bin), E);
    if (Previous) gst_element_link(Previous, E);
    Previous = E;
  }
  // Downstream first, so nothing pushes into an element that is not running yet.
  const std::vector<GstElement*> InOrder(Elements);
  for (auto It = InOrder.rbegin(); It != InOrder.rend(); ++It) gst_element_sync_state_with_parent(*It);
}

void DiscardElement(GstElement* Bin, GstElement*& Element) {
  if (!Element) return;
  gst_element_set_locked_state(Element, TRUE);
  gst_element_set_state(Element, GST_STATE_NULL);
  gst_bin_remove(GST_BIN(Bin), Element);
  Element = nullptr;
}
