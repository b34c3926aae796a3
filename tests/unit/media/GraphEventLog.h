#pragma once
// Wires every event property of a graph component to a handler that logs the event's name and
// its arguments, so a drain can be checked as one sequence.
#include <QString>
#include <string>

#include "fakes/CallLog.h"
#include "media/FilterGraph.h"

inline std::string Text(const std::u16string& S) { return QString::fromStdU16String(S).toStdString(); }

inline void WireAllEvents(TFilterGraph& G, TCallLog& Log) {
  const auto N = [](auto V) { return std::to_string(V); };
  const auto Notify = [&Log](const char* Name) {
    return [&Log, Name](QObject*) { Log.Add(Name); };
  };
  const auto Result = [&Log, N](const char* Name) {
    return [&Log, Name, N](QObject*, HRESULT R) { Log.Add(std::string(Name) + " " + N(R)); };
  };
  const auto Flag = [&Log](const char* Name) {
    return [&Log, Name](QObject*, bool B) { Log.Add(std::string(Name) + (B ? " true" : " false")); };
  };
  const auto Number = [&Log, N](const char* Name) {
    return [&Log, Name, N](QObject*, auto V) { Log.Add(std::string(Name) + " " + N(V)); };
  };
  const auto Pair = [&Log, N](const char* Name) {
    return [&Log, Name, N](QObject*, auto A, auto B) { Log.Add(std::string(Name) + " " + N(A) + " " + N(B)); };
  };
  const auto Pointer = [](const void* P) { return std::string(P ? "object" : "none"); };
  const auto Interface = [&Log, N, Pointer](const char* Name) {
    return [&Log, Name, N, Pointer](QObject*, auto* P, ULONG V) { Log.Add(std::string(Name) + " " + Pointer(P) + " " + N(V)); };
  };
  const auto Language = [&Log, N](const char* Name) {
    return [&Log, Name, N](QObject*, LONG S, LONG L, const std::string& Lang) {
      Log.Add(std::string(Name) + " " + N(S) + " " + N(L) + " " + Lang);
    };
  };

  G.OnDSEvent = [&Log, N](QObject*, LONG E, LONG_PTR, LONG_PTR) { Log.Add("OnDSEvent " + N(E)); };
  G.OnGraphComplete = [&Log, N, Pointer](QObject*, HRESULT R, IBaseFilter* F) {
    Log.Add("OnGraphComplete " + N(R) + " " + Pointer(F));
  };
  G.OnGraphUserAbort = Notify("OnGraphUserAbort");
  G.OnGraphErrorAbort = Result("OnGraphErrorAbort");
  G.OnGraphStreamErrorStopped = Pair("OnGraphStreamErrorStopped");
  G.OnGraphStreamErrorStillPlaying = Pair("OnGraphStreamErrorStillPlaying");
  G.OnGraphErrorStillPlaying = Result("OnGraphErrorStillPlaying");
  G.OnGraphPaletteChanged = Notify("OnGraphPaletteChanged");
  G.OnGraphVideoSizeChanged = Pair("OnGraphVideoSizeChanged");
  G.OnGraphQualityChange = Notify("OnGraphQualityChange");
  G.OnGraphClockChanged = Notify("OnGraphClockChanged");
  G.OnGraphPaused = Result("OnGraphPaused");
  G.OnGraphOpeningFile = Flag("OnGraphOpeningFile");
  G.OnGraphBufferingData = Flag("OnGraphBufferingData");
  G.OnGraphFullscreenLost = [&Log, Pointer](QObject*, IBaseFilter* F) { Log.Add("OnGraphFullscreenLost " + Pointer(F)); };
  G.OnGraphOleEvent = [&Log](QObject*, const std::u16string& A, const std::u16string& B) {
    Log.Add("OnGraphOleEvent " + Text(A) + " " + Text(B));
  };
  G.OnGraphStreamControlStopped = Interface("OnGraphStreamControlStopped");
  G.OnGraphStreamControlStarted = Interface("OnGraphStreamControlStarted");
  G.OnGraphEndOfSegment = Pair("OnGraphEndOfSegment");
  G.OnGraphDeviceLost = [&Log, Pointer](QObject*, IUnknown* D, bool Removed) {
    Log.Add("OnGraphDeviceLost " + Pointer(D) + (Removed ? " true" : " false"));
  };
  G.OnGraphStepComplete = Notify("OnGraphStepComplete");
  G.OnGraphTimeCodeAvailable = Interface("OnGraphTimeCodeAvailable");
  G.OnGraphEXTDeviceModeChange = Pair("OnGraphEXTDeviceModeChange");
  G.OnGraphChanged = Notify("OnGraphChanged");
  G.OnGraphClockUnset = Notify("OnGraphClockUnset");
  G.OnGraphVMRRenderDevice = Number("OnGraphVMRRenderDevice");
  G.OnGraphSNDDevInError = Pair("OnGraphSNDDevInError");
  G.OnGraphSNDDevOutError = Pair("OnGraphSNDDevOutError");

  G.OnDVDDomainFirstPlay = Notify("OnDVDDomainFirstPlay");
  G.OnDVDDomainVideoManagerMenu = Notify("OnDVDDomainVideoManagerMenu");
  G.OnDVDDomainVideoTitleSetMenu = Notify("OnDVDDomainVideoTitleSetMenu");
  G.OnDVDDomainTitle = Notify("OnDVDDomainTitle");
  G.OnDVDDomainStop = Notify("OnDVDDomainStop");
  G.OnDVDTitleChange = Number("OnDVDTitleChange");
  G.OnDVDChapterStart = Number("OnDVDChapterStart");
  G.OnDVDAudioStreamChange = Language("OnDVDAudioStreamChange");
  G.OnDVDSubpictureStreamChange = Language("OnDVDSubpictureStreamChange");
  G.OnDVDAngleChange = Pair("OnDVDAngleChange");
  G.OnDVDButtonChange = Pair("OnDVDButtonChange");
  G.OnDVDValidUOPSChange = Number("OnDVDValidUOPSChange");
  G.OnDVDStillOn = [&Log, N](QObject*, bool NoButton, LONG S) {
    Log.Add(std::string("OnDVDStillOn ") + (NoButton ? "true " : "false ") + N(S));
  };
  G.OnDVDStillOff = Notify("OnDVDStillOff");
  G.OnDVDCurrentTime = [&Log, N](QObject*, LONG H, LONG M, LONG S, LONG F, LONG R) {
    Log.Add("OnDVDCurrentTime " + N(H) + ":" + N(M) + ":" + N(S) + "." + N(F) + " at " + N(R));
  };
  G.OnDVDErrorUnexpected = Notify("OnDVDErrorUnexpected");
  G.OnDVDErrorCopyProtectFail = Notify("OnDVDErrorCopyProtectFail");
  G.OnDVDErrorInvalidDVD1_0Disc = Notify("OnDVDErrorInvalidDVD1_0Disc");
  G.OnDVDErrorInvalidDiscRegion = Notify("OnDVDErrorInvalidDiscRegion");
  G.OnDVDErrorLowParentalLevel = Notify("OnDVDErrorLowParentalLevel");
  G.OnDVDErrorMacrovisionFail = Notify("OnDVDErrorMacrovisionFail");
  G.OnDVDErrorIncompatibleSystemAndDecoderRegions = Notify("OnDVDErrorIncompatibleSystemAndDecoderRegions");
  G.OnDVDErrorIncompatibleDiscAndDecoderRegions = Notify("OnDVDErrorIncompatibleDiscAndDecoderRegions");
  G.OnDVDWarningInvalidDVD1_0Disc = Notify("OnDVDWarningInvalidDVD1_0Disc");
  G.OnDVDWarningFormatNotSupported = Notify("OnDVDWarningFormatNotSupported");
  G.OnDVDWarningIllegalNavCommand = Notify("OnDVDWarningIllegalNavCommand");
  G.OnDVDWarningOpen = Notify("OnDVDWarningOpen");
  G.OnDVDWarningSeek = Notify("OnDVDWarningSeek");
  G.OnDVDWarningRead = Notify("OnDVDWarningRead");
  G.OnDVDChapterAutoStop = Notify("OnDVDChapterAutoStop");
  G.OnDVDNoFP_PGC = Notify("OnDVDNoFP_PGC");
  G.OnDVDPlaybackRateChange = [&Log](QObject*, float Rate) { Log.Add("OnDVDPlaybackRateChange " + QString::number(Rate).toStdString()); };
  G.OnDVDParentalLevelChange = Number("OnDVDParentalLevelChange");
  G.OnDVDPlaybackStopped = Notify("OnDVDPlaybackStopped");
  G.OnDVDAnglesAvailable = Flag("OnDVDAnglesAvailable");
  G.OnDVDPlayPeriodAutoStop = Notify("OnDVDPlayPeriodAutoStop");
  G.OnDVDButtonAutoActivated = Number("OnDVDButtonAutoActivated");
  G.OnDVDCMDStart = Number("OnDVDCMDStart");
  G.OnDVDCMDEnd = Number("OnDVDCMDEnd");
  G.OnDVDDiscEjected = Notify("OnDVDDiscEjected");
  G.OnDVDDiscInserted = Notify("OnDVDDiscInserted");
  G.OnDVDCurrentHMSFTime = [&Log, N](QObject*, DVD_HMSF_TIMECODE T, TimeCodeDigits& D) {
    Log.Add("OnDVDCurrentHMSFTime " + N(T.bHours) + ":" + N(T.bMinutes) + ":" + N(T.bSeconds) + "." + N(T.bFrames) +
            " digits " + N(D.HoursUnits) + N(D.HoursTens) + N(D.MinutesUnits) + N(D.MinutesTens) + N(D.SecondsUnits) +
            N(D.SecondsTens) + N(D.FramesUnits) + N(D.FramesTens) + N(D.FrameRate));
  };
  G.OnDVDKaraokeMode = Flag("OnDVDKaraokeMode");
}
