#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

// The banner behind the top buttons: a drawn gradient with a few soft
// curves and the product's name, so it stays sharp at any pixel ratio.
class BannerImage : public QWidget {
    Q_OBJECT

public:
    explicit BannerImage(QWidget *parent = nullptr);

    // The name is drawn right-aligned inside area (the banner's own pixels),
    // a gap the buttons leave free.
    void SetTitle(const QString &text, const QRect &area);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString title;
    QRect titleArea;
};
