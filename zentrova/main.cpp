#include "zentrova/CZentrovaApp.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    CZentrovaApp app;
    if (!app.InitInstance())
        return 1;
    return QApplication::exec();
}
