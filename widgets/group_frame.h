#pragma once

// A frame: a container with an etched border and a caption that sits on the
// border's top line, as the windows group their standard controls. The
// controls it holds are placed relative to its own top-left corner.

#include <QColor>
#include <QString>
#include <QWidget>

namespace widgets {

class group_frame : public QWidget {
    Q_OBJECT
public:
    explicit group_frame(const QString& caption, QWidget* parent = nullptr);

    QString Caption() const { return m_caption; }
    void set_caption(const QString& caption);
    // The caption's colour alone: the controls inside keep their own.
    QColor ForeColor() const { return m_fore_colour; }
    void set_fore_colour(const QColor& colour);
    void set_back_colour(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
    QColor m_fore_colour = Qt::black;
};

} // namespace widgets
