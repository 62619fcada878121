#ifndef SUBJECT_H
#define SUBJECT_H

#include <QList>

#include <mutex>

template <typename T>
class CObserver;

// Base of the discovery service: an observer list under a lock of its own.
// No observer is ever attached; answers reach the owner through the
// service's results list instead.
template <typename T>
class CSubject
{
public:
    CSubject() = default;
    CSubject(const CSubject &) = delete;
    CSubject &operator=(const CSubject &) = delete;
    virtual ~CSubject()
    {
        std::lock_guard<std::mutex> lock(m_observerMutex);
        m_observers.clear();
    }

private:
    std::mutex m_observerMutex;
    QList<CObserver<T> *> m_observers;
};

#endif // SUBJECT_H
