#include "batcheditmodelex.h"
#include "dev_batcheditaddrdlg.h"
#include "ipwidget.h"
#include "qnofocusdelegate.h"
#include "tableviewex.h"
#include "uidevicebean.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

// The batch address dialog: consecutive addresses, range display, mask and
// gateway suggestions, cell edits and per-row results. Nothing is sent anywhere.
class TestBatchEditAddrDlg : public QObject
{
    Q_OBJECT

private:
    static QList<CBatchEditNetAddrBean> devices(int nCount)
    {
        QList<CBatchEditNetAddrBean> list;
        for (int i = 0; i < nCount; ++i) {
            CBatchEditNetAddrBean oBean;
            oBean.m_strOldIp = QStringLiteral("127.70.0.%1").arg(10 + i);
            oBean.m_strName = QStringLiteral("MODEL_") + oBean.m_strOldIp;
            oBean.m_strUserName = QStringLiteral("admin");
            oBean.m_strPassword = QStringLiteral("pw%1").arg(i);
            oBean.m_strInputPassword = oBean.m_strPassword;
            oBean.m_strSerial = QStringLiteral("SN%1").arg(i);
            oBean.m_strMac = QStringLiteral("00112233440%1").arg(i);
            oBean.m_strNewIp = QStringLiteral("junk");
            list << oBean;
        }
        return list;
    }
    static IpWidget *ipWidget(QWidget &dlg, const char *pszName)
    {
        return dlg.findChild<IpWidget *>(QLatin1String(pszName));
    }
    static QStringList newAddresses(const CBatchEditAddrDlg &dlg)
    {
        QStringList list;
        for (const CBatchEditNetAddrBean &oRow : dlg.rows())
            list << oRow.m_strNewIp;
        return list;
    }
    static QString rawText(IpWidget *pWidget)
    {
        QStringList list;
        for (QLineEdit *p : pWidget->findChildren<QLineEdit *>(QString(), Qt::FindDirectChildrenOnly))
            list << p->text();
        return list.join(QLatin1Char('.'));
    }

private slots:
    void setDeviceListRenumbersAndClears()
    {
        CBatchEditAddrDlg dlg;
        QList<CBatchEditNetAddrBean> list = devices(3);
        list[1].m_lRowId = 42;
        list[1].m_lResult = 19;
        dlg.setDeviceList(list);
        QCOMPARE(dlg.rows().size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(dlg.rows().at(i).m_lRowId, i);
            QCOMPARE(dlg.rows().at(i).m_lResult, -1);
            QVERIFY(dlg.rows().at(i).m_strNewIp.isEmpty());
            QCOMPARE(dlg.rows().at(i).m_strInputPassword, list.at(i).m_strPassword);
            QCOMPARE(dlg.rows().at(i).m_strMac, list.at(i).m_strMac);
        }
        // A second batch replaces the rows entirely.
        QList<CBatchEditNetAddrBean> listTwo = devices(2);
        dlg.setDeviceList(listTwo);
        QCOMPARE(dlg.rows().size(), 2);
    }

    void assignment_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("gateway");
        // Typed into the dialog's fields only: nothing is sent (and the test runs loopback-only).
        QTest::newRow("same block") << "192.168.1.10" << 3
                                    << QStringList{"192.168.1.10", "192.168.1.11", "192.168.1.12"}
                                    << "192.168.1.12" << "255.255.255.0" << "192.168.1.1";
        QTest::newRow("across block") << "10.0.0.253" << 4
                                      << QStringList{"10.0.0.253", "10.0.0.254", "10.0.1.1", "10.0.1.2"}
                                      << "10.0.1.2" << "255.0.0.0" << "10.0.0.1";
        QTest::newRow("ends at 254") << "127.0.3.250" << 5
                                     << QStringList{"127.0.3.250", "127.0.3.251", "127.0.3.252",
                                                    "127.0.3.253", "127.0.3.254"}
                                     << "127.0.3.254" << "255.0.0.0" << "127.0.3.1";
        QTest::newRow("starts past 254") << "172.16.9.255" << 2 << QStringList{"172.16.10.1", "172.16.10.2"}
                                         << "172.16.10.2" << "255.255.0.0" << "172.16.9.1";
        QTest::newRow("class B edge") << "191.1.1.1" << 1 << QStringList{"191.1.1.1"} << "191.1.1.1"
                                      << "255.255.0.0" << "191.1.1.1";
        QTest::newRow("class C edge") << "192.1.1.5" << 1 << QStringList{"192.1.1.5"} << "192.1.1.5"
                                      << "255.255.255.0" << "192.1.1.1";
    }
    void assignment()
    {
        QFETCH(QString, first);
        QFETCH(int, rows);
        QFETCH(QStringList, expected);
        QFETCH(QString, last);
        QFETCH(QString, mask);
        QFETCH(QString, gateway);

        CBatchEditAddrDlg dlg;
        QList<CBatchEditNetAddrBean> list = devices(rows);
        dlg.setDeviceList(list);
        dlg.clearAddresses();
        ipWidget(dlg, "firstIpWidget")->setText(first);

        QCOMPARE(newAddresses(dlg), expected);
        QCOMPARE(ipWidget(dlg, "lastIpWidget")->text(), last);
        QCOMPARE(ipWidget(dlg, "subIpWidget")->text(), mask);
        QCOMPARE(ipWidget(dlg, "gatewayIpWidget")->text(), gateway);
        for (const CBatchEditNetAddrBean &oRow : dlg.rows()) {
            QCOMPARE(oRow.m_strMask, mask);
            QCOMPARE(oRow.m_strGateway, gateway);
        }
    }

    void partialFirstAddress()
    {
        CBatchEditAddrDlg dlg;
        QList<CBatchEditNetAddrBean> list = devices(2);
        dlg.setDeviceList(list);
        dlg.clearAddresses();
        IpWidget *pFirst = ipWidget(dlg, "firstIpWidget");
        const QList<QLineEdit *> fields = pFirst->findChildren<QLineEdit *>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(fields.size(), 4);
        QTest::keyClicks(fields.at(3), QStringLiteral("5"));
        QCOMPARE(newAddresses(dlg), (QStringList{"...5", "...6"}));
        // Nothing typed into the first field: the default mask, no gateway.
        QCOMPARE(ipWidget(dlg, "subIpWidget")->text(), QStringLiteral("255.255.255.0"));
        QVERIFY(ipWidget(dlg, "gatewayIpWidget")->text().isEmpty());
        QCOMPARE(rawText(ipWidget(dlg, "lastIpWidget")), QStringLiteral("...6"));

        // Emptying the fourth field assigns nothing new and blanks the range end.
        fields.at(3)->clear();
        QCOMPARE(newAddresses(dlg), (QStringList{"...5", "...6"}));
        QCOMPARE(rawText(ipWidget(dlg, "lastIpWidget")), QStringLiteral("..."));
    }

    void lastAddressIsReadOnly()
    {
        CBatchEditAddrDlg dlg;
        for (QLineEdit *p : ipWidget(dlg, "lastIpWidget")->findChildren<QLineEdit *>())
            QVERIFY(p->isReadOnly());
    }

    void suggestionsOverwriteTypedMaskAndGateway()
    {
        CBatchEditAddrDlg dlg;
        QList<CBatchEditNetAddrBean> list = devices(2);
        dlg.setDeviceList(list);
        dlg.clearAddresses();
        ipWidget(dlg, "subIpWidget")->setText(QStringLiteral("255.255.255.128"));
        ipWidget(dlg, "gatewayIpWidget")->setText(QStringLiteral("127.9.9.9"));
        QCOMPARE(dlg.rows().at(1).m_strMask, QStringLiteral("255.255.255.128"));
        QCOMPARE(dlg.rows().at(0).m_strGateway, QStringLiteral("127.9.9.9"));
        ipWidget(dlg, "firstIpWidget")->setText(QStringLiteral("127.0.0.20"));
        QCOMPARE(dlg.rows().at(1).m_strMask, QStringLiteral("255.0.0.0"));
        QCOMPARE(dlg.rows().at(0).m_strGateway, QStringLiteral("127.0.0.1"));
    }

    void cellEditing()
    {
        CBatchEditAddrDlg dlg;
        QList<CBatchEditNetAddrBean> list = devices(2);
        dlg.setDeviceList(list);
        auto *pView = dlg.findChild<TableViewEx *>(QStringLiteral("oBatchEditAddrTableview"));
        QVERIFY(pView);
        QAbstractItemModel *pModel = pView->model();
        QAbstractItemModelTester tester(pModel, QAbstractItemModelTester::FailureReportingMode::QtTest);

        QCOMPARE(pModel->columnCount(), 8);
        QVERIFY(pModel->flags(pModel->index(0, 3)) & Qt::ItemIsEditable);
        QVERIFY(pModel->flags(pModel->index(0, 6)) & Qt::ItemIsEditable);
        QVERIFY(!(pModel->flags(pModel->index(0, 2)) & Qt::ItemIsEditable));
        QVERIFY(!(pModel->flags(pModel->index(0, 7)) & Qt::ItemIsEditable));

        QSignalSpy spyChanged(pModel, &QAbstractItemModel::dataChanged);
        QVERIFY(pModel->setData(pModel->index(1, 3), QStringLiteral("127.0.0.99")));
        QCOMPARE(dlg.rows().at(1).m_strNewIp, QStringLiteral("127.0.0.99"));
        QCOMPARE(spyChanged.count(), 1);
        // An emptied address cell keeps its value.
        pModel->setData(pModel->index(1, 3), QString());
        QCOMPARE(dlg.rows().at(1).m_strNewIp, QStringLiteral("127.0.0.99"));
        QVERIFY(pModel->setData(pModel->index(0, 4), QStringLiteral("255.255.0.0")));
        QVERIFY(pModel->setData(pModel->index(0, 5), QStringLiteral("127.0.0.254")));
        QCOMPARE(dlg.rows().at(0).m_strMask, QStringLiteral("255.255.0.0"));
        QCOMPARE(dlg.rows().at(0).m_strGateway, QStringLiteral("127.0.0.254"));

        QVERIFY(pModel->setData(pModel->index(0, 6), QStringLiteral("typed")));
        QCOMPARE(dlg.rows().at(0).m_strInputPassword, QStringLiteral("typed"));
        // Shown masked, never in clear.
        QCOMPARE(pModel->data(pModel->index(0, 6)).toString(), QString(8, QChar(0x25CF)));
        QVERIFY(pModel->setData(pModel->index(0, 6), QString()));
        QCOMPARE(dlg.rows().at(0).m_strInputPassword, QStringLiteral("pw0"));

        QVERIFY(pModel->setData(pModel->index(1, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(pModel->data(pModel->index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(pModel->data(pModel->index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QVERIFY(pModel->setData(pModel->index(1, 0), Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(pModel->data(pModel->index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));

        // Sorting swaps the records; check marks follow the row ids.
        QVERIFY(pModel->setData(pModel->index(0, 0), Qt::Checked, Qt::CheckStateRole));
        pModel->sort(2, Qt::DescendingOrder);
        QCOMPARE(dlg.rows().at(0).m_strOldIp, QStringLiteral("127.70.0.11"));
        QCOMPARE(pModel->data(pModel->index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    }

    void okSendsEveryRowAndShowsResults()
    {
        CBatchEditAddrDlg dlg;
        QList<CBatchEditNetAddrBean> list = devices(3);
        list[2].m_strOldIp = list.at(1).m_strOldIp; // two rows for one device
        dlg.setDeviceList(list);
        ipWidget(dlg, "firstIpWidget")->setText(QStringLiteral("127.0.0.20"));
        QList<CBatchEditNetAddrBean> listSent;
        connect(&dlg, &CBatchEditAddrDlg::sendModifySignal, this,
                [&listSent](CBatchEditNetAddrBean &oBean) { listSent << oBean; });
        QTest::mouseClick(dlg.findChild<QPushButton *>(QStringLiteral("oOkBtn")), Qt::LeftButton);
        QCOMPARE(listSent.size(), 3);
        QCOMPARE(listSent.at(2).m_strNewIp, QStringLiteral("127.0.0.22"));
        QCOMPARE(listSent.at(2).m_strMask, QStringLiteral("255.0.0.0"));
        QCOMPARE(listSent.at(0).m_lResult, -1);
        auto *pView = dlg.findChild<TableViewEx *>(QStringLiteral("oBatchEditAddrTableview"));
        QAbstractItemModel *pModel = pView->model();
        for (int i = 0; i < 3; ++i)
            QCOMPARE(pModel->data(pModel->index(i, 7)).toString(), CUIDeviceBean::statusText(18));

        CBatchEditNetAddrBean oResult = dlg.rows().at(1);
        oResult.m_lResult = 21;
        dlg.oGetModifyRltSlot(oResult);
        QCOMPARE(pModel->data(pModel->index(1, 7)).toString(), CUIDeviceBean::statusText(21));
        QCOMPARE(pModel->data(pModel->index(2, 7)).toString(), CUIDeviceBean::statusText(21));
        QCOMPARE(pModel->data(pModel->index(0, 7)).toString(), CUIDeviceBean::statusText(18));

        // A result for an address no row has changes nothing.
        oResult.m_strOldIp = QStringLiteral("127.70.9.9");
        oResult.m_lResult = 19;
        dlg.oGetModifyRltSlot(oResult);
        QCOMPARE(dlg.rows().at(0).m_lResult, 18);
    }

    void narrowCellsShowTheirTextAsTooltip()
    {
        CBatchEditAddrDlg dlg;
        QList<CBatchEditNetAddrBean> listDevices = devices(1);
        dlg.setDeviceList(listDevices);
        auto *pView = dlg.findChild<TableViewEx *>(QStringLiteral("oBatchEditAddrTableview"));
        auto *pDelegate = qobject_cast<QNoFocusDelegate *>(pView->itemDelegate());
        QVERIFY(pDelegate);
        dlg.show();
        const QModelIndex index = pView->model()->index(0, 2);
        QCOMPARE(index.data().toString(), QStringLiteral("127.70.0.10"));
        QStyleOptionViewItem opt;
        opt.initFrom(pView);
        opt.rect = QRect(0, 0, 300, 30);
        QVERIFY(pDelegate->toolTipFor(opt, index).isEmpty());
        opt.rect = QRect(0, 0, 30, 30);
        QCOMPARE(pDelegate->toolTipFor(opt, index), QStringLiteral("127.70.0.10"));
    }

    void okAgainSendsOnlyUnfinishedRowsAndNothingHangs()
    {
        CBatchEditAddrDlg dlg;
        dlg.setRowTimeout(200);
        QList<CBatchEditNetAddrBean> listDevices = devices(3);
        dlg.setDeviceList(listDevices);
        ipWidget(dlg, "firstIpWidget")->setText(QStringLiteral("127.0.0.20"));
        auto *pOk = dlg.findChild<QPushButton *>(QStringLiteral("oOkBtn"));
        QList<CBatchEditNetAddrBean> listSent;
        connect(&dlg, &CBatchEditAddrDlg::sendModifySignal, this,
                [&listSent](CBatchEditNetAddrBean &oBean) { listSent << oBean; });

        QTest::mouseClick(pOk, Qt::LeftButton);
        QCOMPARE(listSent.size(), 3);
        QVERIFY(!pOk->isEnabled());

        // Row 0 changed, row 1 refused; row 2 never answers.
        CBatchEditNetAddrBean oResult = listSent.at(0);
        oResult.m_lResult = DevStatusModifyOk;
        dlg.oGetModifyRltSlot(oResult);
        oResult = listSent.at(1);
        oResult.m_lResult = DevStatusModifyConflict;
        oResult.m_strFailReason = QStringLiteral("IP地址已被占用");
        dlg.oGetModifyRltSlot(oResult);
        QVERIFY(!pOk->isEnabled());
        QTRY_COMPARE(dlg.rows().at(2).m_lResult, int(DevStatusModifyFailed));
        QVERIFY(pOk->isEnabled());
        QCOMPARE(dlg.rows().at(0).m_lResult, int(DevStatusModifyOk));
        // The result cells' tooltips say why a change failed, a silent device included.
        QAbstractItemModel *pModel = dlg.findChild<TableViewEx *>(QStringLiteral("oBatchEditAddrTableview"))->model();
        QCOMPARE(pModel->index(0, 7).data(Qt::ToolTipRole).toString(), CUIDeviceBean::statusText(19));
        QCOMPARE(pModel->index(1, 7).data(Qt::ToolTipRole).toString(),
                 CUIDeviceBean::statusText(21) + QStringLiteral("\n原因：IP地址已被占用"));
        QCOMPARE(pModel->index(2, 7).data(Qt::ToolTipRole).toString(),
                 CUIDeviceBean::statusText(20) + QStringLiteral("\n原因：超时"));

        // Pressing OK again leaves the changed device alone.
        listSent.clear();
        QTest::mouseClick(pOk, Qt::LeftButton);
        QCOMPARE(listSent.size(), 2);
        QCOMPARE(listSent.at(0).m_strOldIp, dlg.rows().at(1).m_strOldIp);
        QCOMPARE(listSent.at(1).m_strOldIp, dlg.rows().at(2).m_strOldIp);
        for (const CBatchEditNetAddrBean &oSent : listSent) {
            oResult = oSent;
            oResult.m_lResult = DevStatusModifyOk;
            dlg.oGetModifyRltSlot(oResult);
        }
        QVERIFY(pOk->isEnabled());
        // Everything changed: nothing left to send.
        listSent.clear();
        QTest::mouseClick(pOk, Qt::LeftButton);
        QVERIFY(listSent.isEmpty());
    }
};

QTEST_MAIN(TestBatchEditAddrDlg)
#include "tst_batcheditaddrdlg.moc"
