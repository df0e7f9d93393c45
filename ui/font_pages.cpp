#include "font_pages.h"

#include "fonts.h"

#include <QFontMetrics>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#endif

namespace ui {

#ifdef __linux__
namespace {

bool isFontFile(const char* path, size_t length) {
    for (const char* ext : {".ttf", ".otf", ".ttc"}) {
        const size_t e = std::strlen(ext);
        if (length > e && std::strncmp(path + length - e, ext, e) == 0)
            return true;
    }
    return false;
}

} // namespace
#endif

void ReadFontFilesByPage() {
#ifdef __linux__
    // FreeType maps a face's whole file when Qt first opens it, as the first
    // font of that face is measured. The Japanese faces are 6 and 8 MB and
    // the window draws a few dozen of their glyphs; opened here, before any
    // text is laid out, their mappings exist to be split below.
    for (auto face : {lesson::Face::Gothic, lesson::Face::Mincho})
        (void)QFontMetrics(LayoutFont(face, 16, false, false)).ascent();
    std::FILE* maps = std::fopen("/proc/self/maps", "re");
    if (!maps)
        return;
    const unsigned long page = static_cast<unsigned long>(sysconf(_SC_PAGESIZE));
    char line[4096];
    while (std::fgets(line, sizeof line, maps)) {
        unsigned long start = 0, end = 0;
        char perms[8] = {};
        int pathAt = 0;
        if (std::sscanf(line, "%lx-%lx %7s %*s %*s %*s %n", &start, &end, perms, &pathAt) < 3 ||
            pathAt == 0)
            continue;
        // Only FreeType's read-only private mappings of a font file: their
        // pages are never written, so a dropped page is read again as it was.
        if (std::strcmp(perms, "r--p") != 0 ||
            !isFontFile(line + pathAt, std::strcspn(line + pathAt, "\n")))
            continue;
        // A read fault in a file mapping maps the 16 pages around it that
        // the page cache holds, within the mapping: a glyph of a few hundred
        // bytes kept 64 KB of the file in the window's memory. Every other
        // pair of pages advised differently makes each pair a mapping of its
        // own, so a fault maps at most two pages. Single pages kept 0.6 MB
        // less but took twice the calls, 2 ms more of the start.
        auto* base = reinterpret_cast<char*>(start);
        // The last piece may be a single page: advice stays inside the font.
        for (unsigned long off = 2 * page; off < end - start; off += 4 * page)
            madvise(base + off, std::min(2 * page, end - start - off), MADV_RANDOM);
        // Opening the face read its whole character map; lookups read a few
        // of its pages again.
        madvise(base, end - start, MADV_DONTNEED);
    }
    std::fclose(maps);
#endif
}

} // namespace ui
