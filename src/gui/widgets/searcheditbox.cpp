#include "searcheditbox.h"

namespace {
const char kHintStyle[] =
    "QLineEdit{color: rgb(139, 139, 139); font: italic;border-style:outset;border-width:0;}";
const char kEditStyle[] = "QLineEdit{border-style:outset;border-width:0;}";
}

SearchEditBox::SearchEditBox(QWidget *parent)
    : QLineEdit(parent)
{
    enterHintMode();
}

void SearchEditBox::enterHintMode()
{
    // The flag goes first: the text change below must already read as "no filter".
    m_bShowingHint = true;
    // A clear button on the hint would wipe it without focus and leave an empty, hint-less box.
    setClearButtonEnabled(false);
    setText(tr("键入关键词"));
    setStyleSheet(QLatin1String(kHintStyle));
}

void SearchEditBox::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (m_bShowingHint) {
        m_bShowingHint = false;
        setClearButtonEnabled(true);
        setText(QString());
        setStyleSheet(QLatin1String(kEditStyle));
    }
}

void SearchEditBox::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (text().isEmpty())
        enterHintMode();
    else
        m_bShowingHint = false;
}
