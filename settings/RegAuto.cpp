#include "settings/RegAuto.h"

#include <QWidget>
#include <vector>

#include "framework/FileNames.h"
#include "framework/Form.h"
#include "platform/win/Environment.h"
#include "platform/win/WindowPlacement.h"
#include "settings/IniStrings.h"
#include "settings/MyIniFile.h"
#include "settings/Registry.h"

namespace {
std::string EnvironmentVariable(const char* Name) {
  std::vector<char> Buffer(256);
  for (;;) {
    const DWORD N = GetEnvironmentVariableA(Name, Buffer.data(), static_cast<DWORD>(Buffer.size()));
    if (N < Buffer.size()) return std::string(Buffer.data(), N);
    Buffer.resize(N);
  }
}

std::string ProgramFolder() {
  char Path[4096];
  const DWORD N = GetModuleFileNameA(nullptr, Path, sizeof Path);
  return ExtractFilePath(std::string(Path, N < sizeof Path ? N : 0));
}

std::string ReadText(const TPropertyPath& P) {
  const QVariant Value = P.Property.read(P.Object);
  if (Value.metaType() == QMetaType::fromType<std::string>()) return Value.value<std::string>();
  return Value.toString().toStdString();
}

void WriteText(const TPropertyPath& P, const std::string& Text) {
  if (P.Property.metaType() == QMetaType::fromType<std::string>())
    P.Property.write(P.Object, QVariant::fromValue(Text));
  else
    P.Property.write(P.Object, QString::fromStdString(Text));
}
}  // namespace

TRegAuto::TRegAuto(QObject* Owner) : QObject(Owner), FRegPath("Software\\Vizmora\\RegAuto") {}

void TRegAuto::SetSaveWindowPlace(bool Value) {
  if (qobject_cast<QWidget*>(parent())) FSaveWindowPlace = Value;
}

bool TRegAuto::ReadStreamValue(const std::string& Name, bool Value) {
  static const struct {
    const char* Name;
    TStorageMedia Media;
  } Values[] = {{"UseReg", raRegistry}, {"UseIni", raIniFile}, {"UseStr", raIniStrings}};
  for (const auto& V : Values)
    if (QString::fromStdString(Name).compare(QLatin1String(V.Name), Qt::CaseInsensitive) == 0) {
      if (Value) FStorage = V.Media;
      return true;
    }
  return false;
}

void TRegAuto::Loaded() {
  if (!FAutoMode || FHooked) return;
  auto* Form = qobject_cast<TForm*>(parent());
  if (!Form) return;
  FHooked = true;
  FPrevCreate = Form->OnCreate;
  Form->OnCreate = [this](QObject*) { CreateHook(); };
  FPrevDestroy = Form->OnDestroy;
  Form->OnDestroy = [this](QObject*) { DestroyHook(); };
}

void TRegAuto::CreateHook() {
  FPrevCreate(this);
  if (FAutoMode) Load();
}

void TRegAuto::DestroyHook() {
  if (FAutoMode) Save();
  FPrevDestroy(this);
}

std::string TRegAuto::SectionName() const {
  if (!FSection.isEmpty()) return FSection.toStdString();
  return parent() ? ComponentName(parent()) : std::string();
}

std::string TRegAuto::ExpandedIniFile() const {
  const std::string Path = FIniFile.toStdString();
  const std::string Profile = EnvironmentVariable("USERPROFILE");
  const std::string Home = "$HOME";
  std::string Result;
  std::size_t Pos = 0;
  for (std::size_t Found; (Found = Path.find(Home, Pos)) != std::string::npos; Pos = Found + Home.size())
    Result += Path.substr(Pos, Found - Pos) + Profile;
  Result += Path.substr(Pos);
  // A leading "/" left by an empty "$HOME" does not make the name absolute.
  const bool Rooted = !Result.empty() && Result[0] == '/' && !(Profile.empty() && Path.starts_with(Home));
  const bool DriveLetter = Result.size() >= 3 && Result[1] == ':';
  return Rooted || DriveLetter ? Result : ProgramFolder() + Result;
}

std::unique_ptr<TSettingsStore> TRegAuto::OpenStore() {
  switch (FStorage) {
    case raIniFile: return std::make_unique<TMyIniFile>(ExpandedIniFile());
    case raIniStrings: return std::make_unique<TIniStrings>(FIniStrings);
    case raRegistry: break;
  }
  return std::make_unique<TRegistry>(FRegPath.toStdString());
}

template <typename Result, typename Operation>
Result TRegAuto::Access(Operation Op) {
  // Puts IniFile and RegPath back once the store is closed, also when the operation fails.
  struct TPutBack {
    TRegAuto* Self;
    QString IniFile, RegPath;
    ~TPutBack() {
      if (!Self->FGlobalSettings) return;
      Self->FIniFile = IniFile;
      Self->FRegPath = RegPath;
    }
  } PutBack{this, FIniFile, FRegPath};
  if (FGlobalSettings) {
    if (!GlobalIniFile.empty()) FIniFile = QString::fromStdString(GlobalIniFile);
    if (!GlobalRegPath.empty()) FRegPath = QString::fromStdString(GlobalRegPath);
  }
  const std::unique_ptr<TSettingsStore> Store = OpenStore();
  return Op(*Store, SectionName());
}

int TRegAuto::ReadInteger(const std::string& Ident, int Default) {
  return Access<int>([&](TSettingsStore& S, const std::string& Sec) { return S.ReadInteger(Sec, Ident, Default); });
}

void TRegAuto::WriteInteger(const std::string& Ident, int Value) {
  Access<void>([&](TSettingsStore& S, const std::string& Sec) { S.WriteInteger(Sec, Ident, Value); });
}

void TRegAuto::Load() {
  BeforeLoad(this);
  try {
    if (FSaveWindowPlace) RestoreWindowPlacement();
    for (const QString& Line : FProps) {
      FPath = ResolvePropertyPath(parent(), Line.toStdString());
      if (!FPath.Found) continue;
      const TPropertyPath& P = FPath;
      switch (P.Kind) {
        case pkOrdinal: P.Property.write(P.Object, ReadInteger(P.Path, P.Property.read(P.Object).toInt())); break;
        case pkFloat: {
          const double Current = P.Property.read(P.Object).toDouble();
          P.Property.write(P.Object, Access<double>([&](TSettingsStore& S, const std::string& Sec) {
                             return S.ReadFloat(Sec, P.Path, Current);
                           }));
          break;
        }
        case pkString: {
          const std::string Current = ReadText(P);
          WriteText(P, Access<std::string>([&](TSettingsStore& S, const std::string& Sec) {
                      return S.ReadString(Sec, P.Path, Current);
                    }));
          break;
        }
        case pkObject:
        case pkOther: break;
      }
    }
  } catch (const Exception& E) {
    throw ERegAutoError("Could not load property: " + E.Message);
  }
  AfterLoad(this);
}

void TRegAuto::Save() {
  BeforeSave(this);
  FPath = TPropertyPath{};
  try {
    for (const QString& Line : FProps) {
      FPath = ResolvePropertyPath(parent(), Line.toStdString());
      if (!FPath.Found) continue;
      const TPropertyPath& P = FPath;
      switch (P.Kind) {
        case pkOrdinal: WriteInteger(P.Path, P.Property.read(P.Object).toInt()); break;
        case pkFloat: {
          const double Value = P.Property.read(P.Object).toDouble();
          Access<void>([&](TSettingsStore& S, const std::string& Sec) { S.WriteFloat(Sec, P.Path, Value); });
          break;
        }
        case pkString: {
          const std::string Value = ReadText(P);
          Access<void>([&](TSettingsStore& S, const std::string& Sec) { S.WriteString(Sec, P.Path, Value); });
          break;
        }
        case pkObject:
        case pkOther: break;
      }
    }
    if (FSaveWindowPlace) StoreWindowPlacement();
  } catch (...) {
    throw ERegAutoError("Could not save property " + FPath.Path);
  }
  AfterSave(this);
}

void TRegAuto::RestoreWindowPlacement() {
  TForm& Form = AsForm(parent());
  WINDOWPLACEMENT Placement;
  Placement.length = sizeof Placement;
  GetWindowPlacement(Form.Handle(), &Placement);
  Placement.showCmd = Form.Visible() ? SW_SHOW : SW_HIDE;
  RECT& R = Placement.rcNormalPosition;
  R.left = ReadInteger(".Left", Form.Left());
  R.top = ReadInteger(".Top", Form.Top());
  if (Form.BorderStyle() == bsSizeable || Form.BorderStyle() == bsSizeToolWin) {
    R.right = ReadInteger(".Right", R.right);
    R.bottom = ReadInteger(".Bottom", R.bottom);
  } else {
    R.right = R.left + Form.Width();
    R.bottom = R.top + Form.Height();
  }
  SetWindowPlacement(Form.Handle(), &Placement);
  Form.SetWindowState(static_cast<TWindowState>(ReadInteger(".WindowState", Form.WindowState())));
}

void TRegAuto::StoreWindowPlacement() {
  TForm& Form = AsForm(parent());
  WINDOWPLACEMENT Placement;
  Placement.length = sizeof Placement;
  GetWindowPlacement(Form.Handle(), &Placement);
  const RECT& R = Placement.rcNormalPosition;
  WriteInteger(".Left", R.left);
  WriteInteger(".Top", R.top);
  WriteInteger(".Right", R.right);
  WriteInteger(".Bottom", R.bottom);
  // A full-screen form is stored as it comes back from full screen.
  WriteInteger(".WindowState", Placement.showCmd == SW_SHOWMAXIMIZED   ? wsMaximized
                               : Placement.showCmd == SW_SHOWMINIMIZED ? wsMinimized
                                                                       : wsNormal);
}
