#pragma once

#include "com/MemberDescription.h"
#include "com/Unknown.h"
#include "com/Variant.h"

namespace com {

// Late-bound access to an object's members by DISPID or by name.
class IDispatch : public IUnknown {
public:
    // Calls member `id`. `flags` is DISPATCH_METHOD, DISPATCH_PROPERTYGET (METHOD|PROPERTYGET
    // also reads a property) or DISPATCH_PROPERTYPUT. `args` are in natural order: an indexed
    // get takes (index), an indexed put (index, value), a put (value). `result` may be null.
    // Errors: DISP_E_MEMBERNOTFOUND, DISP_E_BADPARAMCOUNT, DISP_E_TYPEMISMATCH,
    // DISP_E_OVERFLOW, DISP_E_BADINDEX, or what the member itself returns.
    [[nodiscard]] virtual HRESULT Invoke(DispId id, std::uint16_t flags, const VariantList& args,
                                         Variant* result) = 0;
    // Name to DISPID, ignoring case; DISP_E_UNKNOWNNAME (and DISPID_UNKNOWN) if absent.
    [[nodiscard]] virtual HRESULT GetIDOfName(const QString& name, DispId* id) = 0;
    // The interface's description (what the type library holds about it).
    [[nodiscard]] virtual HRESULT GetTypeInfo(InterfaceDescription* out) = 0;
};

} // namespace com
