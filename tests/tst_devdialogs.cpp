#include "dev_editnetaddrdlg.h"
#include "dev_logindlg.h"
#include "dev_resetpasswddlg.h"
#include "ipwidget.h"
#include "uidevicebean.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

// The login, address and password-reset dialogs: what they show and hand back.
class TestDevDialogs : public QObject
{
    Q_OBJECT

private:
    template <typename T>
    static T *child(QWidget &w, const char *pszName)
    {
        T *p = w.findChild<T *>(QLatin1String(pszName));
        if (!p)
            qFatal("missing child %s", pszName);
        return p;
    }
    static CUIDeviceBean device()
    {
        CUIDeviceBean oBean;
        oBean.m_strIp = QStringLiteral("127.71.0.10");
        oBean.m_strMask = QStringLiteral("255.0.0.0");
        oBean.m_strUserName = QStringLiteral("operator");
        oBean.m_strPassword = QStringLiteral("secret");
        oBean.m_strSerial = QStringLiteral("SN-71");
        return oBean;
    }
    // Runs exec() on the dialog and presses the named button from the event loop.
    static int execPressing(QDialog &dlg, const char *pszButton)
    {
        QTimer::singleShot(0, &dlg, [&dlg, pszButton] {
            QTest::mouseClick(dlg.findChild<QPushButton *>(QLatin1String(pszButton)), Qt::LeftButton);
        });
        return dlg.exec();
    }

private slots:
    void loginNoteFollowsEventCode()
    {
        CDevLoginDlg dlgPlain(0);
        dlgPlain.show();
        QVERIFY(!child<QLabel>(dlgPlain, "oNoteLabel")->isVisible());
        CDevLoginDlg dlgResume(5);
        dlgResume.show();
        QVERIFY(child<QLabel>(dlgResume, "oNoteLabel")->isVisible());
        QVERIFY(dlgResume.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(dlgResume.minimumSize(), dlgResume.maximumSize());
    }

    void loginFieldsAndResult()
    {
        CDevLoginDlg dlg(0);
        CUIDeviceBean oBean = device();
        dlg.setDevice(oBean);
        dlg.hideAddress();
        dlg.show();
        QVERIFY(!child<IpWidget>(dlg, "oIpWidget")->isVisible());
        QVERIFY(!child<QLabel>(dlg, "oIpAddressLabel")->isVisible());
        QCOMPARE(child<QLineEdit>(dlg, "oPasswordEdit")->echoMode(), QLineEdit::Password);
        stLoginInfo info = dlg.loginInfo();
        QCOMPARE(info.strIp, oBean.m_strIp);
        QCOMPARE(info.strUserName, QStringLiteral("operator"));
        QCOMPARE(info.strPassword, QStringLiteral("secret"));

        dlg.setDefaultAccount();
        info = dlg.loginInfo();
        QCOMPARE(info.strUserName, QStringLiteral("admin"));
        QCOMPARE(info.strPassword, QStringLiteral("vorpe"));

        // Entries come back untrimmed; seventeen characters keep sixteen.
        QLineEdit *pUser = child<QLineEdit>(dlg, "oUserEdit");
        pUser->clear();
        QTest::keyClicks(pUser, QStringLiteral(" abcdefghijklmnop"));
        QCOMPARE(dlg.loginInfo().strUserName, QStringLiteral(" abcdefghijklmno"));
        QLineEdit *pPassword = child<QLineEdit>(dlg, "oPasswordEdit");
        pPassword->clear();
        QTest::keyClicks(pPassword, QStringLiteral("0123456789abcdefg"));
        QCOMPARE(dlg.loginInfo().strPassword, QStringLiteral("0123456789abcdef"));
        dlg.hide();

        QCOMPARE(execPressing(dlg, "oOkBtn"), 1);
        QCOMPARE(execPressing(dlg, "oCancelBtn"), 0);
    }

    void editAddressDialog()
    {
        CEditNetworkAddrDlg dlg;
        CUIDeviceBean oBean = device();
        dlg.setDevice(oBean);
        stNetAddrInfo info = dlg.addresses();
        QCOMPARE(info.strIp, QStringLiteral("127.71.0.10"));
        QCOMPARE(info.strMask, QStringLiteral("255.0.0.0"));
        QVERIFY(info.strGateway.isEmpty()); // the record has none
        QCOMPARE(dlg.password(), QStringLiteral("secret"));

        // Leading zeros are dropped by the address entry.
        child<IpWidget>(dlg, "oIpWidget")->setText(QStringLiteral("127.071.000.012"));
        QCOMPARE(dlg.addresses().strIp, QStringLiteral("127.71.0.12"));
        // A gateway that is not a complete address leaves the field empty.
        oBean.m_strGateway = QStringLiteral("127.71");
        dlg.setDevice(oBean);
        QVERIFY(dlg.addresses().strGateway.isEmpty());

        QLineEdit *pPassword = child<QLineEdit>(dlg, "oPasswordEdit");
        QCOMPARE(pPassword->echoMode(), QLineEdit::Password);
        pPassword->clear();
        QTest::keyClicks(pPassword, QStringLiteral("0123456789abcdefg"));
        QCOMPARE(dlg.password(), QStringLiteral("0123456789abcdef"));
        QCOMPARE(dlg.size(), QSize(380, 220));
        QCOMPARE(execPressing(dlg, "oOkBtn"), 1);
        QCOMPARE(execPressing(dlg, "oCancelBtn"), 0);
    }

    void resetPasswordDialog()
    {
        CResetPasswdDlg dlg;
        dlg.setSerial(QStringLiteral("SN-71"));
        QLineEdit *pSerial = child<QLineEdit>(dlg, "oDevSerialEdit");
        QVERIFY(pSerial->isReadOnly());
        QTest::keyClicks(pSerial, QStringLiteral("X"));
        QCOMPARE(pSerial->text(), QStringLiteral("SN-71"));
        QVERIFY(dlg.securityCode().isEmpty());
        QTest::keyClicks(child<QLineEdit>(dlg, "oSerialCodeEdit"), QStringLiteral(" 1234 "));
        QCOMPARE(dlg.securityCode(), QStringLiteral(" 1234 "));
        QCOMPARE(dlg.size(), QSize(520, 160));
        QCOMPARE(execPressing(dlg, "oCancelBtn"), 0);
        QCOMPARE(execPressing(dlg, "oOkBtn"), 1);
    }
};

QTEST_MAIN(TestDevDialogs)
#include "tst_devdialogs.moc"
