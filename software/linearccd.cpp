#include "linearccd.h"
#include "ui_linearccd.h"

LinearCCD::LinearCCD(QWidget *parent) : QWidget(parent), ui(new Ui::LinearCCD)
{
    ui->setupUi(this);
}

LinearCCD::~LinearCCD()
{
    delete ui;
}

void LinearCCD::handleData(QByteArray &buffer)
{
    Q_UNUSED(buffer);
}
