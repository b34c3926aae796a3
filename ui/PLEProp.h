#pragma once
// The non-modal dialog editing one playlist entry: it hosts the frame the entry made and hands
// it back to the entry on "Apply" and "Close". It frees itself when it closes, and closes itself
// when its entry is freed, so nothing reaches a freed entry. User-interface thread only.
#include <QDialog>

#include "framework/Event.h"

class QCloseEvent;
class QFrame;
class QPushButton;
class IPropertiesFrame;
class TPlayListEntry;

class TPLEProp : public QDialog {
public:
  explicit TPLEProp(QWidget* Parent = nullptr);
  ~TPLEProp() override;

  TPlayListEntry* Entry() const { return FEntry; }  // nil once the entry has been freed
  void SetEntry(TPlayListEntry* Value);
  QWidget* Frame() const;
  // Takes the frame over: parented and owned by the dialog, filling it above the buttons.
  void SetFrame(IPropertiesFrame* Value);

  // Raised after "Apply" (or "Close") has handed the frame to the entry.
  TEvent<TPLEProp*> OnApply;

  void Button1Click();  // "Apply"
  void Button2Click();  // "Close"
  void Button3Click();  // "Cancel"
  void FormClose();

  QFrame* Panel1;
  QPushButton* Button1;
  QPushButton* Button2;
  QPushButton* Button3;

protected:
  void closeEvent(QCloseEvent* Event) override;
  // Escape closes the dialog like its close box, so every way of closing frees it.
  void reject() override;

private:
  void EntryFreed();

  TPlayListEntry* FEntry = nullptr;
  IPropertiesFrame* FFrame = nullptr;
};
