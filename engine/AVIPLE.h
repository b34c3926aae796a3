#pragma once
// The playlist entry for moving pictures: plays its file through the main graph into the video
// window, optionally with an additional file mixed over it (picture in picture) in a rectangle
// of its own and at an opacity of its own. User-interface thread only.
#include <QPointer>
#include <string>
#include <vector>

#include "engine/PlayListEntry.h"
#include "media/FilterGraph.h"
#include "platform/dshow/Video.h"

class TAVIPLE : public TPlayListEntry {
public:
  explicit TAVIPLE(TVizmoraPlayer* AOwner);
  // Unhooks GraphCompleted from the main graph, so no later completion reaches a freed entry.
  ~TAVIPLE() override;

  double GetDuration() override;
  double GetPosition() override;
  double GetExactPosition() override;
  void Play() override;
  void Stop() override;
  void Pause() override;
  IPropertiesFrame* CreatePropertiesFrame() override;
  void Seek(int Percent) override;
  void Prepare(TPrepareFailed Failed) override;
  void DropPrepared() override;
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream) override;
  void ApplyProperties(IPropertiesFrame* Frame) override;

  // OnGraphComplete of the main graph while this entry is its receiver.
  void GraphCompleted(QObject* Sender, HRESULT Result, IBaseFilter* Renderer);

  // Not owned; a graph or window freed before the entry reads back as nil.
  QPointer<TFilterGraph> MainGraph;
  QPointer<TFilterGraph> SoundGraph;
  QPointer<QObject> VideoWindow;  // an IVideoRendererHost: the overlay is mixed through it
  std::string AdditionalFile;
  VMR9NormalizedRect OverlayRect{0, 0, 0.1f, 0.1f};
  float OverlayAlpha = 1.0f;

private:
  void Reload();
  std::vector<std::string> Files() const;
  void MixOverlay();
};
