#ifndef RANGESPINBOX_H
#define RANGESPINBOX_H

#include <QSpinBox>

// A spin box that takes any number typed, so that a value outside its range
// is not silently cut to fewer digits: when editing ends on one, it goes
// back to the value it held before and says so with sendOutOfRangeSignal.
class RangeSpinBox : public QSpinBox
{
    Q_OBJECT

public:
    explicit RangeSpinBox(QWidget *parent = nullptr);

signals:
    void sendOutOfRangeSignal(int iTyped) const;

protected:
    QValidator::State validate(QString &strInput, int &iPos) const override;
    void fixup(QString &strInput) const override;
};

#endif // RANGESPINBOX_H
