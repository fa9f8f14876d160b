#include "grid/GridImages.h"

#include <QBitmap>
#include <QColor>

#include <cstring>
#include <map>
#include <string>

// The resources live in a static library: bringing them in by name keeps the linker from
// dropping them.
static void initGridResources() {
    Q_INIT_RESOURCE(grid);
}

namespace cibrano {
namespace {

// Sort markers are drawn on magenta, the other bitmaps on white.
QColor transparentColorOf(const char* name) {
    return std::strncmp(name, "DBG_SM", 6) == 0 ? QColor(255, 0, 255) : QColor(255, 255, 255);
}

QPixmap loadBitmap(const char* name) {
    static bool initialised = false;
    if (!initialised) {
        initGridResources();
        initialised = true;
    }
    QPixmap pixmap(QStringLiteral(":/") + QString::fromLatin1(name), "XPM");
    if (pixmap.isNull())
        return pixmap;
    pixmap.setMask(pixmap.createMaskFromColor(transparentColorOf(name), Qt::MaskInColor));
    return pixmap;
}

} // namespace

const QPixmap& gridBitmap(const char* name) {
    static std::map<std::string, QPixmap> cache;
    auto found = cache.find(name);
    if (found == cache.end())
        found = cache.emplace(name, loadBitmap(name)).first;
    return found->second;
}

const QPixmap& indicatorImage(int index) {
    static const char* const names[] = {"DBGARROW", "DBEDIT", "DBINSERT", "DBMULTIDOT",
                                        "DBMULTIARROW"};
    if (index < 0 || index > 4)
        index = 0;
    return gridBitmap(names[index]);
}

const QPixmap& sortMarkerImage(bool up) {
    return gridBitmap(up ? "DBG_SMUP" : "DBG_SMDOWN");
}

} // namespace cibrano
