#pragma once

#include "com/Unknown.h"

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

namespace com {

extern const Iid IID_IPropertyPage;
extern const Iid IID_IPropertyPageSite;

// What a page tells its frame about itself.
struct PageInfo {
    QString title;     // the tab caption
    QSize size;        // pixels
    QString docString; // short help text
    QString helpFile;  // the help file the page names
    std::uint32_t helpContext = 0;
};

// Status a page reports to its frame.
enum PageStatus : std::uint32_t {
    PROPPAGESTATUS_DIRTY = 0x1,    // a field changed: the frame enables Apply
    PROPPAGESTATUS_VALIDATE = 0x2, // the page could be applied now
    PROPPAGESTATUS_CLEAN = 0x4,    // nothing left to apply
};

// The frame side of a page, handed to the page before it is activated.
class IPropertyPageSite : public IUnknown {
public:
    [[nodiscard]] virtual HRESULT OnStatusChange(std::uint32_t flags) = 0;
};

// One page of a property frame: made by its class factory, given the objects it edits,
// activated inside the frame (it creates its dialog then), applied and deactivated.
class IPropertyPage : public IUnknown {
public:
    [[nodiscard]] virtual HRESULT SetPageSite(IPropertyPageSite* site) = 0;
    // Creates the page's dialog as a child of `parent` at `rect` (pixels), hidden.
    [[nodiscard]] virtual HRESULT Activate(QWidget* parent, const QRect& rect) = 0;
    // Destroys the dialog.
    [[nodiscard]] virtual HRESULT Deactivate() = 0;
    [[nodiscard]] virtual HRESULT GetPageInfo(PageInfo* info) = 0;
    // The objects the page edits (each kept referenced until replaced or the page goes).
    [[nodiscard]] virtual HRESULT SetObjects(const QList<IUnknown*>& objects) = 0;
    [[nodiscard]] virtual HRESULT Show(bool visible) = 0;
    // The dialog, or nullptr when not active.
    virtual QWidget* Window() = 0;
    // S_OK when the page has changes to apply, S_FALSE otherwise.
    [[nodiscard]] virtual HRESULT IsPageDirty() = 0;
    // Stores the page's changes into its objects: S_OK, or E_FAIL when a field was refused
    // (the page has told the user and put the focus on that field).
    [[nodiscard]] virtual HRESULT Apply() = 0;
    // The page's help: what it has to say about itself (its help text and context).
    [[nodiscard]] virtual HRESULT Help(QString* text) = 0;
};

} // namespace com
