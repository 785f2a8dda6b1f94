// The handle tables: which objects a table deletes, and that a handle goes stale with its object.
#include "HandleTable.h"

#include <QTest>

#include <memory>

using namespace lum;

namespace {

// Counts its own instances, so a test sees exactly when one is deleted.
struct Counted {
    static inline int alive = 0;
    Counted() { ++alive; }
    ~Counted() { --alive; }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;
};

using OwnedTable = HandleTable<HandleKind::ProcessVar, Counted, Ownership::Owned>;
using BorrowedTable = HandleTable<HandleKind::Plot, Counted>;

} // namespace

class tst_LumHandles : public QObject {
    Q_OBJECT
private slots:
    void init() { QCOMPARE(Counted::alive, 0); }

    void ownedTableDeletesWhatItStillHolds() {
        {
            OwnedTable table;
            const auto kept = table.insert(std::make_unique<Counted>());
            const auto removed = table.insert(std::make_unique<Counted>());
            QVERIFY(!kept.isNull() && !removed.isNull());
            QCOMPARE(Counted::alive, 2);

            // Removal hands the object back to the caller; dropping it deletes it.
            std::unique_ptr<Counted> back = table.remove(removed);
            QVERIFY(back);
            QCOMPARE(Counted::alive, 2);
            back.reset();
            QCOMPARE(Counted::alive, 1);
            QVERIFY(!table.get(removed));
            QVERIFY(!table.remove(removed));
            QVERIFY(table.get(kept));
        }
        QCOMPARE(Counted::alive, 0);
    }

    void reusedSlotGetsANewGeneration() {
        OwnedTable table;
        const auto first = table.insert(std::make_unique<Counted>());
        QVERIFY(table.remove(first));
        const auto second = table.insert(std::make_unique<Counted>());
        QVERIFY(first.raw() != second.raw());
        QVERIFY(!table.get(first));
        QVERIFY(table.get(second));
    }

    void borrowedTableNeverDeletes() {
        Counted owner;
        {
            BorrowedTable table;
            const auto handle = table.insert(&owner);
            QCOMPARE(table.get(handle), &owner);
            table.insert(&owner);
            QCOMPARE(table.remove(handle), &owner);
            QVERIFY(!table.get(handle));
        }
        QCOMPARE(Counted::alive, 1);
    }

    void handleOfAnotherKindNamesNothing() {
        OwnedTable table;
        const auto handle = table.insert(std::make_unique<Counted>());
        // Same slot and generation in a table of another kind: only the kind tells them apart.
        Counted plot;
        BorrowedTable plots;
        const auto own = plots.insert(&plot);
        QCOMPARE(own.raw() & 0x00FFFFFFFFFFFFFFu, handle.raw() & 0x00FFFFFFFFFFFFFFu);
        QVERIFY(!plots.get(Handle<HandleKind::Plot>::fromRaw(handle.raw())));
    }
};

QTEST_GUILESS_MAIN(tst_LumHandles)
#include "tst_lum_handles.moc"
