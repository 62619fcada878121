#include "dialoghelper.h"
#include "msgdlg.h"
#include "waitdlg.h"

#include <QApplication>
#include <QLabel>
#include <QMovie>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

class TestMsgDlg : public QObject
{
    Q_OBJECT

private slots:
    void kindsDecideIconAndButtons_data();
    void kindsDecideIconAndButtons();
    void resultIsOneOnlyForOk_data();
    void resultIsOneOnlyForOk();
    void escapeRejectsQuestion();
    void buttonTextsCanBeReplaced();
    void longTextWrapsInFixedSize();
    void showMsgSurvivesParentDeletion();
    void askQuestionReportsConfirmation();
    void queuedAnswersReplyWithoutShowing();

    void waitOverlaySetup();
    void waitOverlayIgnoresKeys();
    void waitOverlayDeletesItselfOnClose();
    void drawnOverlayCoversOwnerWindow();
    void messageTextCanBeCopied();
};

void TestMsgDlg::kindsDecideIconAndButtons_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("image");
    QTest::addColumn<bool>("okShown");
    QTest::addColumn<QString>("cancelText");

    QTest::newRow("query") << int(MsgQuery) << "msg_query.png" << true << QStringLiteral("取消");
    QTest::newRow("note") << int(MsgNote) << "msg_note.png" << false << QStringLiteral("关闭");
    QTest::newRow("warning") << int(MsgWarning) << "msg_warning.png" << false << QStringLiteral("关闭");
    QTest::newRow("error") << int(MsgError) << "msg_error.png" << false << QStringLiteral("关闭");
    QTest::newRow("beyond range") << 4 << "msg_error.png" << false << QStringLiteral("关闭");
    QTest::newRow("negative") << -1 << "msg_error.png" << false << QStringLiteral("关闭");
}

void TestMsgDlg::kindsDecideIconAndButtons()
{
    QFETCH(int, kind);
    QFETCH(QString, image);
    QFETCH(bool, okShown);
    QFETCH(QString, cancelText);

    CMsgDlg dlg(QStringLiteral("信息"), QStringLiteral("text"), kind);
    dlg.show();
    auto *pIcon = dlg.findChild<QLabel *>(QStringLiteral("oMsgImgLabel"));
    QVERIFY(pIcon);
    QCOMPARE(pIcon->styleSheet(),
             QStringLiteral("QLabel#oMsgImgLabel {background-image:url(:/images/%1);}").arg(image));
    QVERIFY(!QPixmap(QStringLiteral(":/images/") + image).isNull());
    QCOMPARE(dlg.findChild<QPushButton *>(QStringLiteral("oOkBtn"))->isVisible(), okShown);
    auto *pCancel = dlg.findChild<QPushButton *>(QStringLiteral("oCancelBtn"));
    QVERIFY(pCancel->isVisible());
    QCOMPARE(pCancel->text(), cancelText);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("信息"));
    QCOMPARE(dlg.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint),
             Qt::WindowCloseButtonHint);
}

void TestMsgDlg::resultIsOneOnlyForOk_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");

    QTest::newRow("query ok") << int(MsgQuery) << "oOkBtn" << 1;
    QTest::newRow("query cancel") << int(MsgQuery) << "oCancelBtn" << 0;
    QTest::newRow("note close") << int(MsgNote) << "oCancelBtn" << 0;
    QTest::newRow("error close") << int(MsgError) << "oCancelBtn" << 0;
}

void TestMsgDlg::resultIsOneOnlyForOk()
{
    QFETCH(int, kind);
    QFETCH(QString, button);
    QFETCH(int, result);

    auto seen = DialogHelper::clickOnModal(button);
    QCOMPARE(CMsgDlg::showMsg(QStringLiteral("信息"), QStringLiteral("问题"), kind), result);
    QVERIFY(seen->done);
    QCOMPARE(seen->className, QStringLiteral("CMsgDlg"));
    QCOMPARE(seen->text, QStringLiteral("问题"));
    QTRY_VERIFY(DialogHelper::noModal());
}

void TestMsgDlg::escapeRejectsQuestion()
{
    auto seen = DialogHelper::onNextModal([](QWidget *pDlg) { QTest::keyClick(pDlg, Qt::Key_Escape); });
    QCOMPARE(CMsgDlg::showMsg(QStringLiteral("信息"), QStringLiteral("问题"), MsgQuery), 0);
    QVERIFY(seen->done);

    // The caption's close button goes through close(): also a rejection.
    seen = DialogHelper::onNextModal([](QWidget *pDlg) { pDlg->close(); });
    QCOMPARE(CMsgDlg::showMsg(QStringLiteral("信息"), QStringLiteral("问题"), MsgQuery), 0);
    QVERIFY(seen->done);
}

void TestMsgDlg::buttonTextsCanBeReplaced()
{
    CMsgDlg dlg(QStringLiteral("信息"), QStringLiteral("真的需要退出吗?"), MsgQuery);
    dlg.setButtonTexts(QStringLiteral("是"), QStringLiteral("否"));
    QCOMPARE(dlg.findChild<QPushButton *>(QStringLiteral("oOkBtn"))->text(), QStringLiteral("是"));
    QCOMPARE(dlg.findChild<QPushButton *>(QStringLiteral("oCancelBtn"))->text(), QStringLiteral("否"));
}

void TestMsgDlg::longTextWrapsInFixedSize()
{
    const QString strLong = QStringLiteral("很长的消息，").repeated(60);
    CMsgDlg dlg(QStringLiteral("错误"), strLong, MsgError);
    dlg.show();
    QCOMPARE(dlg.size(), QSize(380, 200));
    dlg.adjustSize();
    QCOMPARE(dlg.size(), QSize(380, 200));
    auto *pLabel = dlg.findChild<QLabel *>(QStringLiteral("oMsgLabel"));
    QVERIFY(pLabel->wordWrap());
    QVERIFY(pLabel->width() < 380);
}

void TestMsgDlg::showMsgSurvivesParentDeletion()
{
    auto *pParent = new QWidget;
    pParent->show();
    auto seen = DialogHelper::onNextModal([pParent](QWidget *) { delete pParent; });
    QCOMPARE(CMsgDlg::showMsg(QStringLiteral("信息"), QStringLiteral("x"), MsgNote, pParent), 0);
    QVERIFY(seen->done);
    QTRY_VERIFY(DialogHelper::noModal());
}

void TestMsgDlg::askQuestionReportsConfirmation()
{
    DialogHelper::clickOnModal(QStringLiteral("oOkBtn"));
    QVERIFY(CMsgDlg::askQuestion(QStringLiteral("信息"), QStringLiteral("问题")));
    DialogHelper::clickOnModal(QStringLiteral("oCancelBtn"));
    QVERIFY(!CMsgDlg::askQuestion(QStringLiteral("信息"), QStringLiteral("问题")));
}

void TestMsgDlg::waitOverlaySetup()
{
    QWidget owner;
    owner.resize(600, 400);
    owner.show();
    auto *pWait = new CWaitDlg(&owner);
    QCOMPARE(pWait->objectName(), QStringLiteral("CWaitDlg"));
    QVERIFY(pWait->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(pWait->testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(pWait->testAttribute(Qt::WA_DeleteOnClose));
    pWait->setModal(true);
    pWait->show();
    QCOMPARE(QApplication::activeModalWidget(), pWait);

    auto *pLabel = pWait->findChild<QLabel *>();
    QVERIFY(pLabel);
    QCOMPARE(pLabel->geometry(), QRect(150, 100, 100, 100));
    QMovie *pMovie = pLabel->movie();
    QVERIFY(pMovie);
    QVERIFY2(pMovie->isValid(), "the GIF image-format plug-in is missing");
    QCOMPARE(pMovie->state(), QMovie::Running);
    QVERIFY(pMovie->frameCount() > 1);
    QCOMPARE(pMovie->currentImage().size(), QSize(100, 100));
    pWait->close();
    QTRY_VERIFY(DialogHelper::noModal());
}

void TestMsgDlg::waitOverlayIgnoresKeys()
{
    QWidget owner;
    owner.show();
    QPointer<CWaitDlg> pWait = new CWaitDlg(&owner);
    pWait->setModal(true);
    pWait->show();
    QTest::keyClick(pWait, Qt::Key_Escape);
    QTest::keyClick(pWait, Qt::Key_Return);
    QTest::keyClick(pWait, Qt::Key_A);
    QCoreApplication::processEvents();
    QVERIFY(pWait);
    QVERIFY(pWait->isVisible());
    pWait->close();
}

void TestMsgDlg::waitOverlayDeletesItselfOnClose()
{
    QWidget owner;
    owner.show();
    QPointer<CWaitDlg> pWait = new CWaitDlg(&owner);
    QPointer<QMovie> pMovie = pWait->findChild<QMovie *>();
    QSignalSpy finished(pWait.data(), &QDialog::finished);
    pWait->setModal(true);
    pWait->show();
    QVERIFY(pWait->close());
    QTRY_VERIFY(pWait.isNull());
    QVERIFY(pMovie.isNull());
    QCOMPARE(finished.count(), 0);
}

void TestMsgDlg::drawnOverlayCoversOwnerWindow()
{
    // Without translucent windows the overlay is a child of the owner's window.
    QWidget window;
    window.resize(600, 400);
    auto *pOwner = new QWidget(&window);
    pOwner->setGeometry(10, 10, 200, 100);
    window.show();
    QPointer<CWaitDlg> pWait = new CWaitDlg(pOwner, CWaitDlg::ModeOverlay);
    QVERIFY(pWait->isDrawnOverlay());
    QVERIFY(!pWait->isWindow());
    QCOMPARE(pWait->parentWidget(), &window);
    pWait->show();
    QCOMPARE(pWait->geometry(), window.rect());
    QCOMPARE(pWait->findChild<QLabel *>()->geometry(), QRect(250, 150, 100, 100));

    window.resize(800, 500);
    QTRY_COMPARE(pWait->geometry(), QRect(0, 0, 800, 500));
    QCOMPARE(pWait->findChild<QLabel *>()->geometry(), QRect(350, 200, 100, 100));

    // The window underneath shows through, dimmed.
    const QImage img = pWait->grab().toImage();
    const QColor px = img.pixelColor(5, 5);
    QVERIFY(px.alpha() == 255 || px.alpha() == 70);
    QVERIFY(px != QColor(Qt::black));

    QTest::keyClick(pWait, Qt::Key_Escape);
    QVERIFY(pWait && pWait->isVisible());
    pWait->close();
    QTRY_VERIFY(pWait.isNull());
}

void TestMsgDlg::messageTextCanBeCopied()
{
    CMsgDlg dlg(QStringLiteral("T"), QStringLiteral("http://127.0.0.1"), MsgError);
    auto *pLabel = dlg.findChild<QLabel *>(QStringLiteral("oMsgLabel"));
    QVERIFY(pLabel);
    QVERIFY(pLabel->textInteractionFlags() & Qt::TextSelectableByMouse);
}

void TestMsgDlg::queuedAnswersReplyWithoutShowing()
{
    CMsgDlg::setNextAnswer(QDialog::Accepted);
    CMsgDlg::setNextAnswer(QDialog::Rejected);
    QVERIFY(CMsgDlg::askQuestion(QStringLiteral("T1"), QStringLiteral("first?")));
    QVERIFY(!CMsgDlg::askQuestion(QStringLiteral("T2"), QStringLiteral("second?")));
    QCOMPARE(CMsgDlg::queuedAnswers(), 0);
    const QList<CMsgDlg::stAnswered> listAnswered = CMsgDlg::takeAnswered();
    QCOMPARE(listAnswered.size(), 2);
    QCOMPARE(listAnswered.at(0).title, QStringLiteral("T1"));
    QCOMPARE(listAnswered.at(1).text, QStringLiteral("second?"));
    QCOMPARE(listAnswered.at(1).kind, int(MsgQuery));

    // A dialog built by hand answers through exec() as well, with its own texts.
    CMsgDlg::setNextAnswer(QDialog::Accepted);
    CMsgDlg dlg(QStringLiteral("T4"), QStringLiteral("exit?"), MsgNote);
    dlg.setButtonTexts(QStringLiteral("yes"), QStringLiteral("no"));
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(CMsgDlg::takeAnswered().at(0).kind, int(MsgNote));
    // Taking forgets answers nobody used.
    CMsgDlg::setNextAnswer(QDialog::Accepted);
    CMsgDlg::takeAnswered();
    QCOMPARE(CMsgDlg::queuedAnswers(), 0);
}

QTEST_MAIN(TestMsgDlg)
#include "tst_msgdlg.moc"
