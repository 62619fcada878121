#ifndef CORVANESHOTS_H
#define CORVANESHOTS_H

#include <QList>
#include <QString>

class CCorvaneMainWind;
class CShotRunner;
class QAbstractItemModel;
class QWidget;

// The pictures of the user manual: the steps a user takes, played on the main
// window against a simulated fleet whose first IPC_COUNT devices are IPC.
class CCorvaneShots
{
public:
    CCorvaneShots(CCorvaneMainWind *pMainWind, int nIpcCount, int nDeviceCount);

    void addSteps(CShotRunner &runner);

private:
    QWidget *deviceTab() const;
    QWidget *capacityTab() const;
    QAbstractItemModel *deviceModel() const;
    int rowCount() const;
    QString cell(int nRow, int nColumn) const;
    // Checks exactly these rows of the device table and makes the first current.
    void checkRows(const QList<int> &listRows);
    bool allStatus(const QList<int> &listRows, int nStatusColumn, const QString &strStatus) const;
    // Two IPC rows of the same model, for the batch dialogs.
    QList<int> sameModelPair() const;
    void showTab(int nIndex);
    // Calls a slot by name; when the program has no such slot yet, the step
    // is skipped with a note.
    bool invoke(QWidget *pTarget, const char *szSlot);
    static void click(QWidget *pParent, const char *szButton);

    CCorvaneMainWind *m_pMainWind;
    CShotRunner *m_pRunner = nullptr;
    int m_nIpcCount;
    int m_nDeviceCount;
};

#endif // CORVANESHOTS_H
