// Slot table behind the library's handles: kind, slot index and generation in 64 bits.
#pragma once

#include "lum/LumTypes.h"

#include <functional>
#include <memory>
#include <vector>

namespace lum {

/// Stores objects of type T (owned through unique_ptr, which may hold a non-owning deleter
/// for widgets Qt owns) and hands out generation-checked handles of kind K.
template <HandleKind K, typename T>
class HandleTable {
public:
    using HandleType = Handle<K>;

    HandleType insert(T* object) {
        std::size_t index = m_free.empty() ? m_slots.size() : m_free.back();
        if (m_free.empty()) {
            if (index >= kMaxSlots)
                return {};
            m_slots.push_back({});
        } else {
            m_free.pop_back();
        }
        Slot& slot = m_slots[index];
        slot.object = object;
        return HandleType::fromRaw(encode(index, slot.generation));
    }

    /// The object, or null when the handle is null, stale, foreign or of another kind.
    T* get(HandleType handle) const {
        const quint64 raw = handle.raw();
        if ((raw >> 56) != static_cast<quint64>(K))
            return nullptr;
        const auto index = static_cast<std::size_t>(raw & 0xFFFFFF);
        const auto generation = static_cast<quint32>((raw >> 24) & 0xFFFFFFFF);
        if (index >= m_slots.size() || m_slots[index].generation != generation)
            return nullptr;
        return m_slots[index].object;
    }

    /// Forgets the object (the caller deletes it if it owns it); the handle becomes stale.
    T* remove(HandleType handle) {
        T* object = get(handle);
        if (!object)
            return nullptr;
        const auto index = static_cast<std::size_t>(handle.raw() & 0xFFFFFF);
        Slot& slot = m_slots[index];
        slot.object = nullptr;
        slot.generation = slot.generation == 0xFFFFFFFF ? 1 : slot.generation + 1;
        m_free.push_back(index);
        return object;
    }

    /// Calls `fn(handle, object)` for each live object (do not insert or remove meanwhile).
    void forEach(const std::function<void(HandleType, T*)>& fn) const {
        for (std::size_t i = 0; i < m_slots.size(); ++i) {
            if (m_slots[i].object)
                fn(HandleType::fromRaw(encode(i, m_slots[i].generation)), m_slots[i].object);
        }
    }

private:
    static constexpr std::size_t kMaxSlots = 0xFFFFFF;

    struct Slot {
        T* object = nullptr;
        quint32 generation = 1;
    };

    static quint64 encode(std::size_t index, quint32 generation) {
        return (static_cast<quint64>(K) << 56) | (static_cast<quint64>(generation) << 24) |
               static_cast<quint64>(index);
    }

    std::vector<Slot> m_slots;
    std::vector<std::size_t> m_free;
};

} // namespace lum
