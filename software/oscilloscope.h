#ifndef OSCILLOSCOPE_H
#define OSCILLOSCOPE_H

#include <QByteArray>
#include <QWidget>

QT_BEGIN_NAMESPACE
namespace Ui {
class Oscilloscope;
}
QT_END_NAMESPACE

// The oscilloscope tab: decodes four-channel sample frames and draws them.
class Oscilloscope : public QWidget
{
    Q_OBJECT

public:
    explicit Oscilloscope(QWidget *parent);
    ~Oscilloscope() override;

    void handleData(QByteArray &buffer);

private:
    Ui::Oscilloscope *ui;
};

#endif // OSCILLOSCOPE_H
