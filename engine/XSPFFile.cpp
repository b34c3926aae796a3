#include "engine/XSPFFile.h"

#include <QByteArray>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <cmath>

#include "engine/FileUri.h"
#include "framework/FileNames.h"

namespace {
const QString XspfNamespace = QStringLiteral("http://xspf.org/ns/0/");

// Our namespace, or none: some writers leave it out.
bool IsXspf(const QXmlStreamReader& Xml, const char* Name) {
  return Xml.name() == QLatin1String(Name) &&
         (Xml.namespaceUri().isEmpty() || Xml.namespaceUri() == XspfNamespace);
}

std::string Where(const QXmlStreamReader& Xml) {
  return "line " + std::to_string(Xml.lineNumber()) + ", column " + std::to_string(Xml.columnNumber());
}

// XML 1.0 has no place for most control characters, not even escaped.
QString XmlSafe(const std::string& Text) {
  QString S = QString::fromUtf8(Text.data(), static_cast<qsizetype>(Text.size()));
  for (QChar& C : S)
    if (C.unicode() < 0x20 && C != u'\t') C = u' ';
  return S;
}

void AddLocation(TPlayListPaths& Result, const std::string& Location, const std::string& BaseFolder,
                 const std::string& Place) {
  std::string Path;
  if (!HasUriScheme(Location)) {
    Path = PercentDecode(Location);
    if (Path.find('\0') == std::string::npos) Result.Files.push_back(ResolvePlayListReference(BaseFolder, Path));
    else Result.Notes.push_back(Place + "not a file name, skipped");
  } else if (PathFromFileUri(Location, Path)) {
    Result.Files.push_back(Path);
  } else {
    Result.Notes.push_back(Place + Location + " is a URL, skipped");
  }
}
}  // namespace

TPlayListPaths ParseXSPF(std::string_view Bytes, const std::string& BaseFolder) {
  TPlayListPaths Result;
  QXmlStreamReader Xml(QByteArray::fromRawData(Bytes.data(), static_cast<qsizetype>(Bytes.size())));
  // Depth of the elements of our own path: playlist, trackList, track, location.
  int Depth = 0;
  int Level = 0;           // the element depth we are at
  bool TrackHasFile = false;
  bool SeenPlayList = false;
  while (!Xml.atEnd()) {
    const QXmlStreamReader::TokenType Token = Xml.readNext();
    if (Token == QXmlStreamReader::StartElement) {
      ++Level;
      static const char* const Path[] = {"playlist", "trackList", "track", "location"};
      if (Level == Depth + 1 && Depth < 4 && IsXspf(Xml, Path[Depth])) {
        ++Depth;
        SeenPlayList = true;
        if (Depth == 3) TrackHasFile = false;
        if (Depth == 4) {
          const std::string Place = Where(Xml) + ": ";
          const std::string Location = Xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed().toStdString();
          --Level;
          --Depth;
          if (!TrackHasFile && !Xml.hasError()) {
            TrackHasFile = true;
            AddLocation(Result, Location, BaseFolder, Place);
          }
        }
      } else if (Level == 1 && !IsXspf(Xml, "playlist")) {
        Result.Error = Where(Xml) + ": not an XSPF playlist";
        return Result;
      }
    } else if (Token == QXmlStreamReader::EndElement) {
      if (Level == Depth) --Depth;
      --Level;
    }
  }
  if (Xml.hasError()) Result.Error = Where(Xml) + ": " + Xml.errorString().toStdString();
  else if (!SeenPlayList) Result.Error = "line 1, column 1: not an XSPF playlist";
  return Result;
}

std::string FormatXSPF(const std::vector<TPlayListItem>& Items) {
  QByteArray Bytes;
  QXmlStreamWriter Xml(&Bytes);
  Xml.setAutoFormatting(true);
  Xml.writeStartDocument();
  Xml.writeDefaultNamespace(XspfNamespace);
  Xml.writeStartElement(XspfNamespace, "playlist");
  Xml.writeAttribute("version", "1");
  Xml.writeStartElement(XspfNamespace, "trackList");
  for (const TPlayListItem& Item : Items) {
    Xml.writeStartElement(XspfNamespace, "track");
    Xml.writeTextElement(XspfNamespace, "location", QString::fromLatin1(FileUriFromPath(Item.Path)));
    Xml.writeTextElement(XspfNamespace, "title", XmlSafe(ExtractFileName(Item.Path)));
    if (Item.Seconds > 0 && Item.Seconds < 1e9)
      Xml.writeTextElement(XspfNamespace, "duration", QString::number(std::llround(Item.Seconds * 1000)));
    Xml.writeEndElement();
  }
  Xml.writeEndDocument();
  return Bytes.toStdString();
}
