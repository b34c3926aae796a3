#include "app/remote/RemoteApi.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <optional>

#include "app/CommandLine.h"
#include "app/EntryKinds.h"
#include "app/JsonLine.h"
#include "app/remote/IRemotePlayer.h"
#include "app/remote/MediaFolder.h"
#include "app/remote/RemoteStatus.h"

namespace {
TRemoteResponse Json(int Status, const QJsonObject& Object) { return {Status, "application/json", JsonLine(Object), {}}; }

TRemoteResponse NoContent() { return {204, "", "", {}}; }

TRemoteResponse NotFound() { return RemoteError(404, "no such route"); }

TRemoteResponse WrongMethod() { return RemoteError(405, "the route does not take this method"); }

// The body as a JSON object whose fields are all among Known: nullopt with Error set otherwise.
// An empty body is an empty object.
std::optional<QJsonObject> ParseBody(const std::string& Body, std::initializer_list<const char*> Known,
                                     TRemoteResponse& Error) {
  if (Body.find_first_not_of(" \r\n\t") == std::string::npos) return QJsonObject();
  QJsonParseError Parse{};
  const QJsonDocument Document = QJsonDocument::fromJson(QByteArray::fromStdString(Body), &Parse);
  if (Parse.error != QJsonParseError::NoError || !Document.isObject()) {
    Error = RemoteError(400, "the body is not a JSON object: " + Parse.errorString().toStdString(), "body");
    return std::nullopt;
  }
  const QJsonObject Object = Document.object();
  for (auto It = Object.begin(); It != Object.end(); ++It) {
    bool Ok = false;
    for (const char* Name : Known) Ok = Ok || It.key() == QLatin1String(Name);
    if (!Ok) {
      Error = RemoteError(400, "unknown field", It.key().toStdString());
      return std::nullopt;
    }
  }
  return Object;
}

// Checks fields of a body one by one; the first fault is kept and later checks do nothing.
class TFieldCheck {
public:
  // Prefix goes before the names of the fields it reports: those of an object inside the body.
  explicit TFieldCheck(const QJsonObject& ABody, std::string APrefix = {}) : FBody(ABody), FPrefix(std::move(APrefix)) {}

  bool Has(const char* Name) const { return FBody.contains(QLatin1String(Name)); }
  std::optional<double> Number(const char* Name, double Min, double Max) {
    const QJsonValue V = FBody.value(QLatin1String(Name));
    if (!Has(Name) || Failed()) return std::nullopt;
    if (!V.isDouble() || V.toDouble() < Min || V.toDouble() > Max)
      return Fail(Name, "must be a number from " + Text(Min) + " to " + Text(Max)), std::nullopt;
    return V.toDouble();
  }
  std::optional<int> Whole(const char* Name, double Min, double Max) {
    const std::optional<double> V = Number(Name, Min, Max);
    if (V && *V != std::floor(*V)) return Fail(Name, "must be a whole number"), std::nullopt;
    return V ? std::optional<int>(static_cast<int>(*V)) : std::nullopt;
  }
  std::optional<std::string> String(const char* Name) {
    const QJsonValue V = FBody.value(QLatin1String(Name));
    if (!Has(Name) || Failed()) return std::nullopt;
    if (!V.isString()) return Fail(Name, "must be a string"), std::nullopt;
    return V.toString().toStdString();
  }
  std::optional<bool> Bool(const char* Name) {
    const QJsonValue V = FBody.value(QLatin1String(Name));
    if (!Has(Name) || Failed()) return std::nullopt;
    if (!V.isBool()) return Fail(Name, "must be true or false"), std::nullopt;
    return V.toBool();
  }
  // A path inside the media folder; empty stays empty when Empty allows it.
  std::optional<std::string> Path(const char* Name, const TMediaFolder& Folder, bool Empty) {
    const std::optional<std::string> V = String(Name);
    if (!V || (Empty && V->empty())) return V;
    std::string Why;
    const auto Resolved = Folder.Resolve(*V, Why);
    if (!Resolved) return Fail(Name, "path " + Why), std::nullopt;
    return Resolved->string();
  }
  void Require(const char* Name) {
    if (!Has(Name) && !Failed()) Fail(Name, "is required");
  }
  void Fail(const std::string& Name, const std::string& Why, int Status = 400) {
    if (!Failed()) FError = RemoteError(Status, "\"" + FPrefix + Name + "\" " + Why, FPrefix + Name);
  }
  bool Failed() const { return FError.has_value(); }
  const TRemoteResponse& Error() const { return *FError; }

private:
  static std::string Text(double V) { return QString::number(V).toStdString(); }
  const QJsonObject& FBody;
  std::string FPrefix;
  std::optional<TRemoteResponse> FError;
};

// A decimal index, or nullopt.
std::optional<int> IndexOf(const std::string& Text) {
  if (Text.empty() || Text.size() > 9 || Text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  return std::stoi(Text);
}

bool IsFile(const std::string& Path) {
  std::error_code Error;
  return std::filesystem::is_regular_file(Path, Error);
}
}  // namespace

TRemoteResponse RemoteError(int Status, const std::string& Message, const std::string& Field) {
  QJsonObject Body{{"error", JsonText(Message)}};
  if (!Field.empty()) Body["field"] = JsonText(Field);
  return Json(Status, Body);
}

TRemoteApi::TRemoteApi(IRemotePlayer& APlayer, const TMediaFolder& AFolder, TRemoteStatus& AStatus)
    : FPlayer(APlayer), FFolder(AFolder), FStatus(AStatus) {}

bool TRemoteApi::IsEntryName(const std::string& Name) {
  const std::size_t Dot = Name.rfind('.');
  return Dot != std::string::npos && EntryKindForExt(Name.substr(Dot)) != nullptr;
}

bool TRemoteApi::IsMediaName(const std::string& Name) { return IsEntryName(Name) || IsPlayListPath(Name); }

void TRemoteApi::Record(const QJsonObject& Line, std::int64_t WallMs) {
  const QString Event = Line.value("event").toString();
  FLog.emplace_back(WallMs, Line);
  if (FLog.size() > LogLines) FLog.pop_front();
  if (Event == "failed" || Event == "stalled") {
    ++FFailures;
    PublishStatus();
  }
}

TRemoteResponse TRemoteApi::Handle(const TRemoteRequest& Request) {
  TRemoteResponse Response = Route(Request);
  if (Request.Method != "GET") PublishStatus();  // the request may have changed the player
  return Response;
}

TRemoteResponse TRemoteApi::Route(const TRemoteRequest& Request) {
  const std::string& P = Request.Path;
  const std::string& M = Request.Method;
  const auto Only = [&M](const char* Method, const auto& Answer) { return M == Method ? Answer() : WrongMethod(); };
  if (P == "/api/status") return Only("GET", [this] { return Status(); });
  if (P == "/api/playlist") return Only("GET", [this] { return PlayList(); });
  if (P == "/api/media")
    return Only("GET", [this] {
      QJsonArray Files;
      for (const std::string& Name : FFolder.List(IsMediaName)) Files.append(JsonText(Name));
      return Json(200, {{"files", Files}});
    });
  if (P == "/api/screenshot") return Only("GET", [&] { return Screenshot(Request); });
  if (P == "/api/log") return Only("GET", [&] { return Log(Request); });
  if (P == "/api/playlist/entries") return Only("POST", [&] { return AddEntry(Request); });
  static const std::string EntriesAt = "/api/playlist/entries/";
  if (P.rfind(EntriesAt, 0) == 0) return Entries(Request, P.substr(EntriesAt.size()));
  for (const char* What : {"save", "load"})
    if (P == std::string("/api/playlist/") + What)
      return Only("POST", [&] {
        TRemoteResponse Error;
        const auto Body = ParseBody(Request.Body, {"path"}, Error);
        return Body ? SaveOrLoad(What, *Body) : Error;
      });
  static const std::string ControlAt = "/api/control/";
  if (P.rfind(ControlAt, 0) == 0) {
    const std::string What = P.substr(ControlAt.size());
    for (const char* Known : {"play", "pause", "stop", "next", "previous", "seek", "volume"})
      if (What == Known)
        return Only("POST", [&] {
          TRemoteResponse Error;
          const auto Body = ParseBody(Request.Body, {"percent", "volume"}, Error);
          return Body ? Control(What, *Body) : Error;
        });
  }
  return NotFound();
}

void TRemoteApi::PublishStatus() { Status(); }

TRemoteResponse TRemoteApi::Status() {
  TStatusFacts Facts;
  const TEntryState State = FPlayer.PlayState();
  Facts.State = State == esPlaying ? "playing" : State == esPaused ? "paused" : "stopped";
  Facts.Index = FPlayer.CurrentIndex();
  if (Facts.Index >= 0) Facts.File = FPlayer.Entry(Facts.Index).value("file").toString();
  Facts.Position = FPlayer.PositionSeconds();
  Facts.Length = FPlayer.LengthSeconds();
  Facts.Volume = FPlayer.Volume();
  Facts.Transition = FPlayer.Transition();
  Facts.Failures = FFailures;
  Facts.Count = FPlayer.Count();
  return {200, "application/json", FStatus.Publish(Facts), {}};
}

TRemoteResponse TRemoteApi::PlayList() const {
  QJsonArray Entries;
  for (int I = 0; I < FPlayer.Count(); ++I) Entries.append(FPlayer.Entry(I));
  return Json(200, {{"entries", Entries}});
}

TRemoteResponse TRemoteApi::AddEntry(const TRemoteRequest& Request) {
  if (!Request.Upload.empty()) {
    const std::filesystem::path Saved = FFolder.Root() / Request.Upload;
    const int Index = FPlayer.Add(Saved.string(), FPlayer.Count());
    if (Index < 0) {
      std::error_code Error;
      std::filesystem::remove(Saved, Error);
      return RemoteError(415, "the file is of no media kind the player plays", "X-File-Name");
    }
    return Json(201, {{"index", Index}, {"path", JsonText(Request.Upload)}});
  }
  TRemoteResponse Error;
  const auto Body = ParseBody(Request.Body, {"path", "index"}, Error);
  if (!Body) return Error;
  TFieldCheck Check(*Body);
  Check.Require("path");
  const std::optional<std::string> Path = Check.Path("path", FFolder, false);
  const std::optional<int> At = Check.Whole("index", 0, FPlayer.Count());
  if (!Check.Failed() && !IsFile(*Path)) Check.Fail("path", "names no file in the media folder", 404);
  if (!Check.Failed() && !IsEntryName(*Path)) Check.Fail("path", "is of no media kind the player plays", 415);
  if (Check.Failed()) return Check.Error();
  const int Index = FPlayer.Add(*Path, At.value_or(FPlayer.Count()));
  if (Index < 0) return RemoteError(415, "\"path\" is of no media kind the player plays", "path");
  return Json(201, {{"index", Index}});
}

TRemoteResponse TRemoteApi::Entries(const TRemoteRequest& Request, const std::string& Rest) {
  const std::size_t Slash = Rest.find('/');
  const std::optional<int> Index = IndexOf(Rest.substr(0, Slash));
  const std::string Tail = Slash == std::string::npos ? "" : Rest.substr(Slash);
  if (!Index || (Tail != "" && Tail != "/move")) return NotFound();
  const std::string& M = Request.Method;
  if (Tail.empty() ? M != "PATCH" && M != "DELETE" : M != "POST") return WrongMethod();
  if (*Index >= FPlayer.Count()) return RemoteError(404, "no entry at this index", "index");
  TRemoteResponse Error;
  if (M == "DELETE") {
    FPlayer.Remove(*Index);
    return NoContent();
  }
  if (M == "PATCH") {
    const auto Body = ParseBody(Request.Body, {"overlay", "overlayRect", "overlayAlpha", "displayTime", "sound", "continueSound"}, Error);
    return Body ? ChangeEntry(*Index, *Body) : Error;
  }
  const auto Body = ParseBody(Request.Body, {"to"}, Error);
  if (!Body) return Error;
  TFieldCheck Check(*Body);
  Check.Require("to");
  const std::optional<int> To = Check.Whole("to", 0, FPlayer.Count() - 1);
  if (Check.Failed()) return Check.Error();
  FPlayer.Move(*Index, *To);
  return PlayList();
}

TRemoteResponse TRemoteApi::ChangeEntry(int Index, const QJsonObject& Body) {
  const bool Video = FPlayer.Entry(Index).value("kind").toString() == "video";
  TFieldCheck Check(Body);
  for (const char* Name : {"overlay", "overlayRect", "overlayAlpha"})
    if (!Video && Check.Has(Name)) Check.Fail(Name, "belongs to video entries");
  for (const char* Name : {"displayTime", "sound", "continueSound"})
    if (Video && Check.Has(Name)) Check.Fail(Name, "belongs to picture entries");
  TEntryChanges Changes;
  Changes.Overlay = Check.Path("overlay", FFolder, true);
  Changes.OverlayAlpha = Check.Whole("overlayAlpha", 0, 255);
  Changes.DisplayTime = Check.Whole("displayTime", 1, 24 * 3600);
  Changes.Sound = Check.Path("sound", FFolder, true);
  Changes.ContinueSound = Check.Bool("continueSound");
  if (Check.Has("overlayRect") && !Check.Failed()) {
    const QJsonValue Rect = Body.value("overlayRect");
    if (!Rect.isObject()) return RemoteError(400, "\"overlayRect\" must be an object of left, top, right, bottom", "overlayRect");
    const QJsonObject Sides = Rect.toObject();
    TFieldCheck RectCheck(Sides, "overlayRect.");
    for (auto It = Sides.begin(); It != Sides.end(); ++It)
      if (It.key() != "left" && It.key() != "top" && It.key() != "right" && It.key() != "bottom")
        RectCheck.Fail(It.key().toStdString(), "is unknown");
    std::optional<float>* Fields[] = {&Changes.Left, &Changes.Top, &Changes.Right, &Changes.Bottom};
    const char* Names[] = {"left", "top", "right", "bottom"};
    for (int I = 0; I < 4; ++I)
      if (const auto V = RectCheck.Number(Names[I], -10, 10)) *Fields[I] = static_cast<float>(*V);
    if (RectCheck.Failed()) return RectCheck.Error();
  }
  for (const std::optional<std::string>* File : {&Changes.Overlay, &Changes.Sound})
    if (*File && !(*File)->empty() && !IsFile(**File))
      Check.Fail(File == &Changes.Overlay ? "overlay" : "sound", "names no file in the media folder");
  if (Check.Failed()) return Check.Error();
  FPlayer.Change(Index, Changes);
  return Json(200, FPlayer.Entry(Index));
}

TRemoteResponse TRemoteApi::SaveOrLoad(const std::string& What, const QJsonObject& Body) {
  TFieldCheck Check(Body);
  Check.Require("path");
  const std::optional<std::string> Path = Check.Path("path", FFolder, false);
  if (!Check.Failed() && !IsPlayListPath(*Path)) Check.Fail("path", "must end in .pll, .m3u, .m3u8 or .xspf");
  if (!Check.Failed() && What == "load" && !IsFile(*Path)) Check.Fail("path", "names no file in the media folder", 404);
  if (Check.Failed()) return Check.Error();
  const std::string Why = What == "save" ? FPlayer.Save(*Path) : FPlayer.Load(*Path);
  if (!Why.empty()) return RemoteError(What == "save" ? 500 : 422, Why, "path");
  return What == "save" ? Json(200, {{"path", JsonText(FFolder.RelativeName(*Path))}}) : NoContent();
}

TRemoteResponse TRemoteApi::Control(const std::string& What, const QJsonObject& Body) {
  TFieldCheck Check(Body);
  if (What == "seek") {
    Check.Require("percent");
    const auto Percent = Check.Number("percent", 0, 100);
    if (Check.Failed()) return Check.Error();
    FPlayer.Seek(*Percent);
  } else if (What == "volume") {
    Check.Require("volume");
    const auto Volume = Check.Number("volume", 0, 1);
    if (Check.Failed()) return Check.Error();
    FPlayer.SetVolume(*Volume);
  } else {
    for (const char* Name : {"percent", "volume"})
      if (Check.Has(Name)) Check.Fail(Name, "is not taken by " + What);
    if (Check.Failed()) return Check.Error();
    if (const std::string Why = FPlayer.Control(What); !Why.empty()) return RemoteError(422, Why);
  }
  return NoContent();
}

TRemoteResponse TRemoteApi::Screenshot(const TRemoteRequest& Request) {
  int Width = 320;
  if (const auto It = Request.Query.find("width"); It != Request.Query.end()) {
    const std::optional<int> Given = IndexOf(It->second);
    if (!Given || *Given < 1 || *Given > 1920) return RemoteError(400, "\"width\" must be a whole number from 1 to 1920", "width");
    Width = *Given;
  }
  std::string Jpeg = FPlayer.Screenshot(Width);
  if (Jpeg.empty()) return RemoteError(404, "no picture is shown");
  return {200, "image/jpeg", std::move(Jpeg), {}};
}

TRemoteResponse TRemoteApi::Log(const TRemoteRequest& Request) const {
  std::int64_t Bounds[2] = {0, INT64_MAX};
  const char* Names[] = {"since", "until"};
  for (int I = 0; I < 2; ++I)
    if (const auto It = Request.Query.find(Names[I]); It != Request.Query.end()) {
      const std::string& Text = It->second;
      if (Text.empty() || Text.size() > 15 || Text.find_first_not_of("0123456789") != std::string::npos)
        return RemoteError(400, std::string("\"") + Names[I] + "\" must be milliseconds since 1970", Names[I]);
      Bounds[I] = std::stoll(Text);
    }
  QJsonArray Lines;
  for (const auto& [Ms, Line] : FLog)
    if (Ms >= Bounds[0] && Ms <= Bounds[1]) Lines.append(Line);
  return Json(200, {{"lines", Lines}});
}
