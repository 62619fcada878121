#ifndef SEARCHEDITBOX_H
#define SEARCHEDITBOX_H

#include <QLineEdit>

// Line edit that shows a grey italic hint as its own text while empty and unfocused.
class SearchEditBox : public QLineEdit
{
    Q_OBJECT

public:
    explicit SearchEditBox(QWidget *parent = nullptr);

    bool isShowingHint() const { return m_bShowingHint; }
    void enterHintMode();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool m_bShowingHint = false;
};

#endif // SEARCHEDITBOX_H
