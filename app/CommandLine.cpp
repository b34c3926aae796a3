#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QRegularExpression>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>
#include <functional>
#include <optional>

#include "app/EntryKinds.h"
#include "app/TransitionText.h"
#include "engine/PlayListFormats.h"

bool IsPlayListPath(const std::string& Path) { return PlayListFormatOf(Path) != TPlayListFormat::pfNone; }

namespace {
// The options, in the order the usage lists them. Help lines after the first are continuations.
struct TOptionRow {
  QStringList Names;  // the first is the one the usage shows
  const char* Value;  // its value's name; nil for a switch
  const char* Help;
};
const TOptionRow Options[] = {
    {{"headless"}, nullptr, "run without a display; video goes to a null sink at real speed"},
    {{"loops"}, "N", "end after the playlist has wrapped round N times"},
    {{"events"}, nullptr, "print one JSON line per entry that starts, finishes or fails"},
    {{"fullscreen"}, nullptr, "start with the video full screen"},
    {{"hide-playlist"}, nullptr, "start with the playlist window hidden"},
    {{"skip-broken"}, nullptr,
     "pass over entries that fail instead of stopping the show\n"
     "(entries that stall too); wait longer between rounds that all fail"},
    {{"resume"}, nullptr, "start at the entry this same show played last"},
    {{"no-preload"}, nullptr,
     "open each entry only once the one before has ended (otherwise the\n"
     "next entry is opened ahead and waits on its first frame)"},
    {{"transition"}, "KIND[:S]",
     "how entries give way: cut, crossfade:S or black:S (a fade through\n"
     "black), over S seconds from 0.2 to 5 (1 if left out); kept for later runs"},
    {{"log"}, "FILE", "append one JSON line per show event to FILE (rotated at 10 MB)"},
    {{"list"}, "PLAYLIST", "print each entry of a playlist file as a JSON line and exit"},
    {{"save"}, "OUT.pll",
     "write the playlist built from the other arguments and exit\n"
     "(as M3U8 or XSPF when OUT ends in .m3u8, .m3u or .xspf)"},
    {{"remote"}, "[ADDR:]PORT",
     "serve remote operation (HTTP API and web page) on PORT of ADDR\n"
     "(127.0.0.1 unless given; PORT 0 takes any free port)"},
    {{"remote-token-file"}, "FILE", "keep the remote token in FILE (made 0600 if missing)"},
    {{"remote-cert"}, "FILE", "serve remote operation over TLS with this certificate (PEM)"},
    {{"remote-key"}, "FILE", "the TLS certificate's private key (PEM)"},
    {{"media-dir"}, "DIR", "the folder remote uploads and paths are kept to\n(default ~/Videos/vizmora)"},
    {{"upload-limit"}, "BYTES", "largest remote upload, K, M or G suffix allowed (default 2G)"},
    {{"remote-timeout"}, "SECONDS", "time a remote client has for each read (default 30)"},
    {{"sync-serve"}, "[ADDR:]PORT", "publish the show's clock for players in step with this one"},
    {{"sync-clock"}, "SOURCE",
     "play in step with other players on a shared clock: HOST:PORT\n"
     "of a published one, ptp[:DOMAIN], or system (kept by chrony)"},
    {{"sync-epoch"}, "TIME", "the ISO-8601 instant such a show begins from\n(default 2000-01-01T00:00:00Z)"},
    {{"wall"}, "COLSxROWS:INDEX",
     "show only this screen's tile of every frame, scaled to fill:\n"
     "tile INDEX (from 0, left to right, top to bottom) of a wall"},
    {{"wall-bezel"}, "PX", "the pixels hidden between two screens of the wall"},
    {{"help", "h"}, nullptr, "show this help and exit"},
    {{"version"}, nullptr, "show the version and exit"},
};

// Arguments that are not options (files, option values) go to the parser as stand-ins and come
// back as the bytes given: a name that is not UTF-8 keeps every byte.
QString StandIn(std::size_t Index) { return QChar(0xE000) + QString::number(Index); }

// The option an unknown name came from, as it was typed (without a value).
std::string TypedOption(const std::vector<std::string>& Arguments, const QString& Name) {
  for (const std::string& A : Arguments) {
    if (A == "--") break;
    const std::string Option = A.substr(0, A.find('='));
    if (Option.size() > 1 && Option[0] == '-' && QString::fromStdString(Option).remove(0, Option[1] == '-' ? 2 : 1) == Name)
      return Option;
  }
  return "-" + Name.toStdString();
}

// A whole number from the text, nullopt when it is none or out of range.
std::optional<std::uint64_t> Whole(const std::string& Text) {
  std::uint64_t Value = 0;
  const auto [End, Err] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
  if (Err != std::errc() || End != Text.data() + Text.size() || Text.empty()) return std::nullopt;
  return Value;
}

// The remote options into C; a fault goes to C.Error.
void ParseRemote(const QCommandLineParser& Parser, const std::function<std::string(const QString&)>& Value, TCommandLine& C) {
  C.RemoteTokenFile = Value("remote-token-file");
  C.RemoteCert = Value("remote-cert");
  C.RemoteKey = Value("remote-key");
  C.MediaDir = Value("media-dir");
  if (Parser.isSet("remote")) {
    std::string Given = Value("remote");
    std::string Port = Given;
    if (const std::size_t Colon = Given.rfind(':'); Colon != std::string::npos) {
      C.RemoteAddress = Given.substr(0, Colon);
      if (C.RemoteAddress.size() > 1 && C.RemoteAddress.front() == '[' && C.RemoteAddress.back() == ']')
        C.RemoteAddress = C.RemoteAddress.substr(1, C.RemoteAddress.size() - 2);
      Port = Given.substr(Colon + 1);
    }
    const auto Number = Whole(Port);
    if (!Number || *Number > 65535 || C.RemoteAddress.empty())
      C.Error = "--remote needs [ADDR:]PORT with a port from 0 to 65535, not \"" + Given + "\"";
    else
      C.RemotePort = static_cast<int>(*Number);
  }
  if (Parser.isSet("upload-limit")) {
    std::string Text = Value("upload-limit");
    const std::string Suffixes = "KMG";
    const std::size_t Suffix = Text.empty() ? std::string::npos : Suffixes.find(static_cast<char>(std::toupper(Text.back())));
    if (Suffix != std::string::npos) Text.pop_back();
    const auto Number = Whole(Text);
    const int Shift = Suffix == std::string::npos ? 0 : 10 * (static_cast<int>(Suffix) + 1);
    if (!Number || *Number == 0 || *Number > (std::uint64_t(1) << (62 - Shift)))
      C.Error = "--upload-limit needs a size in bytes (K, M or G suffix allowed), not \"" + Value("upload-limit") + "\"";
    else
      C.UploadLimit = *Number << Shift;
  }
  if (Parser.isSet("remote-timeout")) {
    const auto Number = Whole(Value("remote-timeout"));
    if (!Number || *Number < 1 || *Number > 3600)
      C.Error = "--remote-timeout needs whole seconds from 1 to 3600, not \"" + Value("remote-timeout") + "\"";
    else
      C.RemoteTimeout = static_cast<int>(*Number);
  }
  if (C.RemoteCert.empty() != C.RemoteKey.empty()) C.Error = "--remote-cert and --remote-key go together";
}
}  // namespace

TCommandLine TCommandLine::Parse(const std::vector<std::string>& Arguments) {
  QCommandLineParser Parser;
  Parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  for (const TOptionRow& Row : Options)
    Parser.addOption(Row.Value ? QCommandLineOption(Row.Names, Row.Help, Row.Value) : QCommandLineOption(Row.Names, Row.Help));
  QStringList Given{QStringLiteral("vizmora")};
  bool AfterDashes = false;
  for (std::size_t I = 0; I < Arguments.size(); ++I) {
    const std::string& A = Arguments[I];
    const bool Option = !AfterDashes && A.size() > 1 && A[0] == '-';
    Given << (Option ? QString::fromStdString(A) : StandIn(I));
    AfterDashes = AfterDashes || A == "--";
  }
  const auto Bytes = [&Arguments](const QString& Text) {
    if (Text.startsWith(QChar(0xE000))) return Arguments[Text.mid(1).toULongLong()];
    return Text.toStdString();
  };

  TCommandLine C;
  if (!Parser.parse(Given)) {
    if (!Parser.unknownOptionNames().isEmpty())
      C.Error = "unknown option " + TypedOption(Arguments, Parser.unknownOptionNames().first());
    else  // a value missing at the end: the last argument names its option
      C.Error = Arguments.back() + " needs a value";
    return C;
  }
  for (const QString& File : Parser.positionalArguments()) C.Files.push_back(Bytes(File));
  C.Headless = Parser.isSet("headless");
  C.Events = Parser.isSet("events");
  C.FullScreen = Parser.isSet("fullscreen");
  C.HidePlayList = Parser.isSet("hide-playlist");
  C.SkipBroken = Parser.isSet("skip-broken");
  C.Resume = Parser.isSet("resume");
  C.NoPreload = Parser.isSet("no-preload");
  if (Parser.isSet("transition")) {
    const std::string V = Bytes(Parser.value("transition"));
    C.Transition = ParseTransition(V);
    if (!C.Transition) C.Error = "--transition needs cut, crossfade:S or black:S with S from 0.2 to 5, not \"" + V + "\"";
  }
  C.Help = Parser.isSet("help");
  C.Version = Parser.isSet("version");
  if (Parser.isSet("log")) C.LogFile = Bytes(Parser.value("log"));
  if (Parser.isSet("list")) C.ListFile = Bytes(Parser.value("list"));
  if (Parser.isSet("save")) C.SaveFile = Bytes(Parser.value("save"));
  ParseRemote(Parser, [&](const QString& Name) { return Parser.isSet(Name) ? Bytes(Parser.value(Name)) : std::string(); }, C);
  if (Parser.isSet("sync-serve")) C.SyncServe = Bytes(Parser.value("sync-serve"));
  if (Parser.isSet("sync-clock")) C.SyncClock = Bytes(Parser.value("sync-clock"));
  if (Parser.isSet("sync-epoch")) {
    const QString V = QString::fromStdString(Bytes(Parser.value("sync-epoch")));
    const QDateTime Epoch = QDateTime::fromString(V, Qt::ISODateWithMs);
    if (!Epoch.isValid()) {
      C.Error = "--sync-epoch needs an ISO-8601 time such as 2000-01-01T00:00:00Z, not \"" + V.toStdString() + "\"";
      return C;
    }
    C.SyncEpochNs = Epoch.toMSecsSinceEpoch() * 1000000;
  }
  if (Parser.isSet("wall")) {
    const QString V = QString::fromStdString(Bytes(Parser.value("wall")));
    const QRegularExpressionMatch Wall = QRegularExpression("^(\\d{1,2})x(\\d{1,2}):(\\d{1,3})$").match(V);
    if (Wall.hasMatch()) {
      C.WallCols = Wall.captured(1).toInt();
      C.WallRows = Wall.captured(2).toInt();
      C.WallIndex = Wall.captured(3).toInt();
    }
    if (!Wall.hasMatch() || C.WallCols < 1 || C.WallRows < 1 || C.WallIndex >= C.WallCols * C.WallRows) {
      C.Error = "--wall needs COLSxROWS:INDEX with a tile of the wall, such as 2x2:3, not \"" + V.toStdString() + "\"";
      return C;
    }
  }
  if (Parser.isSet("wall-bezel")) {
    bool Number = false;
    C.WallBezel = QString::fromStdString(Bytes(Parser.value("wall-bezel"))).toInt(&Number);
    if (!Number || C.WallBezel < 0 || C.WallBezel > 1000) {
      C.Error = "--wall-bezel needs a number of pixels from 0 to 1000";
      return C;
    }
  }
  if (Parser.isSet("loops")) {
    const std::string V = Bytes(Parser.value("loops"));
    const auto Number = Whole(V);
    if (!Number || *Number < 1 || *Number > std::uint64_t(std::numeric_limits<int>::max()))
      C.Error = "--loops needs a whole number of at least 1, not \"" + V + "\"";
    else
      C.Loops = static_cast<int>(*Number);
  }
  return C;
}

namespace {
// A line for each entry kind with the extensions it takes, from the kinds' table.
std::string WhatPlays() {
  std::string Text = "Plays media files and playlists (.pll, and other players' .m3u .m3u8 .xspf) as one\nendless show:\n";
  for (const TEntryKind& Kind : EntryKindTable()) {
    std::string Line = "  " + std::string(Kind.Name) + "s";
    Line.resize(12, ' ');
    for (std::string Ext : Kind.Extensions) {
      std::transform(Ext.begin(), Ext.end(), Ext.begin(), [](unsigned char C) { return std::tolower(C); });
      Line += " " + Ext;
    }
    Text += Line + "\n";
  }
  return Text;
}

// The options' lines, from their table.
std::string OptionLines() {
  std::string Text;
  for (const TOptionRow& Row : Options) {
    std::string Line = "  --" + Row.Names.first().toStdString() + (Row.Value ? std::string(" ") + Row.Value : "");
    if (Line.size() >= 20) {  // a long option and value: the help on the lines below
      Text += Line + "\n";
      Line.clear();
    }
    Line.resize(20, ' ');
    for (const QString& Help : QString(Row.Help).split('\n')) {
      Text += Line + Help.toStdString() + "\n";
      Line = std::string(20, ' ');
    }
  }
  return Text;
}
}  // namespace

std::string TCommandLine::Usage() {
  return "Usage: vizmora [OPTION]... [FILE | PLAYLIST]...\n" + WhatPlays() + "\n" + OptionLines();
}
