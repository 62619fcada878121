// Device table model and view: sorting, filter, check marks, colours, icons.
#include "encodedevmodelex.h"
#include "qnofocusdelegate.h"
#include "tableviewex.h"

#include <QAbstractItemModelTester>
#include <QColor>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QtTest>

namespace {

CUIDeviceBean makeDev(int iId, const QString &strIp, const QString &strModel = QStringLiteral("IPC-A"))
{
    CUIDeviceBean dev;
    dev.m_lDevId = iId;
    dev.m_strIp = strIp;
    dev.m_strModel = strModel;
    dev.m_lStatus = DevStatusNotLogged;
    return dev;
}

QStringList column(const QList<CUIDeviceBean> &list, bool bModel = false)
{
    QStringList out;
    for (const CUIDeviceBean &dev : list)
        out << (bModel ? dev.m_strModel : dev.m_strIp);
    return out;
}

QList<int> ids(const QList<CUIDeviceBean> &list)
{
    QList<int> out;
    for (const CUIDeviceBean &dev : list)
        out << dev.m_lDevId;
    return out;
}

} // namespace

class TestDevTableModel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void modelTester();
    void displayTextsAndColours();
    void upgradeShowsPercentAndTooltip();
    void sortAddressesNumerically();
    void sortModelsCaseInsensitiveAndStable();
    void sortKeepsHiddenRowsAndChecks();
    void filterOnAddressAndModel();
    void selectAllTwiceAndHiddenRows();
    void setDataRules();
    void checksFollowSelection();
    void iconSlotsBeyondLimit();
    void iconClickSignals();
    void hoverRow();

private:
    QList<CUIDeviceBean> m_list;
    TableViewEx *m_pView = nullptr;
    EncodeDevModelEx *m_pModel = nullptr;
};

void TestDevTableModel::init()
{
    m_list.clear();
    m_pView = new TableViewEx;
    m_pModel = new EncodeDevModelEx(m_pView, m_list);
    m_pModel->setAddressColumn(EncodeDevModelEx::ColIp);
    m_pView->setModel(m_pModel);
    m_pView->setItemDelegate(new QNoFocusDelegate(m_pView, true));
    m_pModel->setCheckable(true);
}

void TestDevTableModel::cleanup()
{
    delete m_pView;
    delete m_pModel;
    m_pView = nullptr;
    m_pModel = nullptr;
}

void TestDevTableModel::modelTester()
{
    m_list << makeDev(1, "192.168.0.2") << makeDev(2, "10.0.0.5") << makeDev(3, "172.16.0.1", "nvr");
    QAbstractItemModelTester tester(m_pModel, QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_pModel->resetModel();
    m_pModel->sort(EncodeDevModelEx::ColIp, Qt::AscendingOrder);
    m_pModel->sort(EncodeDevModelEx::ColModel, Qt::DescendingOrder);
    m_pModel->setHoverRow(1);
    m_pModel->filter(QStringLiteral("10."));
    m_pModel->setData(m_pModel->index(0, 0), Qt::Checked, Qt::CheckStateRole);
    m_list.append(makeDev(4, "127.0.0.9"));
    m_pModel->resetModel();
    m_pModel->toggleSelectAll();
    QCOMPARE(m_pModel->columnCount(), 12);
    QCOMPARE(m_pModel->rowCount(m_pModel->index(0, 0)), 0);
}

void TestDevTableModel::displayTextsAndColours()
{
    CUIDeviceBean dev = makeDev(7, "192.168.1.10");
    dev.m_strMac = "001122aabbcc";
    dev.m_lStatus = DevStatusLoginFailed;
    m_list << dev << makeDev(8, "192.168.1.11");
    m_list[1].m_lStatus = DevStatusNone;
    m_pModel->resetModel();

    QCOMPARE(m_pModel->data(m_pModel->index(0, 0)).toString(), QStringLiteral(" "));
    QCOMPARE(m_pModel->data(m_pModel->index(0, 4)).toString(), QStringLiteral("00:11:22:aa:bb:cc"));
    QCOMPARE(m_pModel->data(m_pModel->index(1, 4)).toString(), QString());
    QCOMPARE(m_pModel->data(m_pModel->index(0, 8)).toString(), QString());
    QCOMPARE(m_pModel->data(m_pModel->index(0, 9)).toString(), CUIDeviceBean::statusText(3));
    QCOMPARE(m_pModel->data(m_pModel->index(1, 9)).toString(), QString());
    QCOMPARE(m_pModel->headerData(2, Qt::Horizontal).toString(), QStringLiteral("型号"));

    // Status 3 is grey in every column; other rows black.
    for (int iCol = 0; iCol < 12; ++iCol) {
        QCOMPARE(m_pModel->data(m_pModel->index(0, iCol), Qt::ForegroundRole).value<QColor>(), QColor(102, 102, 102));
        QCOMPARE(m_pModel->data(m_pModel->index(1, iCol), Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 0));
    }
    QCOMPARE(m_pModel->flags(m_pModel->index(0, 0)),
             Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
    QCOMPARE(m_pModel->flags(m_pModel->index(0, 1)), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    QCOMPARE(m_pModel->flags(QModelIndex()), Qt::NoItemFlags);
}

void TestDevTableModel::upgradeShowsPercentAndTooltip()
{
    m_list << makeDev(7, "192.168.1.10");
    m_list[0].m_lStatus = DevStatusUpgrading;
    m_pModel->resetModel();
    const QModelIndex status = m_pModel->index(0, EncodeDevModelEx::ColStatus);
    QCOMPARE(status.data().toString(), CUIDeviceBean::statusText(DevStatusUpgrading));
    m_list[0].m_lProgress = 45;
    QCOMPARE(status.data().toString(), CUIDeviceBean::statusText(DevStatusUpgrading) + QStringLiteral(" 45%"));
    QCOMPARE(status.data(Qt::ToolTipRole).toString(), status.data().toString());
    // Progress belongs to the running upgrade only.
    m_list[0].m_lStatus = DevStatusUpgradeOk;
    QCOMPARE(status.data().toString(), CUIDeviceBean::statusText(DevStatusUpgradeOk));
}

void TestDevTableModel::sortAddressesNumerically()
{
    m_list << makeDev(1, "192.168.0.10") << makeDev(2, "192.168.0.2") << makeDev(3, "10.0.0.5")
           << makeDev(4, "192.168.0.9") << makeDev(5, "192.168.1.1");
    m_pModel->resetModel();
    m_pModel->sort(EncodeDevModelEx::ColIp, Qt::AscendingOrder);
    QCOMPARE(column(m_list), QStringList({"10.0.0.5", "192.168.0.2", "192.168.0.9", "192.168.0.10", "192.168.1.1"}));
    QCOMPARE(ids(m_list), QList<int>({3, 2, 4, 1, 5}));
    m_pModel->sort(EncodeDevModelEx::ColIp, Qt::DescendingOrder);
    QCOMPARE(column(m_list), QStringList({"192.168.1.1", "192.168.0.10", "192.168.0.9", "192.168.0.2", "10.0.0.5"}));
}

void TestDevTableModel::sortModelsCaseInsensitiveAndStable()
{
    m_list << makeDev(1, "1.1.1.1", "zeta") << makeDev(2, "1.1.1.2", "IPC-x") << makeDev(3, "1.1.1.3", "alpha")
           << makeDev(4, "1.1.1.4", "ipc-X") << makeDev(5, "1.1.1.5", "Alpha");
    m_pModel->resetModel();
    QSignalSpy spySwap(m_pModel, &ModelEx::changePos);
    m_pModel->sort(EncodeDevModelEx::ColModel, Qt::AscendingOrder);
    QCOMPARE(ids(m_list), QList<int>({3, 5, 2, 4, 1}));
    QVERIFY(spySwap.count() > 0);
    // Equal texts never swap, in either direction.
    m_pModel->sort(EncodeDevModelEx::ColModel, Qt::DescendingOrder);
    QCOMPARE(ids(m_list), QList<int>({1, 2, 4, 3, 5}));
    // An already sorted list needs no swap at all.
    spySwap.clear();
    m_pModel->sort(EncodeDevModelEx::ColModel, Qt::DescendingOrder);
    QCOMPARE(spySwap.count(), 0);
}

void TestDevTableModel::sortKeepsHiddenRowsAndChecks()
{
    m_list << makeDev(1, "192.168.0.30") << makeDev(2, "192.168.0.20", "nvr") << makeDev(3, "192.168.0.10");
    m_pModel->resetModel();
    m_pModel->setData(m_pModel->index(0, 0), Qt::Checked, Qt::CheckStateRole);
    QCOMPARE(m_pModel->filter(QStringLiteral("nvr")), 1);
    m_pModel->sort(EncodeDevModelEx::ColIp, Qt::AscendingOrder);
    QCOMPARE(ids(m_list), QList<int>({3, 2, 1}));
    // The hidden rows and the check mark moved with their devices.
    QVERIFY(m_pView->isRowHidden(0));
    QVERIFY(!m_pView->isRowHidden(1));
    QVERIFY(m_pView->isRowHidden(2));
    QCOMPARE(m_pModel->data(m_pModel->index(2, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(m_pModel->data(m_pModel->index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
}

void TestDevTableModel::filterOnAddressAndModel()
{
    CUIDeviceBean devSerial = makeDev(4, "10.1.1.1", "x");
    devSerial.m_strSerial = "192.168.0.1";  // other columns never match
    m_list << makeDev(1, "192.168.0.1") << makeDev(2, "192.168.0.15") << makeDev(3, "192.168.0.2", "Cam-192.168.0.1x")
           << devSerial << makeDev(5, "192.168.0.21");
    m_pModel->resetModel();

    QCOMPARE(m_pModel->filter(QStringLiteral("192.168.0.1")), 3);
    const QList<bool> expected {false, false, false, true, true};
    for (int i = 0; i < m_list.size(); ++i)
        QCOMPARE(m_pView->isRowHidden(i), expected.at(i));

    QCOMPARE(m_pModel->filter(QStringLiteral("CAM")), 1);
    QCOMPARE(m_pModel->filter(QStringLiteral("nothing")), 0);
    QCOMPARE(m_pModel->filter(QString()), 5);
    for (int i = 0; i < m_list.size(); ++i)
        QVERIFY(!m_pView->isRowHidden(i));
}

void TestDevTableModel::selectAllTwiceAndHiddenRows()
{
    m_list << makeDev(11, "192.168.0.1") << makeDev(12, "192.168.0.2", "nvr") << makeDev(13, "192.168.0.3");
    m_pModel->resetModel();
    m_pModel->setData(m_pModel->index(1, 0), Qt::Checked, Qt::CheckStateRole);

    m_pModel->toggleSelectAll();
    QCOMPARE(m_pModel->checkedList(), QList<int>({11, 12, 13}));
    QVERIFY(m_pModel->allSelected());
    m_pModel->toggleSelectAll();
    QVERIFY(m_pModel->checkedList().isEmpty());
    QVERIFY(!m_pModel->allSelected());

    m_pModel->filter(QStringLiteral("IPC"));
    m_pModel->toggleSelectAll();
    QCOMPARE(m_pModel->checkedList(), QList<int>({11, 13}));
}

void TestDevTableModel::setDataRules()
{
    m_list << makeDev(21, "192.168.0.1") << makeDev(22, "192.168.0.2");
    m_pModel->resetModel();
    QSignalSpy spyChanged(m_pModel, &QAbstractItemModel::dataChanged);

    QVERIFY(!m_pModel->setData(QModelIndex(), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(m_pModel->setData(m_pModel->index(0, 1), "x", Qt::EditRole));
    QCOMPARE(m_list.at(0).m_strIp, QStringLiteral("192.168.0.1"));
    QVERIFY(m_pModel->setData(m_pModel->index(0, 0), Qt::PartiallyChecked, Qt::CheckStateRole));
    QCOMPARE(spyChanged.count(), 0);

    QVERIFY(m_pModel->setData(m_pModel->index(1, 0), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(m_pModel->setData(m_pModel->index(0, 0), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(m_pModel->setData(m_pModel->index(0, 0), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(m_pModel->checkedList(), QList<int>({22, 21}));
    QVERIFY(m_pModel->setData(m_pModel->index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    QCOMPARE(m_pModel->checkedList(), QList<int>({22}));
    QCOMPARE(spyChanged.count(), 3);

    // A copy of a record keeps its number and so its check mark.
    m_list[1] = CUIDeviceBean(m_list.at(1));
    QCOMPARE(m_pModel->data(m_pModel->index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
}

void TestDevTableModel::checksFollowSelection()
{
    for (int i = 0; i < 6; ++i)
        m_list << makeDev(100 + i, QStringLiteral("192.168.0.%1").arg(i + 1));
    m_pModel->resetModel();
    m_pView->resize(900, 400);
    m_pView->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pView));
    m_pModel->setData(m_pModel->index(5, 0), Qt::Checked, Qt::CheckStateRole);

    QItemSelectionModel *pSel = m_pView->selectionModel();
    pSel->select(m_pModel->index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    // Ctrl keeps the earlier selection while the click adds row 3 and row 4.
    const QPoint ptRow3 = m_pView->visualRect(m_pModel->index(3, 2)).center();
    const QPoint ptRow4 = m_pView->visualRect(m_pModel->index(4, 2)).center();
    QTest::mouseClick(m_pView->viewport(), Qt::LeftButton, Qt::ControlModifier, ptRow3);
    QTest::mouseClick(m_pView->viewport(), Qt::LeftButton, Qt::ControlModifier, ptRow4);
    QCOMPARE(pSel->selectedRows().size(), 3);

    QList<int> listChecked = m_pModel->checkedList();
    std::sort(listChecked.begin(), listChecked.end());
    QCOMPARE(listChecked, QList<int>({101, 103, 104}));

    // A click in column 0 leaves the check marks to the check box itself.
    const QList<int> listBefore = m_pModel->checkedList();
    QTest::mouseClick(m_pView->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      m_pView->visualRect(m_pModel->index(0, 0)).center() + QPoint(15, 0));
    QCOMPARE(m_pModel->checkedList(), listBefore);

    // A plain click on a row of the selection narrows it on release; the marks follow.
    QTest::mouseClick(m_pView->viewport(), Qt::LeftButton, Qt::NoModifier, ptRow3);
    QCOMPARE(pSel->selectedRows().size(), 1);
    QCOMPARE(m_pModel->checkedList(), QList<int>({103}));
    // A click beside the rows clears the current index only.
    m_pView->resize(900, 600);
    QTest::mouseClick(m_pView->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 580));
    QVERIFY(!pSel->currentIndex().isValid());
    QCOMPARE(m_pModel->checkedList(), QList<int>({103}));
}

void TestDevTableModel::iconSlotsBeyondLimit()
{
    const int iRows = TableViewEx::MaxIconRows + 40;
    for (int i = 0; i < iRows; ++i)
        m_list << makeDev(i + 1, QStringLiteral("10.%1.%2.1").arg(i / 256).arg(i % 256));
    m_pModel->resetModel();
    m_pView->setIconRect(iRows - 1, QRect(0, 0, 110, 33));
    QCOMPARE(m_pView->iconRect(iRows - 1), QRect());
    QCOMPARE(m_pView->iconState(iRows - 1), 0);
    m_pView->setIconRect(TableViewEx::MaxIconRows - 1, QRect(1, 2, 110, 33));
    QCOMPARE(m_pView->iconRect(TableViewEx::MaxIconRows - 1), QRect(1, 2, 110, 33));

    // Painting, clicking and hovering the last rows stays within the slots.
    m_pView->resize(1300, 300);
    m_pView->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pView));
    m_pView->scrollToBottom();
    QSignalSpy spyCfg(m_pView, &TableViewEx::sendOpenConfigDlgSignal);
    const QModelIndex idxLast = m_pModel->index(iRows - 1, TableViewEx::IconColumn);
    m_pView->grab();
    const QRect rectLast = m_pView->visualRect(idxLast);
    QVERIFY(rectLast.isValid());
    QTest::mouseMove(m_pView->viewport(), rectLast.topLeft() + QPoint(10, 10));
    QTest::mouseClick(m_pView->viewport(), Qt::LeftButton, Qt::NoModifier, rectLast.topLeft() + QPoint(10, 10));
    QCOMPARE(spyCfg.count(), 0);
    QCOMPARE(m_pModel->checkedList(), QList<int>({iRows}));
    QCOMPARE(m_pModel->filter(QStringLiteral("10.4.")), 40);
}

void TestDevTableModel::iconClickSignals()
{
    m_list << makeDev(1, "192.168.0.1") << makeDev(2, "192.168.0.2");
    m_pModel->resetModel();
    m_pView->resize(1300, 300);
    m_pView->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pView));
    m_pView->grab();  // lets the delegate record the icon rectangles

    const QRect rect = m_pView->iconRect(1);
    QCOMPARE(rect, m_pView->visualRect(m_pModel->index(1, TableViewEx::IconColumn)));
    QSignalSpy spyCfg(m_pView, &TableViewEx::sendOpenConfigDlgSignal);
    QSignalSpy spyRemote(m_pView, &TableViewEx::sendRemoteSignal);
    const int iY = rect.center().y();

    QTest::mouseMove(m_pView->viewport(), QPoint(rect.left() + 5, iY));
    QCOMPARE(m_pView->iconState(1), int(TableViewEx::IconConfig));
    QTest::mouseMove(m_pView->viewport(), QPoint(rect.left() + 40, iY));
    QCOMPARE(m_pView->iconState(1), int(TableViewEx::IconRemote));
    QTest::mouseMove(m_pView->viewport(), QPoint(rect.left() + 28, iY));
    QCOMPARE(m_pView->iconState(1), int(TableViewEx::IconNone));

    QTest::mouseClick(m_pView->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(rect.left() + 23, iY));
    QCOMPARE(spyCfg.count(), 1);
    QTest::mouseClick(m_pView->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(rect.left() + 55, iY));
    QCOMPARE(spyRemote.count(), 1);
    QTest::mouseClick(m_pView->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(rect.left() + 32, iY));
    QTest::mouseClick(m_pView->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(rect.left() + 56, iY));
    QCOMPARE(spyCfg.count(), 1);
    QCOMPARE(spyRemote.count(), 1);

    // Leaving the row moves the hover state away with the mouse.
    QTest::mouseMove(m_pView->viewport(), QPoint(rect.left() + 5, iY));
    QTest::mouseMove(m_pView->viewport(), m_pView->visualRect(m_pModel->index(0, 2)).center());
    QCOMPARE(m_pView->iconState(1), int(TableViewEx::IconNone));
}

void TestDevTableModel::hoverRow()
{
    m_list << makeDev(1, "192.168.0.1") << makeDev(2, "192.168.0.2");
    m_pModel->resetModel();
    m_pModel->setHoverRow(1);
    QCOMPARE(m_pModel->data(m_pModel->index(1, 5), Qt::BackgroundRole).value<QColor>(), QColor(183, 205, 255));
    QVERIFY(!m_pModel->data(m_pModel->index(0, 5), Qt::BackgroundRole).isValid());
    emit m_pView->mouse_over_reset();
    QCOMPARE(m_pModel->hoverRow(), -1);
    QVERIFY(!m_pModel->data(m_pModel->index(1, 5), Qt::BackgroundRole).isValid());
}

QTEST_MAIN(TestDevTableModel)
#include "tst_devtablemodel.moc"
