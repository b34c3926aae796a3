#pragma once
// What the entries fill into their properties frames and read back. The frames live in the user
// interface, which installs their makers at start-up; the entries know them only through these
// interfaces. User-interface thread only.
#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "framework/TimeText.h"

class QWidget;

// A properties frame as the entries see it: a widget of the user interface behind one of the
// interfaces below.
class IPropertiesFrame {
public:
  virtual ~IPropertiesFrame() = default;
  virtual QWidget* Widget() = 0;  // the frame itself
};

// The video entry's frame.
class IAVIFrame : public IPropertiesFrame {
public:
  virtual void SetLabel2Caption(const std::string& Caption) = 0;  // the file name
  virtual void SetLabel4Caption(const std::string& Caption) = 0;  // the length
  virtual std::string AddFnmText() const = 0;  // the additional file
  virtual void SetAddFnmText(const std::string& Text) = 0;
  // The overlay's rectangle as fractions of the primary picture.
  virtual void SetOverlayRect(float Left, float Top, float Right, float Bottom) = 0;
  virtual void GetOverlayRect(float& Left, float& Top, float& Right, float& Bottom) const = 0;
  virtual int TrackBar1Position() const = 0;  // the opacity, −100 (opaque) .. 1
  virtual void SetTrackBar1Position(int Position) = 0;
};

// The picture entry's frame.
class IGIFFrame : public IPropertiesFrame {
public:
  virtual void SetLabel1Caption(const std::string& Caption) = 0;  // the file name
  virtual int TrackBar1Position() const = 0;  // the display time, 1..200 s
  virtual void SetTrackBar1Position(int Position) = 0;
  virtual void SetLabel3Caption(const std::string& Caption) = 0;  // the display time as a number
  virtual std::string Edit1Text() const = 0;  // the sound file
  virtual void SetEdit1Text(const std::string& Text) = 0;
  virtual bool CheckBox1Checked() const = 0;  // "Continue from previous"
  virtual void SetCheckBox1Checked(bool Checked) = 0;
};

// Makers of new frames without a parent, installed by the user interface. While a maker is
// empty the entries of its kind have no frame: CreatePropertiesFrame answers nil.
inline std::function<IAVIFrame*()> CreateAVIFrame;
inline std::function<IGIFFrame*()> CreateGIFFrame;

// Truncation toward zero into an int, saturated at its range, NaN as 0: values read from a
// playlist file may be anything.
inline int TruncToInt(double Value) {
  if (std::isnan(Value)) return 0;
  if (Value <= std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  if (Value >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  return static_cast<int>(Value);
}

// The video entry's filling and reading back of its frame, over the entry's fields (FileName,
// Duration, AdditionalFile, OverlayRect, OverlayAlpha), so the steps build apart from the
// entry's media work.
template <class TVideoEntry>
IPropertiesFrame* FillAVIFrame(const TVideoEntry& Entry) {
  if (!CreateAVIFrame) return nullptr;
  IAVIFrame* Frame = CreateAVIFrame();
  Frame->SetLabel2Caption(Entry.FileName);
  Frame->SetLabel4Caption(TimeText(Entry.Duration));
  Frame->SetAddFnmText(Entry.AdditionalFile);
  const auto& R = Entry.OverlayRect;
  Frame->SetOverlayRect(R.left, R.top, R.right, R.bottom);
  Frame->SetTrackBar1Position(-TruncToInt(static_cast<double>(Entry.OverlayAlpha) * 100));
  return Frame;
}

// A frame that is not a video entry's is left alone.
template <class TVideoEntry>
void ReadAVIFrame(TVideoEntry& Entry, IPropertiesFrame* Properties) {
  auto* Frame = dynamic_cast<IAVIFrame*>(Properties);
  if (!Frame) return;
  Entry.AdditionalFile = Frame->AddFnmText();
  auto& R = Entry.OverlayRect;
  Frame->GetOverlayRect(R.left, R.top, R.right, R.bottom);
  Entry.OverlayAlpha = static_cast<float>(std::abs(Frame->TrackBar1Position()) / 100.0);
}
