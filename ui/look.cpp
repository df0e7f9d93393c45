#include "look.h"

#include "accessibility.h"
#include "controls.h"

#include <QApplication>

namespace ui {

void InstallFontSubstitutes() {
    QFont::insertSubstitutions(QString::fromUtf8(lesson::GothicFace),
                               {"IPAPGothic", "IPA Pゴシック"});
    QFont::insertSubstitutions(QString::fromUtf8(lesson::MinchoFace), {"IPAMincho", "IPA明朝"});
    QFont::insertSubstitutions("Century", {"C059", "Century Schoolbook L"});
}

void SetUpApplication() {
    SetUpLook();
    InstallFontSubstitutes();
    InstallAccessibility();
}

QFont LayoutFont(const char* face, int pixels, bool bold, bool italic) {
    QFont f(QString::fromUtf8(face));
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setItalic(italic);
    f.setStyleStrategy(QFont::PreferMatch);
    return f;
}

} // namespace ui
