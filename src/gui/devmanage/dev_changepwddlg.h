#ifndef DEV_CHANGEPWDDLG_H
#define DEV_CHANGEPWDDLG_H

#include <QDialog>
#include <QString>

class QLineEdit;

// Asks twice for the new password of the account a device is logged in
// with; OK is taken only when both entries agree and are not empty.
class CChangePwdDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CChangePwdDlg(const QString &strDevice, QWidget *parent = nullptr);

    QString password() const;

private slots:
    void okSlot();

private:
    QLineEdit *m_pNewEdit;
    QLineEdit *m_pConfirmEdit;
};

#endif // DEV_CHANGEPWDDLG_H
