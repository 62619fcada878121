#ifndef IPWIDGET_H
#define IPWIDGET_H

#include <QWidget>

class IpPartLineEdit;
class QLabel;

// IPv4 address entry: four octet fields separated by dots, fixed geometry.
class IpWidget : public QWidget
{
    Q_OBJECT

public:
    explicit IpWidget(QWidget *parent = nullptr);

    // Normalised address ("010" reads 10, empty fields 0); empty when the first octet is 0.
    QString text() const;
    // Fills the fields from a complete dotted address; anything else empties them.
    void setText(const QString &strAddress);
    void setPartsText(const QString &strText);
    // The fields' texts as typed, joined with dots ("10.0.0." while one is empty).
    QString rawText() const;

signals:
    // Both carry the fields' raw texts joined with dots, e.g. "10.0.0." while typing.
    void textChanged(const QString &strText);
    void textEdited(const QString &strText);

public slots:
    void textChangedSlot(const QString &strText);
    void textEditedSlot(const QString &strText);

private:
    IpPartLineEdit *m_pIpPart1;
    IpPartLineEdit *m_pIpPart2;
    IpPartLineEdit *m_pIpPart3;
    IpPartLineEdit *m_pIpPart4;
    QLabel *m_pDotLabel1;
    QLabel *m_pDotLabel2;
    QLabel *m_pDotLabel3;
};

#endif // IPWIDGET_H
