#pragma once

#include <QString>
#include <cstdint>

namespace com {

// Result code of every call across the component boundary. Negative values are failures.
using HRESULT = std::int32_t;

constexpr HRESULT makeHResult(std::uint32_t bits) {
    return static_cast<HRESULT>(bits);
}

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = makeHResult(0x80004001u);
constexpr HRESULT E_NOINTERFACE = makeHResult(0x80004002u);
constexpr HRESULT E_POINTER = makeHResult(0x80004003u);
// The operation was cut short (its window was closed under it).
constexpr HRESULT E_ABORT = makeHResult(0x80004004u);
constexpr HRESULT E_UNEXPECTED = makeHResult(0x8000FFFFu);
constexpr HRESULT E_FAIL = makeHResult(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = makeHResult(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = makeHResult(0x80070057u);
constexpr HRESULT E_ACCESSDENIED = makeHResult(0x80070005u);
constexpr HRESULT CLASS_E_NOAGGREGATION = makeHResult(0x80040110u);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = makeHResult(0x80040111u);
constexpr HRESULT REGDB_E_READREGDB = makeHResult(0x80040150u);
constexpr HRESULT REGDB_E_WRITEREGDB = makeHResult(0x80040151u);
constexpr HRESULT REGDB_E_KEYMISSING = makeHResult(0x80040152u);
constexpr HRESULT REGDB_E_CLASSNOTREG = makeHResult(0x80040154u);
constexpr HRESULT SELFREG_E_TYPELIB = makeHResult(0x80040200u);
constexpr HRESULT SELFREG_E_CLASS = makeHResult(0x80040201u);
constexpr HRESULT CO_E_DLLNOTFOUND = makeHResult(0x800401F8u);
constexpr HRESULT CO_E_ERRORINDLL = makeHResult(0x800401F9u);
constexpr HRESULT CO_E_CLASSSTRING = makeHResult(0x800401F3u);
constexpr HRESULT DISP_E_UNKNOWNINTERFACE = makeHResult(0x80020001u);
constexpr HRESULT DISP_E_MEMBERNOTFOUND = makeHResult(0x80020003u);
constexpr HRESULT DISP_E_PARAMNOTFOUND = makeHResult(0x80020004u);
constexpr HRESULT DISP_E_TYPEMISMATCH = makeHResult(0x80020005u);
constexpr HRESULT DISP_E_UNKNOWNNAME = makeHResult(0x80020006u);
constexpr HRESULT DISP_E_BADVARTYPE = makeHResult(0x80020008u);
constexpr HRESULT DISP_E_EXCEPTION = makeHResult(0x80020009u);
constexpr HRESULT DISP_E_OVERFLOW = makeHResult(0x8002000Au);
constexpr HRESULT DISP_E_BADINDEX = makeHResult(0x8002000Bu);
constexpr HRESULT DISP_E_BADPARAMCOUNT = makeHResult(0x8002000Eu);
// An archive read past its end or met data it cannot hold (truncated or hostile input).
constexpr HRESULT STG_E_READFAULT = makeHResult(0x8003001Eu);
// An archive could not write to its device.
constexpr HRESULT STG_E_WRITEFAULT = makeHResult(0x8003001Du);
constexpr HRESULT STG_E_FILENOTFOUND = makeHResult(0x80030002u);

constexpr bool succeeded(HRESULT hr) {
    return hr >= 0;
}
constexpr bool failed(HRESULT hr) {
    return hr < 0;
}

// The symbolic name of a code ("DISP_E_BADINDEX"), or "0x8000ABCD" for a code it does not know.
QString hresultName(HRESULT hr);

} // namespace com
