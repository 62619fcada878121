#ifndef DEVLISTEXPORT_H
#define DEVLISTEXPORT_H

#include "uidevicebean.h"

#include <QList>
#include <QObject>
#include <QString>

class CDevManageForm;
class QAction;

// The device tab's inventory export: every listed device or only the ticked
// ones, to CSV or JSON (the format follows the chosen file type), with the
// fields and writer the command-line program uses; the note column, which
// says what the table says about a row's answer, has a translated header.
// The save dialog opens where the last export went.
class CDevListExport : public QObject
{
    Q_OBJECT

public:
    explicit CDevListExport(CDevManageForm *pForm);

    // The two exports, for the tab's context menu.
    QList<QAction *> actions() const { return m_listActions; }

public slots:
    void exportAllSlot();
    void exportCheckedSlot();

private:
    void exportDevices(const QList<CUIDeviceBean> &listDev);
    // CSV, or JSON for a name ending in ".json"; false with the reason otherwise.
    static bool write(const QList<CUIDeviceBean> &listDev, const QString &strPath, QString &strError);

    CDevManageForm *m_pForm;
    QList<QAction *> m_listActions;
    QString m_strFolder;
};

#endif // DEVLISTEXPORT_H
