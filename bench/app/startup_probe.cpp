// Starts the game's main window the way the program does, up to the first
// painted board, and exits. Measured from outside by BM_StartUp. Its one
// argument is the folder standing in for the program's folder (settings).
#include <QApplication>
#include <QImage>

#include "game/uProfile.h"
#include "app/ufSpielfeld.h"

int main(int argc, char* argv[]) {
    if (argc < 2) return 2;
    tessum::SetUserFolder(argv[1]);
    QApplication App(argc, argv);
    tessum::TfSpielfeld Window;
    Window.show();
    const QImage Board = Window.pbSpielfeld->grab().toImage();
    return Board.isNull() ? 1 : 0;
}
