#pragma once
// A media detector class of the tests' own, registered for its lifetime: each file's answer
// comes from a script (result and length; a file not scripted lasts 1 s), and no answer is
// given while the gate is shut. It records the files asked, in order, and the most read at once.
#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <QString>

#include "platform/com/ClassRegistry.h"
#include "platform/com/ComObject.h"
#include "platform/dshow/ErrorText.h"
#include "platform/dshow/MediaDet.h"

class TFakeMediaDets {
public:
  struct TAnswer {
    HRESULT Result = S_OK;
    double Seconds = 1;
  };

  TFakeMediaDets() : FBefore(CoRegisteredClass(CLSID_MediaDet)) {
    CoRegisterClass(CLSID_MediaDet, [this](REFIID Iid, void** Object) {
      return ComPtr<TDet>(new TDet(*this))->QueryInterface(Iid, Object);
    });
  }
  ~TFakeMediaDets() { CoRegisterClass(CLSID_MediaDet, FBefore); }
  TFakeMediaDets(const TFakeMediaDets&) = delete;
  TFakeMediaDets& operator=(const TFakeMediaDets&) = delete;

  void Script(const std::string& File, TAnswer Answer) {
    std::lock_guard Guard(FLock);
    FScript[File] = Answer;
  }
  void SetGate(bool Open) {
    std::lock_guard Guard(FLock);
    FOpen = Open;
    FChanged.notify_all();
  }
  std::vector<std::string> Asked() {
    std::lock_guard Guard(FLock);
    return FAsked;
  }
  int MostAtOnce() {
    std::lock_guard Guard(FLock);
    return FMost;
  }

private:
  class TDet : public TComObject<IMediaDet> {
  public:
    explicit TDet(TFakeMediaDets& AOwner) : Owner(AOwner) {}
    HRESULT put_Filename(LPCWSTR File) override {
      std::unique_lock Guard(Owner.FLock);
      const std::string Name = QString::fromUtf16(File).toStdString();
      Owner.FAsked.push_back(Name);
      Owner.FMost = std::max(Owner.FMost, ++Owner.FReading);
      Owner.FChanged.wait(Guard, [this] { return Owner.FOpen; });
      --Owner.FReading;
      const auto It = Owner.FScript.find(Name);
      Answer = It == Owner.FScript.end() ? TAnswer{} : It->second;
      return Answer.Result;
    }
    HRESULT get_StreamLength(double* Seconds) override {
      *Seconds = Answer.Seconds;
      return SUCCEEDED(Answer.Result) ? S_OK : VFW_E_WRONG_STATE;
    }
    TFakeMediaDets& Owner;
    TAnswer Answer;
  };

  TClassFactory FBefore;
  std::mutex FLock;
  std::condition_variable FChanged;
  std::map<std::string, TAnswer> FScript;
  bool FOpen = true;
  std::vector<std::string> FAsked;
  int FReading = 0;
  int FMost = 0;
};
