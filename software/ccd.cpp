#include "ccd.h"
#include "ui_ccd.h"

CCD::CCD(QWidget *parent) : QWidget(parent), ui(new Ui::CCD)
{
    ui->setupUi(this);
}

CCD::~CCD()
{
    delete ui;
}

void CCD::handleData(QByteArray &buffer)
{
    Q_UNUSED(buffer);
}

void CCD::onComOpen() { }

void CCD::onComClose() { }
