#ifndef GREYVIEW_H
#define GREYVIEW_H

#include <QByteArray>
#include <QWidget>

// Shows one line of 128 grey levels as a strip of vertical bars, 0 black to
// 255 white, in a logical window of 128 x 30 stretched over the whole widget.
class GreyView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kPixels = 128;

    explicit GreyView(QWidget *parent);
    ~GreyView() override;

    // Takes a line of exactly 128 bytes and repaints at once; any other size is ignored.
    void setData(const QByteArray &data);

    const QByteArray &data() const { return m_data; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QByteArray m_data;
};

#endif // GREYVIEW_H
