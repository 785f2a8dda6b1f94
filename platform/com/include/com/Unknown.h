#pragma once

#include "com/Guid.h"
#include "com/HResult.h"

#include <cstdint>
#include <tuple>
#include <utility>

namespace com {

// Identifiers of the platform's own interfaces.
extern const Iid IID_IUnknown;
extern const Iid IID_IDispatch;
extern const Iid IID_IClassFactory;
extern const Iid IID_IEventSink;
extern const Iid IID_IEventSource;
extern const Iid IID_IPersistStreamInit;
extern const Iid IID_IPersistPropertyBag;
extern const Iid IID_IControl;

// Base of every interface: identity by interface lookup and life by reference count. An object
// is deleted by the module that created it, in its last Release(); no C++ exception leaves any
// of these calls.
class IUnknown {
public:
    // On success stores an AddRef'ed pointer to the interface `iid` in `*out`; otherwise stores
    // nullptr and returns E_NOINTERFACE (or E_POINTER when `out` is null).
    [[nodiscard]] virtual HRESULT QueryInterface(const Iid& iid, void** out) = 0;
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

// Owning pointer to an interface: AddRef on copy, Release on reset.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference on `p`.
    explicit ComPtr(T* p)
        : m_p(p) {
        if (m_p)
            m_p->AddRef();
    }
    ComPtr(const ComPtr& o)
        : ComPtr(o.m_p) {}
    ComPtr(ComPtr&& o) noexcept
        : m_p(std::exchange(o.m_p, nullptr)) {}
    ~ComPtr() { reset(); }
    ComPtr& operator=(ComPtr o) noexcept {
        std::swap(m_p, o.m_p);
        return *this;
    }

    // Adopts a pointer whose reference the caller already holds (as QueryInterface returns it).
    static ComPtr adopt(T* p) {
        ComPtr r;
        r.m_p = p;
        return r;
    }

    void reset() {
        if (T* p = std::exchange(m_p, nullptr))
            p->Release();
    }
    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For out-parameters: releases the current pointer and returns the slot as void**.
    void** put() {
        reset();
        return reinterpret_cast<void**>(&m_p);
    }
    // The same slot, typed, for out-parameters declared as T**.
    T** receive() {
        reset();
        return &m_p;
    }
    // Hands the reference to the caller (for out-parameters that return an AddRef'ed pointer).
    [[nodiscard]] T* detach() { return std::exchange(m_p, nullptr); }

    // Queries `iid` (the caller names the interface id matching U).
    template <class U>
    ComPtr<U> query(const Iid& iid) const {
        ComPtr<U> r;
        // A refused query leaves the slot null, which is the answer the caller tests.
        if (m_p)
            std::ignore = m_p->QueryInterface(iid, r.put());
        return r;
    }

private:
    T* m_p = nullptr;
};

// Queries `iid` on a borrowed object; null when the object is null or refuses the interface.
template <class U>
ComPtr<U> queryInterface(IUnknown* object, const Iid& iid) {
    ComPtr<U> r;
    // A refused query leaves the slot null, which is the answer the caller tests.
    if (object)
        std::ignore = object->QueryInterface(iid, r.put());
    return r;
}

} // namespace com
