// Slot table behind the library's handles: kind, slot index and generation in 64 bits.
#pragma once

#include "lum/LumTypes.h"

#include <functional>
#include <memory>
#include <vector>

namespace lum {

/// Whether a handle table owns its objects or only lists objects owned elsewhere.
enum class Ownership { Borrowed, Owned };

/// Hands out generation-checked handles of kind K for objects of type T. An Owned table holds
/// its objects through unique_ptr: remove() hands one back to the caller, and the table deletes
/// whatever it still holds when it goes. A Borrowed table only lists objects owned elsewhere
/// (widgets Qt owns through their parents, meters their plot area owns); their owner removes
/// them before deleting them.
template <HandleKind K, typename T, Ownership O = Ownership::Borrowed>
class HandleTable {
    static constexpr bool kOwns = O == Ownership::Owned;
    struct Deleter {
        void operator()(T* object) const noexcept {
            if constexpr (kOwns)
                delete object;
        }
    };
    using Held = std::unique_ptr<T, Deleter>;

public:
    using HandleType = Handle<K>;

    /// Takes the object; a null handle when the table is full (the object is then deleted).
    HandleType insert(std::unique_ptr<T> object) requires kOwns {
        return insertHeld(Held(object.release()));
    }
    /// Lists an object owned elsewhere; a null handle when the table is full.
    HandleType insert(T* object) requires(!kOwns) { return insertHeld(Held(object)); }

    /// The object, or null when the handle is null, stale, foreign or of another kind.
    T* get(HandleType handle) const {
        const quint64 raw = handle.raw();
        if ((raw >> 56) != static_cast<quint64>(K))
            return nullptr;
        const auto index = static_cast<std::size_t>(raw & 0xFFFFFF);
        const auto generation = static_cast<quint32>((raw >> 24) & 0xFFFFFFFF);
        if (index >= m_slots.size() || m_slots[index].generation != generation)
            return nullptr;
        return m_slots[index].object.get();
    }

    /// Forgets the object and hands it back (owned, from an Owned table); the handle becomes
    /// stale. Null for a handle that names no object.
    auto remove(HandleType handle) {
        Held object = take(handle);
        if constexpr (kOwns)
            return std::unique_ptr<T>(object.release());
        else
            return object.release();
    }

    /// Calls `fn(handle, object)` for each live object (do not insert or remove meanwhile).
    void forEach(const std::function<void(HandleType, T*)>& fn) const {
        for (std::size_t i = 0; i < m_slots.size(); ++i) {
            if (m_slots[i].object)
                fn(HandleType::fromRaw(encode(i, m_slots[i].generation)), m_slots[i].object.get());
        }
    }

private:
    static constexpr std::size_t kMaxSlots = 0xFFFFFF;

    struct Slot {
        Held object;
        quint32 generation = 1;
    };

    HandleType insertHeld(Held object) {
        std::size_t index = m_free.empty() ? m_slots.size() : m_free.back();
        if (m_free.empty()) {
            if (index >= kMaxSlots)
                return {};
            m_slots.push_back({});
        } else {
            m_free.pop_back();
        }
        Slot& slot = m_slots[index];
        slot.object = std::move(object);
        return HandleType::fromRaw(encode(index, slot.generation));
    }

    Held take(HandleType handle) {
        if (!get(handle))
            return nullptr;
        const auto index = static_cast<std::size_t>(handle.raw() & 0xFFFFFF);
        Slot& slot = m_slots[index];
        Held object = std::move(slot.object);
        slot.generation = slot.generation == 0xFFFFFFFF ? 1 : slot.generation + 1;
        m_free.push_back(index);
        return object;
    }

    static quint64 encode(std::size_t index, quint32 generation) {
        return (static_cast<quint64>(K) << 56) | (static_cast<quint64>(generation) << 24) |
               static_cast<quint64>(index);
    }

    std::vector<Slot> m_slots;
    std::vector<std::size_t> m_free;
};

} // namespace lum
