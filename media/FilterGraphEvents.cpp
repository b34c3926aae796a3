// The graph component's event dispatch: draining the queue and raising the typed events.
#include <QString>
#include <utility>

#include "media/DirectShowException.h"
#include "media/FilterGraph.h"
#include "platform/dshow/EventCodes.h"
#include "platform/win/Locale.h"

TimeCodeDigits SplitTimeCode(std::uint32_t V) {
  const auto Bits = [V](int Shift, std::uint32_t Mask) { return static_cast<std::uint8_t>((V >> Shift) & Mask); };
  return {Bits(28, 0xF), Bits(24, 0xF), Bits(20, 0xF), Bits(16, 0xF), Bits(12, 0xF),
          Bits(8, 0xF),  Bits(4, 0xF),  Bits(2, 0x3),  Bits(0, 0x3)};
}

namespace {
// Frees the parameters of one event through the source it came from, also when a handler
// raises or replaces the graph; holds that source until then.
class TEventParams {
public:
  TEventParams(ComPtr<IMediaEventEx> ASource, LONG ACode, LONG_PTR AParam1, LONG_PTR AParam2)
      : FSource(std::move(ASource)), FCode(ACode), FParam1(AParam1), FParam2(AParam2) {}
  ~TEventParams() { FSource->FreeEventParams(FCode, FParam1, FParam2); }
  TEventParams(const TEventParams&) = delete;
  TEventParams& operator=(const TEventParams&) = delete;

private:
  ComPtr<IMediaEventEx> FSource;
  LONG FCode;
  LONG_PTR FParam1, FParam2;
};

template <typename T>
T* Interface(LONG_PTR Param) {
  return reinterpret_cast<T*>(Param);
}

std::u16string StringAt(LONG_PTR Param) {
  const auto* Text = reinterpret_cast<const char16_t*>(Param);
  return Text ? std::u16string(Text) : std::u16string();
}

// Most Boolean arguments are true only for exactly 1.
bool IsOne(LONG_PTR Param) { return Param == 1; }

using TSubEvents = TNotifyEvent TGraphEvents::*;

constexpr TSubEvents DvdDomainEvents[] = {
    &TGraphEvents::OnDVDDomainFirstPlay, &TGraphEvents::OnDVDDomainVideoManagerMenu,
    &TGraphEvents::OnDVDDomainVideoTitleSetMenu, &TGraphEvents::OnDVDDomainTitle, &TGraphEvents::OnDVDDomainStop};

constexpr TSubEvents DvdErrorEvents[] = {&TGraphEvents::OnDVDErrorUnexpected,
                                         &TGraphEvents::OnDVDErrorCopyProtectFail,
                                         &TGraphEvents::OnDVDErrorInvalidDVD1_0Disc,
                                         &TGraphEvents::OnDVDErrorInvalidDiscRegion,
                                         &TGraphEvents::OnDVDErrorLowParentalLevel,
                                         &TGraphEvents::OnDVDErrorMacrovisionFail,
                                         &TGraphEvents::OnDVDErrorIncompatibleSystemAndDecoderRegions,
                                         &TGraphEvents::OnDVDErrorIncompatibleDiscAndDecoderRegions};

constexpr TSubEvents DvdWarningEvents[] = {
    &TGraphEvents::OnDVDWarningInvalidDVD1_0Disc, &TGraphEvents::OnDVDWarningFormatNotSupported,
    &TGraphEvents::OnDVDWarningIllegalNavCommand, &TGraphEvents::OnDVDWarningOpen,
    &TGraphEvents::OnDVDWarningSeek,              &TGraphEvents::OnDVDWarningRead};

// The event of sub-code 1..N of a family; none for any other value.
template <std::size_t N>
const TNotifyEvent* SubEvent(const TGraphEvents& Events, const TSubEvents (&Family)[N], LONG_PTR SubCode) {
  if (SubCode < 1 || SubCode > static_cast<LONG_PTR>(N)) return nullptr;
  return &(Events.*Family[SubCode - 1]);
}
}  // namespace

void TFilterGraph::HandleGraphEvents() {
  // EventSource is read afresh for each event: a handler may deactivate or rebuild the graph.
  for (;;) {
    ComPtr<IMediaEventEx> Source = EventSource;
    if (!Source) return;
    LONG Code = 0;
    LONG_PTR Param1 = 0, Param2 = 0;
    if (Source->GetEvent(&Code, &Param1, &Param2, 0) != S_OK) return;
    const TEventParams Params(std::move(Source), Code, Param1, Param2);
    // A graph taken over paused on its first frame while it was prepared, not for the show.
    if (Code == EC_PAUSED && std::exchange(FPreparedPause, false)) continue;
    DoGraphEvent(Code, Param1, Param2);
  }
}

void TFilterGraph::DoGraphEvent(LONG Event, LONG_PTR Param1, LONG_PTR Param2) {
  for (std::size_t Index = 0; Index < Observers.size(); ++Index) Observers[Index]->ObserveGraphEvent(Event, Param1, Param2);
  OnDSEvent(this, Event, Param1, Param2);
  const auto Result = [](LONG_PTR Param) { return static_cast<HRESULT>(Param); };
  const auto Value = [](LONG_PTR Param) { return static_cast<ULONG>(Param); };
  switch (Event) {
    case EC_COMPLETE: OnGraphComplete(this, Result(Param1), Interface<IBaseFilter>(Param2)); break;
    case EC_USERABORT: OnGraphUserAbort(this); break;
    case EC_ERRORABORT: OnGraphErrorAbort(this, Result(Param1)); break;
    case EC_STREAM_ERROR_STOPPED: OnGraphStreamErrorStopped(this, Result(Param1), Value(Param2)); break;
    case EC_STREAM_ERROR_STILLPLAYING: OnGraphStreamErrorStillPlaying(this, Result(Param1), Value(Param2)); break;
    case EC_ERROR_STILLPLAYING: OnGraphErrorStillPlaying(this, Result(Param1)); break;
    case EC_PALETTE_CHANGED: OnGraphPaletteChanged(this); break;
    case EC_VIDEO_SIZE_CHANGED:
      OnGraphVideoSizeChanged(this, static_cast<std::uint16_t>(Param1 & 0xFFFF),
                              static_cast<std::uint16_t>((Param1 >> 16) & 0xFFFF));
      break;
    case EC_QUALITY_CHANGE: OnGraphQualityChange(this); break;
    case EC_CLOCK_CHANGED: OnGraphClockChanged(this); break;
    case EC_PAUSED: OnGraphPaused(this, Result(Param1)); break;
    case EC_OPENING_FILE: OnGraphOpeningFile(this, IsOne(Param1)); break;
    case EC_BUFFERING_DATA: OnGraphBufferingData(this, IsOne(Param1)); break;
    case EC_FULLSCREEN_LOST: OnGraphFullscreenLost(this, Interface<IBaseFilter>(Param2)); break;
    case EC_OLE_EVENT:
      if (OnGraphOleEvent) OnGraphOleEvent(this, StringAt(Param1), StringAt(Param2));
      break;
    case EC_STREAM_CONTROL_STOPPED: OnGraphStreamControlStopped(this, Interface<IPin>(Param1), Value(Param2)); break;
    case EC_STREAM_CONTROL_STARTED: OnGraphStreamControlStarted(this, Interface<IPin>(Param1), Value(Param2)); break;
    case EC_END_OF_SEGMENT: {
      const auto* StreamTime = reinterpret_cast<const REFERENCE_TIME*>(Param1);
      OnGraphEndOfSegment(this, StreamTime ? *StreamTime : 0, Value(Param2));
      break;
    }
    case EC_DEVICE_LOST: OnGraphDeviceLost(this, Interface<IUnknown>(Param1), IsOne(Param2)); break;
    case EC_STEP_COMPLETE: OnGraphStepComplete(this); break;
    case EC_TIMECODE_AVAILABLE: OnGraphTimeCodeAvailable(this, Interface<IBaseFilter>(Param1), Value(Param2)); break;
    case EC_EXTDEVICE_MODE_CHANGE: OnGraphEXTDeviceModeChange(this, Value(Param1), Value(Param2)); break;
    case EC_GRAPH_CHANGED: OnGraphChanged(this); break;
    case EC_CLOCK_UNSET: OnGraphClockUnset(this); break;
    case EC_VMR_RENDERDEVICE_SET: OnGraphVMRRenderDevice(this, static_cast<LONG>(Param1)); break;
    case EC_SNDDEV_IN_ERROR: OnGraphSNDDevInError(this, static_cast<LONG>(Param1), Value(Param2)); break;
    case EC_SNDDEV_OUT_ERROR: OnGraphSNDDevOutError(this, static_cast<LONG>(Param1), Value(Param2)); break;
    default: DispatchDvdEvent(Event, Param1, Param2); break;
  }
}

void TFilterGraph::DispatchDvdEvent(LONG Event, LONG_PTR Param1, LONG_PTR Param2) {
  const auto Long = [](LONG_PTR Param) { return static_cast<LONG>(Param); };
  switch (Event) {
    case EC_DVD_DOMAIN_CHANGE:
      if (const TNotifyEvent* E = SubEvent(*this, DvdDomainEvents, Param1)) (*E)(this);
      break;
    case EC_DVD_TITLE_CHANGE: OnDVDTitleChange(this, Long(Param1)); break;
    case EC_DVD_CHAPTER_START: OnDVDChapterStart(this, Long(Param1)); break;
    case EC_DVD_AUDIO_STREAM_CHANGE:
      if (OnDVDAudioStreamChange) RaiseStreamLanguage(Event, Param1);
      break;
    case EC_DVD_SUBPICTURE_STREAM_CHANGE:
      if (OnDVDSubpictureStreamChange) RaiseStreamLanguage(Event, Param1);
      break;
    case EC_DVD_ANGLE_CHANGE: OnDVDAngleChange(this, Long(Param1), Long(Param2)); break;
    case EC_DVD_BUTTON_CHANGE: OnDVDButtonChange(this, Long(Param1), Long(Param2)); break;
    case EC_DVD_VALID_UOPS_CHANGE: OnDVDValidUOPSChange(this, Long(Param1)); break;
    case EC_DVD_STILL_ON: OnDVDStillOn(this, IsOne(Param1), Long(Param2)); break;
    case EC_DVD_STILL_OFF: OnDVDStillOff(this); break;
    case EC_DVD_CURRENT_TIME:
      if (OnDVDCurrentTime) {
        const TimeCodeDigits D = SplitTimeCode(static_cast<std::uint32_t>(Param1));
        const LONG FrameRate = D.FrameRate == 1 ? 25 : D.FrameRate == 3 ? 30 : 0;
        OnDVDCurrentTime(this, D.HoursUnits + 10 * D.HoursTens, D.MinutesUnits + 10 * D.MinutesTens,
                         D.SecondsUnits + 10 * D.SecondsTens, D.FramesUnits + 10 * D.FramesTens, FrameRate);
      }
      break;
    case EC_DVD_ERROR:
      if (const TNotifyEvent* E = SubEvent(*this, DvdErrorEvents, Param1)) (*E)(this);
      break;
    case EC_DVD_WARNING:
      if (const TNotifyEvent* E = SubEvent(*this, DvdWarningEvents, Param1)) (*E)(this);
      break;
    case EC_DVD_CHAPTER_AUTOSTOP: OnDVDChapterAutoStop(this); break;
    case EC_DVD_NO_FP_PGC: OnDVDNoFP_PGC(this); break;
    case EC_DVD_PLAYBACK_RATE_CHANGE: OnDVDPlaybackRateChange(this, static_cast<float>(Long(Param1)) / 10000); break;
    case EC_DVD_PARENTAL_LEVEL_CHANGE: OnDVDParentalLevelChange(this, Long(Param1)); break;
    case EC_DVD_PLAYBACK_STOPPED: OnDVDPlaybackStopped(this); break;
    case EC_DVD_ANGLES_AVAILABLE: OnDVDAnglesAvailable(this, IsOne(Param1)); break;
    case EC_DVD_PLAYPERIOD_AUTOSTOP: OnDVDPlayPeriodAutoStop(this); break;
    case EC_DVD_BUTTON_AUTO_ACTIVATED: OnDVDButtonAutoActivated(this, static_cast<ULONG>(Param1)); break;
    case EC_DVD_CMD_START: OnDVDCMDStart(this, static_cast<ULONG>(Param1)); break;
    case EC_DVD_CMD_END: OnDVDCMDEnd(this, static_cast<ULONG>(Param1)); break;
    case EC_DVD_DISC_EJECTED: OnDVDDiscEjected(this); break;
    case EC_DVD_DISC_INSERTED: OnDVDDiscInserted(this); break;
    case EC_DVD_CURRENT_HMSF_TIME:
      if (OnDVDCurrentHMSFTime) {
        const auto Bytes = static_cast<std::uint32_t>(Param1);  // lowest byte first, as in memory
        const DVD_HMSF_TIMECODE HMSF{static_cast<std::uint8_t>(Bytes), static_cast<std::uint8_t>(Bytes >> 8),
                                     static_cast<std::uint8_t>(Bytes >> 16), static_cast<std::uint8_t>(Bytes >> 24)};
        TimeCodeDigits TimeCode = SplitTimeCode(static_cast<std::uint32_t>(Param2));
        OnDVDCurrentHMSFTime(this, HMSF, TimeCode);
      }
      break;
    case EC_DVD_KARAOKE_MODE: OnDVDKaraokeMode(this, Param1 != 0); break;
    default: break;  // no typed event for this code
  }
}

void TFilterGraph::RaiseStreamLanguage(LONG Event, LONG_PTR Stream) {
  ComPtr<IDvdInfo2> Info;
  if (FAILED(QueryInterface(Info))) return;  // not a DVD graph: nothing is raised
  LCID Language = 0;
  const auto StreamNumber = static_cast<ULONG>(Stream);
  CheckGraphResult(Event == EC_DVD_AUDIO_STREAM_CHANGE ? Info->GetAudioLanguage(StreamNumber, &Language)
                                                       : Info->GetSubpictureLanguage(StreamNumber, &Language));
  char Name[260] = {};
  GetLocaleInfoA(Language, LOCALE_SENGLANGUAGE, Name, sizeof Name);
  const std::string Lang = Name;
  if (Event == EC_DVD_AUDIO_STREAM_CHANGE)
    OnDVDAudioStreamChange(this, static_cast<LONG>(Stream), static_cast<LONG>(Language), Lang);
  else
    OnDVDSubpictureStreamChange(this, static_cast<LONG>(Stream), static_cast<LONG>(Language), Lang);
}
