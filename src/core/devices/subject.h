#ifndef SUBJECT_H
#define SUBJECT_H

#include <QList>

#include <mutex>

template <typename T>
class CObserver
{
public:
    virtual ~CObserver() = default;
    virtual void update(const T &value) = 0;
};

// Observer subject; the observer list has a lock of its own because
// notifications may come from a library thread.
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

    void addObserver(CObserver<T> *pObserver)
    {
        std::lock_guard<std::mutex> lock(m_observerMutex);
        if (pObserver && !m_observers.contains(pObserver))
            m_observers.append(pObserver);
    }

    void removeObserver(CObserver<T> *pObserver)
    {
        std::lock_guard<std::mutex> lock(m_observerMutex);
        m_observers.removeAll(pObserver);
    }

protected:
    void notifyObservers(const T &value)
    {
        std::lock_guard<std::mutex> lock(m_observerMutex);
        for (CObserver<T> *pObserver : qAsConst(m_observers))
            pObserver->update(value);
    }

private:
    std::mutex m_observerMutex;
    QList<CObserver<T> *> m_observers;
};

#endif // SUBJECT_H
