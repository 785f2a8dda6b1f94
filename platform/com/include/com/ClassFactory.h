#pragma once

#include "com/Unknown.h"

#include <functional>

namespace com {

class ServerModule;

// Makes objects of one class.
class IClassFactory : public IUnknown {
public:
    // Creates a new object and returns its interface `iid` in `*out`.
    [[nodiscard]] virtual HRESULT CreateInstance(const Iid& iid, void** out) = 0;
    // Keeps the module loaded while locked.
    [[nodiscard]] virtual HRESULT LockServer(bool lock) = 0;
};

// The factory a ServerModule hands out for one of its classes.
class ClassFactory : public IClassFactory {
public:
    // Returns a new object holding one reference, or nullptr when it cannot be made.
    using Creator = std::function<IUnknown*()>;

    ClassFactory(ServerModule& module, const Clsid& clsid, Creator creator);

    [[nodiscard]] HRESULT QueryInterface(const Iid& iid, void** out) override;
    std::uint32_t AddRef() override;
    std::uint32_t Release() override;
    [[nodiscard]] HRESULT CreateInstance(const Iid& iid, void** out) override;
    [[nodiscard]] HRESULT LockServer(bool lock) override;

    const Clsid& clsid() const { return m_clsid; }

private:
    ~ClassFactory() override;

    ServerModule& m_module;
    Clsid m_clsid;
    Creator m_creator;
    std::uint32_t m_refs = 1;
};

} // namespace com
