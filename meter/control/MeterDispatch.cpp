#include "MeterDispatch.h"

#include "CGAUGEKITCtrl.h"
#include "GaugeKitIds.h"
#include "PropertyTable.h"

#include <com/ControlModule.h>

namespace gaugekit {

namespace {

using com::ArgDescription;
using com::HRESULT;
using com::MemberDescription;
using com::MemberKind;
using com::Variant;
using com::VariantList;
using com::VarType;

CGAUGEKITCtrl& ctrl(void* object) {
    return *static_cast<CGAUGEKITCtrl*>(object);
}

VarType varTypeOf(PropertyKind kind) {
    switch (kind) {
    case PropertyKind::Long:
        return VarType::I4;
    case PropertyKind::Bool:
        return VarType::Bool;
    case PropertyKind::Double:
        return VarType::R8;
    case PropertyKind::String:
        break;
    }
    return VarType::BStr;
}

struct IndexedMember {
    const char* name;
    com::DispId id;
    const char* indexName;
    ArrayId array;
    VarType type;
};

const IndexedMember kIndexed[] = {
    {"TitleString", dispid::TitleString, "title", ArrayId::TitleString, VarType::BStr},
    {"TitleFont", dispid::TitleFont, "title", ArrayId::TitleFont, VarType::BStr},
    {"TitleColor", dispid::TitleColor, "title", ArrayId::TitleColor, VarType::I4},
    {"TitleFontStyle", dispid::TitleFontStyle, "title", ArrayId::TitleFontStyle, VarType::I4},
    {"TitleFontSize", dispid::TitleFontSize, "title", ArrayId::TitleFontSize, VarType::I4},
    {"MeterChannelColor", dispid::MeterChannelColor, "channel", ArrayId::MeterChannelColor,
     VarType::I4},
    {"MeterChannelTagName", dispid::MeterChannelTagName, "nChannel", ArrayId::MeterChannelTagName,
     VarType::BStr},
};

// A method handler that ignores its arguments and result.
com::DispatchMap::Handler plain(void (CGAUGEKITCtrl::*fn)()) {
    return [fn](void* o, const VariantList&, Variant&) {
        (ctrl(o).*fn)();
        return com::S_OK;
    };
}

} // namespace

const com::DispatchMap& MeterDispatch::map() {
    static const com::DispatchMap map = [] {
        com::DispatchMap m;
        addProperties(m);
        addMethods(m);
        addIndexedProperties(m);
        return m;
    }();
    return map;
}

void MeterDispatch::addProperties(com::DispatchMap& map) {
    for (const PropertyInfo& p : PropertyTable::all()) {
        const MemberDescription d{QLatin1String(p.name), p.dispid, MemberKind::Property, {},
                                  varTypeOf(p.kind()),   {}};
        const PropertyInfo* info = &p;
        map.add(
            d,
            [info](void* o, const VariantList&, Variant& r) {
                r = ctrl(o).getProperty(*info);
                return com::S_OK;
            },
            [info](void* o, const VariantList& a, Variant&) {
                ctrl(o).putProperty(*info, a.at(0));
                return com::S_OK;
            },
            {});
    }
}

void MeterDispatch::addIndexedProperties(com::DispatchMap& map) {
    for (const IndexedMember& m : kIndexed) {
        const MemberDescription d{QLatin1String(m.name),
                                  m.id,
                                  MemberKind::IndexedProperty,
                                  {{QLatin1String(m.indexName), VarType::I4}},
                                  m.type,
                                  {}};
        const auto which = m.array;
        map.add(
            d,
            [which](void* o, const VariantList& a, Variant& r) {
                return ctrl(o).getIndexed(which, a.at(0).i4Value(), r);
            },
            [which](void* o, const VariantList& a, Variant&) {
                return ctrl(o).putIndexed(which, a.at(0).i4Value(), a.at(1));
            },
            {});
    }
}

void MeterDispatch::addMethods(com::DispatchMap& map) {
    const auto method = [&map](const char* name, com::DispId id, QList<ArgDescription> args,
                               VarType result, com::DispatchMap::Handler fn,
                               const char* help = "") {
        map.add({QLatin1String(name), id, MemberKind::Method, std::move(args), result,
                 QString::fromLatin1(help)},
                {}, {}, std::move(fn));
    };
    method("UpdateDataValue", dispid::UpdateDataValue,
           {{"nIndex", VarType::I4}, {"rDataValue", VarType::R8}, {"bUpdate", VarType::Bool}},
           VarType::Empty, [](void* o, const VariantList& a, Variant&) {
               ctrl(o).updateDataValue(a.at(0).i4Value(), a.at(1).r8Value(), a.at(2).boolValue());
               return com::S_OK;
           });
    method("UpdateMeter", dispid::UpdateMeter, {}, VarType::Empty,
           plain(&CGAUGEKITCtrl::updateMeter));
    method("SerializeLoadFile", dispid::SerializeLoadFile, {{"sFilename", VarType::BStr}},
           VarType::Bool, [](void* o, const VariantList& a, Variant& r) {
               bool opened = false;
               const HRESULT hr = ctrl(o).serializeLoadFile(a.at(0).stringValue(), &opened);
               r = Variant(opened);
               return hr;
           });
    method("SerializeSaveFile", dispid::SerializeSaveFile, {{"sFilename", VarType::BStr}},
           VarType::Bool, [](void* o, const VariantList& a, Variant& r) {
               bool written = false;
               const HRESULT hr = ctrl(o).serializeSaveFile(a.at(0).stringValue(), &written);
               r = Variant(written);
               return hr;
           });
    method("UpdateGraph", dispid::UpdateGraph, {}, VarType::Empty,
           plain(&CGAUGEKITCtrl::updateGraph));
    method("UpdateDynData", dispid::UpdateDynData, {{"rNewValues", VarType::R8Ref}}, VarType::Empty,
           [](void* o, const VariantList& a, Variant&) {
               return ctrl(o).updateDynData(a.at(0).r8RefPointer(), a.at(0).r8RefCount());
           });
    method(
        "SavePageMeta", dispid::SavePageMeta,
        {{"mftype", VarType::I4}, {"sFilename", VarType::BStr}}, VarType::Bool,
        [](void* o, const VariantList& a, Variant& r) {
            r = Variant(ctrl(o).savePageMeta(a.at(0).i4Value(), a.at(1).stringValue()));
            return com::S_OK;
        },
        "Saves the meter's picture: mftype 1 SVG, 2 PDF, 3 PNG; an empty file name asks for "
        "one");
    method(
        "CopyToClipboard", dispid::CopyToClipboard, {}, VarType::Bool,
        [](void* o, const VariantList&, Variant& r) {
            r = Variant(ctrl(o).copyToClipboard());
            return com::S_OK;
        },
        "Copies the meter's picture to the clipboard as an image and as SVG");
    method("AboutBox", dispid::AboutBox, {}, VarType::Empty, plain(&CGAUGEKITCtrl::aboutBox));
}

com::InterfaceDescription MeterDispatch::dispatchInterface() {
    com::InterfaceDescription d;
    d.iid = com::guidFromLatin1(kIds.iidDispatch);
    d.name = QStringLiteral("_DGAUGEKIT");
    d.helpString = QStringLiteral("Dispatch interface for GAUGEKIT Control");
    d.members = map().members();
    return d;
}

com::InterfaceDescription MeterDispatch::eventInterface() {
    using A = ArgDescription;
    com::InterfaceDescription d;
    d.iid = com::guidFromLatin1(kIds.iidEvents);
    d.name = QStringLiteral("_DGAUGEKITEvents");
    d.helpString = QStringLiteral("Event interface for GAUGEKIT Control");
    d.isEventInterface = true;
    const auto event = [&d](const char* name, com::DispId id, QList<A> args) {
        d.members.append(
            {QLatin1String(name), id, MemberKind::Method, std::move(args), VarType::Empty, {}});
    };
    const QList<A> mouse = {
        {"Button", VarType::I2}, {"Shift", VarType::I2}, {"x", VarType::I4}, {"y", VarType::I4}};
    event("OnInternalTimer", eventid::OnInternalTimer, {});
    event("OnAlarmEvent", eventid::OnAlarmEvent,
          {{"nChannel", VarType::I4},
           {"nAlmCode", VarType::I4},
           {"rVal", VarType::R8},
           {"bAlarm", VarType::Bool}});
    event("DrawReady", eventid::DrawReady, {});
    event("Click", com::DISPID_CLICK, {});
    event("DblClick", com::DISPID_DBLCLICK, {});
    event("Error", com::DISPID_ERROREVENT,
          {{"Number", VarType::I2},
           {"Description", VarType::BStr},
           {"Scode", VarType::I4},
           {"Source", VarType::BStr},
           {"HelpFile", VarType::BStr},
           {"HelpContext", VarType::I4},
           {"CancelDisplay", VarType::Bool}});
    event("KeyDown", com::DISPID_KEYDOWN, {{"KeyCode", VarType::I2}, {"Shift", VarType::I2}});
    event("KeyPress", com::DISPID_KEYPRESS, {{"KeyAscii", VarType::I2}});
    event("KeyUp", com::DISPID_KEYUP, {{"KeyCode", VarType::I2}, {"Shift", VarType::I2}});
    event("MouseDown", com::DISPID_MOUSEDOWN, mouse);
    event("MouseMove", com::DISPID_MOUSEMOVE, mouse);
    event("MouseUp", com::DISPID_MOUSEUP, mouse);
    event("ReadyStateChange", com::DISPID_READYSTATECHANGE, {});
    return d;
}

} // namespace gaugekit
