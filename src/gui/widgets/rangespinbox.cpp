#include "rangespinbox.h"

namespace {

// Digits only, a value QSpinBox would refuse outright.
bool typedNumber(const QString &strInput, int &iValue)
{
    bool bOk = false;
    iValue = strInput.toInt(&bOk);
    return bOk && !strInput.isEmpty() && strInput.front().isDigit();
}

} // namespace

RangeSpinBox::RangeSpinBox(QWidget *parent)
    : QSpinBox(parent)
{
    // The digits typed so far are no value of their own, so a refused number goes back to the one before it.
    setKeyboardTracking(false);
}

QValidator::State RangeSpinBox::validate(QString &strInput, int &iPos) const
{
    const QValidator::State eState = QSpinBox::validate(strInput, iPos);
    int iValue = 0;
    if (eState == QValidator::Invalid && typedNumber(strInput, iValue))
        return QValidator::Intermediate;
    return eState;
}

void RangeSpinBox::fixup(QString &strInput) const
{
    int iValue = 0;
    if (typedNumber(strInput, iValue) && (iValue < minimum() || iValue > maximum()))
        emit sendOutOfRangeSignal(iValue);
    QSpinBox::fixup(strInput);
}
