#include "framestatue.h"
#include "ui_framestatue.h"

CFrameStatue::CFrameStatue(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CFrameStatue)
{
    ui->setupUi(this);
}

CFrameStatue::~CFrameStatue() = default;
