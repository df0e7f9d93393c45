// 速さの比べ方: the program entry. It takes no arguments of its own, keeps no
// files and always ends with exit code 0.
#include "form.h"
#include "look.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ui::SetUpApplication();
    ui::TForm1 form;
    ui::EndWhenDestroyed(form);
    form.show();
    app.exec();
    return 0;
}
