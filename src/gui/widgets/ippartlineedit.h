#ifndef IPPARTLINEEDIT_H
#define IPPARTLINEEDIT_H

#include <QLineEdit>

// One octet field of IpWidget: digits 0..255 only, "." and a complete octet
// move on to the next field.
class IpPartLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit IpPartLineEdit(QWidget *parent = nullptr);

    void setNextTabEdit(IpPartLineEdit *pNext);

public slots:
    // Moves on once the octet can take no further digit (three digits, or two worth 26 or more).
    void text_edited(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void focusNext();

    IpPartLineEdit *m_pNextTabEdit = nullptr;
    // Set when the previous field moved on by itself, so that a "." typed out of
    // habit right after a complete octet does not skip this field too.
    bool m_bEnteredByAdvance = false;
};

#endif // IPPARTLINEEDIT_H
