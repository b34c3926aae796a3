#pragma once
// A graph member and a graph observer that log everything the graph component tells them.
#include <string>

#include "fakes/CallLog.h"
#include "fakes/FakeFilters.h"
#include "media/GraphMember.h"
#include "media/GraphObserver.h"

class TFakeMember : public IGraphMember {
public:
  TFakeMember(TCallLog& ALog, std::string AName) : Log(ALog), Name(std::move(AName)), Filter(MakeFilter(ALog, Name)) {
    Filter->AddPin("in", PINDIR_INPUT);
  }
  ComPtr<IBaseFilter> QueryMemberFilter() override {
    Log.Add(Name + " filter");
    return ComPtr<IBaseFilter>(Filter.Get());
  }
  std::string QueryMemberName() override {
    Log.Add(Name + " name");
    return Name;
  }
  void MemberNotify(TMemberOperation Operation, LONG Param) override {
    static const char* const Texts[] = {"before-add", "after-add", "before-remove", "after-remove"};
    Log.Add(Name + " " + Texts[Operation] + (Param ? " " + std::to_string(Param) : std::string()));
  }

  TCallLog& Log;
  std::string Name;
  ComPtr<TFakeFilter> Filter;
};

class TFakeObserver : public IGraphObserver {
public:
  explicit TFakeObserver(TCallLog& ALog) : Log(ALog) {}
  void ObserveGraphEvent(LONG Event, LONG_PTR, LONG_PTR) override { Log.Add("observe event " + std::to_string(Event)); }
  void ObserveControl(TGraphControl Code, LONG Param) override {
    Log.Add("observe control " + std::to_string(Code) + " " + std::to_string(Param));
  }

  TCallLog& Log;
};
