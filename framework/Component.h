#pragma once
// The toolkit's component model on QObject: the owner is the parent, Name is the objectName,
// and a form applies its resource properties between BeginLoading and EndLoading, after which
// each component's Loaded runs (where AutoCreate-style properties take effect).
#include <QObject>
#include <string>

class TComponentLoading {
public:
  virtual ~TComponentLoading() = default;
  bool Loading() const { return FLoading; }
  // Always false: there is no form designer here; kept so design-time rules read as written.
  bool Designing() const { return false; }
  void BeginLoading() { FLoading = true; }
  // Ends loading and runs Loaded.
  void EndLoading() {
    FLoading = false;
    Loaded();
  }

protected:
  // Called once the owner's resource has been applied.
  virtual void Loaded() {}

private:
  bool FLoading = false;
};

// The component's name as an 8-bit string.
std::string ComponentName(const QObject* Component);
// The component of that name owned (directly) by Owner, letter case ignored; nil if none.
QObject* FindComponent(const QObject* Owner, const std::string& Name);
// Ends loading of every component Owner owns that takes part in the loading protocol, in the
// order they were created.
void EndLoadingComponents(QObject* Owner);
