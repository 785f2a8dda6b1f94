#pragma once

#include "com/Guid.h"
#include "com/HResult.h"
#include "com/ServerModule.h"

// Entry points of a control module, shared by the module and the loader.
extern "C" {
using DllGetClassObjectFn = com::HRESULT (*)(const com::Clsid* clsid, const com::Iid* iid,
                                             void** out);
using DllCanUnloadNowFn = com::HRESULT (*)();
using DllRegisterServerFn = com::HRESULT (*)();
using DllUnregisterServerFn = com::HRESULT (*)();
}

// Defines the four exported entry points of a module over its ServerModule instance:
//     BRISORA_COM_SERVER_EXPORTS(theModule())
// where the expression yields a com::ServerModule&.
#define BRISORA_COM_SERVER_EXPORTS(moduleExpr)                                                     \
    extern "C" __attribute__((visibility("default"))) com::HRESULT DllGetClassObject(              \
        const com::Clsid* clsid, const com::Iid* iid, void** out) {                                \
        if (!clsid || !iid || !out)                                                                \
            return com::E_POINTER;                                                                 \
        return (moduleExpr).getClassObject(*clsid, *iid, out);                                     \
    }                                                                                              \
    extern "C" __attribute__((visibility("default"))) com::HRESULT DllCanUnloadNow() {             \
        return (moduleExpr).canUnloadNow();                                                        \
    }                                                                                              \
    extern "C" __attribute__((visibility("default"))) com::HRESULT DllRegisterServer() {           \
        return (moduleExpr).registerServer(reinterpret_cast<const void*>(&DllRegisterServer));     \
    }                                                                                              \
    extern "C" __attribute__((visibility("default"))) com::HRESULT DllUnregisterServer() {         \
        return (moduleExpr).unregisterServer(reinterpret_cast<const void*>(&DllUnregisterServer)); \
    }
