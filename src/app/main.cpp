#include "app/CAdcApp.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    theApp.InitInstance();
    // The sheet's result is not used and the program sets no status of its own.
    return 0;
}
