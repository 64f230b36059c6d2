// The floor of BM_StartUp: the least a Qt Widgets program with a menu bar does
// up to its first painted window. No game, no pictures, no settings; the
// same window size and the same number of menus as the game's.
#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QMenuBar>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication App(argc, argv);
    QMainWindow Window;
    for (const char* Title : {"Spiel", "Optionen", "Internet", "Hilfe"}) {
        QMenu* Menu = Window.menuBar()->addMenu(Title);
        for (int I = 0; I < 4; ++I) Menu->addAction(QString("Eintrag %1").arg(I));
    }
    auto* Board = new QWidget(&Window);
    Board->setFixedSize(720, 520);
    Window.setCentralWidget(Board);
    Window.resize(800, 600);
    Window.show();
    const QImage Shown = Board->grab().toImage();
    return Shown.isNull() ? 1 : 0;
}
