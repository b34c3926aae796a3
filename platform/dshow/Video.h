#pragma once
// The video renderers: the Video Mixing Renderer 9 and the classic renderer's IVideoWindow.
#include "platform/com/ComTypes.h"
#include "platform/win/WinTypes.h"

// A rectangle in fractions of the output: 0..1 covers it, values outside lie beyond it.
struct VMR9NormalizedRect {
  float left = 0, top = 0, right = 1, bottom = 1;
  friend bool operator==(const VMR9NormalizedRect&, const VMR9NormalizedRect&) = default;
};

constexpr DWORD VMR9Mode_Windowed = 1;
constexpr DWORD VMR9Mode_Windowless = 2;
constexpr DWORD VMR9Mode_Renderless = 4;
constexpr DWORD VMR9ARMode_None = 0;
constexpr DWORD VMR9ARMode_LetterBox = 1;

struct IVMRFilterConfig9 : IUnknown {
  static constexpr GUID IID = MakeGuid("{5A804648-4F66-4867-9C43-4F5C822CF1B8}");
  virtual HRESULT SetNumberOfStreams(DWORD MaxStreams) = 0;  // 1..16, before any pin connects
  virtual HRESULT GetNumberOfStreams(DWORD* MaxStreams) = 0;
  virtual HRESULT SetRenderingPrefs(DWORD RenderFlags) = 0;
  virtual HRESULT GetRenderingPrefs(DWORD* RenderFlags) = 0;
  virtual HRESULT SetRenderingMode(DWORD Mode) = 0;
  virtual HRESULT GetRenderingMode(DWORD* Mode) = 0;
};

struct IVMRWindowlessControl9 : IUnknown {
  static constexpr GUID IID = MakeGuid("{8F537D09-F85E-4414-B23B-502E54C79927}");
  virtual HRESULT SetVideoClippingWindow(OAHWND Window) = 0;
  // A null Source keeps the source rectangle; Destination is in the clipping window's pixels.
  virtual HRESULT SetVideoPosition(const RECT* Source, const RECT* Destination) = 0;
  virtual HRESULT GetVideoPosition(RECT* Source, RECT* Destination) = 0;
  // The current composited frame as a 32-bit top-down BGRA image: *Width, *Height and the
  // pixels in *Image (Width*Height*4 bytes), allocated with new[]; the caller delete[]s it.
  virtual HRESULT GetCurrentImage(std::uint8_t** Image, LONG* Width, LONG* Height) = 0;
};

struct IVMRAspectRatioControl9 : IUnknown {
  static constexpr GUID IID = MakeGuid("{00D96C29-BBDE-4EFC-9901-BB5036392146}");
  virtual HRESULT SetAspectRatioMode(DWORD Mode) = 0;
  virtual HRESULT GetAspectRatioMode(DWORD* Mode) = 0;
};

struct IVMRMixerControl9 : IUnknown {
  static constexpr GUID IID = MakeGuid("{1A777EAA-47C8-4930-B2C9-8FEE1C1B0F3B}");
  virtual HRESULT SetAlpha(DWORD Stream, float Alpha) = 0;
  virtual HRESULT GetAlpha(DWORD Stream, float* Alpha) = 0;
  virtual HRESULT SetZOrder(DWORD Stream, DWORD Z) = 0;  // 0 is the front
  virtual HRESULT GetZOrder(DWORD Stream, DWORD* Z) = 0;
  virtual HRESULT SetOutputRect(DWORD Stream, const VMR9NormalizedRect* Rect) = 0;
  virtual HRESULT GetOutputRect(DWORD Stream, VMR9NormalizedRect* Rect) = 0;
};

struct IBaseFilter;

// Our own: a mixing renderer taking over from another shows the other's picture with its own
// while a transition between them runs.
struct IVMRTransition9 : IUnknown {
  static constexpr GUID IID = MakeGuid("{5B0E6C3A-8D1F-4C27-9E64-2F7A1D3B9C58}");
  // From: the renderer going out, null to end; Kind: 1 a cross-fade, 2 a fade through black.
  virtual HRESULT SetTransitionSource(IBaseFilter* From, DWORD Kind) = 0;
  // 0 shows only the renderer going out, 1 only this one.
  virtual HRESULT SetTransitionLevel(float Level) = 0;
};

constexpr LONG OATRUE = -1;
constexpr LONG OAFALSE = 0;

struct IVideoWindow : IUnknown {
  static constexpr GUID IID = MakeGuid("{56A868B4-0AD4-11CE-B03A-0020AF0BA770}");
  virtual HRESULT put_Caption(LPCWSTR Caption) = 0;
  virtual HRESULT put_MessageDrain(OAHWND Drain) = 0;
  virtual HRESULT put_Owner(OAHWND Owner) = 0;
  virtual HRESULT put_WindowStyle(LONG Style) = 0;
  virtual HRESULT put_WindowStyleEx(LONG ExStyle) = 0;
  virtual HRESULT put_Visible(LONG Visible) = 0;
  virtual HRESULT SetWindowPosition(LONG Left, LONG Top, LONG Width, LONG Height) = 0;
};

constexpr CLSID CLSID_VideoRenderer = MakeGuid("{70E102B0-5556-11CE-97C0-00AA0055595A}");
constexpr CLSID CLSID_VideoMixingRenderer9 = MakeGuid("{51B4ABF3-748F-4E3B-A276-C828330E926A}");
