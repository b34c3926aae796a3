#include "media/FilterList.h"

TFilterList::TFilterList(IFilterGraph* AGraph) : Graph(AGraph) {
  if (!Graph) return;
  ComPtr<IEnumFilters> Enum;
  if (SUCCEEDED(Graph->EnumFilters(Enum.ReleaseAndGetAddressOf()))) FillInterfaceList(*this, Enum.Get());
}
