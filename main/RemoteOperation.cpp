#include "main/RemoteOperation.h"

#include <QTimer>
#include <cstdlib>

#include "app/remote/IRemotePlayer.h"
#include "app/remote/MediaFolder.h"
#include "app/remote/RemoteApi.h"
#include "app/remote/RemoteServer.h"
#include "app/remote/RemoteStatus.h"
#include "app/remote/RemoteToken.h"
#include "engine/PlayListListeners.h"
#include "platform/dshow/MonotonicClock.h"

TRemoteOperation::TRemoteOperation(std::unique_ptr<IRemotePlayer> APlayer, TPlayListListeners& AChanges,
                                   std::ostream& AErrors)
    : FPlayer(std::move(APlayer)), FChanges(AChanges), FErrors(AErrors) {}

TRemoteOperation::~TRemoteOperation() {
  FChanges.Remove(FChangesKey);
  FServer.reset();  // before the API its requests reach
}

bool TRemoteOperation::Start(const TCommandLine& Line, const TTokenSetting& Setting) {
  std::string Token;
  if (!this->Token(Line, Setting, Token)) return false;
  const char* Home = std::getenv("HOME");
  FFolder = std::make_unique<TMediaFolder>(!Line.MediaDir.empty() ? Line.MediaDir
                                                                  : std::string(Home ? Home : "") + "/Videos/vizmora");
  std::string Why;
  if (!FFolder->Prepare(Why)) {
    FErrors << "vizmora: " << Why << std::endl;
    return false;
  }
  FStatus = std::make_unique<TRemoteStatus>(MonotonicMilliseconds);
  FApi = std::make_unique<TRemoteApi>(*FPlayer, *FFolder, *FStatus);
  TRemoteOptions Options;
  Options.Address = Line.RemoteAddress;
  Options.Port = static_cast<unsigned short>(Line.RemotePort);
  Options.CertFile = Line.RemoteCert;
  Options.KeyFile = Line.RemoteKey;
  Options.UploadLimit = Line.UploadLimit;
  Options.TimeoutSeconds = Line.RemoteTimeout;
  FServer = std::make_unique<TRemoteServer>(Options, Token, *FFolder, *FApi, *FStatus, FErrors);
  if (!FServer->Start(Why)) {
    FErrors << "vizmora: " << Why << std::endl;
    return false;
  }
  FChangesKey = FChanges.Add([this](TPlayListChange) { Changed(); });
  FErrors << "vizmora: remote operation on " << FServer->Url() << std::endl;
  return true;
}

// Many changes come at once, and the playlist is settled only when its operation has returned:
// publish once, afterwards.
void TRemoteOperation::Changed() {
  if (FPublishDue) return;
  FPublishDue = true;
  QTimer::singleShot(0, &FLoop, [this] {
    FPublishDue = false;
    FApi->PublishStatus();
  });
}

bool TRemoteOperation::Token(const TCommandLine& Line, const TTokenSetting& Setting, std::string& Token) {
  bool Created = false;
  if (!Line.RemoteTokenFile.empty()) {
    std::string Why;
    if (!LoadRemoteTokenFile(Line.RemoteTokenFile, Token, Created, Why)) {
      FErrors << "vizmora: " << Why << std::endl;
      return false;
    }
  } else {
    Token = Setting.Read();
    if (!IsRemoteToken(Token)) {
      Token = NewRemoteToken();
      Setting.Write(Token);
      Created = true;
    }
  }
  if (Created) FErrors << "vizmora: remote token: " << Token << std::endl;
  return true;
}

void TRemoteOperation::Event(const QJsonObject& Line, std::int64_t WallMs) {
  FApi->Record(Line, WallMs);
  FServer->Publish(Line);
}
