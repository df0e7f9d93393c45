#include "application.h"

#include "accessibility.h"
#include "caption_image.h"
#include "fonts.h"
#include "look_style.h"
#include "palette.h"
#include "quiet_repaint.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ui {

void SetUpApplication() {
    QApplication::setStyle(new LookStyle);
    QApplication::setPalette(LayoutPalette());
    // Qt's own texts (the field's context menu, the message boxes' button) in
    // the lesson's language, whatever the desktop's locale.
    auto* qt = new QTranslator(qApp);
    if (qt->load(QLocale(QLocale::Japanese, QLocale::Japan), "qtbase", "_",
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    InstallFontSubstitutes();
    InstallAccessibility();
    // The pixels are the same either way; the plain paths are there to
    // compare with, in the tests and the benchmark.
    if (qEnvironmentVariableIntValue("HAYASA_PLAIN_PATHS") == 1) {
        CaptionImage::enabled = false;
        QuietRepaint::enabled = false;
    }
}

} // namespace ui
