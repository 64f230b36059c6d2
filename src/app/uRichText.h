// The small windows around the board: the rounded hover hint that shows a pit's
// stones, the splash picture at start and the about window.
#pragma once

#include <QDialog>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QTextDocument;

namespace tessum {

// A borderless, rounded tool-tip-like window rendering a little HTML:
// <b>, <font>, and <IMG src="idx:N"> taken from the window's image list.
class THTMLHint : public QWidget {
    Q_OBJECT
public:
    explicit THTMLHint(QWidget* Parent = nullptr);
    ~THTMLHint() override;

    // Image N of the list answers <IMG src="idx:N">.
    void SetImages(const QList<QImage>& Images);
    void SetFont(const QString& Family, int PointSize);

    // Shows Html near the global position At (below and right of the pointer,
    // kept on the screen).
    void ShowHint(const QString& Html, const QPoint& At);
    void CancelHint();

    QString Html() const { return html_; }

    // Whether a compositing manager draws the window's see-through corners.
    // Without one they come out black, so the window is cut to its rounded
    // shape with a mask instead. Replaceable for tests.
    static std::function<bool()> CompositingActive;
    // The size the hint takes for its current text, padding included.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    void Layout();

    QTextDocument* doc_;
    QList<QImage> images_;
    QString html_;
};

// Shows Picture centred on the screen, modally, for Milliseconds, then closes.
class TSplashScreen : public QDialog {
    Q_OBJECT
public:
    TSplashScreen(const QPixmap& Picture, int Milliseconds, QWidget* Parent = nullptr);
    int Milliseconds() const { return ms_; }
    int exec() override;

    // The picture shown at start when no other one is given: the game's name
    // on a wooden plate, drawn so the splash needs no file. Subtitle is the
    // line under the name (the English one when empty).
    static QPixmap DefaultPicture(const QString& Subtitle = QString());

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;

private:
    QPixmap picture_;
    int ms_;
};

// The "about" window: program name, version, maker and web address. The texts may
// carry %name%, %version%, %maker% and %web%, which are filled in here.
class TInfoDialog : public QDialog {
    Q_OBJECT
public:
    explicit TInfoDialog(QWidget* Parent = nullptr);

    // PictureText, when given, is the line under the name on the picture.
    void SetTexts(const QString& Caption, const QString& Body, const QString& OkText,
                  const QString& PictureText = QString());
    static QString FillPlaceholders(QString Text);
    QString BodyText() const;
    QString OkText() const;
    QString PictureText() const { return pictureText_; }

private:
    QLabel* picture_;
    QLabel* body_;
    class QPushButton* ok_;
    QString pictureText_;
};

}  // namespace tessum
