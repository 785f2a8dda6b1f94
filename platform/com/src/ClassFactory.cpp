#include "com/ClassFactory.h"

#include "com/ServerModule.h"

namespace com {

ClassFactory::ClassFactory(ServerModule& module, const Clsid& clsid, Creator creator)
    : m_module(module)
    , m_clsid(clsid)
    , m_creator(std::move(creator)) {
    m_module.lock();
}

ClassFactory::~ClassFactory() {
    m_module.unlock();
}

HRESULT ClassFactory::QueryInterface(const Iid& iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IClassFactory)
        return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

std::uint32_t ClassFactory::AddRef() {
    return ++m_refs;
}

std::uint32_t ClassFactory::Release() {
    const std::uint32_t left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

HRESULT ClassFactory::CreateInstance(const Iid& iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    IUnknown* object = m_creator ? m_creator() : nullptr;
    if (!object)
        return E_OUTOFMEMORY;
    const HRESULT hr = object->QueryInterface(iid, out);
    object->Release(); // the caller's reference (if any) keeps it alive
    return hr;
}

HRESULT ClassFactory::LockServer(bool lock) {
    if (lock)
        m_module.lock();
    else
        m_module.unlock();
    return S_OK;
}

} // namespace com
