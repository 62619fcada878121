#include "workerregistry.h"

CWorkerRegistry::CWorkerRegistry(QObject *pOwner)
    : m_pOwner(pOwner)
{
}

CWorkerRegistry::~CWorkerRegistry()
{
    clear();
}

CWorkerHost *CWorkerRegistry::add(CWorkerHost::Factory factory, ERenew eRenew)
{
    m_vecEntries.push_back({std::make_unique<CWorkerHost>(m_pOwner, std::move(factory)), eRenew});
    return m_vecEntries.back().pHost.get();
}

void CWorkerRegistry::renewAbandonable()
{
    for (stEntry &entry : m_vecEntries) {
        if (entry.eRenew == AbandonedOnRefresh)
            entry.pHost->renew();
    }
}

void CWorkerRegistry::clear()
{
    while (!m_vecEntries.empty())
        m_vecEntries.pop_back();
}
