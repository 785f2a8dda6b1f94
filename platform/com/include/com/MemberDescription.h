#pragma once

#include "com/Guid.h"
#include "com/Variant.h"

#include <QList>
#include <QString>
#include <cstdint>

namespace com {

using DispId = std::int32_t;

// Flags of an invoke (the values automation uses).
enum DispatchFlag : std::uint16_t {
    DISPATCH_METHOD = 0x1,
    DISPATCH_PROPERTYGET = 0x2,
    DISPATCH_PROPERTYPUT = 0x4,
};

constexpr DispId DISPID_UNKNOWN = -1;
constexpr DispId DISPID_ABOUTBOX = -552;
// Stock events.
constexpr DispId DISPID_CLICK = -600;
constexpr DispId DISPID_DBLCLICK = -601;
constexpr DispId DISPID_KEYDOWN = -602;
constexpr DispId DISPID_KEYPRESS = -603;
constexpr DispId DISPID_KEYUP = -604;
constexpr DispId DISPID_MOUSEDOWN = -605;
constexpr DispId DISPID_MOUSEMOVE = -606;
constexpr DispId DISPID_MOUSEUP = -607;
constexpr DispId DISPID_ERROREVENT = -608;
constexpr DispId DISPID_READYSTATECHANGE = -609;

enum class MemberKind : std::uint8_t {
    Property,        // get with no argument, put with the value
    IndexedProperty, // get with the index, put with the index then the value
    Method,          // call with the declared arguments
};

struct ArgDescription {
    QString name;
    VarType type = VarType::Empty; // R8Ref for doubles passed by reference
    friend bool operator==(const ArgDescription&, const ArgDescription&) = default;
};

// One member of a dispatch or event interface, as the type library describes it.
struct MemberDescription {
    QString name;
    DispId id = DISPID_UNKNOWN;
    MemberKind kind = MemberKind::Method;
    // Method arguments, or the index of an indexed property. A property's value type is
    // `resultType`.
    QList<ArgDescription> args;
    VarType resultType = VarType::Empty; // Empty: no result
    QString helpString;
    friend bool operator==(const MemberDescription&, const MemberDescription&) = default;
};

// A dispatch interface (or an event interface) with its members.
struct InterfaceDescription {
    Iid iid;
    QString name;
    QString helpString;
    bool isEventInterface = false;
    QList<MemberDescription> members;
};

} // namespace com
