#ifndef FRAMESTATUE_H
#define FRAMESTATUE_H

#include <QScopedPointer>
#include <QWidget>

namespace Ui {
class CFrameStatue;
}

// The thin strip at the bottom of the main window.
class CFrameStatue : public QWidget
{
    Q_OBJECT

public:
    explicit CFrameStatue(QWidget *parent = nullptr);
    ~CFrameStatue() override;

private:
    QScopedPointer<Ui::CFrameStatue> ui;
};

#endif // FRAMESTATUE_H
