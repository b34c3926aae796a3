#pragma once
// The remote API's routes over the player: reads and changes it through IRemotePlayer, checks
// every input first (a 4xx naming the field, and nothing changed), confines paths to the media
// folder, and keeps the show's event lines for /api/log and the status's failure count. Publishes
// the status after whatever may have changed it. User-interface thread only.
#include <QJsonObject>
#include <cstdint>
#include <deque>
#include <string>

#include "app/remote/RemoteHttp.h"

class IRemotePlayer;
class TMediaFolder;
class TRemoteStatus;

class TRemoteApi {
public:
  static constexpr std::size_t LogLines = 10000;

  TRemoteApi(IRemotePlayer& APlayer, const TMediaFolder& AFolder, TRemoteStatus& AStatus);

  TRemoteResponse Handle(const TRemoteRequest& Request);
  // One show event as the proof-of-play log writes it, at its wall-clock time.
  void Record(const QJsonObject& Line, std::int64_t WallMs);
  // Reads the player's status and publishes it for the network thread.
  void PublishStatus();

  // Whether a file of this name can become an entry, or is a playlist.
  static bool IsMediaName(const std::string& Name);
  static bool IsEntryName(const std::string& Name);

private:
  TRemoteResponse Route(const TRemoteRequest& Request);
  TRemoteResponse Status();
  TRemoteResponse PlayList() const;
  TRemoteResponse AddEntry(const TRemoteRequest& Request);
  TRemoteResponse Entries(const TRemoteRequest& Request, const std::string& Rest);
  TRemoteResponse ChangeEntry(int Index, const QJsonObject& Body);
  TRemoteResponse SaveOrLoad(const std::string& What, const QJsonObject& Body);
  TRemoteResponse Control(const std::string& What, const QJsonObject& Body);
  TRemoteResponse Screenshot(const TRemoteRequest& Request);
  TRemoteResponse Log(const TRemoteRequest& Request) const;

  IRemotePlayer& FPlayer;
  const TMediaFolder& FFolder;
  TRemoteStatus& FStatus;
  int FFailures = 0;  // entries that failed or stalled since the start
  std::deque<std::pair<std::int64_t, QJsonObject>> FLog;  // wall-clock ms and line, oldest first
};
