#include "imagesettingsform.h"

#include "liveplayer.h"
#include "mediareportbar.h"
#include "videowidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int kListPauseMs = 500;

QImage imageOf(const stVideoFrame &frame)
{
    // The image shares the frame's bytes and keeps them alive.
    auto *pData = new QByteArray(frame.data);
    return QImage(reinterpret_cast<const uchar *>(pData->constData()), frame.iWidth, frame.iHeight, frame.iStride,
                  QImage::Format_RGB32, [](void *p) { delete static_cast<QByteArray *>(p); }, pData);
}

} // namespace

CImageSettingsForm::CImageSettingsForm(QWidget *parent)
    : QWidget(parent)
    , m_pVideo(new CVideoWidget(this))
    , m_pLiveNote(new QLabel(this))
    , m_pRetry(new QPushButton(tr("重试"), this))
    , m_pUdp(new QCheckBox(tr("UDP传输"), this))
    , m_pFields(new QWidget(this))
    , m_pReport(new CMediaReportBar(this))
    , m_pPlayer(new CLivePlayer(this))
{
    setObjectName(QStringLiteral("oImageSettingsForm"));
    m_pVideo->setObjectName(QStringLiteral("oVideoWidget"));
    m_pVideo->setMinimumSize(320, 180);
    m_pVideo->setStyleSheet(QStringLiteral("background-color:black"));
    m_pLiveNote->setObjectName(QStringLiteral("oLiveNoteLabel"));
    m_pLiveNote->setWordWrap(true);
    m_pRetry->setObjectName(QStringLiteral("oRetryBtn"));
    m_pRetry->hide();
    connect(m_pRetry, &QPushButton::clicked, this, &CImageSettingsForm::retryLiveSlot);
    // Interleaved in the RTSP connection unless asked: it passes firewalls and NAT.
    m_pUdp->setObjectName(QStringLiteral("oUdpCheck"));
    m_pUdp->setToolTip(tr("通过UDP接收RTP视频，默认在RTSP连接(TCP)中传输"));
    connect(m_pUdp, &QCheckBox::toggled, this, &CImageSettingsForm::retryLiveSlot);
    auto *pRestore = new QPushButton(tr("恢复默认"), this);
    pRestore->setObjectName(QStringLiteral("oRestoreBtn"));
    connect(pRestore, &QPushButton::clicked, this, &CImageSettingsForm::restoreSlot);
    new QFormLayout(m_pFields);

    auto *pLive = new QVBoxLayout;
    pLive->addWidget(m_pVideo, 1);
    auto *pNote = new QHBoxLayout;
    pNote->addWidget(m_pLiveNote, 1);
    pNote->addWidget(m_pUdp);
    pNote->addWidget(m_pRetry);
    pLive->addLayout(pNote);
    auto *pSide = new QVBoxLayout;
    pSide->addWidget(m_pFields);
    pSide->addStretch();
    pSide->addWidget(pRestore, 0, Qt::AlignRight);
    auto *pTop = new QHBoxLayout;
    pTop->addLayout(pLive, 3);
    pTop->addLayout(pSide, 2);
    auto *pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pTop, 1);
    pLayout->addWidget(m_pReport);

    m_listPause.setSingleShot(true);
    m_listPause.setInterval(kListPauseMs);
    connect(&m_listPause, &QTimer::timeout, this, &CImageSettingsForm::writeSlot);
    connect(m_pPlayer, &CLivePlayer::sendFrameReadySignal, this, &CImageSettingsForm::frameReadySlot);
    connect(m_pPlayer, &CLivePlayer::sendStateSignal, this, &CImageSettingsForm::liveStateSlot);
}

CImageSettingsForm::~CImageSettingsForm()
{
    m_pPlayer->stop();
}

bool CImageSettingsForm::load(CMediaDevice *pDevice)
{
    m_pDevice = pDevice;
    retryLiveSlot();
    const QString strReason = pDevice->readImage(m_read, m_options);
    if (!strReason.isEmpty()) {
        m_pReport->report(tr("读取图像参数失败"), strReason);
        return false;
    }
    m_current = m_read;
    const stImageOptions &o = m_options;
    const stImageSettings &s = m_read;
    addSlider(tr("亮度"), QStringLiteral("oBrightnessSlider"), o.brightness, s.iBrightness);
    addSlider(tr("对比度"), QStringLiteral("oContrastSlider"), o.contrast, s.iContrast);
    addSlider(tr("饱和度"), QStringLiteral("oSaturationSlider"), o.saturation, s.iSaturation);
    addSlider(tr("锐度"), QStringLiteral("oSharpnessSlider"), o.sharpness, s.iSharpness);
    if (!o.listIrCut.isEmpty()) {
        QList<QPair<QString, QVariant>> listModes;
        const QHash<QString, QString> hashTitles = {{QStringLiteral("DAY"), tr("白天")},
                                                    {QStringLiteral("NIGHT"), tr("夜晚")},
                                                    {QStringLiteral("AUTO"), tr("自动")}};
        for (const QString &strMode : o.listIrCut)
            listModes.append({hashTitles.value(strMode, strMode), strMode});
        addCombo(tr("日夜切换"), QStringLiteral("oIrCutCombo"), listModes, s.strIrCut);
    }
    const QList<QPair<QString, QVariant>> listOnOff = {{tr("关闭"), false}, {tr("开启"), true}};
    const QList<QPair<QString, QVariant>> listAuto = {{tr("自动"), true}, {tr("手动"), false}};
    if (o.bBacklight) {
        addCombo(tr("背光补偿"), QStringLiteral("oBacklightCombo"), listOnOff, s.bBacklight);
        addSpin(tr("背光补偿等级"), QStringLiteral("oBacklightSpin"), o.backlightLevel, s.iBacklightLevel);
    }
    if (o.bWdr) {
        addCombo(tr("宽动态"), QStringLiteral("oWdrCombo"), listOnOff, s.bWdr);
        addSpin(tr("宽动态等级"), QStringLiteral("oWdrSpin"), o.wdrLevel, s.iWdrLevel);
    }
    if (o.bExposure) {
        addCombo(tr("曝光模式"), QStringLiteral("oExposureCombo"), listAuto, s.bExposureAuto);
        addSpin(tr("最短曝光时间(微秒)"), QStringLiteral("oExposureMinSpin"), o.exposureTime, s.iExposureMin);
        addSpin(tr("最长曝光时间(微秒)"), QStringLiteral("oExposureMaxSpin"), o.exposureTime, s.iExposureMax);
        addSpin(tr("最小增益"), QStringLiteral("oGainMinSpin"), o.gain, s.iGainMin);
        addSpin(tr("最大增益"), QStringLiteral("oGainMaxSpin"), o.gain, s.iGainMax);
    }
    if (o.bWhite) {
        addCombo(tr("白平衡"), QStringLiteral("oWhiteCombo"), listAuto, s.bWhiteAuto);
        addSpin(tr("红色增益"), QStringLiteral("oRedGainSpin"), o.redGain, s.iRedGain);
        addSpin(tr("蓝色增益"), QStringLiteral("oBlueGainSpin"), o.blueGain, s.iBlueGain);
    }
    return true;
}

QSlider *CImageSettingsForm::addSlider(const QString &strTitle, const QString &strName, const stIntRange &range,
                                       int iValue)
{
    if (!range.offered())
        return nullptr;
    auto *pSlider = new QSlider(Qt::Horizontal, m_pFields);
    pSlider->setObjectName(strName);
    pSlider->setRange(range.iMin, range.iMax);
    pSlider->setValue(iValue);
    connect(pSlider, &QSlider::sliderReleased, this, &CImageSettingsForm::writeSlot);
    // Keys and clicks on the groove move it without a drag: written at once too.
    connect(pSlider, &QSlider::valueChanged, this, [this, pSlider] {
        if (!pSlider->isSliderDown())
            writeSlot();
    });
    static_cast<QFormLayout *>(m_pFields->layout())->addRow(strTitle, pSlider);
    m_hashFields.insert(strName, pSlider);
    return pSlider;
}

QComboBox *CImageSettingsForm::addCombo(const QString &strTitle, const QString &strName,
                                        const QList<QPair<QString, QVariant>> &listItems, const QVariant &current)
{
    auto *pCombo = new QComboBox(m_pFields);
    pCombo->setObjectName(strName);
    for (const auto &item : listItems)
        pCombo->addItem(item.first, item.second);
    pCombo->setCurrentIndex(qMax(0, pCombo->findData(current)));
    connect(pCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), &m_listPause, QOverload<>::of(&QTimer::start));
    static_cast<QFormLayout *>(m_pFields->layout())->addRow(strTitle, pCombo);
    m_hashFields.insert(strName, pCombo);
    return pCombo;
}

QSpinBox *CImageSettingsForm::addSpin(const QString &strTitle, const QString &strName, const stIntRange &range,
                                      int iValue)
{
    auto *pSpin = new QSpinBox(m_pFields);
    pSpin->setObjectName(strName);
    pSpin->setRange(range.iMin, range.iMax);
    pSpin->setValue(iValue);
    connect(pSpin, &QSpinBox::editingFinished, this, &CImageSettingsForm::writeSlot);
    static_cast<QFormLayout *>(m_pFields->layout())->addRow(strTitle, pSpin);
    m_hashFields.insert(strName, pSpin);
    return pSpin;
}

stImageSettings CImageSettingsForm::formValues() const
{
    stImageSettings s = m_current;
    const auto slider = [this](const char *pszName, int &iValue) {
        if (auto *p = qobject_cast<QSlider *>(m_hashFields.value(QLatin1String(pszName))))
            iValue = p->value();
    };
    const auto spin = [this](const char *pszName, int &iValue) {
        if (auto *p = qobject_cast<QSpinBox *>(m_hashFields.value(QLatin1String(pszName))))
            iValue = p->value();
    };
    const auto flag = [this](const char *pszName, bool &bValue) {
        if (auto *p = qobject_cast<QComboBox *>(m_hashFields.value(QLatin1String(pszName))))
            bValue = p->currentData().toBool();
    };
    slider("oBrightnessSlider", s.iBrightness);
    slider("oContrastSlider", s.iContrast);
    slider("oSaturationSlider", s.iSaturation);
    slider("oSharpnessSlider", s.iSharpness);
    if (auto *p = qobject_cast<QComboBox *>(m_hashFields.value(QStringLiteral("oIrCutCombo"))))
        s.strIrCut = p->currentData().toString();
    flag("oBacklightCombo", s.bBacklight);
    spin("oBacklightSpin", s.iBacklightLevel);
    flag("oWdrCombo", s.bWdr);
    spin("oWdrSpin", s.iWdrLevel);
    flag("oExposureCombo", s.bExposureAuto);
    spin("oExposureMinSpin", s.iExposureMin);
    spin("oExposureMaxSpin", s.iExposureMax);
    spin("oGainMinSpin", s.iGainMin);
    spin("oGainMaxSpin", s.iGainMax);
    flag("oWhiteCombo", s.bWhiteAuto);
    spin("oRedGainSpin", s.iRedGain);
    spin("oBlueGainSpin", s.iBlueGain);
    return s;
}

void CImageSettingsForm::showValues(const stImageSettings &s)
{
    const QList<QPair<const char *, int>> listNumbers = {
        {"oBrightnessSlider", s.iBrightness}, {"oContrastSlider", s.iContrast},   {"oSaturationSlider", s.iSaturation},
        {"oSharpnessSlider", s.iSharpness},   {"oBacklightSpin", s.iBacklightLevel}, {"oWdrSpin", s.iWdrLevel},
        {"oExposureMinSpin", s.iExposureMin}, {"oExposureMaxSpin", s.iExposureMax}, {"oGainMinSpin", s.iGainMin},
        {"oGainMaxSpin", s.iGainMax},         {"oRedGainSpin", s.iRedGain},       {"oBlueGainSpin", s.iBlueGain}};
    for (const auto &number : listNumbers) {
        QWidget *pField = m_hashFields.value(QLatin1String(number.first));
        const QSignalBlocker blocker(pField);
        if (auto *pSlider = qobject_cast<QSlider *>(pField))
            pSlider->setValue(number.second);
        else if (auto *pSpin = qobject_cast<QSpinBox *>(pField))
            pSpin->setValue(number.second);
    }
    const QList<QPair<const char *, QVariant>> listChoices = {
        {"oIrCutCombo", s.strIrCut}, {"oBacklightCombo", s.bBacklight}, {"oWdrCombo", s.bWdr},
        {"oExposureCombo", s.bExposureAuto}, {"oWhiteCombo", s.bWhiteAuto}};
    for (const auto &choice : listChoices) {
        if (auto *pCombo = qobject_cast<QComboBox *>(m_hashFields.value(QLatin1String(choice.first)))) {
            const QSignalBlocker blocker(pCombo);
            pCombo->setCurrentIndex(qMax(0, pCombo->findData(choice.second)));
        }
    }
}

void CImageSettingsForm::write(const stImageSettings &settings, const QString &strWhat)
{
    if (!m_pDevice || settings == m_current)
        return;
    if (settings.iExposureMin > settings.iExposureMax || settings.iGainMin > settings.iGainMax) {
        m_pReport->report(strWhat, tr("最小值不能大于最大值"));
        showValues(m_current);
        return;
    }
    const QString strReason = m_pDevice->writeImage(settings);
    if (!strReason.isEmpty()) {
        // The page shows what the camera still has.
        showValues(m_current);
        m_pReport->report(strWhat, strReason);
        return;
    }
    m_current = settings;
    m_pReport->report(strWhat);
}

void CImageSettingsForm::writeSlot()
{
    m_listPause.stop();
    write(formValues(), tr("设置图像参数"));
}

void CImageSettingsForm::restoreSlot()
{
    m_listPause.stop();
    if (!m_pDevice || m_options.strDefaultPreset.isEmpty()) {
        showValues(m_read);
        write(m_read, tr("恢复默认"));
        return;
    }
    QString strReason = m_pDevice->applyPreset(m_options.strDefaultPreset);
    stImageSettings now;
    stImageOptions options;
    if (strReason.isEmpty())
        strReason = m_pDevice->readImage(now, options);
    if (!strReason.isEmpty()) {
        showValues(m_current);
        m_pReport->report(tr("恢复默认"), strReason);
        return;
    }
    m_current = now;
    showValues(m_current);
    m_pReport->report(tr("恢复默认"));
}

void CImageSettingsForm::retryLiveSlot()
{
    m_pRetry->hide();
    stLiveSource source;
    const QString strReason = m_pDevice ? m_pDevice->liveSource(0, source) : QString();
    if (!strReason.isEmpty()) {
        liveStateSlot(CLivePlayer::Failed, tr("无法获取实时视频地址：%1").arg(strReason));
        return;
    }
    source.bUdp = m_pUdp->isChecked();
    m_pPlayer->start(source);
}

void CImageSettingsForm::frameReadySlot()
{
    stVideoFrame frame;
    if (m_pPlayer->takeFrame(frame))
        m_pVideo->showFrame(imageOf(frame));
}

void CImageSettingsForm::liveStateSlot(int iState, const QString &strText)
{
    m_pLiveNote->setText(strText);
    m_pRetry->setVisible(iState == CLivePlayer::Lost || iState == CLivePlayer::Failed);
}
