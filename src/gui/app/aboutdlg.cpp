#include "aboutdlg.h"
#include "ui_aboutdlg.h"

#include "appresources.h"

CAboutDlg::CAboutDlg(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CAboutDlg)
{
    initAppResources();
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    ui->oAppVersionLabel->setText(QStringLiteral(CORVANE_VERSION));
}

CAboutDlg::~CAboutDlg() = default;
