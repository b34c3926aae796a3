#pragma once
// CoCreateInstance over a registry of class factories that the platform fills and tests may
// override, class by class.
#include <functional>

#include "platform/com/ComTypes.h"

constexpr DWORD CLSCTX_INPROC_SERVER = 1;
constexpr DWORD CLSCTX_INPROC_HANDLER = 2;
constexpr DWORD COINIT_APARTMENTTHREADED = 2;

// Creates an object and answers its query for Iid into *Object.
using TClassFactory = std::function<HRESULT(REFIID Iid, void** Object)>;

HRESULT CoInitialize(void* Reserved);
// REGDB_E_CLASSNOTREG for a class no factory is registered for.
HRESULT CoCreateInstance(REFCLSID Clsid, IUnknown* Outer, DWORD Context, REFIID Iid, void** Object);
// Registers (or replaces) the factory of a class; an empty factory removes the class.
void CoRegisterClass(REFCLSID Clsid, TClassFactory Factory);
// The factory registered for a class now, so a test can put it back.
TClassFactory CoRegisteredClass(REFCLSID Clsid);
