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
    // The creator hands over the new object's first reference; the caller's reference (if
    // the query succeeds) keeps it alive after this one goes.
    const auto object = ComPtr<IUnknown>::adopt(m_creator ? m_creator() : nullptr);
    if (!object)
        return E_OUTOFMEMORY;
    return object->QueryInterface(iid, out);
}

HRESULT ClassFactory::LockServer(bool lock) {
    if (lock)
        m_module.lock();
    else
        m_module.unlock();
    return S_OK;
}

} // namespace com
