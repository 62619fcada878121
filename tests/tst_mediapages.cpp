// The encoding and image pages of a simulated ONVIF camera, end to end:
// what the pages write reaches the camera's stream, a refused write leaves
// the camera as it was, the live picture comes and follows the settings,
// and a stream that stops says so.
#include "cap_calculateform.h"
#include "cap_showonlinedevdlg.h"
#include "onlinechanmodelex.h"
#include "devsession.h"
#include "imagesettingsform.h"
#include "mediaaccess.h"
#include "mediareportbar.h"
#include "simfleetprocess.h"
#include "streamencodingform.h"
#include "uidevicebean.h"
#include "videowidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kIp = QStringLiteral("127.150.0.10");

double meanLuma(const QImage &image)
{
    // Below the time stamp row along the top edge.
    double dSum = 0;
    int iCount = 0;
    for (int y = image.height() / 4; y < image.height(); y += 7) {
        for (int x = 0; x < image.width(); x += 7) {
            dSum += qGray(image.pixel(x, y));
            ++iCount;
        }
    }
    return iCount ? dSum / iCount : 0;
}

} // namespace

class TestMediaPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void encodingSaveReachesTheStream();
    void refusedStreamPutsWrittenStreamsBack();
    void livePictureFollowsBrightness();
    void restoreUsesCameraDefaultPreset();
    void livePictureOverUdp();
    void capacityImportReadsMainStream();
    void cliReadsStreamsAndSnapshot();
    void stoppedStreamShowsNoticeWithRetry();

private:
    std::unique_ptr<CMediaDevice> device() const;

    QScopedPointer<SimFleetProcess> m_pSim;
};

void TestMediaPages::initTestCase()
{
    qputenv("CORVANE_LOOPBACK_ONLY", "1");
    m_pSim.reset(new SimFleetProcess({QStringLiteral("--onvif"), QStringLiteral("1"), QStringLiteral("--first"), kIp,
                                      QStringLiteral("--onvif-refuse-encoder"), QStringLiteral("2"),
                                      QStringLiteral("--onvif-imaging-presets")}));
    CORVANE_START_SIMULATOR(*m_pSim);
}

void TestMediaPages::cleanupTestCase()
{
    if (m_pSim)
        m_pSim->stop();
}

std::unique_ptr<CMediaDevice> TestMediaPages::device() const
{
    CUIDeviceBean dev;
    dev.m_strIp = kIp;
    dev.m_strProtocol = QStringLiteral("onvif");
    dev.m_strXAddr = QStringLiteral("http://%1:8080/onvif/device_service").arg(kIp);
    dev.m_strUserName = QStringLiteral("admin");
    dev.m_strPassword = QStringLiteral("vorpe");
    return DevSession::mediaDevice(dev);
}

void TestMediaPages::encodingSaveReachesTheStream()
{
    std::unique_ptr<CMediaDevice> pDevice = device();
    CStreamEncodingForm form;
    QVERIFY(form.load(pDevice.get()));
    QCOMPARE(form.streams().size(), 3);
    // A bit rate typed beyond the camera's range is refused whole, with the range, not cut to fewer digits.
    auto *pBitrate = form.findChild<QSpinBox *>(QStringLiteral("oBitrateSpin0"));
    const int iBitrateBefore = pBitrate->value();
    auto *pBitrateEdit = pBitrate->findChild<QLineEdit *>();
    pBitrateEdit->selectAll();
    QTest::keyClicks(pBitrateEdit, QString::number(pBitrate->maximum() + 1));
    QTest::keyClick(pBitrate, Qt::Key_Return);
    QCOMPARE(pBitrate->value(), iBitrateBefore);
    QVERIFY2(form.findChild<CMediaReportBar *>()->text().contains(QString::number(pBitrate->maximum())),
             qPrintable(form.findChild<CMediaReportBar *>()->text()));
    // H.265, which the next tests' live picture then plays.
    form.findChild<QComboBox *>(QStringLiteral("oEncodingCombo0"))->setCurrentText(QStringLiteral("H265"));
    auto *pResolution = form.findChild<QComboBox *>(QStringLiteral("oResolutionCombo0"));
    pResolution->setCurrentText(QStringLiteral("1280x720"));
    form.findChild<QSpinBox *>(QStringLiteral("oFpsSpin0"))->setValue(15);
    form.findChild<QSpinBox *>(QStringLiteral("oBitrateSpin0"))->setValue(1024);
    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("oSaveBtn")), Qt::LeftButton);
    QCOMPARE(form.findChild<CMediaReportBar *>()->text(), QStringLiteral("保存成功"));

    // FFmpeg's own probe reads what the page wrote from the camera's stream.
    stLiveSource source;
    QCOMPARE(pDevice->liveSource(0, source), QString());
    QUrl url = source.urlStream;
    url.setUserName(QStringLiteral("admin"));
    url.setPassword(QStringLiteral("vorpe"));
    QProcess probe;
    probe.start(QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-rtsp_transport"),
                                            QStringLiteral("tcp"), QStringLiteral("-show_streams"), QStringLiteral("-of"),
                                            QStringLiteral("json"), url.toString()});
    QVERIFY2(probe.waitForFinished(20000), "ffprobe did not finish");
    const QJsonObject stream =
        QJsonDocument::fromJson(probe.readAllStandardOutput()).object().value(QStringLiteral("streams")).toArray().first().toObject();
    QCOMPARE(stream.value(QStringLiteral("codec_name")).toString(), QStringLiteral("hevc"));
    QCOMPARE(stream.value(QStringLiteral("width")).toInt(), 1280);
    QCOMPARE(stream.value(QStringLiteral("height")).toInt(), 720);
    QCOMPARE(stream.value(QStringLiteral("r_frame_rate")).toString(), QStringLiteral("15/1"));
}

void TestMediaPages::refusedStreamPutsWrittenStreamsBack()
{
    std::unique_ptr<CMediaDevice> pDevice = device();
    CStreamEncodingForm form;
    QVERIFY(form.load(pDevice.get()));
    const QVector<stStreamEncoding> vecBefore = form.streams();
    // The main stream is written first; the camera refuses the sub stream.
    form.findChild<QSpinBox *>(QStringLiteral("oBitrateSpin0"))->setValue(vecBefore[0].iBitrate + 100);
    form.findChild<QSpinBox *>(QStringLiteral("oBitrateSpin1"))->setValue(vecBefore[1].iBitrate + 100);
    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("oSaveBtn")), Qt::LeftButton);
    const QString strReport = form.findChild<CMediaReportBar *>()->text();
    QVERIFY2(strReport.contains(QStringLiteral("子码流")) && strReport.contains(QStringLiteral("busy")), qPrintable(strReport));

    QVector<stStreamEncoding> vecAfter;
    QVector<stStreamOptions> vecOptions;
    QCOMPARE(device()->readStreams(vecAfter, vecOptions), QString());
    QCOMPARE(vecAfter[0].iBitrate, vecBefore[0].iBitrate);
    QCOMPARE(vecAfter[1].iBitrate, vecBefore[1].iBitrate);
}

void TestMediaPages::livePictureFollowsBrightness()
{
    std::unique_ptr<CMediaDevice> pDevice = device();
    CImageSettingsForm form;
    QVERIFY(form.load(pDevice.get()));
    QTRY_VERIFY_WITH_TIMEOUT(!form.video()->frame().isNull(), 10000);
    const double dBefore = meanLuma(form.video()->frame());

    auto *pBrightness = form.findChild<QSlider *>(QStringLiteral("oBrightnessSlider"));
    pBrightness->setValue(95);
    QCOMPARE(form.settings().iBrightness, 95);
    QTRY_VERIFY_WITH_TIMEOUT(meanLuma(form.video()->frame()) > dBefore + 30, 10000);
}

void TestMediaPages::restoreUsesCameraDefaultPreset()
{
    std::unique_ptr<CMediaDevice> pDevice = device();
    stImageSettings settings;
    stImageOptions options;
    QCOMPARE(pDevice->readImage(settings, options), QString());
    settings.iBrightness = 70;
    settings.bWdr = true;
    QCOMPARE(pDevice->writeImage(settings), QString());

    // The page opens on the changed values; restore brings the camera's own defaults, not those.
    CImageSettingsForm form;
    QVERIFY(form.load(pDevice.get()));
    QCOMPARE(form.settings().iBrightness, 70);
    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("oRestoreBtn")), Qt::LeftButton);
    QCOMPARE(form.findChild<CMediaReportBar *>()->text(), QStringLiteral("恢复默认"));
    QCOMPARE(form.findChild<QSlider *>(QStringLiteral("oBrightnessSlider"))->value(), 50);
    QCOMPARE(form.findChild<QComboBox *>(QStringLiteral("oWdrCombo"))->currentData().toBool(), false);
    QCOMPARE(device()->readImage(settings, options), QString());
    QCOMPARE(settings.iBrightness, 50);
    QCOMPARE(settings.bWdr, false);
}

void TestMediaPages::livePictureOverUdp()
{
    std::unique_ptr<CMediaDevice> pDevice = device();
    CImageSettingsForm form;
    QVERIFY(form.load(pDevice.get()));
    QTRY_VERIFY_WITH_TIMEOUT(!form.video()->frame().isNull(), 10000);
    form.findChild<QCheckBox *>(QStringLiteral("oUdpCheck"))->setChecked(true);
    form.video()->showFrame(QImage());
    QTRY_VERIFY_WITH_TIMEOUT(!form.video()->frame().isNull(), 10000);
    QVERIFY(form.findChild<QPushButton *>(QStringLiteral("oRetryBtn"))->isHidden());
}

void TestMediaPages::capacityImportReadsMainStream()
{
    CUIDeviceBean dev;
    dev.m_lDevId = 1;
    dev.m_strIp = kIp;
    dev.m_strProtocol = QStringLiteral("onvif");
    dev.m_strXAddr = QStringLiteral("http://%1:8080/onvif/device_service").arg(kIp);
    dev.m_strUserName = QStringLiteral("admin");
    dev.m_strPassword = QStringLiteral("vorpe");
    DevSession::loginOnvif(dev);
    QCOMPARE(dev.m_lStatus, qint32(DevStatusLogged));
    QVector<stStreamEncoding> vecStreams;
    QVector<stStreamOptions> vecOptions;
    QCOMPARE(device()->readStreams(vecStreams, vecOptions), QString());

    CCapCalculateForm form;
    QList<CUIDeviceBean> list{dev};
    emit form.sendDev2DlgSignal(list);
    // Listed as the device tab lists it, protocol first.
    COnlineChanModelEx *pListed = form.onlineDevDlg()->model();
    const QString strModel = pListed->data(pListed->index(0, COnlineChanModelEx::ColModel)).toString();
    QVERIFY(strModel.startsWith(QLatin1String("ONVIF")));
    const auto *pView = form.onlineDevDlg()->findChild<QTableView *>();
    QVERIFY(pView->fontMetrics().horizontalAdvance(strModel) < pView->columnWidth(COnlineChanModelEx::ColModel));
    pListed->checkedList() = {1};
    form.onlineDevDlg()->findChild<QPushButton *>(QStringLiteral("oAddBtn"))->click();
    QCOMPARE(form.chanList().size(), 1);
    const CUIChanBean &chan = form.chanList().first();
    const stStreamEncoding &main = vecStreams.first();
    QCOMPARE(chan.m_lBitRate, main.iBitrate);
    QCOMPARE(chan.m_strFrameRate, QString::number(main.iFps));
    QCOMPARE(chan.m_lEncFmt, 0); // H.265 has no code in the calculator
    // The test picture's 1280x720, as the encoding page left it, has a label.
    QCOMPARE(QSize(main.iWidth, main.iHeight), QSize(1280, 720));
    QCOMPARE(chan.m_strResolution, QStringLiteral("720P"));
}

void TestMediaPages::cliReadsStreamsAndSnapshot()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto run = [](const QStringList &listArgs, QByteArray &baOut) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CORVANE_LOOPBACK_ONLY"), QStringLiteral("1"));
        env.insert(QStringLiteral("CORVANE_PASSWORD"), QStringLiteral("vorpe"));
        env.remove(QStringLiteral("CORVANE_LANG"));
        process.setProcessEnvironment(env);
        process.setStandardInputFile(QProcess::nullDevice());
        process.start(QStringLiteral(CORVANE_CLI), listArgs);
        if (!process.waitForFinished(30000))
            return -1;
        baOut = process.readAllStandardOutput();
        if (process.exitCode() != 0)
            qWarning() << process.readAllStandardError();
        return process.exitCode();
    };
    QVector<stStreamEncoding> vecStreams;
    QVector<stStreamOptions> vecOptions;
    QCOMPARE(device()->readStreams(vecStreams, vecOptions), QString());

    QByteArray baOut;
    QCOMPARE(run({QStringLiteral("encoding"), QStringLiteral("--user"), QStringLiteral("admin"), QStringLiteral("--format"),
                  QStringLiteral("json"), kIp},
                 baOut),
             0);
    const QJsonArray array = QJsonDocument::fromJson(baOut).array();
    QCOMPARE(array.size(), vecStreams.size());
    const QJsonObject main = array.first().toObject();
    QCOMPARE(main.value(QStringLiteral("stream")).toString(), QStringLiteral("main"));
    QCOMPARE(main.value(QStringLiteral("encoding")).toString(), vecStreams[0].strEncoding);
    QCOMPARE(main.value(QStringLiteral("width")).toInt(), vecStreams[0].iWidth);
    QCOMPARE(main.value(QStringLiteral("height")).toInt(), vecStreams[0].iHeight);
    QCOMPARE(main.value(QStringLiteral("fps")).toInt(), vecStreams[0].iFps);
    QCOMPARE(main.value(QStringLiteral("bitrate")).toInt(), vecStreams[0].iBitrate);
    QCOMPARE(main.value(QStringLiteral("gop")).toInt(), vecStreams[0].iGop);
    QCOMPARE(array.at(1).toObject().value(QStringLiteral("stream")).toString(), QStringLiteral("sub"));

    const QString strJpeg = dir.filePath(QStringLiteral("now.jpg"));
    QCOMPARE(run({QStringLiteral("snapshot"), QStringLiteral("--user"), QStringLiteral("admin"), QStringLiteral("--out"),
                  strJpeg, kIp},
                 baOut),
             0);
    QFile jpeg(strJpeg);
    QVERIFY(jpeg.open(QIODevice::ReadOnly));
    QVERIFY(jpeg.read(3) == QByteArray("\xFF\xD8\xFF"));
}

void TestMediaPages::stoppedStreamShowsNoticeWithRetry()
{
    std::unique_ptr<CMediaDevice> pDevice = device();
    CImageSettingsForm form;
    QVERIFY(form.load(pDevice.get()));
    QTRY_VERIFY_WITH_TIMEOUT(!form.video()->frame().isNull(), 10000);
    auto *pRetry = form.findChild<QPushButton *>(QStringLiteral("oRetryBtn"));
    QVERIFY(pRetry->isHidden());

    m_pSim->stop();
    QTRY_VERIFY_WITH_TIMEOUT(!pRetry->isHidden(), 10000);
    QVERIFY(form.findChild<QLabel *>(QStringLiteral("oLiveNoteLabel"))->text().contains(QStringLiteral("中断")));
}

QTEST_MAIN(TestMediaPages)
#include "tst_mediapages.moc"
