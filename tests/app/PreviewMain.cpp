#include "app/CAdcApp.h"

#include <QApplication>
#include <QResource>

// The program on the in-memory settings; an optional binary resource file in
// place of the embedded images, for looking at the sheet.
int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc > 1)
        QResource::registerResource(QString::fromLocal8Bit(argv[1]));
    theApp.InitInstance();
    return 0;
}
