#pragma once
// TRegAuto: sits on a form and keeps some of its settings between runs without code in the
// form. Chained into the owner's OnCreate and OnDestroy, it restores (Load) and stores (Save) the
// form's window placement and the properties named, one dotted path per line, in Props. The
// values live in the registry, an ini file or an in-memory list. User-interface thread.
#include <QObject>
#include <QStringList>
#include <memory>
#include <string>

#include "framework/Component.h"
#include "framework/Event.h"
#include "framework/Exception.h"
#include "settings/PropertyPath.h"
#include "settings/SettingsStore.h"

enum TStorageMedia : int { raRegistry = 0, raIniFile = 1, raIniStrings = 2 };

class ERegAutoError : public Exception {
public:
  using Exception::Exception;
};

// Program-wide overrides of IniFile and RegPath for every instance whose GlobalSettings is true;
// empty: each instance's own values apply.
inline std::string GlobalIniFile;
inline std::string GlobalRegPath;

class TRegAuto : public QObject, public TComponentLoading {
  Q_OBJECT
  Q_PROPERTY(QString RegPath READ RegPath WRITE SetRegPath)
  Q_PROPERTY(TStorageMedia Storage READ Storage WRITE SetStorage)
  Q_PROPERTY(QString IniFile READ IniFile WRITE SetIniFile)
  Q_PROPERTY(QStringList IniStrings READ IniStrings WRITE SetIniStrings)
  Q_PROPERTY(QStringList Props READ Props WRITE SetProps)
  Q_PROPERTY(bool AutoMode READ AutoMode WRITE SetAutoMode)
  Q_PROPERTY(bool SaveWindowPlace READ SaveWindowPlace WRITE SetSaveWindowPlace)
  Q_PROPERTY(bool GlobalSettings READ GlobalSettings WRITE SetGlobalSettings)
  Q_PROPERTY(QString Section READ Section WRITE SetSection)

public:
  explicit TRegAuto(QObject* Owner);

  QString RegPath() const { return FRegPath; }
  void SetRegPath(const QString& Value) { FRegPath = Value; }
  TStorageMedia Storage() const { return FStorage; }
  void SetStorage(TStorageMedia Value) { FStorage = Value; }
  // May contain "$HOME", replaced by the USERPROFILE environment variable at each access.
  QString IniFile() const { return FIniFile; }
  void SetIniFile(const QString& Value) { FIniFile = Value; }
  QStringList IniStrings() const { return FIniStrings; }
  void SetIniStrings(const QStringList& Value) { FIniStrings = Value; }
  QStringList Props() const { return FProps; }
  void SetProps(const QStringList& Value) { FProps = Value; }
  bool AutoMode() const { return FAutoMode; }
  void SetAutoMode(bool Value) { FAutoMode = Value; }
  bool SaveWindowPlace() const { return FSaveWindowPlace; }
  // Ignored unless the owner is a window.
  void SetSaveWindowPlace(bool Value);
  bool GlobalSettings() const { return FGlobalSettings; }
  void SetGlobalSettings(bool Value) { FGlobalSettings = Value; }
  // Empty: the owner's name.
  QString Section() const { return FSection; }
  void SetSection(const QString& Value) { FSection = Value; }

  // A value a form resource may carry but that is never written back: "UseReg", "UseIni" and
  // "UseStr" select the store when true. Answers whether the name was one of them.
  bool ReadStreamValue(const std::string& Name, bool Value);

  // Restores the window placement (when SaveWindowPlace), then each property named in Props.
  // ERegAutoError "Could not load property: " + the reason.
  void Load();
  // Stores each property named in Props, then the window placement (when SaveWindowPlace).
  // ERegAutoError "Could not save property " + the path of the line that failed.
  void Save();

  // The ini file as accessed now: "$HOME" replaced, the program's folder in front of a
  // relative name.
  std::string ExpandedIniFile() const;

  // Sender: this component.
  TEvent<QObject*> BeforeLoad;
  TEvent<QObject*> AfterLoad;
  TEvent<QObject*> BeforeSave;
  TEvent<QObject*> AfterSave;

protected:
  // Chains the creation and destruction hooks into a form owner's events (when AutoMode).
  void Loaded() override;

private:
  void CreateHook();
  void DestroyHook();
  void RestoreWindowPlacement();
  void StoreWindowPlacement();
  std::string SectionName() const;

  // One value access: the store is opened for the operation and closed after it, with the
  // program-wide overrides in place meanwhile.
  template <typename Result, typename Operation>
  Result Access(Operation Op);
  std::unique_ptr<TSettingsStore> OpenStore();
  int ReadInteger(const std::string& Ident, int Default);
  void WriteInteger(const std::string& Ident, int Value);

  QString FRegPath;
  TStorageMedia FStorage = raRegistry;
  QString FIniFile;
  QStringList FIniStrings;
  QStringList FProps;
  bool FAutoMode = true;
  bool FSaveWindowPlace = false;
  bool FGlobalSettings = true;
  QString FSection;

  bool FHooked = false;
  TEvent<QObject*> FPrevCreate;
  TEvent<QObject*> FPrevDestroy;
  // The line being worked on, as resolved.
  TPropertyPath FPath;
};
