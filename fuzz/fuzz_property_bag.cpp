// The property-bag loader on any bytes: the JSON form of a bag, then the meter loading it.
#include "FuzzApp.h"

#include "CGAUGEKITCtrl.h"

#include <com/PropertyBag.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ensureApplication();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QJsonDocument doc = QJsonDocument::fromJson(bytes);
    if (!doc.isObject())
        return 0;
    com::PropertyBag bag;
    if (com::failed(bag.fromJson(doc.object())))
        return 0;
    const auto meter = com::ComPtr<gaugekit::CGAUGEKITCtrl>::adopt(new gaugekit::CGAUGEKITCtrl);
    // The answers are not the point here: hostile input may well be refused. What is looked
    // for is a crash, a leak or undefined behaviour on the way.
    std::ignore = meter->InitNew();
    std::ignore = meter->Load(bag);
    // What a loaded meter saves is a bag it loads again.
    com::PropertyBag saved;
    std::ignore = meter->Save(saved, false);
    com::PropertyBag again;
    std::ignore = again.fromJson(saved.toJson());
    std::ignore = meter->Load(again);
    return 0;
}
