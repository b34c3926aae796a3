#include "platform/gst/GstGraphFilters.h"

#include <QString>
#include <algorithm>

#include "platform/dshow/ErrorText.h"
#include "platform/gst/GstPin.h"
#include "platform/win/WorkItems.h"

std::string ElementName(GstElement* Element) {
  gchar* Name = gst_element_get_name(Element);
  std::string Result = Name ? Name : "";
  g_free(Name);
  return Result;
}

TGstGraphFilters::TGstGraphFilters(IFilterGraph* Owner, GstElement* Pipeline) : FOwner(Owner), FPipeline(Pipeline) {}

TGstGraphFilters::~TGstGraphFilters() {
  for (const TEntry& E : FFilters) {
    gst_bin_remove(GST_BIN(FPipeline), E.Gst->Element());
    E.Filter->JoinFilterGraph(nullptr, nullptr);
  }
}

std::u16string TGstGraphFilters::UniqueName(std::u16string Name) const {
  std::replace(Name.begin(), Name.end(), u'/', u'_');
  if (Name.empty()) Name = u"Filter";
  const auto Taken = [this](const std::u16string& N) {
    const std::string Utf8 = QString::fromStdU16String(N).toStdString();
    return std::any_of(FFilters.begin(), FFilters.end(), [&](const TEntry& E) { return ElementName(E.Gst->Element()) == Utf8; });
  };
  std::u16string Candidate = Name;
  for (int I = 1; Taken(Candidate); ++I)
    Candidate = Name + QString::asprintf(" %04d", I).toStdU16String();
  return Candidate;
}

HRESULT TGstGraphFilters::Add(IBaseFilter* Filter, std::u16string Name) { return Add(Filter, std::move(Name), false); }

HRESULT TGstGraphFilters::AddOwn(TGstFilter* Filter, const std::string& Name) {
  return Add(Filter, QString::fromStdString(Name).toStdU16String(), true);
}

HRESULT TGstGraphFilters::Add(IBaseFilter* Filter, std::u16string Name, bool Own) {
  if (!Filter) return E_POINTER;
  const auto Guard = Lock();
  ComPtr<IGstFilter> Gst;
  if (FAILED(ComPtr<IBaseFilter>(Filter).As(Gst))) return E_NOINTERFACE;
  if (std::any_of(FFilters.begin(), FFilters.end(), [&](const TEntry& E) { return E.Gst == Gst; })) return E_INVALIDARG;
  GstElement* Element = Gst->Element();
  const std::u16string Unique = UniqueName(std::move(Name));
  if (!GST_OBJECT_PARENT(Element)) gst_object_set_name(GST_OBJECT(Element), QString::fromStdU16String(Unique).toUtf8().constData());
  if (!gst_bin_add(GST_BIN(FPipeline), Element)) return E_FAIL;
  FFilters.push_back({ComPtr<IBaseFilter>(Filter), Gst, Own});
  Filter->JoinFilterGraph(FOwner, Unique.c_str());
  if (!gst_element_is_locked_state(Element)) gst_element_sync_state_with_parent(Element);
  return S_OK;
}

HRESULT TGstGraphFilters::Remove(IBaseFilter* Filter) {
  if (!Filter) return E_POINTER;
  ComPtr<IGstFilter> Gst;
  if (FAILED(ComPtr<IBaseFilter>(Filter).As(Gst))) return VFW_E_NOT_FOUND;
  TEntry Entry;
  {
    const auto Guard = Lock();
    const auto It = std::find_if(FFilters.begin(), FFilters.end(), [&](const TEntry& E) { return E.Gst == Gst; });
    if (It == FFilters.end()) return VFW_E_NOT_FOUND;
    Entry = *It;
    FFilters.erase(It);
  }
  GstElement* Element = GST_ELEMENT(gst_object_ref(Entry.Gst->Element()));
  GstIterator* Pads = gst_element_iterate_pads(Element);
  gst_iterator_foreach(Pads, [](const GValue* Item, gpointer) { UnlinkPad(GST_PAD(g_value_get_object(Item))); }, nullptr);
  gst_iterator_free(Pads);
  gst_element_set_locked_state(Element, TRUE);
  if (!Entry.Own) gst_element_set_state(Element, GST_STATE_NULL);
  gst_bin_remove(GST_BIN(FPipeline), Element);
  Entry.Filter->JoinFilterGraph(nullptr, nullptr);
  if (!Entry.Own) {
    gst_element_set_locked_state(Element, FALSE);
    gst_object_unref(Element);
    return S_OK;
  }
  // Out of the pipeline and unlinked, its threads only find their pads unlinked until it stops;
  // until then they may still reach what the graph watches its streams with, so the graph stays.
  QueueUserWorkItem([Element, Keep = Entry.Filter, Graph = ComPtr<IFilterGraph>(FOwner)] {
    gst_element_set_state(Element, GST_STATE_NULL);
    gst_object_unref(Element);
  });
  return S_OK;
}

void TGstGraphFilters::RemoveForeign() {
  std::vector<ComPtr<IBaseFilter>> Foreign;
  {
    const auto Guard = Lock();
    for (const TEntry& E : FFilters)
      if (!E.Own) Foreign.push_back(E.Filter);
  }
  for (const ComPtr<IBaseFilter>& Filter : Foreign) Remove(Filter.Get());
}

std::vector<ComPtr<IBaseFilter>> TGstGraphFilters::Filters() const {
  const auto Guard = Lock();
  std::vector<ComPtr<IBaseFilter>> Result;
  for (const TEntry& E : FFilters) Result.push_back(E.Filter);
  return Result;
}

std::vector<ComPtr<IGstFilter>> TGstGraphFilters::GstFilters() const {
  const auto Guard = Lock();
  std::vector<ComPtr<IGstFilter>> Result;
  for (const TEntry& E : FFilters) Result.push_back(E.Gst);
  return Result;
}
