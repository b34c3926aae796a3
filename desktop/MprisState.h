#pragma once
// What the MPRIS service's bus adaptors read of it and ask of it; the service implements it.
// User-interface thread only.
#include <QString>
#include <QVariantMap>
#include <functional>

class IPlayerControls;
class TVizmoraPlayList;

class IMprisState {
public:
  virtual ~IMprisState() = default;

  virtual IPlayerControls& Controls() = 0;
  virtual TVizmoraPlayList& PlayList() = 0;
  // The state the .Player interface shows.
  virtual QString PlaybackStatus() const = 0;
  virtual QVariantMap Metadata() const = 0;
  virtual QString TrackId() const = 0;
  virtual qlonglong Position() const = 0;  // microseconds
  virtual qlonglong Length() const = 0;    // microseconds; 0 when not known
  // Runs a request from the bus; what an entry raises goes to the application's exception report.
  virtual void Guarded(const std::function<void()>& Request) = 0;
};
