#include "cap_calculateform.h"
#include "chanmodelex.h"
#include "tableviewex.h"

#include "dialoghelper.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTabBar>
#include <QTranslator>
#include <QTabWidget>
#include <QtTest>

class TestCapCalculateForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithDefaults();
    void tableLayout();
    void englishTabTitlesStayInsideTheBox();
    void oneChannelFigures();
    void roundingDiffersBetweenFormulas();
    void nothingCheckedShowsZero();
    void customDiskSize();
    void selectAllOnEmptyListShowsNote();
    void selectAllToggles();
    void clickRecomputesOncePerAction();
    void cancelledAddChangesNothing();
    void addStopsAt1024Rows();
    void modifyAppliesToEveryCheckedRow();
    void modifyAndDeleteNeedCheckedRows();
    void deleteRemovesCheckedRows();
    void idsStayUniqueAfterSorting();
    void rowsWithoutBitRate();
    void onlineButtonAsksForDevices();
    void modelPassesTester();

private:
    template <typename T>
    T *child(const char *pszName) const
    {
        T *pChild = m_pForm->findChild<T *>(QLatin1String(pszName));
        Q_ASSERT(pChild);
        return pChild;
    }
    // Adds a row through the add dialog.
    void addChannel(int lChanNum, const QString &strResolution, int lBitRate);
    void setChecked(int lRow, bool bChecked);
    // Presses a button that answers with a note; returns the note's text.
    QString noteFrom(const char *pszButton);
    QString days() const { return child<QLabel>("oRecTimeLabel")->text(); }
    QString space() const { return child<QLabel>("oDiskCapLabel")->text(); }
    QList<CUIChanBean> &chanList() { return m_pForm->m_listChan; }
    CChanModelEx *model() const { return m_pForm->chanModel(); }

    CCapCalculateForm *m_pForm = nullptr;
};

void TestCapCalculateForm::init()
{
    m_pForm = new CCapCalculateForm;
}

void TestCapCalculateForm::cleanup()
{
    delete m_pForm;
    m_pForm = nullptr;
    QTRY_VERIFY(DialogHelper::noModal());
}

void TestCapCalculateForm::addChannel(int lChanNum, const QString &strResolution, int lBitRate)
{
    auto seen = DialogHelper::onNextModal([=](QWidget *pDlg) {
        pDlg->findChild<QSpinBox *>(QStringLiteral("oChanNumEdit"))->setValue(lChanNum);
        pDlg->findChild<QComboBox *>(QStringLiteral("oResolutionCombo"))->setCurrentText(strResolution);
        pDlg->findChild<QLineEdit *>(QStringLiteral("oBitRateEdit"))->setText(QString::number(lBitRate));
        DialogHelper::clickButton(pDlg, QStringLiteral("oOkBtn"));
    });
    child<QPushButton>("oAddChanBtn")->click();
    QVERIFY(seen->done);
    QCOMPARE(seen->className, QStringLiteral("CAddChanDlg"));
}

void TestCapCalculateForm::setChecked(int lRow, bool bChecked)
{
    QVERIFY(model()->setData(model()->index(lRow, 0), bChecked ? Qt::Checked : Qt::Unchecked,
                             Qt::CheckStateRole));
}

QString TestCapCalculateForm::noteFrom(const char *pszButton)
{
    auto seen = DialogHelper::clickOnModal(QStringLiteral("oCancelBtn"));
    child<QPushButton>(pszButton)->click();
    if (!seen->done)
        return QString();
    return seen->title + QLatin1Char('|') + seen->text;
}

void TestCapCalculateForm::opensWithDefaults()
{
    QCOMPARE(child<QPushButton>("oAddChanBtn")->text(), QStringLiteral("添加"));
    QCOMPARE(child<QPushButton>("oModifyChanBtn")->text(), QStringLiteral("修改"));
    QCOMPARE(child<QPushButton>("oDelChanBtn")->text(), QStringLiteral("删除"));
    QCOMPARE(child<QPushButton>("oShowOnlineBtn")->text(), QStringLiteral("添加在线..."));
    auto *pTabs = child<QTabWidget>("oCapTabWidget");
    QCOMPARE(pTabs->tabText(0), QStringLiteral("已知硬盘大小"));
    QCOMPARE(pTabs->tabText(1), QStringLiteral("已知录像时间"));

    auto *pDisk = child<QComboBox>("oDiskCombo");
    const QStringList listText{"250GB", "350GB", "500GB", "1TB",  "2TB",  "3TB",  "4TB", "6TB",
                               "8TB",   "13TB",  "14TB",  "16TB", "20TB", "24TB", "自定义"};
    const QList<int> listGB{250,   350,   500,   1000,  2000,  3000,  4000, 6000,
                            8000,  13000, 14000, 16000, 20000, 24000, 0};
    QCOMPARE(pDisk->count(), listText.size());
    for (int i = 0; i < pDisk->count(); ++i) {
        QCOMPARE(pDisk->itemText(i), listText.at(i));
        QCOMPARE(pDisk->itemData(i).toInt(), listGB.at(i));
    }
    QCOMPARE(pDisk->currentIndex(), 0);

    auto *pCustom = child<QSpinBox>("oCapGBEdit");
    QVERIFY(pCustom->isHidden());
    QVERIFY(child<QLabel>("oDiskCusGBLabel")->isHidden());
    QCOMPARE(pCustom->minimum(), 1);
    QCOMPARE(pCustom->maximum(), 999999999);
    QCOMPARE(pCustom->value(), 1);

    for (const char *pszCombo : {"oCapHourCombo", "oTimeHourCombo"}) {
        auto *pHours = child<QComboBox>(pszCombo);
        QCOMPARE(pHours->count(), 24);
        QCOMPARE(pHours->itemText(0), QStringLiteral("1"));
        QCOMPARE(pHours->itemText(23), QStringLiteral("24"));
        QCOMPARE(pHours->currentText(), QStringLiteral("24"));
    }
    auto *pDays = child<QSpinBox>("oTimeDayEdit");
    QCOMPARE(pDays->minimum(), 1);
    QCOMPARE(pDays->maximum(), 365);
    QCOMPARE(pDays->value(), 1);

    auto *pRecTime = child<QLabel>("oRecTimeLabel");
    QCOMPARE(pRecTime->text(), QStringLiteral("0 天"));
    QCOMPARE(pRecTime->font().family(), QStringLiteral("Agency FB"));
    QCOMPARE(pRecTime->font().pointSize(), 12);
    QVERIFY(pRecTime->font().bold());
    QVERIFY(pRecTime->styleSheet().contains(QStringLiteral("rgb(51, 102, 204)")));
    QCOMPARE(space(), QStringLiteral("0 GB"));
    QVERIFY(child<QLabel>("oDiskCapLabel")->styleSheet().contains(QStringLiteral("rgb(51, 102, 204)")));

    auto *pGroup = child<QWidget>("oCalcGroupBox");
    // 260 to 280 wide, unless the tab titles need more.
    const int nTabs = child<QTabWidget>("oCapTabWidget")->tabBar()->sizeHint().width();
    QVERIFY(pGroup->minimumWidth() >= 260);
    QVERIFY(pGroup->maximumWidth() >= qMax(280, nTabs));
    if (pGroup->maximumWidth() > 280)
        QCOMPARE(pGroup->minimumWidth(), pGroup->maximumWidth());
}

void TestCapCalculateForm::englishTabTitlesStayInsideTheBox()
{
    QTranslator translator;
    QVERIFY2(translator.load(QStringLiteral("lang/corvane_en.qm")), "lang/corvane_en.qm is missing next to the tests");
    QCoreApplication::installTranslator(&translator);
    QScopedPointer<CCapCalculateForm> pForm(new CCapCalculateForm);
    QCoreApplication::removeTranslator(&translator);

    // The titles break onto a second line rather than widen the box past 280.
    auto *pTabs = pForm->findChild<QTabWidget *>(QStringLiteral("oCapTabWidget"));
    auto *pGroup = pForm->findChild<QWidget *>(QStringLiteral("oCalcGroupBox"));
    QCOMPARE(pGroup->maximumWidth(), 280);
    QVERIFY(pTabs->tabBar()->sizeHint().width() < pGroup->maximumWidth());
    QCOMPARE(pTabs->tabText(0).replace(QLatin1Char('\n'), QLatin1Char(' ')), QStringLiteral("Disk size known"));
    QCOMPARE(pTabs->tabText(1).replace(QLatin1Char('\n'), QLatin1Char(' ')), QStringLiteral("Recording time known"));
    pForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(pForm.data()));
    const QFontMetrics fm = pTabs->tabBar()->fontMetrics();
    for (int i = 0; i < pTabs->count(); ++i) {
        const int nLines = pTabs->tabText(i).count(QLatin1Char('\n')) + 1;
        QVERIFY(pTabs->tabBar()->tabRect(i).height() >= nLines * fm.height());
    }
}

void TestCapCalculateForm::tableLayout()
{
    auto *pView = child<TableViewEx>("oChanTableView");
    QCOMPARE(pView->model(), model());
    QCOMPARE(model()->columnCount(), 6);
    const QStringList listHeader{"全选", "通道", "分辨率", "帧率", "码率", "总带宽"};
    const QList<int> listWidth{40, 75, 80, 85, 85, 110};
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(model()->headerData(i, Qt::Horizontal).toString(), listHeader.at(i));
        if (i < 5) // the last section stretches
            QCOMPARE(pView->columnWidth(i), listWidth.at(i));
    }
    QCOMPARE(pView->verticalHeader()->defaultSectionSize(), 33);
    QVERIFY(pView->isSortingEnabled());

    addChannel(4, QStringLiteral("720P"), 1000);
    QCOMPARE(model()->rowCount(), 1);
    const QStringList listCell{" ", "4(IPC)", "720P", "25 fps", "1000 kbps", "4000 kbps"};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(model()->index(0, i).data().toString(), listCell.at(i));
    QCOMPARE(model()->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QVERIFY(model()->flags(model()->index(0, 0)) & Qt::ItemIsUserCheckable);

    emit pView->entered(model()->index(0, 3));
    QCOMPARE(model()->hoverRow(), 0);
}

void TestCapCalculateForm::oneChannelFigures()
{
    QSignalSpy spyCalc(m_pForm, &CCapCalculateForm::calculateSignal);
    addChannel(1, QStringLiteral("1080P"), 4096);
    QCOMPARE(spyCalc.count(), 1);
    QCOMPARE(chanList().size(), 1);
    const CUIChanBean &oRow = chanList().first();
    QCOMPARE(oRow.m_lChanId, 0);
    QCOMPARE(oRow.m_strChanName, QStringLiteral("1(IPC)"));
    QCOMPARE(oRow.m_lTotalBitRate, 4096);
    QCOMPARE(oRow.m_lBestBitRate, 4096);
    QCOMPARE(oRow.m_lEncFmt, 6);

    // A new row is counted at once.
    QCOMPARE(model()->checkedList(), QList<int>{0});
    child<QComboBox>("oDiskCombo")->setCurrentText(QStringLiteral("1TB"));
    child<QSpinBox>("oTimeDayEdit")->setValue(30);
    QCOMPARE(days(), QStringLiteral("21 天"));
    QCOMPARE(space(), QStringLiteral("1296 GB = 2 TB"));

    // Each input recomputes its own result.
    child<QComboBox>("oCapHourCombo")->setCurrentText(QStringLiteral("12"));
    QCOMPARE(days(), QStringLiteral("43 天"));
    child<QComboBox>("oTimeHourCombo")->setCurrentText(QStringLiteral("12"));
    QCOMPARE(space(), QStringLiteral("648 GB = 1 TB"));
    child<QComboBox>("oDiskCombo")->setCurrentText(QStringLiteral("2TB"));
    QCOMPARE(days(), QStringLiteral("86 天"));
}

void TestCapCalculateForm::roundingDiffersBetweenFormulas()
{
    // 4 x 1000 kbit/s: 1757.8125 MB an hour, 1758 in the days formula.
    addChannel(4, QStringLiteral("1080P"), 1000);
    QCOMPARE(chanList().first().m_lTotalBitRate, 4000);
    setChecked(0, true);

    child<QComboBox>("oDiskCombo")->setCurrentText(QStringLiteral("自定义"));
    child<QSpinBox>("oCapGBEdit")->setValue(361);
    child<QComboBox>("oCapHourCombo")->setCurrentText(QStringLiteral("1"));
    QCOMPARE(days(), QStringLiteral("191 天"));

    child<QSpinBox>("oTimeDayEdit")->setValue(365);
    QCOMPARE(space(), QStringLiteral("15399 GB = 17 TB"));
}

void TestCapCalculateForm::nothingCheckedShowsZero()
{
    addChannel(2, QStringLiteral("1080P"), 4096);
    setChecked(0, true);
    QVERIFY(days() != QStringLiteral("0 天"));
    setChecked(0, false);
    QCOMPARE(days(), QStringLiteral("0 天"));
    QCOMPARE(space(), QStringLiteral("0 GB"));

    child<QComboBox>("oDiskCombo")->setCurrentText(QStringLiteral("24TB"));
    child<QComboBox>("oCapHourCombo")->setCurrentText(QStringLiteral("3"));
    child<QSpinBox>("oTimeDayEdit")->setValue(100);
    QCOMPARE(days(), QStringLiteral("0 天"));
    QCOMPARE(space(), QStringLiteral("0 GB"));
}

void TestCapCalculateForm::customDiskSize()
{
    addChannel(1, QStringLiteral("1080P"), 4096);
    setChecked(0, true);
    auto *pDisk = child<QComboBox>("oDiskCombo");
    auto *pCustom = child<QSpinBox>("oCapGBEdit");

    pDisk->setCurrentText(QStringLiteral("自定义"));
    QVERIFY(!pCustom->isHidden());
    QVERIFY(!child<QLabel>("oDiskCusGBLabel")->isHidden());
    QCOMPARE(pCustom->value(), 1);
    QCOMPARE(days(), QStringLiteral("0 天"));

    pCustom->setValue(1000);
    QCOMPARE(days(), QStringLiteral("21 天"));
    pCustom->setValue(999999999);
    QCOMPARE(days(), QStringLiteral("21643518 天"));

    pDisk->setCurrentText(QStringLiteral("500GB"));
    QVERIFY(pCustom->isHidden());
    QCOMPARE(days(), QStringLiteral("10 天"));
}

void TestCapCalculateForm::selectAllOnEmptyListShowsNote()
{
    auto seen = DialogHelper::clickOnModal(QStringLiteral("oCancelBtn"));
    emit child<TableViewEx>("oChanTableView")->horizontalHeader()->sectionPressed(0);
    QVERIFY(seen->done);
    QCOMPARE(seen->title, QStringLiteral("信息"));
    QCOMPARE(seen->text, QStringLiteral("请添加通道。"));
    QVERIFY(chanList().isEmpty());
}

void TestCapCalculateForm::selectAllToggles()
{
    addChannel(1, QStringLiteral("1080P"), 4096);
    addChannel(1, QStringLiteral("1080P"), 4096);
    addChannel(2, QStringLiteral("1080P"), 4096);
    child<QComboBox>("oDiskCombo")->setCurrentText(QStringLiteral("1TB"));
    QHeaderView *pHeader = child<TableViewEx>("oChanTableView")->horizontalHeader();

    emit pHeader->sectionPressed(0);
    QCOMPARE(model()->checkedList(), QList<int>({0, 1, 2}));
    QCOMPARE(days(), QStringLiteral("5 天")); // 935000 / (24 * 7200)
    for (int i = 0; i < 3; ++i)
        QCOMPARE(model()->index(i, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));

    // Other columns sort, they do not select.
    emit pHeader->sectionPressed(2);
    QCOMPARE(model()->checkedList().size(), 3);

    // Unticked one by one, the next press still unticks everything.
    for (int i = 0; i < 3; ++i)
        setChecked(i, false);
    setChecked(1, true);
    emit pHeader->sectionPressed(0);
    QVERIFY(model()->checkedList().isEmpty());
    QCOMPARE(days(), QStringLiteral("0 天"));
    emit pHeader->sectionPressed(0);
    QCOMPARE(model()->checkedList().size(), 3);
}

// A click makes the check marks follow the selection: all of them are reset
// and set again, yet the results are computed once, from the final marks.
void TestCapCalculateForm::clickRecomputesOncePerAction()
{
    addChannel(1, QStringLiteral("1080P"), 4096);
    addChannel(1, QStringLiteral("1080P"), 4096);
    addChannel(2, QStringLiteral("1080P"), 4096);
    child<QComboBox>("oDiskCombo")->setCurrentText(QStringLiteral("1TB"));
    m_pForm->resize(900, 600);
    m_pForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pForm));
    auto *pView = child<TableViewEx>("oChanTableView");
    emit pView->horizontalHeader()->sectionPressed(0);
    QCOMPARE(model()->checkedList().size(), 3);
    pView->selectAll();

    QSignalSpy spyCalc(m_pForm, &CCapCalculateForm::calculateSignal);
    QSignalSpy spyChecks(model(), &CChanModelEx::checkListChanged);
    const QPoint cell = pView->visualRect(model()->index(2, 2)).center();
    QTest::mouseClick(pView->viewport(), Qt::LeftButton, Qt::ControlModifier, cell);
    QCOMPARE(model()->checkedList(), QList<int>({0, 1}));
    QCOMPARE(spyChecks.count(), 1);
    QCOMPARE(spyCalc.count(), 1);
    QCOMPARE(days(), QStringLiteral("10 天")); // 2 x 4096 kbit/s on 1 TB

    // A plain click on one row: only that row stays checked, one recomputation.
    QTest::mouseClick(pView->viewport(), Qt::LeftButton, Qt::NoModifier, cell);
    QCOMPARE(model()->checkedList(), QList<int>({2}));
    QCOMPARE(spyCalc.count(), 2);
    QCOMPARE(days(), QStringLiteral("10 天"));

    // Marks set one at a time outside a click still report each change.
    setChecked(0, true);
    setChecked(1, true);
    QCOMPARE(spyCalc.count(), 4);
    QCOMPARE(days(), QStringLiteral("5 天"));
}

void TestCapCalculateForm::cancelledAddChangesNothing()
{
    QSignalSpy spyCalc(m_pForm, &CCapCalculateForm::calculateSignal);
    auto seen = DialogHelper::clickOnModal(QStringLiteral("oCancelBtn"));
    child<QPushButton>("oAddChanBtn")->click();
    QVERIFY(seen->done);
    QCOMPARE(seen->title, QStringLiteral("添加通道"));
    QVERIFY(chanList().isEmpty());
    QCOMPARE(spyCalc.count(), 1);
}

void TestCapCalculateForm::addStopsAt1024Rows()
{
    CUIChanBean oRow;
    oRow.m_lChanNum = 1;
    oRow.m_lBitRate = oRow.m_lTotalBitRate = 512;
    oRow.m_strChanName = QStringLiteral("1(IPC)");
    for (int i = 0; i < 1023; ++i) {
        oRow.m_lChanId = i;
        chanList().append(oRow);
    }
    model()->resetModel();

    addChannel(1, QStringLiteral("CIF"), 512);
    QCOMPARE(chanList().size(), 1024);
    QCOMPARE(chanList().last().m_lChanId, 1023);

    // The dialog still opens; its OK is answered with the note.
    std::shared_ptr<DialogHelper::SeenDialog> note;
    auto seen = DialogHelper::onNextModal([&note](QWidget *pDlg) {
        DialogHelper::clickButton(pDlg, QStringLiteral("oOkBtn"));
        note = DialogHelper::clickOnModal(QStringLiteral("oCancelBtn"));
    });
    child<QPushButton>("oAddChanBtn")->click();
    QVERIFY(seen->done);
    QTRY_VERIFY(note && note->done);
    QCOMPARE(note->text, QStringLiteral("添加纪录数量不能多于1024。"));
    QCOMPARE(chanList().size(), 1024);
    QCOMPARE(model()->rowCount(), 1024);
}

void TestCapCalculateForm::modifyAppliesToEveryCheckedRow()
{
    addChannel(1, QStringLiteral("1080P"), 4096);
    addChannel(2, QStringLiteral("D1"), 1024);
    addChannel(3, QStringLiteral("CIF"), 512);
    addChannel(4, QStringLiteral("720P"), 2048);
    setChecked(0, false);
    setChecked(3, true);
    setChecked(1, true);
    setChecked(2, true);

    QString strShownRes;
    QString strShownRate;
    auto seen = DialogHelper::onNextModal([&](QWidget *pDlg) {
        // The first checked row in list order fills the dialog.
        strShownRes = pDlg->findChild<QComboBox *>(QStringLiteral("oResolutionCombo"))->currentText();
        strShownRate = pDlg->findChild<QLineEdit *>(QStringLiteral("oBitRateEdit"))->text();
        pDlg->findChild<QSpinBox *>(QStringLiteral("oChanNumEdit"))->setValue(8);
        pDlg->findChild<QComboBox *>(QStringLiteral("oEncFmtCombo"))->setCurrentText(QStringLiteral("MJPEG"));
        pDlg->findChild<QLineEdit *>(QStringLiteral("oBitRateEdit"))->setText(QStringLiteral("1500"));
        DialogHelper::clickButton(pDlg, QStringLiteral("oOkBtn"));
    });
    child<QPushButton>("oModifyChanBtn")->click();
    QVERIFY(seen->done);
    QCOMPARE(seen->className, QStringLiteral("CModifyChanDlg"));
    QCOMPARE(strShownRes, QStringLiteral("D1"));
    QCOMPARE(strShownRate, QStringLiteral("1024"));

    QCOMPARE(chanList().size(), 4);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(chanList().at(i).m_lChanId, i);
    QCOMPARE(chanList().at(0).m_lChanNum, 1);
    QCOMPARE(chanList().at(0).m_lBitRate, 4096);
    for (int i = 1; i < 4; ++i) {
        const CUIChanBean &oRow = chanList().at(i);
        QCOMPARE(oRow.m_lChanNum, 8);
        QCOMPARE(oRow.m_strChanName, QStringLiteral("8(IPC)"));
        QCOMPARE(oRow.m_strResolution, QStringLiteral("D1"));
        QCOMPARE(oRow.m_strFrameRate, QStringLiteral("5"));
        QCOMPARE(oRow.m_lBitRate, 1500);
        QCOMPARE(oRow.m_lBestBitRate, 512);
        QCOMPARE(oRow.m_lTotalBitRate, 12000);
        QCOMPARE(oRow.m_lEncFmt, 3);
    }
    QVERIFY(model()->checkedList().isEmpty());
    QCOMPARE(days(), QStringLiteral("0 天"));
    QCOMPARE(model()->index(2, 1).data().toString(), QStringLiteral("8(IPC)"));
}

void TestCapCalculateForm::modifyAndDeleteNeedCheckedRows()
{
    const QString strNote = QStringLiteral("信息|请选择设备。");
    QCOMPARE(noteFrom("oModifyChanBtn"), strNote);
    QCOMPARE(noteFrom("oDelChanBtn"), strNote);
    addChannel(1, QStringLiteral("1080P"), 4096);
    setChecked(0, false);
    QCOMPARE(noteFrom("oModifyChanBtn"), strNote);
    QCOMPARE(noteFrom("oDelChanBtn"), strNote);
    QCOMPARE(chanList().size(), 1);

    // A cancelled modification keeps rows and check marks.
    setChecked(0, true);
    auto seen = DialogHelper::clickOnModal(QStringLiteral("oCancelBtn"));
    child<QPushButton>("oModifyChanBtn")->click();
    QVERIFY(seen->done);
    QCOMPARE(chanList().first().m_lBitRate, 4096);
    QCOMPARE(model()->checkedList(), QList<int>{0});
}

void TestCapCalculateForm::deleteRemovesCheckedRows()
{
    for (int lBitRate : {1000, 2000, 3000, 4000})
        addChannel(1, QStringLiteral("1080P"), lBitRate);
    setChecked(1, false);
    setChecked(3, false);
    setChecked(2, true);
    setChecked(0, true);
    QSignalSpy spyCalc(m_pForm, &CCapCalculateForm::calculateSignal);
    child<QPushButton>("oDelChanBtn")->click();
    QCOMPARE(spyCalc.count(), 1);
    QCOMPARE(chanList().size(), 2);
    QCOMPARE(chanList().at(0).m_lBitRate, 2000);
    QCOMPARE(chanList().at(1).m_lBitRate, 4000);
    QVERIFY(model()->checkedList().isEmpty());
    QCOMPARE(model()->rowCount(), 2);
    QCOMPARE(days(), QStringLiteral("0 天"));
}

void TestCapCalculateForm::idsStayUniqueAfterSorting()
{
    for (int lBitRate : {3000, 2000, 1000})
        addChannel(1, QStringLiteral("1080P"), lBitRate);
    model()->sort(CChanModelEx::ColBitRate, Qt::AscendingOrder);
    QCOMPARE(chanList().last().m_lChanId, 0);

    addChannel(1, QStringLiteral("1080P"), 500);
    QCOMPARE(chanList().last().m_lChanId, 3);
    QSet<int> setIds;
    for (const CUIChanBean &oRow : chanList())
        setIds.insert(oRow.m_lChanId);
    QCOMPARE(setIds.size(), 4);

    // Unticking the old rows leaves the new row alone ticked.
    for (int i = 0; i < 3; ++i)
        setChecked(i, false);
    QCOMPARE(model()->index(3, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(model()->index(i, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    child<QPushButton>("oDelChanBtn")->click();
    QCOMPARE(chanList().size(), 3);

    // An empty list starts again at 0.
    model()->toggleSelectAll();
    child<QPushButton>("oDelChanBtn")->click();
    QVERIFY(chanList().isEmpty());
    addChannel(1, QStringLiteral("1080P"), 500);
    QCOMPARE(chanList().first().m_lChanId, 0);
}

void TestCapCalculateForm::rowsWithoutBitRate()
{
    // As a device that reports no bit rate would be imported.
    CUIChanBean oRow;
    oRow.m_lChanNum = 1;
    oRow.m_lChanId = 0;
    oRow.m_strChanName = QStringLiteral("1(IPC)");
    oRow.m_strResolution = QStringLiteral("2560*1440");
    chanList().append(oRow);
    model()->resetModel();

    setChecked(0, true);
    QCOMPARE(days(), QStringLiteral("码率为0，无法计算"));
    QCOMPARE(space(), QStringLiteral("0 GB = 0 TB"));

    addChannel(1, QStringLiteral("1080P"), 4096);
    child<QComboBox>("oDiskCombo")->setCurrentText(QStringLiteral("1TB"));
    setChecked(1, true);
    QCOMPARE(days(), QStringLiteral("21 天"));
}

void TestCapCalculateForm::onlineButtonAsksForDevices()
{
    CUIDeviceBean oDev;
    oDev.m_strIp = QStringLiteral("127.0.0.5");
    oDev.m_strLoginKey = QStringLiteral("7");
    QList<CUIDeviceBean> listDev{oDev};
    connect(m_pForm, &CCapCalculateForm::getDevListSignal, m_pForm,
            [&]() { m_pForm->getDevListSlot(listDev); });
    int lHanded = 0;
    connect(m_pForm, &CCapCalculateForm::sendDev2DlgSignal, m_pForm,
            [&](QList<CUIDeviceBean> &listGot) { lHanded += listGot.size(); });

    auto pSeen = DialogHelper::onNextModal([](QWidget *pDlg) { pDlg->close(); });
    child<QPushButton>("oShowOnlineBtn")->click();
    QTRY_VERIFY(pSeen->done);
    QCOMPARE(pSeen->className, QStringLiteral("CShowOnlineDevDlg"));
    QCOMPARE(lHanded, 1);
    QCOMPARE(m_pForm->onlineDevList().size(), 1);
    QCOMPARE(m_pForm->onlineDevList().first().m_strIp, QStringLiteral("127.0.0.5"));
}

void TestCapCalculateForm::modelPassesTester()
{
    QAbstractItemModelTester oTester(model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (int lBitRate : {3000, 1000, 2000})
        addChannel(2, QStringLiteral("720P"), lBitRate);
    QVERIFY(!QTest::currentTestFailed());
    setChecked(1, true);
    model()->sort(CChanModelEx::ColTotal, Qt::DescendingOrder);
    QCOMPARE(chanList().first().m_lBitRate, 3000);
    model()->sort(CChanModelEx::ColChan, Qt::AscendingOrder);
    model()->setHoverRow(2);
    QCOMPARE(model()->index(2, 1).data(Qt::BackgroundRole).value<QColor>(), QColor(183, 205, 255));
    model()->toggleSelectAll();
    child<QPushButton>("oDelChanBtn")->click();
    QCOMPARE(model()->rowCount(), 0);
    QVERIFY(!model()->index(0, 0).isValid());
    QVERIFY(!model()->setData(QModelIndex(), Qt::Checked, Qt::CheckStateRole));
}

QTEST_MAIN(TestCapCalculateForm)
#include "tst_capcalculateform.moc"
