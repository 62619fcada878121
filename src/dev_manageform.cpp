#include "dev_manageform.h"
#include "ui_dev_manageform.h"

CDevManageForm::CDevManageForm(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CDevManageForm)
{
    ui->setupUi(this);
}

CDevManageForm::~CDevManageForm() = default;

void CDevManageForm::sendDev2CapSlot()
{
    emit sendDev2CapSignal(m_listDev);
}
