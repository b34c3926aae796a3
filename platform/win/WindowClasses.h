#pragma once
// Window classes and style bits of the windows the renderers make. A window is a QObject; its
// window class is held in its "WindowClass" property, its window name is its objectName.
#include <QString>

#include "platform/com/ComTypes.h"

class QObject;

constexpr LONG WS_CHILD = 0x40000000;
constexpr LONG WS_CLIPSIBLINGS = 0x04000000;
constexpr LONG WS_EX_TOPMOST = 0x8;

// The window class of a video renderer's own window.
constexpr const char* VideoRendererWindowClass = "VideoRenderer";

void SetWindowClass(QObject* Window, const char* ClassName);
// The first child of Parent of that window class and window name; 0 if there is none.
OAHWND FindWindowEx(const QObject* Parent, const char* ClassName, const QString& WindowName);
