#ifndef XYPAGE_H
#define XYPAGE_H

#include "plotdecoder.h"

#include <QStringList>
#include <QWidget>

class PlotView;
class QAction;
class QComboBox;
class SettingsGroup;
class XYView;

QT_BEGIN_NAMESPACE
namespace Ui {
class XYPage;
}
QT_END_NAMESPACE

// The plotter's XY page: the choice of X and Y, from the channels or a
// Teleplot XY series, the number of points and the scale, over the view.
// The choice is kept by name, so that it holds once the names arrive.
class XYPage : public QWidget
{
    Q_OBJECT

public:
    explicit XYPage(const PlotView *channels, QWidget *parent = nullptr);
    ~XYPage() override;

    XYView *view() const { return m_view; }
    void addPoints(const QList<XYPoint> &points, const QStringList &seriesNames);
    void clear();
    void clearSeries();
    // Follows new channels and series in the boxes, then the view.
    void refresh();
    void setPaused(bool paused);

    // Keys under xy/: the choice by name (a series as name|xy), the number
    // of points and the scale.
    void saveSettings(SettingsGroup &group) const;
    void restoreSettings(const SettingsGroup &group);

signals:
    // The view's own 暂停 was toggled.
    void pauseToggled(bool paused);
    void cursorText(const QString &text);

private:
    void syncChoices();
    void listChoices();
    void choose(QComboBox *box);
    void applyChoice();
    QString choiceOf(int box) const;
    void saveSamples();
    void saveScreen();

    Ui::XYPage *ui;
    const PlotView *m_channels;
    XYView *m_view;
    QAction *m_pauseAction;
    // The names the boxes list now.
    QStringList m_listedChannels;
    QStringList m_listedSeries;
    // The user's choice, or a remembered one, which may not have come yet.
    QString m_wantedX;
    QString m_wantedY;
};

#endif // XYPAGE_H
