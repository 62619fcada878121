#include "dialogframe.h"
#include "dev_editnetaddrdlg.h"
#include "dev_logindlg.h"
#include "dev_resetpasswddlg.h"
#include "msgdlg.h"
#include "ipv4.h"
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
        QCOMPARE(dlg.size(), QSize(380, 220 + CDialogFrame::CaptionHeight));
        child<IpWidget>(dlg, "oGateWayWidget")->setText(QStringLiteral("127.71.0.1"));
        QCOMPARE(execPressing(dlg, "oOkBtn"), 1);
        QCOMPARE(execPressing(dlg, "oCancelBtn"), 0);
    }

    void editAddressNamesBadField_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("gateway");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("message");
        // Before a login the record has no mask or gateway.
        QTest::newRow("no mask") << "127.71.0.10" << "" << "127.71.0.1" << "oMaskAddrWidget" << "请填写子网掩码。";
        QTest::newRow("no gateway") << "127.71.0.10" << "255.0.0.0" << "" << "oGateWayWidget" << "请填写网关。";
        QTest::newRow("bad mask") << "127.71.0.10" << "255.0.255.0" << "127.71.0.1" << "oMaskAddrWidget"
                                  << "子网掩码 255.0.255.0 无效。";
        QTest::newRow("foreign gateway") << "127.71.0.10" << "255.255.255.0" << "127.72.0.1" << "oGateWayWidget"
                                         << "网关 127.72.0.1 不在该地址的子网中。";
        QTest::newRow("network address") << "127.71.0.0" << "255.0.0.0" << "127.71.0.1" << "oIpWidget"
                                         << "IP地址 127.71.0.0 无效。";
    }

    void editAddressNamesBadField()
    {
        QFETCH(QString, ip);
        QFETCH(QString, mask);
        QFETCH(QString, gateway);
        QFETCH(QString, field);
        QFETCH(QString, message);
        CEditNetworkAddrDlg dlg;
        CUIDeviceBean oBean = device();
        oBean.m_strIp = ip;
        oBean.m_strMask = mask;
        oBean.m_strGateway = gateway;
        dlg.setDevice(oBean);

        CMsgDlg::setNextAnswer(QDialog::Accepted);
        QTimer::singleShot(0, &dlg, [&] {
            QTest::mouseClick(child<QPushButton>(dlg, "oOkBtn"), Qt::LeftButton);
            // The message was answered; the dialog is still open with what was typed.
            QVERIFY(dlg.isVisible());
            QWidget *pField = child<QWidget>(dlg, qPrintable(field));
            QVERIFY(dlg.focusWidget() == pField || pField->isAncestorOf(dlg.focusWidget()));
            QTest::mouseClick(child<QPushButton>(dlg, "oCancelBtn"), Qt::LeftButton);
        });
        QCOMPARE(dlg.exec(), 0);
        const QList<CMsgDlg::stAnswered> listAnswered = CMsgDlg::takeAnswered();
        QCOMPARE(listAnswered.size(), 1);
        QCOMPARE(listAnswered.at(0).text, message);
        QCOMPARE(dlg.addresses().strIp, Ipv4::normalized(ip));
    }

    void framedDialogShowsItsTitle()
    {
        CEditNetworkAddrDlg dlg;
        QVERIFY(dlg.findChild<CDialogFrame *>());
        // The fields sit below the caption strip.
        QCOMPARE(child<QWidget>(dlg, "oIpWidget")->y(), 20 + CDialogFrame::CaptionHeight);
        dlg.show();
        const QImage img = dlg.grab().toImage();
        // The border, and the title's pixels in the strip.
        QVERIFY(img.pixelColor(0, dlg.height() / 2) != img.pixelColor(5, dlg.height() / 2));
        const QColor strip = img.pixelColor(3, 3);
        bool bTextDrawn = false;
        for (int x = 10; x < 150 && !bTextDrawn; ++x)
            for (int y = 4; y < CDialogFrame::CaptionHeight - 4 && !bTextDrawn; ++y)
                bTextDrawn = img.pixelColor(x, y) != strip;
        QVERIFY(!dlg.windowTitle().isEmpty());
        QVERIFY(bTextDrawn);
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
        QCOMPARE(dlg.focusWidget(), child<QLineEdit>(dlg, "oSerialCodeEdit"));
        QTest::keyClicks(child<QLineEdit>(dlg, "oSerialCodeEdit"), QStringLiteral(" 1234 "));
        QCOMPARE(dlg.securityCode(), QStringLiteral(" 1234 "));
        QCOMPARE(dlg.size(), QSize(520, 160 + CDialogFrame::CaptionHeight));
        QCOMPARE(execPressing(dlg, "oCancelBtn"), 0);
        QCOMPARE(execPressing(dlg, "oOkBtn"), 1);
    }
};

QTEST_MAIN(TestDevDialogs)
#include "tst_devdialogs.moc"
