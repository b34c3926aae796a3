#include "media/PinList.h"

TPinList::TPinList(IBaseFilter* AFilter) : Filter(AFilter) {
  if (!Filter) return;
  ComPtr<IEnumPins> Enum;
  if (SUCCEEDED(Filter->EnumPins(Enum.ReleaseAndGetAddressOf()))) FillInterfaceList(*this, Enum.Get());
}
