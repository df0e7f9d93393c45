#include "fonts.h"

namespace ui {

void InstallFontSubstitutes() {
    // Fonts of the same metrics that Debian ships (fonts-ipafont, fonts-urw-base35).
    static const struct {
        lesson::Face face;
        const char* families[2];
    } installed[] = {
        {lesson::Face::Gothic, {"IPAPGothic", "IPA Pゴシック"}},
        {lesson::Face::Mincho, {"IPAMincho", "IPA明朝"}},
        {lesson::Face::Century, {"C059", "Century Schoolbook L"}},
    };
    for (const auto& f : installed)
        QFont::insertSubstitutions(QString::fromUtf8(lesson::FaceName(f.face)),
                                   QStringList() << QString::fromUtf8(f.families[0])
                                                 << QString::fromUtf8(f.families[1]));
}

QFont LayoutFont(lesson::Face face, int pixels, bool bold, bool italic) {
    QFont f(QString::fromUtf8(lesson::FaceName(face)));
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setItalic(italic);
    f.setStyleStrategy(QFont::PreferMatch);
    return f;
}

} // namespace ui
