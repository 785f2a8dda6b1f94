#include "PageCatalog.h"

#include "GaugeKitIds.h"
#include "PageDialog.h"

namespace gaugekit::pages {

const std::array<PageIdentity, 5>& PageCatalog::all() {
    static const std::array<PageIdentity, 5> pages{{
        {PageKind::General, kClsidGeneralPage, "General", "GAUGEKIT Property Page", 200,
         "General Help", 726},
        {PageKind::Look, kClsidLookPage, "Appearance", "Meter Look Property Page", 203,
         "Appearance Help", 727},
        {PageKind::Scale, kClsidScalePage, "Scale", "Meter Scale Property Page", 205, "Scale Help",
         728},
        {PageKind::Alarm, kClsidAlarmPage, "Alarms", "Meter Alarms Property Page", 207,
         "Alarm Help", 729},
        {PageKind::Timer, kClsidTimerPage, "Timer", "Timer Property Page", 208, "Timer Help", 730},
    }};
    return pages;
}

const PageIdentity& PageCatalog::identity(PageKind kind) {
    return all().at(static_cast<std::size_t>(kind));
}

com::Clsid PageCatalog::clsid(PageKind kind) {
    return com::Guid::fromString(QString::fromLatin1(identity(kind).clsid));
}

QString PageCatalog::helpText(PageKind kind) {
    const PageIdentity& id = identity(kind);
    return QStringLiteral("%1\n\nHelp context %2 of \"%3\". The help file is not installed "
                          "with the meter; each field is named by the label beside it.")
        .arg(QLatin1String(id.helpText))
        .arg(id.helpContext)
        .arg(QLatin1String(kHelpFile));
}

com::PageInfo PageCatalog::pageInfo(PageKind kind, const QSize& units) {
    const PageIdentity& id = identity(kind);
    com::PageInfo info;
    info.title = QLatin1String(id.caption);
    info.size = PageDialog::pixelSize(units);
    info.docString = helpText(kind);
    info.helpFile = QLatin1String(kHelpFile);
    info.helpContext = id.helpContext;
    return info;
}

} // namespace gaugekit::pages
