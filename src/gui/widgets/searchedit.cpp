#include "searchedit.h"
#include "ui_searchedit.h"

SearchEdit::SearchEdit(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::SearchEdit)
{
    ui->setupUi(this);
    ui->lineEdit->enterHintMode();
    connect(ui->lineEdit, &QLineEdit::textChanged, this, &SearchEdit::onEditChanged);
}

SearchEdit::~SearchEdit() = default;

void SearchEdit::onEditChanged(const QString &strText)
{
    emit input_changed(ui->lineEdit->isShowingHint() ? QString() : strText);
}
