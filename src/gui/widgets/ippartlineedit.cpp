#include "ippartlineedit.h"

#include "ipv4.h"

#include <QIntValidator>
#include <QKeyEvent>
#include <QRegExpValidator>
#include <QTimer>

IpPartLineEdit::IpPartLineEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setMaxLength(3);
    setFrame(false);
    setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    setValidator(new QRegExpValidator(QRegExp(Ipv4::octetPattern()), this));
}

void IpPartLineEdit::setNextTabEdit(IpPartLineEdit *pNext)
{
    m_pNextTabEdit = pNext;
}

void IpPartLineEdit::text_edited(const QString &text)
{
    QIntValidator validator(0, 255);
    QString strText = text;
    int nPos = 0;
    if (validator.validate(strText, nPos) != QValidator::Acceptable)
        return;
    if ((text.size() == 3 || (text.size() == 2 && text.toInt() >= 26)) && m_pNextTabEdit) {
        focusNext();
        m_pNextTabEdit->m_bEnteredByAdvance = true;
    }
}

void IpPartLineEdit::keyPressEvent(QKeyEvent *event)
{
    const bool bEnteredByAdvance = m_bEnteredByAdvance;
    m_bEnteredByAdvance = false;
    if (event->key() == Qt::Key_Period) {
        if (bEnteredByAdvance) {
            event->accept();
            return;
        }
        focusNext();
    }
    QLineEdit::keyPressEvent(event);
}

void IpPartLineEdit::focusInEvent(QFocusEvent *event)
{
    selectAll();
    QLineEdit::focusInEvent(event);
    // The click that gave the focus places the cursor afterwards and would drop the selection.
    if (event->reason() == Qt::MouseFocusReason)
        QTimer::singleShot(0, this, &QLineEdit::selectAll);
}

void IpPartLineEdit::focusOutEvent(QFocusEvent *event)
{
    m_bEnteredByAdvance = false;
    QLineEdit::focusOutEvent(event);
}

void IpPartLineEdit::focusNext()
{
    if (!m_pNextTabEdit)
        return;
    m_pNextTabEdit->setFocus(Qt::OtherFocusReason);
    m_pNextTabEdit->selectAll();
}
