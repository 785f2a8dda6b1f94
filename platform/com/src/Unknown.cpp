#include "com/Unknown.h"

#include "com/Control.h"

#include <algorithm>
#include <cmath>

namespace com {

// Identifiers of the platform interfaces; fixed once, never changed.
const Iid IID_IUnknown = Guid::fromString(u"{73CF526B-8528-48B6-8B88-17F4DBE095B2}");
const Iid IID_IDispatch = Guid::fromString(u"{FCB59A95-43B9-4FAE-82D3-073E5BEF874A}");
const Iid IID_IClassFactory = Guid::fromString(u"{4E8BB6EE-C887-46B5-AA1C-D07C4FF46C66}");
const Iid IID_IEventSink = Guid::fromString(u"{2C745A49-E2D0-45CC-A134-80B369682EEA}");
const Iid IID_IEventSource = Guid::fromString(u"{CC26402B-3236-4D7D-AF88-22D8E798988B}");
const Iid IID_IPersistStreamInit = Guid::fromString(u"{E2C03611-D877-4889-994E-45ABD4117A98}");
const Iid IID_IPersistPropertyBag = Guid::fromString(u"{51F3FEB9-A594-4F8D-A17D-8FEB24A36DB2}");
const Iid IID_IControl = Guid::fromString(u"{D4DDEDFE-4E3E-4C05-A9C2-FEE6E7D93203}");

int pixelsToHimetric(int pixels) {
    return int(std::lround(double(pixels) * 2540.0 / 96.0));
}

int himetricToPixels(int himetric) {
    return int(std::lround(double(himetric) * 96.0 / 2540.0));
}

QSize boundedControlPixels(const QSize& himetric) {
    return QSize(std::clamp(himetricToPixels(himetric.width()), 0, kMaxControlPixels),
                 std::clamp(himetricToPixels(himetric.height()), 0, kMaxControlPixels));
}

QSize boundedExtent(const QSize& himetric) {
    const QSize pixels = boundedControlPixels(himetric);
    return QSize(std::clamp(himetric.width(), 0, pixelsToHimetric(pixels.width())),
                 std::clamp(himetric.height(), 0, pixelsToHimetric(pixels.height())));
}

} // namespace com
