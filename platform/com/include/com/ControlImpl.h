#pragma once

#include "com/ControlBase.h"
#include "com/DispatchTable.h"

namespace com {

// Base of a concrete control class T, which provides
//     static const DispatchTable<T>& dispatchTable();
// and overrides doPropExchange() and onDraw().
//
//   class Meter : public com::ControlImpl<Meter> {
//   public:
//       static const com::DispatchTable<Meter>& dispatchTable();
//       Meter() : ControlImpl(meterIdentity()) {}
//   protected:
//       void doPropExchange(com::PropExchange& px) override;
//       void onDraw(QPainter& dc, const QRect& bounds, const QRect& invalid) override;
//   };
//
// Objects are created with `new` (reference count 1) and deleted by their last Release().
template <class T>
class ControlImpl : public ControlBase {
protected:
    using ControlBase::ControlBase;

    const DispatchMap& dispatchMap() const override { return T::dispatchTable(); }
    void* dispatchObject() override { return static_cast<T*>(this); }
};

} // namespace com
