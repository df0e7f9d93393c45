// 速さの比べ方: the program entry. It takes no arguments of its own, keeps no
// files and always ends with exit code 0.
#include "form.h"
#include "application.h"
#include "font_pages.h"
#include "window_watch.h"

#include <QApplication>

int main(int argc, char** argv) {
    // On X11 the window's pixels go to the server inside the requests, not
    // through shared memory: with shared memory every race tick paints over
    // what the last one sent, and Qt then waits for the X server to answer a
    // round trip first, three thread switches a tick.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    // The window is painted by the raster engine alone: the GL integration
    // that Qt would load and query at start-up is never used.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    QApplication app(argc, argv);
    ui::SetUpApplication();
    ui::ReadFontFilesByPage();
    ui::TForm1 form;
    ui::EndWhenDestroyed(form);
    form.show();
    app.exec();
    return 0;
}
