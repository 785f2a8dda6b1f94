#include "com/PropertyPageBase.h"

#include "com/ServerModule.h"

namespace com {

const Iid IID_IPropertyPage = Guid::fromString(u"{6A1E0C2D-3F55-4B8E-9C71-2B9D0E4F8A13}");
const Iid IID_IPropertyPageSite = Guid::fromString(u"{B37F91C4-58A2-4D0B-8E6F-1C2A7D9E3B54}");

PropertyPageBase::PropertyPageBase(const PageInfo& info, ServerModule* module)
    : m_info(info)
    , m_module(module) {
    if (m_module)
        m_module->lock();
}

PropertyPageBase::~PropertyPageBase() {
    delete m_dialog.data();
    releaseObjects();
    m_site.reset();
    if (m_module)
        m_module->unlock();
}

HRESULT PropertyPageBase::QueryInterface(const Iid& iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IPropertyPage)
        return E_NOINTERFACE;
    *out = static_cast<IPropertyPage*>(this);
    AddRef();
    return S_OK;
}

std::uint32_t PropertyPageBase::AddRef() {
    return ++m_refs;
}

std::uint32_t PropertyPageBase::Release() {
    const std::uint32_t left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

HRESULT PropertyPageBase::SetPageSite(IPropertyPageSite* site) {
    m_site = ComPtr<IPropertyPageSite>(site);
    return S_OK;
}

HRESULT PropertyPageBase::Activate(QWidget* parent, const QRect& rect) {
    if (m_dialog)
        return E_UNEXPECTED;
    auto* dialog = new QWidget(parent);
    dialog->setGeometry(rect);
    dialog->hide();
    m_dialog = dialog;
    buildDialog(dialog);
    onDialogCreated();
    return S_OK;
}

HRESULT PropertyPageBase::Deactivate() {
    if (!m_dialog)
        return S_OK;
    onDialogDestroying();
    delete m_dialog.data();
    return S_OK;
}

HRESULT PropertyPageBase::GetPageInfo(PageInfo* info) {
    if (!info)
        return E_POINTER;
    *info = m_info;
    return S_OK;
}

HRESULT PropertyPageBase::SetObjects(const QList<IUnknown*>& objects) {
    for (IUnknown* object : objects) {
        if (!object)
            return E_POINTER;
    }
    QList<ComPtr<IUnknown>> held;
    held.reserve(objects.size());
    for (IUnknown* object : objects)
        held.append(ComPtr<IUnknown>(object));
    releaseObjects();
    m_objects = std::move(held);
    return S_OK;
}

void PropertyPageBase::releaseObjects() {
    // Released after the member is empty: an object's last release may reach this page.
    const QList<ComPtr<IUnknown>> old = std::exchange(m_objects, {});
}

HRESULT PropertyPageBase::Show(bool visible) {
    if (!m_dialog)
        return E_UNEXPECTED;
    m_dialog->setVisible(visible);
    onShow(visible);
    return S_OK;
}

HRESULT PropertyPageBase::IsPageDirty() {
    return m_modified ? S_OK : S_FALSE;
}

HRESULT PropertyPageBase::Apply() {
    if (!m_modified)
        return S_OK;
    if (!applyChanges())
        return E_FAIL;
    setModified(false);
    return S_OK;
}

HRESULT PropertyPageBase::Help(QString* text) {
    if (!text)
        return E_POINTER;
    *text = m_info.docString;
    return S_OK;
}

void PropertyPageBase::setModified(bool modified) {
    m_modified = modified;
    // The frame's answer changes nothing here: the page's own state is already set.
    if (m_site)
        std::ignore = m_site->OnStatusChange(
            modified ? PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE : PROPPAGESTATUS_CLEAN);
}

void PropertyPageBase::onShow(bool) {}

void PropertyPageBase::onDialogDestroying() {}

} // namespace com
