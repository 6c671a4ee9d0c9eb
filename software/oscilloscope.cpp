#include "oscilloscope.h"
#include "ui_oscilloscope.h"

Oscilloscope::Oscilloscope(QWidget *parent) : QWidget(parent), ui(new Ui::Oscilloscope)
{
    ui->setupUi(this);
}

Oscilloscope::~Oscilloscope()
{
    delete ui;
}

void Oscilloscope::handleData(QByteArray &buffer)
{
    Q_UNUSED(buffer);
}
