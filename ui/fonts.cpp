#include "fonts.h"

namespace ui {

namespace {

// Fonts of the same metrics that Debian ships (fonts-ipafont,
// fonts-urw-base35), for each face the layout names.
struct Installed {
    lesson::Face face;
    const char* families[2];
};
constexpr Installed kInstalled[] = {
    {lesson::Face::Gothic, {"IPAPGothic", "IPA Pゴシック"}},
    {lesson::Face::Mincho, {"IPAMincho", "IPA明朝"}},
    {lesson::Face::Century, {"C059", "Century Schoolbook L"}},
};

const Installed& installedFor(lesson::Face face) {
    for (const auto& f : kInstalled)
        if (f.face == face)
            return f;
    return kInstalled[0];
}

} // namespace

void InstallFontSubstitutes() {
    for (const auto& f : kInstalled)
        QFont::insertSubstitutions(QString::fromUtf8(lesson::FaceName(f.face)),
                                   QStringList() << QString::fromUtf8(f.families[0])
                                                 << QString::fromUtf8(f.families[1]));
}

QFont LayoutFont(lesson::Face face, int pixels, bool bold, bool italic) {
    // The installed family first: asked for by the layout's own name, which
    // no font here has, Qt searched the fallbacks of every font size and
    // style anew, half of the window's start.
    const Installed& f = installedFor(face);
    QFont font;
    font.setFamilies(QStringList() << QString::fromUtf8(f.families[0])
                                   << QString::fromUtf8(lesson::FaceName(face)));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferMatch | QFont::NoFontMerging));
    return font;
}

} // namespace ui
