#pragma once
// The running object table: where a graph is published for outside inspection tools.
#include <string>

#include "platform/com/ComTypes.h"

struct IMoniker : IUnknown {
  static constexpr GUID IID = MakeGuid("{0000000F-0000-0000-C000-000000000046}");
  virtual std::string DisplayName() = 0;  // "!" + the item name
};

struct IRunningObjectTable : IUnknown {
  static constexpr GUID IID = MakeGuid("{00000010-0000-0000-C000-000000000046}");
  // Publishes Object under the moniker's name; *Register receives a non-zero cookie.
  virtual HRESULT Register(DWORD Flags, IUnknown* Object, IMoniker* Name, DWORD* Register) = 0;
  virtual HRESULT Revoke(DWORD Register) = 0;
};

// An object published in the table may describe itself; the description is written into its
// registration file, where tools/vizmora-graphs reads it.
struct IObjectDescription : IUnknown {
  static constexpr GUID IID = MakeGuid("{6F1C2B8E-3D4A-4E5F-9A7B-2C8D1E0F3A4B}");
  virtual std::string Describe() = 0;
};

// The table is one folder of registration files in the user's runtime folder
// ($XDG_RUNTIME_DIR/vizmora/rot, else /tmp/vizmora-<uid>/rot), one file per published object,
// named by its item name, holding the publishing process id and the object's description.
HRESULT GetRunningObjectTable(DWORD Reserved, IRunningObjectTable** Table);
// Rewrites the registration files of Object with its current description; call after changes.
void RefreshRunningObject(IUnknown* Object);
// The folder holding the registration files.
std::string RunningObjectTableFolder();
HRESULT CreateItemMoniker(LPCWSTR Delimiter, LPCWSTR Item, IMoniker** Moniker);
