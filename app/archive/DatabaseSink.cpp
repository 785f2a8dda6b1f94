#include "DatabaseSink.h"

namespace archive {

void DatabaseSink::write(std::shared_ptr<const Batch> batch, Done done) {
    const HRESULT hr = writeNow(batch ? *batch : Batch{});
    if (done) {
        done(hr);
    }
}

HRESULT DatabaseSink::writeNow(const Batch& batch) {
    HRESULT hr = m_db->isOpen() ? com::S_OK : m_db->open(ArchiveStore::Mode::Write);
    if (com::succeeded(hr)) {
        hr = m_db->append(batch);
    }
    if (com::failed(hr)) {
        m_db->close();
    }
    return hr;
}

} // namespace archive
