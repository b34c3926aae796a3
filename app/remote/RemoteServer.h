#pragma once
// The remote operation server: HTTP and WebSocket (TLS when a certificate is given) on a network
// thread of its own, uploads written by a file worker, and every API request carried to the
// user-interface thread, where TRemoteApi answers it; but for the status, answered from its last
// publication while that is fresh. The user-interface thread never waits on the network. Made,
// started, fed and freed on the user-interface thread.
#include <QJsonObject>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

class TMediaFolder;
class TRemoteApi;
class TRemoteStatus;

struct TRemoteOptions {
  std::string Address = "127.0.0.1";
  unsigned short Port = 0;  // 0: any free port
  std::string CertFile, KeyFile;  // TLS when both are given
  std::uint64_t UploadLimit = std::uint64_t(2) << 30;
  int TimeoutSeconds = 30;  // for each read and write of a request
};

class TRemoteServer {
public:
  static constexpr std::size_t HeaderLimit = 16 * 1024;
  static constexpr std::size_t JsonLimit = 1024 * 1024;
  static constexpr std::size_t MostConnections = 4096;

  TRemoteServer(TRemoteOptions AOptions, std::string Token, const TMediaFolder& Folder, TRemoteApi& Api,
                const TRemoteStatus& Status, std::ostream& Errors);
  ~TRemoteServer();  // stops the threads; connections are cut
  TRemoteServer(const TRemoteServer&) = delete;
  TRemoteServer& operator=(const TRemoteServer&) = delete;

  // Binds and starts serving; false, with Why, when it cannot (address in use, bad certificate).
  bool Start(std::string& Why);
  // Where it serves: http(s)://ADDR:PORT/, the port the one bound.
  std::string Url() const;
  // Sends one show event line to every WebSocket client of /api/events.
  void Publish(const QJsonObject& Line);

private:
  struct TCore;
  std::unique_ptr<TCore> F;
};
