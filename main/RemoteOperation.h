#pragma once
// Remote operation as the program runs it: the token (from its file, else the settings), the
// media folder, the API over the player and the server, made from the command line's options;
// the status published again after the playlist's changes. User-interface thread.
#include <QJsonObject>
#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "app/CommandLine.h"

class IRemotePlayer;
class TMediaFolder;
class TPlayListListeners;
class TRemoteApi;
class TRemoteServer;
class TRemoteStatus;

// Where the token is kept when no token file is given.
struct TTokenSetting {
  std::function<std::string()> Read;  // empty when none was kept
  std::function<void(const std::string&)> Write;
};

class TRemoteOperation {
public:
  // Changes: the playlist's listeners, told of every change to what the status says.
  TRemoteOperation(std::unique_ptr<IRemotePlayer> APlayer, TPlayListListeners& AChanges, std::ostream& AErrors);
  ~TRemoteOperation();

  // Prepares the token and the media folder and starts serving; false, said on Errors, when it
  // cannot. Says where it serves on Errors, and the token when it was made now.
  bool Start(const TCommandLine& Line, const TTokenSetting& Setting);
  // One show event line: kept for /api/log and sent to the WebSocket clients.
  void Event(const QJsonObject& Line, std::int64_t WallMs);

private:
  bool Token(const TCommandLine& Line, const TTokenSetting& Setting, std::string& Token);
  void Changed();

  std::unique_ptr<IRemotePlayer> FPlayer;
  TPlayListListeners& FChanges;
  int FChangesKey = 0;
  std::ostream& FErrors;
  QObject FLoop;  // context of the publication after a change
  bool FPublishDue = false;
  std::unique_ptr<TMediaFolder> FFolder;
  std::unique_ptr<TRemoteStatus> FStatus;
  std::unique_ptr<TRemoteApi> FApi;
  std::unique_ptr<TRemoteServer> FServer;
};
