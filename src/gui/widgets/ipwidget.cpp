#include "ipwidget.h"
#include "ippartlineedit.h"

#include "ipv4.h"

#include <QLabel>

namespace {

QLabel *makeDotLabel(QWidget *parent, int x)
{
    auto *pLabel = new QLabel(QStringLiteral("."), parent);
    pLabel->setAlignment(Qt::AlignCenter);
    pLabel->setGeometry(x, 1, 6, 18);
    return pLabel;
}

} // namespace

IpWidget::IpWidget(QWidget *parent)
    : QWidget(parent)
    , m_pIpPart1(new IpPartLineEdit(this))
    , m_pIpPart2(new IpPartLineEdit(this))
    , m_pIpPart3(new IpPartLineEdit(this))
    , m_pIpPart4(new IpPartLineEdit(this))
    , m_pDotLabel1(makeDotLabel(this, 37))
    , m_pDotLabel2(makeDotLabel(this, 77))
    , m_pDotLabel3(makeDotLabel(this, 117))
{
    IpPartLineEdit *parts[] = {m_pIpPart1, m_pIpPart2, m_pIpPart3, m_pIpPart4};
    for (int i = 0; i < 4; ++i) {
        parts[i]->setGeometry(40 * i, 0, 40, 20);
        if (i < 3) {
            parts[i]->setNextTabEdit(parts[i + 1]);
            setTabOrder(parts[i], parts[i + 1]);
        }
        connect(parts[i], &QLineEdit::textChanged, this, &IpWidget::textChangedSlot);
        connect(parts[i], &QLineEdit::textEdited, this, &IpWidget::textEditedSlot);
        connect(parts[i], &QLineEdit::textEdited, parts[i], &IpPartLineEdit::text_edited);
    }
}

QString IpWidget::text() const
{
    const int n1 = m_pIpPart1->text().toInt();
    if (n1 == 0)
        return QString();
    return QStringLiteral("%1.%2.%3.%4")
        .arg(n1)
        .arg(m_pIpPart2->text().toInt())
        .arg(m_pIpPart3->text().toInt())
        .arg(m_pIpPart4->text().toInt());
}

void IpWidget::setText(const QString &strAddress)
{
    if (!Ipv4::isValid(strAddress)) {
        setPartsText(QString());
        return;
    }
    const QStringList listParts = strAddress.split(QLatin1Char('.'));
    m_pIpPart1->setText(listParts.at(0));
    m_pIpPart2->setText(listParts.at(1));
    m_pIpPart3->setText(listParts.at(2));
    m_pIpPart4->setText(listParts.at(3));
}

void IpWidget::setPartsText(const QString &strText)
{
    m_pIpPart1->setText(strText);
    m_pIpPart2->setText(strText);
    m_pIpPart3->setText(strText);
    m_pIpPart4->setText(strText);
}

void IpWidget::textChangedSlot(const QString &)
{
    emit textChanged(rawText());
}

void IpWidget::textEditedSlot(const QString &)
{
    emit textEdited(rawText());
}

QString IpWidget::rawText() const
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(m_pIpPart1->text(), m_pIpPart2->text(), m_pIpPart3->text(), m_pIpPart4->text());
}
