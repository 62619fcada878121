#include "addchandlg.h"
#include "modifychandlg.h"

#include "dialoghelper.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

class TestChanDlg : public QObject
{
    Q_OBJECT

private slots:
    void addDialogOpensOnDefaults();
    void mjpegAllowsSlowFrameRatesOnly();
    void recommendationFollowsChoices_data();
    void recommendationFollowsChoices();
    void chanRecordReadsForm();
    void bitRateEditAcceptsDigitsOnly();
    void okChecksRange_data();
    void okChecksRange();
    void cancelRejects();
    void modifyDialogOpensEmpty();
    void modifyShowsH264Row();
    void modifyShowsMjpegRowAtFiveFps();
    void modifyKeepsSelectionForUnknownTexts();

private:
    template <typename T>
    static T *child(QWidget *pDlg, const char *pszName)
    {
        T *pChild = pDlg->findChild<T *>(QLatin1String(pszName));
        Q_ASSERT(pChild);
        return pChild;
    }
    static QString bitRate(QWidget *pDlg) { return child<QLineEdit>(pDlg, "oBitRateEdit")->text(); }
    static QString best(QWidget *pDlg) { return child<QLabel>(pDlg, "oBestBitRateLabel")->text(); }
    static QStringList items(QComboBox *pCombo);
};

QStringList TestChanDlg::items(QComboBox *pCombo)
{
    QStringList listText;
    for (int i = 0; i < pCombo->count(); ++i)
        listText << pCombo->itemText(i);
    return listText;
}

void TestChanDlg::addDialogOpensOnDefaults()
{
    CAddChanDlg oDlg;
    QCOMPARE(oDlg.windowTitle(), QStringLiteral("添加通道"));
    QCOMPARE(oDlg.size(), QSize(320, 360));
    QCOMPARE(oDlg.minimumSize(), oDlg.maximumSize());
    QCOMPARE(child<QPushButton>(&oDlg, "oOkBtn")->text(), QStringLiteral("添加通道 >> "));
    QCOMPARE(child<QSpinBox>(&oDlg, "oChanNumEdit")->value(), 1);
    QCOMPARE(child<QSpinBox>(&oDlg, "oChanNumEdit")->maximum(), 1024);
    auto *pType = child<QComboBox>(&oDlg, "oChanTypeCombo");
    QVERIFY(!pType->isEnabled());
    QCOMPARE(items(pType), QStringList{QStringLiteral("IPC")});
    auto *pFmt = child<QComboBox>(&oDlg, "oEncFmtCombo");
    QCOMPARE(items(pFmt), QStringList({"MJPEG", "H.264"}));
    QCOMPARE(pFmt->itemData(0).toInt(), 3);
    QCOMPARE(pFmt->currentText(), QStringLiteral("H.264"));
    QCOMPARE(pFmt->currentData().toInt(), 6);
    QCOMPARE(child<QComboBox>(&oDlg, "oResolutionCombo")->currentText(), QStringLiteral("1080P"));
    QCOMPARE(child<QComboBox>(&oDlg, "oResolutionCombo")->count(), 12);
    QCOMPARE(child<QComboBox>(&oDlg, "oFrameRateCombo")->currentText(), QStringLiteral("25"));
    QCOMPARE(child<QComboBox>(&oDlg, "oFrameRateCombo")->count(), 11);
    QCOMPARE(bitRate(&oDlg), QStringLiteral("4096"));
    QCOMPARE(best(&oDlg), QStringLiteral("4096"));
}

void TestChanDlg::mjpegAllowsSlowFrameRatesOnly()
{
    CAddChanDlg oDlg;
    auto *pFmt = child<QComboBox>(&oDlg, "oEncFmtCombo");
    auto *pRate = child<QComboBox>(&oDlg, "oFrameRateCombo");
    pFmt->setCurrentText(QStringLiteral("MJPEG"));
    QCOMPARE(items(pRate), QStringList({"1", "3", "5"}));
    QCOMPARE(pRate->currentText(), QStringLiteral("5"));
    QCOMPARE(bitRate(&oDlg), QStringLiteral("2048"));
    QCOMPARE(best(&oDlg), QStringLiteral("2048"));

    // Back to H.264: every rate again, 25 selected.
    pFmt->setCurrentText(QStringLiteral("H.264"));
    QCOMPARE(pRate->count(), 11);
    QCOMPARE(pRate->currentText(), QStringLiteral("25"));
    QCOMPARE(bitRate(&oDlg), QStringLiteral("4096"));
}

void TestChanDlg::recommendationFollowsChoices_data()
{
    QTest::addColumn<QString>("resolution");
    QTest::addColumn<QString>("frameRate");
    QTest::addColumn<QString>("expected");

    QTest::newRow("D1 25") << "D1" << "25" << "1024";
    QTest::newRow("CIF 8") << "CIF" << "8" << "256";
    QTest::newRow("12MP 60") << "12MP" << "60" << "13824";
    QTest::newRow("1080P 15") << "1080P" << "15" << "2048";
    QTest::newRow("1080P 50") << "1080P" << "50" << "6144";
    QTest::newRow("720P 30") << "720P" << "30" << "2048";
}

void TestChanDlg::recommendationFollowsChoices()
{
    QFETCH(QString, resolution);
    QFETCH(QString, frameRate);
    QFETCH(QString, expected);

    // Both orders of choosing give the same proposal.
    for (bool bRateFirst : {false, true}) {
        CAddChanDlg oDlg;
        auto *pRes = child<QComboBox>(&oDlg, "oResolutionCombo");
        auto *pRate = child<QComboBox>(&oDlg, "oFrameRateCombo");
        child<QLineEdit>(&oDlg, "oBitRateEdit")->setText(QStringLiteral("999"));
        if (bRateFirst)
            pRate->setCurrentText(frameRate);
        pRes->setCurrentText(resolution);
        pRate->setCurrentText(frameRate);
        QCOMPARE(best(&oDlg), expected);
        QCOMPARE(bitRate(&oDlg), expected);
    }
}

void TestChanDlg::chanRecordReadsForm()
{
    CAddChanDlg oDlg;
    child<QSpinBox>(&oDlg, "oChanNumEdit")->setValue(4);
    child<QComboBox>(&oDlg, "oResolutionCombo")->setCurrentText(QStringLiteral("720P"));
    child<QLineEdit>(&oDlg, "oBitRateEdit")->setText(QStringLiteral("1000"));

    const CUIChanBean oBean = oDlg.chanRecord();
    QCOMPARE(oBean.m_lChanNum, 4);
    QCOMPARE(oBean.m_lChanId, -1);
    QCOMPARE(oBean.m_strChanName, QStringLiteral("IPC"));
    QCOMPARE(oBean.m_strResolution, QStringLiteral("720P"));
    QCOMPARE(oBean.m_strFrameRate, QStringLiteral("25"));
    QCOMPARE(oBean.m_lBitRate, 1000);
    QCOMPARE(oBean.m_lBestBitRate, 2048);
    QCOMPARE(oBean.m_lTotalBitRate, 4000);
    QCOMPARE(oBean.m_lEncFmt, 6);
}

void TestChanDlg::bitRateEditAcceptsDigitsOnly()
{
    CAddChanDlg oDlg;
    auto *pEdit = child<QLineEdit>(&oDlg, "oBitRateEdit");
    pEdit->clear();
    QTest::keyClicks(pEdit, QStringLiteral("12a3"));
    QCOMPARE(pEdit->text(), QStringLiteral("123"));
    pEdit->clear();
    QTest::keyClicks(pEdit, QStringLiteral("1234567"));
    QCOMPARE(pEdit->text(), QStringLiteral("12345"));
    pEdit->setText(QStringLiteral("0"));
    QVERIFY(!pEdit->hasAcceptableInput());
}

void TestChanDlg::okChecksRange_data()
{
    QTest::addColumn<bool>("modify");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");

    for (bool bModify : {false, true}) {
        const char *pszKind = bModify ? "modify " : "add ";
        QTest::addRow("%s127", pszKind) << bModify << "127" << false;
        QTest::addRow("%s128", pszKind) << bModify << "128" << true;
        QTest::addRow("%s16384", pszKind) << bModify << "16384" << true;
        QTest::addRow("%s16385", pszKind) << bModify << "16385" << false;
        QTest::addRow("%sempty", pszKind) << bModify << "" << false;
    }
}

void TestChanDlg::okChecksRange()
{
    QFETCH(bool, modify);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);

    QScopedPointer<CChanDlgBase> pDlg;
    if (modify)
        pDlg.reset(new CModifyChanDlg);
    else
        pDlg.reset(new CAddChanDlg);
    child<QLineEdit>(pDlg.data(), "oBitRateEdit")->setText(typed);

    // OK runs a note modally on top when the rate is out of range; a zero
    // timer set up before the click fires inside that note's event loop.
    QString strNote;
    QString strTitle;
    QTimer::singleShot(0, pDlg.data(), [&]() {
        QTimer::singleShot(0, pDlg.data(), [&]() {
            QWidget *pNote = DialogHelper::activeModal();
            if (pNote && pNote != pDlg.data()) {
                strTitle = pNote->windowTitle();
                strNote = pNote->findChild<QLabel *>(QStringLiteral("oMsgLabel"))->text();
                DialogHelper::clickButton(pNote, QStringLiteral("oCancelBtn"));
            }
        });
        DialogHelper::clickButton(pDlg.data(), QStringLiteral("oOkBtn"));
        if (pDlg->isVisible())
            DialogHelper::clickButton(pDlg.data(), QStringLiteral("oCancelBtn"));
    });
    const int lResult = pDlg->exec();

    QCOMPARE(lResult == QDialog::Accepted, accepted);
    if (accepted) {
        QVERIFY(strNote.isEmpty());
        QCOMPARE(pDlg->chanRecord().m_lBitRate, typed.toInt());
    } else {
        QCOMPARE(strTitle, QStringLiteral("信息"));
        QCOMPARE(strNote, modify ? QStringLiteral("码率范围：128~16384") : QStringLiteral("码率范围:128~16384"));
    }
    QTRY_VERIFY(DialogHelper::noModal());
}

void TestChanDlg::cancelRejects()
{
    CModifyChanDlg oDlg;
    QTimer::singleShot(0, &oDlg, [&]() { DialogHelper::clickButton(&oDlg, QStringLiteral("oCancelBtn")); });
    QCOMPARE(oDlg.exec(), int(QDialog::Rejected));
}

void TestChanDlg::modifyDialogOpensEmpty()
{
    CModifyChanDlg oDlg;
    QCOMPARE(oDlg.windowTitle(), QStringLiteral("修改通道"));
    QCOMPARE(child<QPushButton>(&oDlg, "oOkBtn")->text(), QStringLiteral("确定"));
    QCOMPARE(child<QComboBox>(&oDlg, "oResolutionCombo")->currentText(), QStringLiteral("1080P"));
    QCOMPARE(child<QComboBox>(&oDlg, "oEncFmtCombo")->currentText(), QStringLiteral("H.264"));
    QCOMPARE(child<QComboBox>(&oDlg, "oFrameRateCombo")->currentText(), QStringLiteral("25"));
    QVERIFY(bitRate(&oDlg).isEmpty());
    QVERIFY(best(&oDlg).isEmpty());
}

void TestChanDlg::modifyShowsH264Row()
{
    CUIChanBean oRow;
    oRow.m_lChanNum = 4;
    oRow.m_lChanId = 7;
    oRow.m_strChanName = QStringLiteral("4(IPC)");
    oRow.m_strResolution = QStringLiteral("D1");
    oRow.m_strFrameRate = QStringLiteral("8");
    oRow.m_lBitRate = 700;
    oRow.m_lBestBitRate = 512;
    oRow.m_lTotalBitRate = 2800;
    oRow.m_lEncFmt = 6;

    CModifyChanDlg oDlg;
    oDlg.setChanRecord(oRow);
    QCOMPARE(child<QSpinBox>(&oDlg, "oChanNumEdit")->value(), 4);
    QCOMPARE(child<QComboBox>(&oDlg, "oChanTypeCombo")->currentText(), QStringLiteral("IPC"));
    QCOMPARE(child<QComboBox>(&oDlg, "oResolutionCombo")->currentText(), QStringLiteral("D1"));
    QCOMPARE(child<QComboBox>(&oDlg, "oFrameRateCombo")->currentText(), QStringLiteral("8"));
    // The stored rates win over the recommendation the selections computed.
    QCOMPARE(bitRate(&oDlg), QStringLiteral("700"));
    QCOMPARE(best(&oDlg), QStringLiteral("512"));

    const CUIChanBean oBack = oDlg.chanRecord();
    QCOMPARE(oBack.m_lChanNum, 4);
    QCOMPARE(oBack.m_lBitRate, 700);
    QCOMPARE(oBack.m_lTotalBitRate, 2800);
    QCOMPARE(oBack.m_strResolution, QStringLiteral("D1"));
    QCOMPARE(oBack.m_strChanName, QStringLiteral("IPC"));
}

void TestChanDlg::modifyShowsMjpegRowAtFiveFps()
{
    CUIChanBean oRow;
    oRow.m_lChanNum = 2;
    oRow.m_strResolution = QStringLiteral("1080P");
    oRow.m_strFrameRate = QStringLiteral("3");
    oRow.m_lBitRate = 3000;
    oRow.m_lBestBitRate = 2048;
    oRow.m_lEncFmt = 3;

    CModifyChanDlg oDlg;
    oDlg.setChanRecord(oRow);
    auto *pRate = child<QComboBox>(&oDlg, "oFrameRateCombo");
    QCOMPARE(child<QComboBox>(&oDlg, "oEncFmtCombo")->currentText(), QStringLiteral("MJPEG"));
    QCOMPARE(items(pRate), QStringList({"1", "3", "5"}));
    QCOMPARE(pRate->currentText(), QStringLiteral("5"));
    QCOMPARE(bitRate(&oDlg), QStringLiteral("2048"));
    QCOMPARE(best(&oDlg), QStringLiteral("2048"));
}

void TestChanDlg::modifyKeepsSelectionForUnknownTexts()
{
    // An imported row: width*height text, a format code the list lacks.
    CUIChanBean oRow;
    oRow.m_lChanNum = 1;
    oRow.m_strChanName = QStringLiteral("1(NVR)");
    oRow.m_strResolution = QStringLiteral("2560*1440");
    oRow.m_strFrameRate = QStringLiteral("12");
    oRow.m_lBitRate = 5000;
    oRow.m_lEncFmt = 9;

    CModifyChanDlg oDlg;
    oDlg.setChanRecord(oRow);
    QCOMPARE(child<QComboBox>(&oDlg, "oResolutionCombo")->currentText(), QStringLiteral("1080P"));
    QCOMPARE(child<QComboBox>(&oDlg, "oFrameRateCombo")->currentText(), QStringLiteral("25"));
    QCOMPARE(child<QComboBox>(&oDlg, "oEncFmtCombo")->currentText(), QStringLiteral("H.264"));
    QCOMPARE(bitRate(&oDlg), QStringLiteral("5000"));
    QCOMPARE(best(&oDlg), QStringLiteral("0"));
}

QTEST_MAIN(TestChanDlg)
#include "tst_chandlg.moc"
