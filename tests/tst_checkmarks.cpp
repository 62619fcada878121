// The check marks every table model shares: toggling, select-all over the
// rows left visible, a selection taken over by a click, and keys that keep
// the marks through sorting.
#include "batcheditmodelex.h"
#include "chanmodelex.h"
#include "encodedevmodelex.h"
#include "tableviewex.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

// One model under test with its own rows; keys are 10, 20, 30, ... in row order.
struct stModelCase
{
    std::unique_ptr<TableViewEx> pView{new TableViewEx};
    QList<CUIDeviceBean> listDev;
    QList<CUIChanBean> listChan;
    QList<CBatchEditNetAddrBean> listRows;
    std::unique_ptr<ModelEx> pModel;
};

class TestCheckMarks : public QObject
{
    Q_OBJECT

private:
    static std::unique_ptr<stModelCase> make(const QString &strKind, int iRows)
    {
        auto pCase = std::make_unique<stModelCase>();
        // Addresses descend, so that sorting by address reverses the rows.
        for (int i = 0; i < iRows; ++i) {
            const QString strIp = QStringLiteral("127.0.0.%1").arg(100 - i);
            CUIDeviceBean dev;
            dev.m_lDevId = 10 * (i + 1);
            dev.m_strIp = strIp;
            dev.m_strModel = QStringLiteral("M%1").arg(i);
            pCase->listDev << dev;
            CUIChanBean chan;
            chan.m_lChanId = 10 * (i + 1);
            chan.m_strChanName = strIp;
            pCase->listChan << chan;
            CBatchEditNetAddrBean row;
            row.m_lRowId = 10 * (i + 1);
            row.m_strName = strIp;
            pCase->listRows << row;
        }
        TableViewEx *pView = pCase->pView.get();
        if (strKind == QLatin1String("devices"))
            pCase->pModel.reset(new EncodeDevModelEx(pView, pCase->listDev));
        else if (strKind == QLatin1String("channels"))
            pCase->pModel.reset(new CChanModelEx(pView, pCase->listChan));
        else
            pCase->pModel.reset(new CBatchEditModelEx(pView, &pCase->listRows));
        pCase->pModel->setAddressColumn(1);
        pView->setModel(pCase->pModel.get());
        return pCase;
    }

    static void addKinds()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("devices") << "devices";
        QTest::newRow("channels") << "channels";
        QTest::newRow("batch rows") << "batch";
    }

private slots:
    void toggleKeepsOneMarkPerRow_data() { addKinds(); }
    void toggleKeepsOneMarkPerRow()
    {
        QFETCH(QString, kind);
        auto pCase = make(kind, 3);
        ModelEx *pModel = pCase->pModel.get();
        QAbstractItemModelTester tester(pModel, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy spyChecks(pModel, &ModelEx::checkListChanged);
        QSignalSpy spyData(pModel, &QAbstractItemModel::dataChanged);

        QVERIFY(pModel->setData(pModel->index(2, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(pModel->setData(pModel->index(0, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(pModel->setData(pModel->index(0, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(pModel->checkedList(), (QList<int>{30, 10}));
        QCOMPARE(spyData.count(), 2);
        QCOMPARE(pModel->data(pModel->index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(pModel->data(pModel->index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));

        // A partial state changes nothing; one uncheck is enough.
        QVERIFY(pModel->setData(pModel->index(2, 0), Qt::PartiallyChecked, Qt::CheckStateRole));
        QVERIFY(pModel->setData(pModel->index(2, 0), Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(pModel->checkedList(), QList<int>{10});
        QVERIFY(!pModel->isRowChecked(2));
        QCOMPARE(spyChecks.count(), 5);
        QVERIFY(!pModel->setData(QModelIndex(), Qt::Checked, Qt::CheckStateRole));
    }

    void selectAllSkipsHiddenRowsAndTogglesBack_data() { addKinds(); }
    void selectAllSkipsHiddenRowsAndTogglesBack()
    {
        QFETCH(QString, kind);
        auto pCase = make(kind, 4);
        ModelEx *pModel = pCase->pModel.get();
        pModel->setRowChecked(1, true);
        pCase->pView->setRowHidden(2, true);
        pModel->toggleSelectAll();
        QVERIFY(pModel->allSelected());
        QCOMPARE(pModel->checkedList(), (QList<int>{10, 20, 40}));
        // Whatever was unticked by hand in between, the next call clears all.
        pModel->setRowChecked(0, false);
        pModel->toggleSelectAll();
        QVERIFY(!pModel->allSelected());
        QVERIFY(pModel->checkedList().isEmpty());
    }

    void clickSelectionReplacesTheMarks_data() { addKinds(); }
    void clickSelectionReplacesTheMarks()
    {
        QFETCH(QString, kind);
        auto pCase = make(kind, 4);
        ModelEx *pModel = pCase->pModel.get();
        pModel->setRowChecked(0, true);
        QSignalSpy spyChecks(pModel, &ModelEx::checkListChanged);
        pModel->checkOnlyRows({3, 1, 3, 9});
        QCOMPARE(pModel->checkedList(), (QList<int>{40, 20}));
        QCOMPARE(spyChecks.count(), 1);
        pModel->checkOnlyRows({3, 1});
        QCOMPARE(spyChecks.count(), 1);
        pModel->checkOnlyRows({});
        QVERIFY(pModel->checkedList().isEmpty());
    }

    void marksFollowTheRowsThroughSorting_data() { addKinds(); }
    void marksFollowTheRowsThroughSorting()
    {
        QFETCH(QString, kind);
        auto pCase = make(kind, 3);
        ModelEx *pModel = pCase->pModel.get();
        pModel->setRowChecked(0, true); // 127.0.0.100
        pModel->sort(1, Qt::AscendingOrder);
        QCOMPARE(pModel->data(pModel->index(0, 1)).toString(), QStringLiteral("127.0.0.98"));
        QVERIFY(pModel->isRowChecked(2));
        QVERIFY(!pModel->isRowChecked(0));
        QCOMPARE(pModel->checkedList(), QList<int>{10});
    }

    void controlClickInTheViewChecksTheSelection()
    {
        auto pCase = make(QStringLiteral("devices"), 4);
        TableViewEx *pView = pCase->pView.get();
        pView->resize(600, 300);
        pView->show();
        QVERIFY(QTest::qWaitForWindowExposed(pView));
        QSignalSpy spyChecks(pCase->pModel.get(), &ModelEx::checkListChanged);
        QTest::mouseClick(pView->viewport(), Qt::LeftButton, Qt::NoModifier,
                          pView->visualRect(pCase->pModel->index(1, 1)).center());
        QTest::mouseClick(pView->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          pView->visualRect(pCase->pModel->index(3, 1)).center());
        QList<int> listChecked = pCase->pModel->checkedList();
        std::sort(listChecked.begin(), listChecked.end());
        QCOMPARE(listChecked, (QList<int>{20, 40}));
        // One change per click, not one per row.
        QCOMPARE(spyChecks.count(), 2);
    }
};

QTEST_MAIN(TestCheckMarks)
#include "tst_checkmarks.moc"
