#include "aboutdialog.h"
#include "ui_aboutdialog.h"

#include "makerinfo.h"

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::AboutDialog)
{
    ui->setupUi(this);
    ui->label_2->setText(MakerInfo::companyRights());
    ui->label_4->setText(MakerInfo::latinRights());
    ui->label_5->setText(ui->label_5->text() + MakerInfo::supportEmail());
    setWindowTitle(tr("关于"));
    setModal(true);
    setFixedSize(width(), height());
}

AboutDialog::~AboutDialog()
{
    delete ui;
}

void AboutDialog::on_pushButton_clicked()
{
    close();
}
