#include "cap_calculateform.h"
#include "ui_cap_calculateform.h"

CCapCalculateForm::CCapCalculateForm(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CCapCalculateForm)
{
    ui->setupUi(this);
}

CCapCalculateForm::~CCapCalculateForm() = default;

void CCapCalculateForm::getDevListSlot(QList<CUIDeviceBean> &listDev)
{
    Q_UNUSED(listDev)
}
