#ifndef CCD_H
#define CCD_H

#include <QByteArray>
#include <QWidget>

QT_BEGIN_NAMESPACE
namespace Ui {
class CCD;
}
QT_END_NAMESPACE

// The camera tab: shows grey pictures, their statistics and binarization.
class CCD : public QWidget
{
    Q_OBJECT

public:
    explicit CCD(QWidget *parent);
    ~CCD() override;

    void handleData(QByteArray &buffer);

public slots:
    void onComOpen();
    void onComClose();

private:
    Ui::CCD *ui;
};

#endif // CCD_H
