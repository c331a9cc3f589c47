// A status lamp of the control panel: a round light with its caption beside it, lit while its
// check state is on. Each lamp has its own colour (green for Ready, red for Error, ...); an
// unlit lamp is drawn dark so that on and off differ in brightness as well as colour.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace morvik {

class LampWidget : public QWidget {
public:
    LampWidget(const QString& caption, QColor litColour, QWidget* parent = nullptr);

    void setChecked(bool on);
    bool isChecked() const { return on_; }
    QString caption() const { return caption_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
    QColor lit_;
    bool on_ = false;
};

} // namespace morvik
