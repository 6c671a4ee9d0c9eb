#ifndef LINEARCCD_H
#define LINEARCCD_H

#include <QByteArray>
#include <QWidget>

QT_BEGIN_NAMESPACE
namespace Ui {
class LinearCCD;
}
QT_END_NAMESPACE

// The linear CCD tab: shows lines of 128 pixels, their statistics and binarization.
class LinearCCD : public QWidget
{
    Q_OBJECT

public:
    explicit LinearCCD(QWidget *parent);
    ~LinearCCD() override;

    void handleData(QByteArray &buffer);

private:
    Ui::LinearCCD *ui;
};

#endif // LINEARCCD_H
