#ifndef PICVIEW_H
#define PICVIEW_H

#include <QByteArray>
#include <QImage>
#include <QWidget>

// Shows one grey picture, either at its own size or stretched over the whole
// widget, and reports the pixel under the mouse.
//
// The picture is an 8-bit indexed image whose palette entry i is the grey
// level i, so a pixel's index is its grey level.
class PicView : public QWidget
{
    Q_OBJECT

public:
    explicit PicView(QWidget *parent = nullptr);
    ~PicView() override;

    // Replaces the picture by a blank one (grey level 60) of that size. False,
    // with nothing changed, for a size below 1 x 1 or one that cannot be allocated.
    bool setPictureSize(int width, int height);
    // Copies width x height bytes, row after row from the top, into the picture.
    // False, with nothing changed, when there is no picture or the size differs.
    bool setData(const QByteArray &data);
    // Stretched over the widget (on) or drawn at the picture's own size (off).
    void setAutoZoom(bool on);
    // The picture, or null before the first setPictureSize; the view keeps it.
    QImage *image() const;

signals:
    void cursorValue(int x, int y, int value);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void updateSizeLimits();
    void updateShown();

    QImage *m_image;
    // The picture as 32-bit pixels, made when it changes: an indexed image
    // would be converted at every paint, on worker threads that the GUI
    // thread then waits for.
    QImage m_shown;
    bool m_autoZoom;
};

#endif // PICVIEW_H
