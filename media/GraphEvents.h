#pragma once
// The typed events a graph component raises from its event queue: their handler types, the
// DVD time-code split, and the set of event properties the component carries.
//
// Parameters that refer to data are the event's own and valid while the handlers run:
// EC_OLE_EVENT's are NUL-terminated UTF-16 strings, EC_END_OF_SEGMENT's param1 points to a
// REFERENCE_TIME, interface parameters are raw interface pointers.
#include <cstdint>
#include <string>

#include "framework/Event.h"
#include "platform/dshow/Filters.h"

class QObject;

// Every handler gets the graph component as its first argument.
using TNotifyEvent = TEvent<QObject*>;
using TOnDSEvent = TEvent<QObject*, LONG /*Event*/, LONG_PTR /*Param1*/, LONG_PTR /*Param2*/>;
using TOnGraphComplete = TEvent<QObject*, HRESULT /*Result*/, IBaseFilter* /*Renderer*/>;
using TOnDSResult = TEvent<QObject*, HRESULT /*Result*/>;
using TOnGraphBufferingData = TEvent<QObject*, bool /*Buffering*/>;
using TOnGraphOpeningFile = TEvent<QObject*, bool /*opening*/>;
using TOnGraphDeviceLost = TEvent<QObject*, IUnknown* /*Device*/, bool /*Removed*/>;
using TOnGraphEndOfSegment = TEvent<QObject*, REFERENCE_TIME /*StreamTime*/, ULONG /*NumSegment*/>;
using TOnGraphFullscreenLost = TEvent<QObject*, IBaseFilter* /*Renderer*/>;
using TOnGraphOleEvent = TEvent<QObject*, const std::u16string& /*String1*/, const std::u16string& /*String2*/>;
using TOnGraphSNDDevError = TEvent<QObject*, LONG /*OccurWhen*/, ULONG /*ErrorCode*/>;
using TOnGraphStreamControl = TEvent<QObject*, IPin* /*PinSender*/, ULONG /*Cookie*/>;
using TOnGraphStreamError = TEvent<QObject*, HRESULT /*Operation*/, ULONG /*Value*/>;
using TOnGraphVideoSizeChanged = TEvent<QObject*, std::uint16_t /*Width*/, std::uint16_t /*height*/>;
using TOnGraphTimeCodeAvailable = TEvent<QObject*, IBaseFilter* /*From*/, ULONG /*DeviceID*/>;
using TOnGraphEXTDeviceModeChange = TEvent<QObject*, ULONG /*NewMode*/, ULONG /*DeviceID*/>;
using TOnGraphVMRRenderDevice = TEvent<QObject*, LONG /*RenderDevice*/>;

using TOnDVDAudioStreamChange = TEvent<QObject*, LONG /*stream*/, LONG /*lcid*/, const std::string& /*Lang*/>;
using TOnDVDSubpictureStreamChange = TEvent<QObject*, LONG /*SubNum*/, LONG /*lcid*/, const std::string& /*Lang*/>;
using TOnDVDCurrentTime =
    TEvent<QObject*, LONG /*Hours*/, LONG /*minutes*/, LONG /*seconds*/, LONG /*frames*/, LONG /*frate*/>;
using TOnDVDTitleChange = TEvent<QObject*, LONG /*title*/>;
using TOnDVDChapterStart = TEvent<QObject*, LONG /*chapter*/>;
using TOnDVDChange = TEvent<QObject*, LONG /*total*/, LONG /*current*/>;
using TOnDVDValidUOPSChange = TEvent<QObject*, LONG /*UOPS*/>;
using TOnDVDStillOn = TEvent<QObject*, bool /*NoButtonAvailable*/, LONG /*seconds*/>;
using TOnDVDPlaybackRateChange = TEvent<QObject*, float /*rate*/>;
using TOnDVDParentalLevelChange = TEvent<QObject*, LONG /*level*/>;
using TOnDVDAnglesAvailable = TEvent<QObject*, bool /*available*/>;
using TOnDVDButtonAutoActivated = TEvent<QObject*, ULONG /*Button*/>;
using TOnDVDCMD = TEvent<QObject*, ULONG /*CmdID*/>;

// Hours, minutes, seconds and frames, one byte each, in memory order.
struct DVD_HMSF_TIMECODE {
  std::uint8_t bHours = 0;
  std::uint8_t bMinutes = 0;
  std::uint8_t bSeconds = 0;
  std::uint8_t bFrames = 0;
  friend bool operator==(const DVD_HMSF_TIMECODE&, const DVD_HMSF_TIMECODE&) = default;
};

// A 32-bit DVD time code split into its nine fields, from the most significant end.
struct TimeCodeDigits {
  std::uint8_t HoursUnits = 0;    // bits 28-31
  std::uint8_t HoursTens = 0;     // bits 24-27
  std::uint8_t MinutesUnits = 0;  // bits 20-23
  std::uint8_t MinutesTens = 0;   // bits 16-19
  std::uint8_t SecondsUnits = 0;  // bits 12-15
  std::uint8_t SecondsTens = 0;   // bits 8-11
  std::uint8_t FramesUnits = 0;   // bits 4-7
  std::uint8_t FramesTens = 0;    // bits 2-3
  std::uint8_t FrameRate = 0;     // bits 0-1: 1 is 25 frames a second, 3 is 30
  friend bool operator==(const TimeCodeDigits&, const TimeCodeDigits&) = default;
};

TimeCodeDigits SplitTimeCode(std::uint32_t Value);

using TOnDVDCurrentHMSFTime = TEvent<QObject*, DVD_HMSF_TIMECODE /*HMSFTimeCode*/, TimeCodeDigits& /*TimeCode*/>;
using TOnDVDKaraokeMode = TEvent<QObject*, bool /*Played*/>;

// The event properties of a graph component, in the order of their codes. Each holds at most
// one handler and may be reassigned at any time, also from inside a handler.
struct TGraphEvents {
  TOnDSEvent OnDSEvent;  // every event, raw, after the observers and before the typed event

  TOnGraphComplete OnGraphComplete;                  // EC_COMPLETE
  TNotifyEvent OnGraphUserAbort;                     // EC_USERABORT
  TOnDSResult OnGraphErrorAbort;                     // EC_ERRORABORT
  TOnGraphStreamError OnGraphStreamErrorStopped;     // EC_STREAM_ERROR_STOPPED
  TOnGraphStreamError OnGraphStreamErrorStillPlaying;  // EC_STREAM_ERROR_STILLPLAYING
  TOnDSResult OnGraphErrorStillPlaying;              // EC_ERROR_STILLPLAYING
  TNotifyEvent OnGraphPaletteChanged;                // EC_PALETTE_CHANGED
  TOnGraphVideoSizeChanged OnGraphVideoSizeChanged;  // EC_VIDEO_SIZE_CHANGED
  TNotifyEvent OnGraphQualityChange;                 // EC_QUALITY_CHANGE
  TNotifyEvent OnGraphClockChanged;                  // EC_CLOCK_CHANGED
  TOnDSResult OnGraphPaused;                         // EC_PAUSED
  TOnGraphOpeningFile OnGraphOpeningFile;            // EC_OPENING_FILE
  TOnGraphBufferingData OnGraphBufferingData;        // EC_BUFFERING_DATA
  TOnGraphFullscreenLost OnGraphFullscreenLost;      // EC_FULLSCREEN_LOST
  TOnGraphOleEvent OnGraphOleEvent;                  // EC_OLE_EVENT
  TOnGraphStreamControl OnGraphStreamControlStopped;  // EC_STREAM_CONTROL_STOPPED
  TOnGraphStreamControl OnGraphStreamControlStarted;  // EC_STREAM_CONTROL_STARTED
  TOnGraphEndOfSegment OnGraphEndOfSegment;          // EC_END_OF_SEGMENT
  TOnGraphDeviceLost OnGraphDeviceLost;              // EC_DEVICE_LOST
  TNotifyEvent OnGraphStepComplete;                  // EC_STEP_COMPLETE
  TOnGraphTimeCodeAvailable OnGraphTimeCodeAvailable;  // EC_TIMECODE_AVAILABLE
  TOnGraphEXTDeviceModeChange OnGraphEXTDeviceModeChange;  // EC_EXTDEVICE_MODE_CHANGE
  TNotifyEvent OnGraphChanged;                       // EC_GRAPH_CHANGED
  TNotifyEvent OnGraphClockUnset;                    // EC_CLOCK_UNSET
  TOnGraphVMRRenderDevice OnGraphVMRRenderDevice;    // EC_VMR_RENDERDEVICE_SET
  TOnGraphSNDDevError OnGraphSNDDevInError;          // EC_SNDDEV_IN_ERROR
  TOnGraphSNDDevError OnGraphSNDDevOutError;         // EC_SNDDEV_OUT_ERROR

  // EC_DVD_DOMAIN_CHANGE, by domain 1..5
  TNotifyEvent OnDVDDomainFirstPlay;
  TNotifyEvent OnDVDDomainVideoManagerMenu;
  TNotifyEvent OnDVDDomainVideoTitleSetMenu;
  TNotifyEvent OnDVDDomainTitle;
  TNotifyEvent OnDVDDomainStop;
  TOnDVDTitleChange OnDVDTitleChange;                        // EC_DVD_TITLE_CHANGE
  TOnDVDChapterStart OnDVDChapterStart;                      // EC_DVD_CHAPTER_START
  TOnDVDAudioStreamChange OnDVDAudioStreamChange;            // EC_DVD_AUDIO_STREAM_CHANGE
  TOnDVDSubpictureStreamChange OnDVDSubpictureStreamChange;  // EC_DVD_SUBPICTURE_STREAM_CHANGE
  TOnDVDChange OnDVDAngleChange;                             // EC_DVD_ANGLE_CHANGE
  TOnDVDChange OnDVDButtonChange;                            // EC_DVD_BUTTON_CHANGE
  TOnDVDValidUOPSChange OnDVDValidUOPSChange;                // EC_DVD_VALID_UOPS_CHANGE
  TOnDVDStillOn OnDVDStillOn;                                // EC_DVD_STILL_ON
  TNotifyEvent OnDVDStillOff;                                // EC_DVD_STILL_OFF
  TOnDVDCurrentTime OnDVDCurrentTime;                        // EC_DVD_CURRENT_TIME
  // EC_DVD_ERROR, by error 1..8
  TNotifyEvent OnDVDErrorUnexpected;
  TNotifyEvent OnDVDErrorCopyProtectFail;
  TNotifyEvent OnDVDErrorInvalidDVD1_0Disc;
  TNotifyEvent OnDVDErrorInvalidDiscRegion;
  TNotifyEvent OnDVDErrorLowParentalLevel;
  TNotifyEvent OnDVDErrorMacrovisionFail;
  TNotifyEvent OnDVDErrorIncompatibleSystemAndDecoderRegions;
  TNotifyEvent OnDVDErrorIncompatibleDiscAndDecoderRegions;
  // EC_DVD_WARNING, by warning 1..6
  TNotifyEvent OnDVDWarningInvalidDVD1_0Disc;
  TNotifyEvent OnDVDWarningFormatNotSupported;
  TNotifyEvent OnDVDWarningIllegalNavCommand;
  TNotifyEvent OnDVDWarningOpen;
  TNotifyEvent OnDVDWarningSeek;
  TNotifyEvent OnDVDWarningRead;
  TNotifyEvent OnDVDChapterAutoStop;                         // EC_DVD_CHAPTER_AUTOSTOP
  TNotifyEvent OnDVDNoFP_PGC;                                // EC_DVD_NO_FP_PGC
  TOnDVDPlaybackRateChange OnDVDPlaybackRateChange;          // EC_DVD_PLAYBACK_RATE_CHANGE
  TOnDVDParentalLevelChange OnDVDParentalLevelChange;        // EC_DVD_PARENTAL_LEVEL_CHANGE
  TNotifyEvent OnDVDPlaybackStopped;                         // EC_DVD_PLAYBACK_STOPPED
  TOnDVDAnglesAvailable OnDVDAnglesAvailable;                // EC_DVD_ANGLES_AVAILABLE
  TNotifyEvent OnDVDPlayPeriodAutoStop;                      // EC_DVD_PLAYPERIOD_AUTOSTOP
  TOnDVDButtonAutoActivated OnDVDButtonAutoActivated;        // EC_DVD_BUTTON_AUTO_ACTIVATED
  TOnDVDCMD OnDVDCMDStart;                                   // EC_DVD_CMD_START
  TOnDVDCMD OnDVDCMDEnd;                                     // EC_DVD_CMD_END
  TNotifyEvent OnDVDDiscEjected;                             // EC_DVD_DISC_EJECTED
  TNotifyEvent OnDVDDiscInserted;                            // EC_DVD_DISC_INSERTED
  TOnDVDCurrentHMSFTime OnDVDCurrentHMSFTime;                // EC_DVD_CURRENT_HMSF_TIME
  TOnDVDKaraokeMode OnDVDKaraokeMode;                        // EC_DVD_KARAOKE_MODE
};
