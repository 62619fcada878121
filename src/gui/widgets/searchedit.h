#ifndef SEARCHEDIT_H
#define SEARCHEDIT_H

#include <QScopedPointer>
#include <QWidget>

namespace Ui {
class SearchEdit;
}

// Filter box above the device tables; reports the filter text, empty while the hint shows.
class SearchEdit : public QWidget
{
    Q_OBJECT

public:
    explicit SearchEdit(QWidget *parent = nullptr);
    ~SearchEdit() override;

signals:
    void input_changed(const QString &strText);

public slots:
    void onEditChanged(const QString &strText);

private:
    QScopedPointer<Ui::SearchEdit> ui;
};

#endif // SEARCHEDIT_H
