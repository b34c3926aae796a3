#include "app/remote/RemoteServer.h"

#include <utility>  // before Asio: its awaitable needs std::exchange

#include <QFile>
#include <QJsonDocument>
#include <QMetaObject>
#include <QObject>
#include <boost/asio.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/beast.hpp>
#include <boost/beast/ssl.hpp>
#include <boost/beast/websocket.hpp>
#include <boost/beast/websocket/ssl.hpp>
#include <chrono>
#include <deque>
#include <fcntl.h>
#include <functional>
#include <limits>
#include <set>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

#include "app/JsonLine.h"
#include "app/remote/MediaFolder.h"
#include "app/remote/RemoteApi.h"
#include "app/remote/RemoteAuth.h"
#include "app/remote/RemoteStatus.h"
#include "app/remote/UploadFile.h"
#include "platform/dshow/MonotonicClock.h"

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using tcp = asio::ip::tcp;
using asio::use_awaitable;

namespace {
using THead = http::request_parser<http::empty_body>;

std::int64_t WallMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

int Hex(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}

// %XX decoded (and "+" as a space in a query); a "%" not followed by two hex digits stays.
std::string Unescape(std::string_view Text, bool Query) {
  std::string Out;
  for (std::size_t I = 0; I < Text.size(); ++I) {
    if (Text[I] == '%' && I + 2 < Text.size() && Hex(Text[I + 1]) >= 0 && Hex(Text[I + 2]) >= 0) {
      Out += static_cast<char>(Hex(Text[I + 1]) * 16 + Hex(Text[I + 2]));
      I += 2;
    } else {
      Out += Query && Text[I] == '+' ? ' ' : Text[I];
    }
  }
  return Out;
}

std::map<std::string, std::string> ParseQuery(std::string_view Text) {
  std::map<std::string, std::string> Query;
  while (!Text.empty()) {
    const std::size_t Amp = std::min(Text.find('&'), Text.size());
    const std::string_view Pair = Text.substr(0, Amp);
    const std::size_t Eq = std::min(Pair.find('='), Pair.size());
    Query[Unescape(Pair.substr(0, Eq), true)] = Unescape(Pair.substr(std::min(Eq + 1, Pair.size())), true);
    Text.remove_prefix(std::min(Amp + 1, Text.size()));
  }
  return Query;
}

// The page's files, from the program's resources: name -> content type.
const char* PageType(const std::string& Name) {
  static const std::pair<const char*, const char*> Types[] = {
      {".html", "text/html; charset=utf-8"}, {".js", "text/javascript; charset=utf-8"},
      {".css", "text/css; charset=utf-8"},   {".svg", "image/svg+xml"},
      {".png", "image/png"},                 {".json", "application/json"}};
  for (const auto& [Ext, Type] : Types)
    if (Name.size() > std::strlen(Ext) && Name.compare(Name.size() - std::strlen(Ext), std::string::npos, Ext) == 0) return Type;
  return nullptr;
}

std::optional<TRemoteResponse> Resource(const std::string& Name) {
  const char* Type = PageType(Name);
  QFile File(QString::fromStdString(":/remote/" + Name));
  if (!Type || Name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._-/") != std::string::npos ||
      Name.find("..") != std::string::npos || !File.open(QIODevice::ReadOnly))
    return std::nullopt;
  return TRemoteResponse{200, Type, File.readAll().toStdString(),
                         {{"Content-Security-Policy", "default-src 'self'; img-src 'self' blob: data:; frame-ancestors 'none'"}}};
}

TRemoteResponse JsonAnswer(int Status, const QJsonObject& Body) { return {Status, "application/json", JsonLine(Body), {}}; }

// "100 Continue" when the client waits for it before sending its body.
template <class Stream, class Header>
asio::awaitable<void> Continue(Stream& S, const Header& Request) {
  if (Request[http::field::expect] != "100-continue") co_return;
  const http::response<http::empty_body> Go{http::status::continue_, Request.version()};
  co_await http::async_write(S, Go, use_awaitable);
}

// A line a WebSocket client is sent; its writes go out one after another.
struct TFeed {
  std::deque<std::string> Queue;
  bool Writing = false;
  std::function<void()> WriteFront;  // sends Queue.front(), then calls Written
  std::function<void()> Cut;         // closes the connection
  std::shared_ptr<asio::steady_timer> Drained;  // cancelled when the last write has ended
};
constexpr std::size_t FeedBacklog = 1000;  // lines a client may fall behind before it is cut off
// One request on its way through a session.
struct TExchange {
  THead Head;
  TRemoteRequest Api;
  unsigned Version = 11;
  bool Keep = false;    // the connection serves another request after this one
  bool Unread = false;  // the request's body has not been read
  std::optional<TRemoteResponse> Refused;  // the answer when the body was refused
};
constexpr std::size_t LingerLimit = 16 << 20;  // bytes of a refused body read before closing
}  // namespace

struct TRemoteServer::TCore {
  TCore(TRemoteOptions AOptions, std::string Token, const TMediaFolder& AFolder, TRemoteApi& AApi,
        const TRemoteStatus& AStatus, std::ostream& AErrors)
      : Options(std::move(AOptions)), Folder(AFolder), Api(AApi), Status(AStatus), Errors(AErrors),
        Auth(std::move(Token), MonotonicMilliseconds, AErrors), Acceptor(Io), FileGuard(FileIo.get_executor()) {}

  asio::io_context Io;      // the network thread's; declared first, so freed last
  asio::io_context FileIo;  // the file worker's
  TRemoteOptions Options;
  const TMediaFolder& Folder;
  TRemoteApi& Api;
  const TRemoteStatus& Status;
  std::ostream& Errors;
  TRemoteAuth Auth;  // network thread
  std::optional<asio::ssl::context> Tls;
  tcp::acceptor Acceptor;
  asio::executor_work_guard<asio::io_context::executor_type> FileGuard;
  std::unique_ptr<QObject> Ui = std::make_unique<QObject>();  // lives on the user-interface thread
  std::thread Network, Worker;
  std::size_t Connections = 0;               // network thread
  std::set<std::shared_ptr<TFeed>> Feeds;    // network thread
  unsigned short Port = 0;

  // Runs Work where Post sends it and resumes on the network thread once it is done. (The
  // coroutines here take no temporaries in their co_await expressions, and answer through
  // references: GCC 12 may destroy such temporaries twice.)
  using TPost = std::function<void(std::function<void()>)>;
  asio::awaitable<void> Elsewhere(const TPost& Post, const std::function<void()>& Work) {
    auto Done = std::make_shared<asio::steady_timer>(Io, asio::steady_timer::time_point::max());
    Post([Done, Work] {
      Work();
      asio::post(Done->get_executor(), [Done] { Done->cancel(); });
    });
    boost::system::error_code Ignored;
    co_await Done->async_wait(asio::redirect_error(use_awaitable, Ignored));
  }
  asio::awaitable<void> OnUiThread(const TRemoteRequest& Request, TRemoteResponse& Response) {
    const TPost Post = [this](std::function<void()> Job) { QMetaObject::invokeMethod(Ui.get(), std::move(Job), Qt::QueuedConnection); };
    const std::function<void()> Work = [&] { Response = Api.Handle(Request); };
    co_await Elsewhere(Post, Work);
  }
  asio::awaitable<void> OnWorker(const std::function<void()>& Work) {
    const TPost Post = [this](std::function<void()> Job) { asio::post(FileIo, std::move(Job)); };
    co_await Elsewhere(Post, Work);
  }

  // GET /api/status answered here, without the user-interface thread, while its publication is fresh.
  std::optional<TRemoteResponse> PublishedStatus(const TExchange& X) const {
    if (X.Api.Path != "/api/status" || X.Api.Method != "GET" || X.Unread) return std::nullopt;
    std::optional<std::string> Body = Status.Answer();
    if (!Body) return std::nullopt;
    return TRemoteResponse{200, "application/json", std::move(*Body), {}};
  }
  asio::awaitable<void> Accept();
  asio::awaitable<void> Serve(tcp::socket Socket);
  template <class Stream> asio::awaitable<void> Session(Stream& S, const std::string& Address);
  template <class Stream> asio::awaitable<void> Feed(Stream& S, const http::request<http::empty_body>& Request);
  template <class Stream>
  asio::awaitable<void> Upload(Stream& S, beast::flat_buffer& Buffer, THead& Head, TRemoteResponse& Response);
  template <class Stream> asio::awaitable<void> Linger(Stream& S);
  template <class Stream> asio::awaitable<void> ReadJson(Stream& S, beast::flat_buffer& Buffer, TExchange& X);
  template <class Stream> asio::awaitable<void> Reply(Stream& S, TExchange& X, const TRemoteResponse& Response);
  template <class Stream> asio::awaitable<void> Send(Stream& S, const TRemoteResponse& Response, unsigned Version, bool Keep);
  void Broadcast(const std::string& Line);
};

TRemoteServer::TRemoteServer(TRemoteOptions AOptions, std::string Token, const TMediaFolder& Folder, TRemoteApi& Api,
                             const TRemoteStatus& Status, std::ostream& Errors)
    : F(std::make_unique<TCore>(std::move(AOptions), std::move(Token), Folder, Api, Status, Errors)) {}

TRemoteServer::~TRemoteServer() {
  F->Ui.reset();  // requests waiting for the user-interface thread are dropped
  F->Io.stop();
  if (F->Network.joinable()) F->Network.join();
  F->FileGuard.reset();
  F->FileIo.stop();
  if (F->Worker.joinable()) F->Worker.join();
}

bool TRemoteServer::Start(std::string& Why) {
  TCore& C = *F;
  try {
    if (!C.Options.CertFile.empty()) {
      C.Tls.emplace(asio::ssl::context::tls_server);
      C.Tls->set_options(asio::ssl::context::default_workarounds | asio::ssl::context::no_sslv2 |
                         asio::ssl::context::no_sslv3 | asio::ssl::context::no_tlsv1 | asio::ssl::context::no_tlsv1_1);
      C.Tls->use_certificate_chain_file(C.Options.CertFile);
      C.Tls->use_private_key_file(C.Options.KeyFile, asio::ssl::context::pem);
    }
    const tcp::endpoint At(asio::ip::make_address(C.Options.Address), C.Options.Port);
    C.Acceptor.open(At.protocol());
    C.Acceptor.set_option(asio::socket_base::reuse_address(true));
    C.Acceptor.bind(At);
    C.Acceptor.listen(asio::socket_base::max_listen_connections);
    C.Port = C.Acceptor.local_endpoint().port();
  } catch (const std::exception& E) {
    Why = "cannot serve remote operation on " + C.Options.Address + ":" + std::to_string(C.Options.Port) + ": " + E.what();
    return false;
  }
  // Many idle clients each hold a descriptor: allow as many as the system lets this user have.
  rlimit Files{};
  if (getrlimit(RLIMIT_NOFILE, &Files) == 0 && Files.rlim_cur < Files.rlim_max) {
    Files.rlim_cur = Files.rlim_max;
    setrlimit(RLIMIT_NOFILE, &Files);
  }
  asio::co_spawn(C.Io, C.Accept(), asio::detached);
  C.Network = std::thread([&C] { C.Io.run(); });
  C.Worker = std::thread([&C] { C.FileIo.run(); });
  return true;
}

std::string TRemoteServer::Url() const {
  const asio::ip::address Address = asio::ip::make_address(F->Options.Address);
  const std::string Host = Address.is_v6() ? "[" + Address.to_string() + "]" : Address.to_string();
  return std::string(F->Tls ? "https" : "http") + "://" + Host + ":" + std::to_string(F->Port) + "/";
}

void TRemoteServer::Publish(const QJsonObject& Line) {
  asio::post(F->Io, [Core = F.get(), Text = JsonLine(Line)] { Core->Broadcast(Text); });
}

void TRemoteServer::TCore::Broadcast(const std::string& Line) {
  for (const std::shared_ptr<TFeed>& Feed : Feeds) {
    if (Feed->Queue.size() >= FeedBacklog) {
      Feed->Cut();
      continue;
    }
    Feed->Queue.push_back(Line);
    if (!Feed->Writing) Feed->WriteFront();
  }
}

asio::awaitable<void> TRemoteServer::TCore::Accept() {
  asio::steady_timer Pause(Io);
  for (;;) {
    boost::system::error_code Error;
    tcp::socket Socket = co_await Acceptor.async_accept(asio::redirect_error(use_awaitable, Error));
    if (Error) {  // out of descriptors, say: wait a little rather than spin
      Pause.expires_after(std::chrono::milliseconds(100));
      co_await Pause.async_wait(asio::redirect_error(use_awaitable, Error));
      continue;
    }
    if (Connections >= MostConnections) continue;  // the socket closes as it goes
    asio::co_spawn(Io, Serve(std::move(Socket)), asio::detached);
  }
}

asio::awaitable<void> TRemoteServer::TCore::Serve(tcp::socket Socket) {
  struct TCount {
    std::size_t& N;
    explicit TCount(std::size_t& AN) : N(AN) { ++N; }
    ~TCount() { --N; }
  } Count(Connections);
  boost::system::error_code Error;
  const std::string Address = Socket.remote_endpoint(Error).address().to_string();
  beast::tcp_stream Tcp(std::move(Socket));
  try {
    if (!Tls) {
      co_await Session(Tcp, Address);
      Tcp.socket().shutdown(tcp::socket::shutdown_send, Error);
      co_return;
    }
    beast::ssl_stream<beast::tcp_stream> S(std::move(Tcp), *Tls);
    beast::get_lowest_layer(S).expires_after(std::chrono::seconds(Options.TimeoutSeconds));
    co_await S.async_handshake(asio::ssl::stream_base::server, use_awaitable);
    co_await Session(S, Address);
  } catch (const std::exception&) {
    // the client went, timed out or spoke no HTTP: the connection just closes
  }
}

template <class Stream>
asio::awaitable<void> TRemoteServer::TCore::Send(Stream& S, const TRemoteResponse& Response, unsigned Version, bool Keep) {
  http::response<http::string_body> Out{static_cast<http::status>(Response.Status), Version};
  if (!Response.ContentType.empty()) Out.set(http::field::content_type, Response.ContentType);
  Out.set(http::field::cache_control, "no-store");
  Out.set("X-Content-Type-Options", "nosniff");
  Out.set("X-Frame-Options", "DENY");
  Out.set("Referrer-Policy", "no-referrer");
  for (const auto& [Name, Value] : Response.Headers) Out.insert(Name, Value);
  Out.body() = Response.Body;
  Out.keep_alive(Keep);
  Out.prepare_payload();
  beast::get_lowest_layer(S).expires_after(std::chrono::seconds(Options.TimeoutSeconds));
  co_await http::async_write(S, Out, use_awaitable);
}

// After an answer that refused a body: stop sending, and read what the client still sends (up to
// a limit, each read under the timeout) before closing, so the close does not reset the
// connection and lose the answer before the client has read it.
template <class Stream>
asio::awaitable<void> TRemoteServer::TCore::Linger(Stream& S) {
  auto& Tcp = beast::get_lowest_layer(S);
  boost::system::error_code Error;
  Tcp.socket().shutdown(tcp::socket::shutdown_send, Error);
  std::vector<char> Scratch(64 * 1024);
  for (std::size_t Total = 0; !Error && Total < LingerLimit;) {
    Tcp.expires_after(std::chrono::seconds(Options.TimeoutSeconds));
    Total += co_await Tcp.async_read_some(asio::buffer(Scratch), asio::redirect_error(use_awaitable, Error));
  }
}

// The body, for the routes that take JSON, read under its limit; X.Refused set when it is refused.
template <class Stream>
asio::awaitable<void> TRemoteServer::TCore::ReadJson(Stream& S, beast::flat_buffer& Buffer, TExchange& X) {
  if (!X.Unread) co_return;
  // Beast checks a body's declared length against the limit only while it reads the header.
  if (X.Head.content_length().value_or(0) > JsonLimit) {
    X.Refused = RemoteError(413, "the body is larger than 1 MiB", "body");
    co_return;
  }
  http::request_parser<http::string_body> Body(std::move(X.Head));
  Body.body_limit(JsonLimit);
  co_await Continue(S, Body.get());
  beast::get_lowest_layer(S).expires_after(std::chrono::seconds(Options.TimeoutSeconds));
  boost::system::error_code Error;
  co_await http::async_read(S, Buffer, Body, asio::redirect_error(use_awaitable, Error));
  if (Error == http::error::body_limit) {
    X.Refused = RemoteError(413, "the body is larger than 1 MiB", "body");
    co_return;
  }
  if (Error) throw boost::system::system_error(Error);
  X.Api.Body = Body.get().body();
  X.Keep = Body.get().keep_alive();
  X.Unread = false;
}


template <class Stream>
asio::awaitable<void> TRemoteServer::TCore::Reply(Stream& S, TExchange& X, const TRemoteResponse& Response) {
  co_await Send(S, Response, X.Version, X.Keep);
  if (!X.Keep && X.Unread) co_await Linger(S);
}

template <class Stream>
asio::awaitable<void> TRemoteServer::TCore::Session(Stream& S, const std::string& Address) {
  beast::flat_buffer Buffer;
  for (;;) {
    TExchange X;
    THead& Head = X.Head;
    Head.header_limit(HeaderLimit);
    // Each route sets its own when it reads the body. (Not boost::none: Beast 1.74 takes a length
    // over "none" for one over the limit.)
    Head.body_limit(std::numeric_limits<std::uint64_t>::max());
    beast::get_lowest_layer(S).expires_after(std::chrono::seconds(Options.TimeoutSeconds));
    boost::system::error_code Error;
    co_await http::async_read_header(S, Buffer, Head, asio::redirect_error(use_awaitable, Error));
    if (Error == http::error::header_limit) {
      const TRemoteResponse TooLarge = RemoteError(431, "the request's header is too large");
      co_await Send(S, TooLarge, 11, false);
      co_return;
    }
    if (Error) co_return;
    const http::request<http::empty_body>& Request = Head.get();
    const std::string Target(Request.target());
    const std::size_t Mark = std::min(Target.find('?'), Target.size());
    TRemoteRequest& Api = X.Api;
    Api = TRemoteRequest{std::string(Request.method_string()), Target.substr(0, Mark),
                       ParseQuery(std::string_view(Target).substr(std::min(Mark + 1, Target.size()))), {}, {}, WallMs()};
    const bool Changes = Api.Method == "POST" || Api.Method == "PATCH" || Api.Method == "DELETE" || Api.Method == "PUT";
    const bool HasBody = Request.chunked() || Head.content_length().value_or(0) > 0;
    X.Unread = HasBody;
    X.Keep = Request.keep_alive() && !HasBody;  // a body left unread ends the connection
    X.Version = Request.version();              // Request goes with Head into a body's parser

    if (Api.Path.rfind("/api/", 0) != 0) {  // the page needs no token: it shows a login form
      const std::optional<TRemoteResponse> Page =
          Api.Method == "GET" ? Resource("web" + (Api.Path == "/" ? std::string("/index.html") : Api.Path)) : std::nullopt;
      const TRemoteResponse Answer = Page ? *Page : RemoteError(Api.Method == "GET" ? 404 : 405, "no such page");
      co_await Reply(S, X, Answer);
      if (!X.Keep) co_return;
      continue;
    }
    const std::string Cookie(Request[http::field::cookie]);
    const TAuthRequest Credentials{Address, Changes, std::string(Request[http::field::authorization]), Cookie,
                                   std::string(Request["X-CSRF-Token"])};
    if (websocket::is_upgrade(Request)) {
      // A browser sends its page's origin: one of another site is refused, cookie or not.
      const std::string Origin(Request[http::field::origin]), Host(Request[http::field::host]);
      const std::size_t Scheme = Origin.find("://");
      const TAuthVerdict Verdict =
          !Origin.empty() && (Scheme == std::string::npos || Origin.substr(Scheme + 3) != Host)
              ? TAuthVerdict{403, "a WebSocket from a page of another origin", 0}
              : Auth.Check(Credentials);
      if (Api.Path == "/api/events" && Verdict.Status == 200) {
        co_await Feed(S, Request);
        co_return;
      }
      X.Keep = false;
      const TRemoteResponse Answer =
          Verdict.Status != 200 ? RemoteError(Verdict.Status, Verdict.Error) : RemoteError(404, "no WebSocket here");
      co_await Reply(S, X, Answer);
      co_return;
    }
    TRemoteResponse Response;
    if (Api.Path == "/api/login") {
      if (Api.Method == "POST") co_await ReadJson(S, Buffer, X);
      if (Api.Method != "POST") {
        Response = RemoteError(405, "the route does not take this method");
      } else if (X.Refused) {
        Response = *X.Refused;
      } else {
        const QJsonDocument Body = QJsonDocument::fromJson(QByteArray::fromStdString(Api.Body));
        const QJsonValue Token = Body.object().value("token");
        std::string Session, Csrf;
        const TAuthVerdict Verdict = Token.isString() ? Auth.Login(Address, Token.toString().toStdString(), Session, Csrf)
                                                      : TAuthVerdict{400, "\"token\" must be a string", 0};
        if (Verdict.Status == 200) {
          Response = JsonAnswer(200, {{"csrf", QString::fromStdString(Csrf)}});
          Response.Headers.emplace_back("Set-Cookie", std::string(TRemoteAuth::CookieName) + "=" + Session +
                                                          "; HttpOnly; SameSite=Strict; Path=/" + (Tls ? "; Secure" : ""));
        } else {
          Response = RemoteError(Verdict.Status, Verdict.Error, Verdict.Status == 400 ? "token" : "");
          if (Verdict.RetryAfterS) Response.Headers.emplace_back("Retry-After", std::to_string(Verdict.RetryAfterS));
        }
      }
      co_await Reply(S, X, Response);
      if (!X.Keep) co_return;
      continue;
    }
    if (const TAuthVerdict Verdict = Auth.Check(Credentials); Verdict.Status != 200) {
      Response = RemoteError(Verdict.Status, Verdict.Error);
      if (Verdict.RetryAfterS) Response.Headers.emplace_back("Retry-After", std::to_string(Verdict.RetryAfterS));
      if (Verdict.Status == 401) Response.Headers.emplace_back("WWW-Authenticate", "Bearer");
    } else if (Api.Path == "/api/session") {
      Response = Api.Method != "GET" ? RemoteError(405, "the route does not take this method")
                                     : Auth.SessionCsrf(Cookie).empty()
                                         ? RemoteError(401, "no session")
                                         : JsonAnswer(200, {{"csrf", QString::fromStdString(Auth.SessionCsrf(Cookie))}});
    } else if (Api.Path == "/api/logout") {
      Auth.Logout(Cookie);
      Response = {204, "", "", {{"Set-Cookie", std::string(TRemoteAuth::CookieName) + "=; Max-Age=0; HttpOnly; SameSite=Strict; Path=/"}}};
    } else if (Api.Path == "/api/events") {
      Response = RemoteError(426, "this route is a WebSocket");
      Response.Headers.emplace_back("Upgrade", "websocket");
    } else if (Api.Path == "/api/openapi.json") {
      Response = Api.Method == "GET" ? Resource("openapi.json").value_or(RemoteError(404, "no document"))
                                     : RemoteError(405, "the route does not take this method");
    } else if (Api.Path == "/api/playlist/entries" && Api.Method == "POST" &&
               Request[http::field::content_type].starts_with("application/octet-stream")) {
      co_await Upload(S, Buffer, Head, Response);
      X.Keep = false;  // an upload refused early leaves its body unread
      if (Response.Status == 200) {
        X.Unread = false;
        Api.Upload = Response.Body;
        co_await OnUiThread(Api, Response);
      }
    } else if (std::optional<TRemoteResponse> Published = PublishedStatus(X)) {
      Response = std::move(*Published);
    } else {
      co_await ReadJson(S, Buffer, X);
      if (X.Refused)
        Response = *X.Refused;
      else
        co_await OnUiThread(Api, Response);
    }
    co_await Reply(S, X, Response);
    if (!X.Keep) co_return;
  }
}

// Streams the body to a hidden file in the media folder, a piece at a time through the file
// worker, and gives it its name only when complete: 200 with the saved name as the body, or
// the error. A cut connection, a full disk or a body over the limit leave no file behind.
template <class Stream>
asio::awaitable<void> TRemoteServer::TCore::Upload(Stream& S, beast::flat_buffer& Buffer, THead& Head, TRemoteResponse& Response) {
  const std::string Given = Unescape(std::string(Head.get()["X-File-Name"]), false);
  const std::optional<std::string> Name = SanitiseFileName(Given);
  if (!Name) {
    Response = RemoteError(400, "\"X-File-Name\" must be a file name without folders", "X-File-Name");
    co_return;
  }
  if (!TRemoteApi::IsEntryName(*Name)) {
    Response = RemoteError(415, "the file is of no media kind the player plays", "X-File-Name");
    co_return;
  }
  if (Head.content_length() && *Head.content_length() > Options.UploadLimit) {
    Response = RemoteError(413, "the file is larger than the upload limit", "body");
    co_return;
  }
  TUploadFile File(Folder.Root());
  std::string Why;
  const std::function<void()> Create = [&] { File.Create(Why); };
  co_await OnWorker(Create);
  if (!Why.empty()) {
    Response = RemoteError(507, Why);
    co_return;
  }
  http::request_parser<http::buffer_body> Body(std::move(Head));
  Body.body_limit(Options.UploadLimit);
  co_await Continue(S, Body.get());
  std::vector<char> Piece(256 * 1024);
  int WriteError = 0;
  std::size_t Got = 0;
  std::string Saved;
  const std::function<void()> Write = [&] { WriteError = File.Write(Piece.data(), Got); };
  const std::function<void()> Finish = [&] { WriteError = File.Finish(*Name, Saved); };
  while (!Body.is_done()) {
    Body.get().body().data = Piece.data();
    Body.get().body().size = Piece.size();
    beast::get_lowest_layer(S).expires_after(std::chrono::seconds(Options.TimeoutSeconds));
    boost::system::error_code Error;
    co_await http::async_read(S, Buffer, Body, asio::redirect_error(use_awaitable, Error));
    if (Error == http::error::body_limit) {
      Response = RemoteError(413, "the file is larger than the upload limit", "body");
      co_return;
    }
    if (Error && Error != http::error::need_buffer) throw boost::system::system_error(Error);  // the file goes with File
    Got = Piece.size() - Body.get().body().size;
    co_await OnWorker(Write);
    if (WriteError) break;
  }
  if (!WriteError) co_await OnWorker(Finish);
  if (WriteError == ENOSPC || WriteError == EDQUOT) {
    Response = RemoteError(507, "the media folder's disk is full");
    co_return;
  }
  if (WriteError) {
    Response = RemoteError(500, std::string("cannot save the file: ") + std::strerror(WriteError));
    co_return;
  }
  Response = TRemoteResponse{200, "", Folder.RelativeName(Saved), {}};
}

template <class Stream>
asio::awaitable<void> TRemoteServer::TCore::Feed(Stream& S, const http::request<http::empty_body>& Request) {
  websocket::stream<Stream&> Ws(S);
  beast::get_lowest_layer(S).expires_never();
  Ws.set_option(websocket::stream_base::timeout::suggested(beast::role_type::server));
  co_await Ws.async_accept(Request, use_awaitable);
  Ws.text(true);
  auto Feed = std::make_shared<TFeed>();
  Feed->Drained = std::make_shared<asio::steady_timer>(Io, asio::steady_timer::time_point::max());
  std::weak_ptr<TFeed> Weak = Feed;
  Feed->WriteFront = [&Ws, Weak] {
    const std::shared_ptr<TFeed> F = Weak.lock();
    F->Writing = true;
    Ws.async_write(asio::buffer(F->Queue.front()), [F](boost::system::error_code Error, std::size_t) {
      F->Queue.pop_front();
      F->Writing = false;
      if (Error) {
        F->Queue.clear();
        F->Drained->cancel();
      } else if (!F->Queue.empty()) {
        F->WriteFront();
      } else {
        F->Drained->cancel();
      }
    });
  };
  Feed->Cut = [&S] {
    boost::system::error_code Ignored;
    beast::get_lowest_layer(S).socket().close(Ignored);
  };
  Feeds.insert(Feed);
  beast::flat_buffer Incoming;
  boost::system::error_code Error;
  while (!Error) {  // the client's messages are read and dropped; this notices its leaving
    co_await Ws.async_read(Incoming, asio::redirect_error(use_awaitable, Error));
    Incoming.clear();
  }
  Feeds.erase(Feed);
  if (Feed->Writing) {  // its write still uses the stream: close it and wait for the write to end
    Feed->Cut();
    Feed->Drained->expires_at(asio::steady_timer::time_point::max());
    co_await Feed->Drained->async_wait(asio::redirect_error(use_awaitable, Error));
  }
  Feed->WriteFront = nullptr;
}
