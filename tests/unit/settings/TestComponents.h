#pragma once
// Components with published properties of every kind the settings component looks at.
#include <QObject>
#include <QPoint>
#include <string>

class TTestOptions : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool KeepAspectRatio MEMBER KeepAspectRatio)
  Q_PROPERTY(double Ratio MEMBER Ratio)
  Q_PROPERTY(std::string Label MEMBER Label)
  Q_PROPERTY(Qt::CheckState State MEMBER State)
  Q_PROPERTY(Qt::Alignment Align MEMBER Align)
  Q_PROPERTY(QPoint Spot MEMBER Spot)
  Q_PROPERTY(qint64 Big MEMBER Big)

public:
  using QObject::QObject;
  bool KeepAspectRatio = true;
  double Ratio = 1.5;
  std::string Label = "label";
  Qt::CheckState State = Qt::Unchecked;
  Qt::Alignment Align = Qt::AlignLeft;
  QPoint Spot;
  qint64 Big = 0;
};

class TTestWindow : public QObject {
  Q_OBJECT
  Q_PROPERTY(TTestOptions* VMROptions MEMBER VMROptions)
  Q_PROPERTY(QObject* Nothing MEMBER Nothing)

public:
  explicit TTestWindow(QObject* Owner) : QObject(Owner), VMROptions(new TTestOptions(this)) {}
  TTestOptions* VMROptions;
  QObject* Nothing = nullptr;
};

class TTestAction : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool Checked MEMBER Checked)
  Q_PROPERTY(int Tag MEMBER Tag)

public:
  using QObject::QObject;
  bool Checked = false;
  int Tag = 0;
};

// Stands in for a form when no window is needed.
class TTestOwner : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString Caption MEMBER Caption)

public:
  TTestOwner() {
    setObjectName("PlayLstFm");
    (Aspect = new TTestAction(this))->setObjectName("Aspect");
    (VW = new TTestWindow(this))->setObjectName("VW");
  }
  QString Caption = "Play List";
  TTestAction* Aspect;
  TTestWindow* VW;
};
