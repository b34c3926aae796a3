#pragma once
// An entry kind of the tests' own: records the operations the playlist calls, in order,
// and can be told to fail in Play.
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/EntryStreaming.h"
#include "engine/PlayListEntry.h"
#include "engine/PlayListFile.h"
#include "framework/Exception.h"

class TTestEntry : public TPlayListEntry {
public:
  explicit TTestEntry(std::string AName, std::vector<std::string>* ALog = nullptr)
      : TPlayListEntry(nullptr), Log(ALog) {
    FileName = std::move(AName);
  }
  ~TTestEntry() override { Record("free"); }

  double GetDuration() override { return Length; }
  double GetPosition() override { return Position; }
  void Play() override {
    Record("play");
    PlayedWith = FadeIn;
    if (FailPlay) throw std::runtime_error("cannot play " + FileName);
    if (WhileOpening) {
      // What runs while the files open; a Stop then calls the open off. The entry may be gone.
      bool* WasStopped = Stopped;
      std::exchange(WhileOpening, {})();
      if (WasStopped && *WasStopped) throw EAbort();
    }
    TPlayListEntry::Play();
  }
  void Stop() override {
    Record("stop");
    if (Stopped) *Stopped = true;
    TPlayListEntry::Stop();
  }
  void Pause() override {
    Record("pause");
    TPlayListEntry::Pause();
  }
  void Seek(int Percent) override { Record("seek " + std::to_string(Percent)); }
  void Prepare(TPrepareFailed Failed) override {
    ++Prepared;
    PrepareFailed = std::move(Failed);
  }
  void DropPrepared() override { ++Dropped; }
  IPropertiesFrame* CreatePropertiesFrame() override { return nullptr; }
  void ApplyProperties(IPropertiesFrame*) override {}
  // A body of the base and one extra 32-bit field, to show subclasses append after the base.
  void SaveToStream(TStream& Stream) override {
    TPlayListEntry::SaveToStream(Stream);
    WriteValue(Stream, Extra);
    if (FailSave) throw EWriteError("disk full");
  }
  void LoadFromStream(TStream& Stream) override {
    TPlayListEntry::LoadFromStream(Stream);
    ReadValue(Stream, Extra);
  }
  // Ends the entry the way a finished medium does.
  void Finish() {
    State = esIdle;
    OnFinished(this);
  }

  std::vector<std::string>* Log;
  double Length = 0;
  double Position = 0;
  bool FailPlay = false;
  bool FailSave = false;
  std::function<void()> WhileOpening;
  bool* Stopped = nullptr;  // set by Stop, outliving the entry
  std::int32_t Extra = 0;
  int Prepared = 0, Dropped = 0;  // calls of Prepare and DropPrepared
  TPrepareFailed PrepareFailed;   // what the last Prepare was given
  TTransition PlayedWith;         // FadeIn at the last Play

private:
  void Record(const std::string& What) {
    if (Log) Log->push_back(What + " " + FileName);
  }
};

// Maps code 0 and 1 both to test entries, remembering the code in Extra's place.
class TTestKinds : public IEntryKinds {
public:
  TPlayListEntry* CreateEntry(std::uint8_t Code) override {
    Created.push_back(Code);
    return new TTestEntry("");
  }
  std::uint8_t CodeOf(const TPlayListEntry& Entry) override {
    return static_cast<std::uint8_t>(static_cast<const TTestEntry&>(Entry).Extra & 1);
  }
  std::vector<int> Created;
};
