#ifndef WORKERREGISTRY_H
#define WORKERREGISTRY_H

#include "workerhost.h"

#include <QObject>

#include <memory>
#include <vector>

// The background workers of one owner, each on a thread of its own. A
// refresh abandons the work of some of them (renewAbandonable); the others
// keep running. Threads end newest first when the registry goes, before the
// owner's data they report into.
class CWorkerRegistry
{
public:
    enum ERenew { KeptOnRefresh, AbandonedOnRefresh };

    explicit CWorkerRegistry(QObject *pOwner);
    ~CWorkerRegistry();
    CWorkerRegistry(const CWorkerRegistry &) = delete;
    CWorkerRegistry &operator=(const CWorkerRegistry &) = delete;

    CWorkerHost *add(CWorkerHost::Factory factory, ERenew eRenew);

    // A worker of type TWorker built with the owner as its receiver; the
    // owner's signal pfnSignal feeds its slot pfnSlot.
    template <class TWorker, class TOwner, class TSignal, class TSlot>
    CWorkerHost *add(TOwner *pOwner, TSignal pfnSignal, TSlot pfnSlot, ERenew eRenew)
    {
        return add(
            [pOwner, pfnSignal, pfnSlot] {
                auto *pWorker = new TWorker(pOwner);
                QObject::connect(pOwner, pfnSignal, pWorker, pfnSlot);
                return pWorker;
            },
            eRenew);
    }

    // Gives every worker whose work a refresh abandons a fresh successor.
    void renewAbandonable();
    // Ends every thread now (newest first); the registry is empty afterwards.
    void clear();
    int count() const { return int(m_vecEntries.size()); }

private:
    struct stEntry
    {
        std::unique_ptr<CWorkerHost> pHost;
        ERenew eRenew;
    };

    QObject *m_pOwner;
    std::vector<stEntry> m_vecEntries;
};

#endif // WORKERREGISTRY_H
