// draw-pictures: draws every TREVA picture and icon with QPainter and writes
// them as PNG files, so the artwork can be regenerated and tweaked in code
// instead of being edited by hand in a paint program.
//
//   draw-pictures <output-folder>
//
// Each picture is drawn in its 1x logical coordinates. The 2x file is the
// same drawing painted onto a device-pixel-ratio-2 image, so it is really
// drawn at twice the resolution rather than scaled up afterwards.
// Horizontal/vertical outlines sit on half-pixel positions so 1px lines land
// on whole pixels at 1x and on whole pixel pairs at 2x.

#include <QtCore/QDir>
#include <QtCore/QRandomGenerator>
#include <QtCore/QStringList>
#include <QtGui/QColor>
#include <QtGui/QFont>
#include <QtGui/QFontInfo>
#include <QtGui/QFontMetricsF>
#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtGui/QLinearGradient>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtGui/QPolygonF>
#include <QtGui/QTransform>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

// ---------------------------------------------------------------- palette

const QColor kHexGreen(0xbf, 0xdf, 0xa6);  // unit / neighbour hexes
const QColor kKeyGround(0xd8, 0xd8, 0xd8); // light grey behind the direction key
const QColor kResultRed(0xd4, 0x1c, 0x1c); // the hex the die roll picked
const QColor kInk(0x1a, 0x1a, 0x1a);       // hex outlines and labels

const QColor kKhakiLight(0xe4, 0xdc, 0xb8);
const QColor kKhaki(0xcf, 0xc4, 0x96);
const QColor kKhakiEdge(0x74, 0x6f, 0x4c);
const QColor kOlive(0x5d, 0x6b, 0x32);
const QColor kOliveLight(0x7e, 0x8d, 0x4a);
const QColor kOliveDark(0x3d, 0x46, 0x22);
const QColor kOliveDeep(0x2f, 0x37, 0x19);
const QColor kDarkGrey(0x30, 0x32, 0x2c);
const QColor kSteel(0xc9, 0xcc, 0xc4);
const QColor kFlash(0xd9, 0x82, 0x2b);
const QColor kAccentRed(0xb3, 0x26, 0x1e);
const QColor kIvory(0xf3, 0xec, 0xd6);
const QColor kPip(0x2a, 0x2a, 0x26);
const QColor kPaper(0xf6, 0xf1, 0xe1);
const QColor kPaperFold(0xd9, 0xcf, 0xae);
const QColor kPaperLine(0xb5, 0xad, 0x8f);
const QColor kStampRed(0xc4, 0x1e, 0x1a);

// ------------------------------------------------------------------ fonts

QStringList g_missingFonts;

QFont makeFont(const QString &family, int pixelSize, QFont::Weight weight) {
    QFont f(family);
    f.setPixelSize(pixelSize);
    f.setWeight(weight);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    // fontconfig may append a foundry, e.g. "Nimbus Sans Narrow [urw]".
    if (!QFontInfo(f).family().startsWith(family) && !g_missingFonts.contains(family)) g_missingFonts << family;
    return f;
}

// Hex labels and the question mark: wide glyph coverage (≤ ≥) and very
// clear digits at small sizes.
QFont labelFont(int px) { return makeFont(QStringLiteral("DejaVu Sans"), px, QFont::Bold); }

// Toolbar lettering has to fit 48px wide buttons.
QFont narrowFont(int px) { return makeFont(QStringLiteral("Nimbus Sans Narrow"), px, QFont::Bold); }

// Shrinks the font until the text fits, so longer captions never clip.
QFont fitted(QFont f, const QString &text, qreal maxWidth, int minPx) {
    while (f.pixelSize() > minPx && QFontMetricsF(f).horizontalAdvance(text) > maxWidth)
        f.setPixelSize(f.pixelSize() - 1);
    return f;
}

// Centres the inked part of the text on `centre`. The baseline and left edge
// are rounded to whole pixels so stems stay sharp at 1x.
void drawTextCentred(QPainter &p, const QFont &f, const QColor &c, QPointF centre, const QString &text) {
    const QFontMetricsF fm(f);
    const QRectF ink = fm.tightBoundingRect(text);
    const qreal x = std::round(centre.x() - (ink.left() + ink.width() / 2));
    const qreal baseline = std::round(centre.y() - (ink.top() + ink.height() / 2));
    p.setFont(f);
    p.setPen(c);
    p.drawText(QPointF(x, baseline), text);
}

// Horizontally centred on `cx`, on the given baseline (for captions whose
// lines must share a baseline grid rather than centre on their own ink).
void drawTextOnBaseline(QPainter &p, const QFont &f, const QColor &c, qreal cx, qreal baseline, const QString &text) {
    const QFontMetricsF fm(f);
    const qreal x = std::round(cx - fm.horizontalAdvance(text) / 2);
    p.setFont(f);
    p.setPen(c);
    p.drawText(QPointF(x, baseline), text);
}

// ------------------------------------------------------------------- hexes

// Flat-topped hex: `r` is the corner radius (half the width), `h` the full
// height. Heights are rounded to even pixels instead of r*sqrt(3) so that
// neighbours sit a whole number of pixels apart and the flat edges stay crisp.
QPolygonF flatHex(QPointF c, qreal r, qreal h) {
    return QPolygonF({QPointF(c.x() - r, c.y()), QPointF(c.x() - r / 2, c.y() - h / 2),
                      QPointF(c.x() + r / 2, c.y() - h / 2), QPointF(c.x() + r, c.y()),
                      QPointF(c.x() + r / 2, c.y() + h / 2), QPointF(c.x() - r / 2, c.y() + h / 2)});
}

// Pointed-top hex: `w` is the full width, `r` the corner radius (half the height).
QPolygonF pointedHex(QPointF c, qreal w, qreal r) {
    return QPolygonF({QPointF(c.x(), c.y() - r), QPointF(c.x() + w / 2, c.y() - r / 2),
                      QPointF(c.x() + w / 2, c.y() + r / 2), QPointF(c.x(), c.y() + r),
                      QPointF(c.x() - w / 2, c.y() + r / 2), QPointF(c.x() - w / 2, c.y() - r / 2)});
}

struct HexCell {
    QPolygonF shape;
    QPointF centre;
    QString label;
    bool picked = false;
};

// Fills first and outlines afterwards so a neighbour's fill never covers a
// shared edge.
void drawHexCells(QPainter &p, const QList<HexCell> &cells, int labelPx) {
    p.setPen(Qt::NoPen);
    for (const HexCell &cell : cells) {
        p.setBrush(cell.picked ? kResultRed : kHexGreen);
        p.drawPolygon(cell.shape);
    }
    QPen outline(kInk, 1.0);
    outline.setJoinStyle(Qt::MiterJoin);
    p.setPen(outline);
    p.setBrush(Qt::NoBrush);
    for (const HexCell &cell : cells) p.drawPolygon(cell.shape);
    for (const HexCell &cell : cells) {
        if (!cell.label.isEmpty())
            drawTextCentred(p, labelFont(labelPx), cell.picked ? Qt::white : kInk, cell.centre, cell.label);
    }
}

// The small downward arrow in the unit's own hex: the unit faces the hexes
// below it, which are the ones the die chooses between.
void drawUnitArrow(QPainter &p, QPointF c) {
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRect(QRectF(c.x() - 1.5, c.y() - 8, 3, 8));
    p.drawPolygon(QPolygonF({QPointF(c.x() - 5, c.y() - 1), QPointF(c.x() + 5, c.y() - 1), QPointF(c.x(), c.y() + 6)}));
}

// Direction pictures share one layout so key and result differ only by colour.
// `picked`: -1 none, 0 lower-left, 1 straight below, 2 lower-right.
void drawFlatDirection(QPainter &p, int picked, const QString &pickedLabel) {
    p.fillRect(QRectF(0, 0, 92, 58), kKeyGround);
    const qreal r = 16, h = 28;
    const QPointF unit(46, 1.5 + h / 2);
    const QPointF lowerLeft(unit.x() - 1.5 * r, unit.y() + h / 2);
    const QPointF below(unit.x(), unit.y() + h);
    const QPointF lowerRight(unit.x() + 1.5 * r, unit.y() + h / 2);
    QList<HexCell> cells = {
        {flatHex(unit, r, h), unit, QString(), false},
        {flatHex(lowerLeft, r, h), lowerLeft, QStringLiteral("1"), picked == 0},
        {flatHex(below, r, h), below, QStringLiteral("2-5"), picked == 1},
        {flatHex(lowerRight, r, h), lowerRight, QStringLiteral("6"), picked == 2},
    };
    if (picked >= 0 && !pickedLabel.isEmpty()) cells[picked + 1].label = pickedLabel;
    drawHexCells(p, cells, 9);
    drawUnitArrow(p, unit);
}

// `picked`: -1 none, 0 lower-left, 1 lower-right.
void drawPointedDirection(QPainter &p, int picked, const QString &pickedLabel) {
    p.fillRect(QRectF(0, 0, 92, 58), kKeyGround);
    const qreal w = 28, r = 16;
    // x on a half pixel: the vertical hex sides then fall on pixel centres.
    const QPointF unit(46.5, 1.5 + r);
    const QPointF lowerLeft(unit.x() - w / 2, unit.y() + 1.5 * r);
    const QPointF lowerRight(unit.x() + w / 2, unit.y() + 1.5 * r);
    QList<HexCell> cells = {
        {pointedHex(unit, w, r), unit, QString(), false},
        {pointedHex(lowerLeft, w, r), lowerLeft, QStringLiteral("1-3"), picked == 0},
        {pointedHex(lowerRight, w, r), lowerRight, QStringLiteral("4-6"), picked == 1},
    };
    if (picked >= 0 && !pickedLabel.isEmpty()) cells[picked + 1].label = pickedLabel;
    drawHexCells(p, cells, 9);
    drawUnitArrow(p, unit);
}

// Map orientation choices in the Setup window: a small patch of map.
void drawFlatCluster(QPainter &p) {
    const qreal r = 14, h = 24;
    const QPointF o(42 - 1.5 * r, 28.5); // centre of the left hex
    const QList<QPointF> centres = {o, QPointF(o.x() + 1.5 * r, o.y() - h / 2), QPointF(o.x() + 1.5 * r, o.y() + h / 2),
                                    QPointF(o.x() + 3 * r, o.y())};
    QList<HexCell> cells;
    for (const QPointF &c : centres) cells.append({flatHex(c, r, h), c, QString(), false});
    drawHexCells(p, cells, 9);
}

void drawPointedCluster(QPainter &p) {
    const qreal w = 24, r = 14;
    // Two staggered rows of two; the whole patch is centred on the picture.
    const QPointF o(42.5 - 0.75 * w, 28 - 0.75 * r);
    const QList<QPointF> centres = {o, QPointF(o.x() + w, o.y()), QPointF(o.x() + w / 2, o.y() + 1.5 * r),
                                    QPointF(o.x() + 1.5 * w, o.y() + 1.5 * r)};
    QList<HexCell> cells;
    for (const QPointF &c : centres) cells.append({pointedHex(c, w, r), c, QString(), false});
    drawHexCells(p, cells, 9);
}

// ----------------------------------------------------------------- toolbar

// One 48x48 button face: tile, pictogram in the upper part, caption below.
void drawTile(QPainter &p) {
    QLinearGradient g(0, 0, 0, 48);
    g.setColorAt(0, kKhakiLight);
    g.setColorAt(1, kKhaki);
    p.setBrush(g);
    p.setPen(QPen(kKhakiEdge, 1));
    p.drawRoundedRect(QRectF(0.5, 0.5, 47, 47), 4, 4);
}

// Captions of one line sit on baseline 43; longer ones stack upwards.
void drawCaption(QPainter &p, const QStringList &lines, int px, qreal lastBaseline = 43, qreal lineStep = 0) {
    if (lineStep <= 0) lineStep = px;
    qreal baseline = lastBaseline - lineStep * (lines.size() - 1);
    for (const QString &line : lines) {
        const QFont f = fitted(narrowFont(px), line, 44, 7);
        drawTextOnBaseline(p, f, kDarkGrey, 24, baseline, line);
        baseline += lineStep;
    }
}

void drawGear(QPainter &p, QPointF c) {
    const int teeth = 8;
    const qreal outer = 13, inner = 9.5;
    const qreal step = 2 * M_PI / teeth;
    QPolygonF rim;
    for (int i = 0; i < teeth; ++i) {
        const qreal a = step * i + step / 2;
        // Each tooth: flat top spanning about a third of the pitch, sloped flanks.
        const qreal angles[4] = {a - step * 0.30, a - step * 0.15, a + step * 0.15, a + step * 0.30};
        const qreal radii[4] = {inner, outer, outer, inner};
        for (int k = 0; k < 4; ++k)
            rim << QPointF(c.x() + radii[k] * std::cos(angles[k]), c.y() + radii[k] * std::sin(angles[k]));
    }
    QPainterPath gear;
    gear.addPolygon(rim);
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, 4, 4);
    gear = gear.subtracted(hole);
    p.setBrush(kOlive);
    p.setPen(QPen(kOliveDeep, 1));
    p.drawPath(gear);
}

void drawSetUpButton(QPainter &p) {
    drawTile(p);
    drawGear(p, QPointF(24, 17));
    drawCaption(p, {QStringLiteral("Set-up")}, 10);
}

void drawSuspectButton(QPainter &p) {
    drawTile(p);
    // A stacked, face-down counter: what the unit really is is unknown.
    p.setPen(QPen(kOliveDeep, 1));
    p.setBrush(kOliveDark);
    p.drawRoundedRect(QRectF(15.5, 5.5, 21, 21), 2, 2);
    p.setBrush(kOlive);
    p.drawRoundedRect(QRectF(12.5, 3.5, 21, 21), 2, 2);
    drawTextCentred(p, labelFont(17), kKhakiLight, QPointF(23, 14), QStringLiteral("?"));
    drawCaption(p, {QStringLiteral("Suspect ?")}, 10);
}

void drawPrepFireButton(QPainter &p) {
    drawTile(p);
    const QPointF c(24, 16);
    // Muzzle flash behind the sights.
    QPolygonF flash;
    for (int i = 0; i < 16; ++i) {
        const qreal a = M_PI * i / 8 - M_PI / 2;
        const qreal rad = (i % 2 == 0) ? 9.0 : 4.0;
        flash << QPointF(c.x() + rad * std::cos(a), c.y() + rad * std::sin(a));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kFlash);
    p.drawPolygon(flash);
    // Sights: ring plus four ticks pointing at the centre.
    QPen sight(kDarkGrey, 2);
    sight.setCapStyle(Qt::FlatCap);
    p.setPen(sight);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 10, 10);
    p.drawLine(QPointF(c.x(), c.y() - 14), QPointF(c.x(), c.y() - 5));
    p.drawLine(QPointF(c.x(), c.y() + 14), QPointF(c.x(), c.y() + 5));
    p.drawLine(QPointF(c.x() - 14, c.y()), QPointF(c.x() - 5, c.y()));
    p.drawLine(QPointF(c.x() + 14, c.y()), QPointF(c.x() + 5, c.y()));
    p.setPen(Qt::NoPen);
    p.setBrush(kAccentRed);
    p.drawEllipse(c, 1.6, 1.6);
    drawCaption(p, {QStringLiteral("PREP FIRE")}, 10);
}

void drawSword(QPainter &p, QPointF pivot, qreal angleDeg) {
    p.save();
    p.translate(pivot);
    p.rotate(angleDeg);
    // Local frame: blade points up (negative y), hilt below the pivot.
    const QPolygonF blade({QPointF(0, -16), QPointF(1.8, -12), QPointF(1.8, 5), QPointF(-1.8, 5), QPointF(-1.8, -12)});
    p.setPen(QPen(kDarkGrey, 1));
    p.setBrush(kSteel);
    p.drawPolygon(blade);
    p.setBrush(kOliveDark);
    p.drawRoundedRect(QRectF(-5.5, 5, 11, 2.6), 1, 1);
    p.setBrush(QColor(0x6b, 0x4f, 0x2a));
    p.drawRect(QRectF(-1.4, 7.6, 2.8, 5.4));
    p.setBrush(kOliveDark);
    p.drawEllipse(QPointF(0, 14.3), 1.8, 1.8);
    p.restore();
}

void drawMeleeButton(QPainter &p) {
    drawTile(p);
    drawSword(p, QPointF(24, 18), -40);
    drawSword(p, QPointF(24, 18), 40);
    drawCaption(p, {QStringLiteral("MELEE")}, 10);
}

void drawRandomTablesButton(QPainter &p) {
    drawTile(p);
    // A three-column table with a shaded heading row.
    const QRectF grid(9.5, 3.5, 29, 15);
    p.setPen(Qt::NoPen);
    p.setBrush(kIvory);
    p.drawRect(grid);
    p.setBrush(kOlive);
    p.drawRect(QRectF(grid.left(), grid.top(), grid.width(), 5));
    p.setPen(QPen(kOliveDeep, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(grid);
    p.drawLine(QPointF(19.5, 3.5), QPointF(19.5, 18.5));
    p.drawLine(QPointF(29.5, 3.5), QPointF(29.5, 18.5));
    p.drawLine(QPointF(9.5, 8.5), QPointF(38.5, 8.5));
    p.drawLine(QPointF(9.5, 13.5), QPointF(38.5, 13.5));
    const QFont digits = makeFont(QStringLiteral("DejaVu Sans"), 5, QFont::Bold);
    const char *cells[2][3] = {{"3", "7", "1"}, {"5", "2", "6"}};
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col)
            drawTextCentred(p, digits, kDarkGrey, QPointF(14.5 + 10 * col, 11.5 + 5 * row),
                            QString::fromLatin1(cells[row][col]));
    // No descenders in these words, so the lines can sit closer than the font size.
    drawCaption(p, {QStringLiteral("Random"), QStringLiteral("Number"), QStringLiteral("Tables")}, 9, 44, 8);
}

void drawDrStatsButton(QPainter &p) {
    drawTile(p);
    // Bars shaped like the spread of a two-dice roll, 2..12.
    const int counts[11] = {1, 2, 3, 4, 5, 6, 5, 4, 3, 2, 1};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 11; ++i) {
        const qreal hgt = counts[i] * 3.5;
        p.setBrush(i == 5 ? kAccentRed : kOlive);
        p.drawRect(QRectF(8 + 3 * i, 27 - hgt, 2, hgt));
    }
    p.setPen(QPen(kDarkGrey, 1));
    p.drawLine(QPointF(6.5, 4), QPointF(6.5, 27.5));
    p.drawLine(QPointF(6, 27.5), QPointF(42, 27.5));
    drawCaption(p, {QStringLiteral("DR Stats")}, 10);
}

void drawAboutButton(QPainter &p) {
    drawTile(p);
    const QPointF c(24, 16);
    p.setPen(QPen(kOliveDeep, 1));
    p.setBrush(kOlive);
    p.drawEllipse(c, 12, 12);
    p.setPen(Qt::NoPen);
    p.setBrush(kKhakiLight);
    p.drawEllipse(QPointF(c.x(), c.y() - 6.5), 2, 2);
    p.drawRect(QRectF(c.x() - 1.75, c.y() - 3, 3.5, 10));
    p.drawRect(QRectF(c.x() - 3.5, c.y() - 3, 2, 1.5));
    p.drawRect(QRectF(c.x() - 3.5, c.y() + 5.5, 7, 1.5));
    drawCaption(p, {QStringLiteral("About")}, 10);
}

void drawToolbar(QPainter &p) {
    const std::function<void(QPainter &)> buttons[] = {
        drawSetUpButton,        drawSuspectButton, drawPrepFireButton, drawMeleeButton,
        drawRandomTablesButton, drawDrStatsButton, drawAboutButton,
    };
    for (int i = 0; i < 7; ++i) {
        p.save();
        p.translate(48 * i, 0);
        p.setClipRect(QRectF(0, 0, 48, 48));
        buttons[i](p);
        p.restore();
    }
}

// ------------------------------------------------------------ About portrait

void drawPortrait(QPainter &p) {
    const QPointF c(78.5, 78.5);
    const qreal radius = 76;
    const QColor skin(0xe2, 0xb5, 0x8c);
    const QColor skinShade(0xc9, 0x97, 0x6c);
    const QColor line(0x2b, 0x2f, 0x1f);
    const QColor uniform(0x5a, 0x64, 0x33);
    const QColor helmet(0x55, 0x61, 0x2d);

    QPainterPath circle;
    circle.addEllipse(c, radius, radius);
    p.save();
    p.setClipPath(circle);

    // Sky and a low ridge behind the figure.
    QLinearGradient sky(0, 0, 0, 157);
    sky.setColorAt(0, QColor(0xdc, 0xdf, 0xc2));
    sky.setColorAt(1, QColor(0xc4, 0xc7, 0x9e));
    p.fillRect(QRectF(0, 0, 157, 157), sky);
    QPainterPath ridge;
    ridge.moveTo(0, 112);
    ridge.cubicTo(30, 98, 55, 104, 80, 108);
    ridge.cubicTo(110, 112, 130, 96, 157, 102);
    ridge.lineTo(157, 157);
    ridge.lineTo(0, 157);
    ridge.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9c, 0xa5, 0x6c));
    p.drawPath(ridge);

    const QPen outline(line, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);

    // Shoulders and chest.
    QPainterPath torso;
    torso.moveTo(6, 160);
    torso.cubicTo(10, 134, 36, 122, 62, 120);
    torso.lineTo(95, 120);
    torso.cubicTo(121, 122, 147, 134, 151, 160);
    torso.closeSubpath();
    p.setPen(outline);
    p.setBrush(uniform);
    p.drawPath(torso);

    // Neck and collar.
    p.setBrush(skinShade);
    p.drawRect(QRectF(67, 100, 23, 24));
    p.setBrush(QColor(0x4a, 0x53, 0x28));
    p.drawPolygon(QPolygonF({QPointF(60, 120), QPointF(78.5, 138), QPointF(66, 120.5)}));
    p.drawPolygon(QPolygonF({QPointF(97, 120), QPointF(78.5, 138), QPointF(91, 120.5)}));

    // Forearms rising to the binoculars.
    p.setBrush(uniform);
    p.drawPolygon(QPolygonF({QPointF(18, 158), QPointF(37, 101), QPointF(55, 106), QPointF(46, 158)}));
    p.drawPolygon(QPolygonF({QPointF(139, 158), QPointF(120, 101), QPointF(102, 106), QPointF(111, 158)}));

    // Head and ears.
    p.setBrush(skin);
    p.drawEllipse(QPointF(55.5, 89), 4.5, 7);
    p.drawEllipse(QPointF(101.5, 89), 4.5, 7);
    p.drawEllipse(QPointF(78.5, 86), 23, 28);

    // Nose and mouth below the binoculars.
    p.setBrush(skinShade);
    p.setPen(Qt::NoPen);
    QPainterPath nose;
    nose.moveTo(74.5, 99);
    nose.quadTo(78.5, 106.5, 82.5, 99);
    nose.closeSubpath();
    p.drawPath(nose);
    QPainterPath mouth;
    mouth.moveTo(71.5, 106.5);
    mouth.quadTo(78.5, 109.5, 85.5, 106.5);
    p.setPen(QPen(QColor(0x8e, 0x55, 0x3c), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(mouth);

    // Chin strap hanging from the helmet rim.
    p.setPen(QPen(QColor(0x3b, 0x3f, 0x2a), 2.2, Qt::SolidLine, Qt::RoundCap));
    QPainterPath strap;
    strap.moveTo(57, 78);
    strap.quadTo(59, 107, 78.5, 113);
    strap.quadTo(98, 107, 100, 78);
    p.drawPath(strap);

    // Helmet: dome, then the brim in front of it.
    QPainterPath dome;
    dome.moveTo(47, 77);
    dome.cubicTo(46, 46, 62, 33, 78.5, 33);
    dome.cubicTo(95, 33, 111, 46, 110, 77);
    dome.closeSubpath();
    p.setPen(outline);
    p.setBrush(helmet);
    p.drawPath(dome);
    p.setPen(QPen(QColor(0x7d, 0x8b, 0x48), 3, Qt::SolidLine, Qt::RoundCap));
    QPainterPath shine;
    shine.moveTo(57, 60);
    shine.cubicTo(58, 49, 66, 41, 76, 39);
    p.drawPath(shine);
    p.setPen(outline);
    p.setBrush(QColor(0x46, 0x51, 0x24));
    p.drawRoundedRect(QRectF(39, 71, 79, 9), 4.5, 4.5);

    // Binoculars held up to the eyes, lenses towards the viewer.
    p.setBrush(QColor(0x2e, 0x30, 0x2b));
    p.drawRoundedRect(QRectF(50, 76, 57, 24), 11, 11);
    p.setBrush(QColor(0x3d, 0x40, 0x39));
    p.drawRect(QRectF(74.5, 80, 8, 16));
    for (qreal x : {64.0, 93.0}) {
        const QPointF lc(x, 88);
        p.setPen(outline);
        p.setBrush(QColor(0x4b, 0x4f, 0x47));
        p.drawEllipse(lc, 10, 10);
        QLinearGradient glass(lc.x() - 7, lc.y() - 7, lc.x() + 7, lc.y() + 7);
        glass.setColorAt(0, QColor(0x9c, 0xc0, 0xce));
        glass.setColorAt(1, QColor(0x3e, 0x62, 0x74));
        p.setPen(Qt::NoPen);
        p.setBrush(glass);
        p.drawEllipse(lc, 7, 7);
        p.setBrush(QColor(255, 255, 255, 210));
        p.drawEllipse(QPointF(lc.x() - 2.8, lc.y() - 2.8), 2.2, 1.6);
    }

    // Hands gripping the outer ends of the binoculars.
    p.setPen(outline);
    p.setBrush(skin);
    p.drawEllipse(QPointF(47.5, 94), 7.5, 9.5);
    p.drawEllipse(QPointF(109.5, 94), 7.5, 9.5);
    p.setPen(QPen(skinShade.darker(130), 1.2, Qt::SolidLine, Qt::RoundCap));
    for (qreal dy : {-3.0, 0.5, 4.0}) {
        p.drawLine(QPointF(50.5, 94 + dy), QPointF(54.5, 94 + dy));
        p.drawLine(QPointF(106.5, 94 + dy), QPointF(102.5, 94 + dy));
    }

    p.restore();

    p.setPen(QPen(kOliveDark, 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, radius, radius);
}

// ------------------------------------------------------------ notice stamp

void drawBetaStamp(QPainter &p, qreal scale) {
    // The stamp goes onto its own layer first so the worn ink specks can be
    // punched out of it without touching whatever is under the picture.
    QImage layer(qRound(92 * scale), qRound(74 * scale), QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(scale);
    layer.fill(Qt::transparent);
    {
        QPainter s(&layer);
        s.setRenderHint(QPainter::Antialiasing);
        s.setRenderHint(QPainter::TextAntialiasing);
        s.translate(46, 37);
        s.rotate(-20);
        s.setBrush(Qt::NoBrush);
        s.setPen(QPen(kStampRed, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        s.drawRoundedRect(QRectF(-40, -20, 80, 40), 3, 3);
        s.setPen(QPen(kStampRed, 1));
        s.drawRoundedRect(QRectF(-36, -16, 72, 32), 1.5, 1.5);

        QFont big = labelFont(17);
        big.setLetterSpacing(QFont::AbsoluteSpacing, 2);
        QFont small = labelFont(9);
        small.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
        for (const auto &[font, text, baseline] :
             {std::tuple<QFont, QString, qreal>(big, QStringLiteral("BETA"), 3),
              std::tuple<QFont, QString, qreal>(small, QStringLiteral("VERSION"), 12)}) {
            const QFontMetricsF fm(font);
            // Letter spacing also trails the last letter; leave it out when centring.
            const qreal width = fm.horizontalAdvance(text) - font.letterSpacing();
            s.setFont(font);
            s.setPen(kStampRed);
            s.drawText(QPointF(-width / 2, baseline), text);
        }

        // Worn rubber: a fixed pattern of small gaps, identical at 1x and 2x.
        s.resetTransform();
        s.setCompositionMode(QPainter::CompositionMode_DestinationOut);
        s.setPen(Qt::NoPen);
        QRandomGenerator rng(20240917);
        for (int i = 0; i < 140; ++i) {
            const QPointF at(rng.bounded(92.0), rng.bounded(74.0));
            const qreal rad = 0.25 + rng.bounded(0.55);
            s.setBrush(QColor(0, 0, 0, 120 + rng.bounded(136)));
            s.drawEllipse(at, rad, rad);
        }
    }
    p.setOpacity(0.92);
    p.drawImage(QRectF(0, 0, 92, 74), layer);
}

// --------------------------------------------------------------------- icons
// From 32px up both icons are the 256x256 design of treva.svg and
// treva-scenario.svg scaled down. At 16 and 24px (and for the sheet's much
// smaller die, at 32px) that design turns to mush, so those are laid out by
// hand on the pixel grid: same hex, die and sheet, but with the die square to
// the grid and pips as whole pixels.

// A die lying on a hex, the program's mark. `c` centre, `k` scale relative to
// the full-size icon.
void drawHexDieMark(QPainter &p, QPointF c, qreal k, bool withBevel) {
    p.setPen(QPen(kOliveDeep, 8 * k, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kOlive);
    p.drawPolygon(flatHex(c, 120 * k, 2 * 103.92 * k));
    if (withBevel) {
        p.setPen(QPen(kOliveLight, 4 * k, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(flatHex(c, 106 * k, 2 * 91.8 * k));
    }

    const qreal side = 112 * k;
    const QRectF die(c.x() - side / 2, c.y() - side / 2, side, side);
    p.save();
    p.translate(c);
    p.rotate(-12);
    p.translate(-c);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 77));
    p.drawRoundedRect(die.translated(6 * k, 8 * k), 22 * k, 22 * k);
    p.setPen(QPen(kOliveDeep, 6 * k, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kIvory);
    p.drawRoundedRect(die, 22 * k, 22 * k);
    p.setPen(Qt::NoPen);
    p.setBrush(kPip);
    const qreal off = 28 * k;
    for (const QPointF &d :
         {QPointF(-off, -off), QPointF(off, -off), QPointF(0, 0), QPointF(-off, off), QPointF(off, off)})
        p.drawEllipse(c + d, 11 * k, 11 * k);
    p.restore();
}

// Flat-topped hex filling `box` (device pixels; edges on half pixels).
void drawPixelHex(QPainter &p, const QRectF &box) {
    const qreal q = box.width() / 4;
    const QPolygonF hex({QPointF(box.left(), box.center().y()), QPointF(box.left() + q, box.top()),
                         QPointF(box.right() - q, box.top()), QPointF(box.right(), box.center().y()),
                         QPointF(box.right() - q, box.bottom()), QPointF(box.left() + q, box.bottom())});
    p.setPen(QPen(kOliveDeep, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(kOlive);
    p.drawPolygon(hex);
}

// A die square to the pixel grid at (x, y): optional 1px border, then margin,
// then three pip columns `pip` wide separated by `gap`.
void drawPixelDie(QPainter &p, int x, int y, int border, int margin, int pip, int gap, bool fivePips) {
    const int side = 2 * border + 2 * margin + 3 * pip + 2 * gap;
    p.setPen(Qt::NoPen);
    if (border > 0) {
        p.setBrush(kOliveDeep);
        p.drawRoundedRect(QRectF(x, y, side, side), 2, 2);
    }
    p.setBrush(kIvory);
    p.drawRoundedRect(QRectF(x + border, y + border, side - 2 * border, side - 2 * border), 1.2, 1.2);
    const auto at = [&](int i) { return border + margin + i * (pip + gap); };
    const QList<QPoint> five = {{0, 0}, {2, 0}, {1, 1}, {0, 2}, {2, 2}};
    const QList<QPoint> one = {{1, 1}};
    for (const QPoint &cell : fivePips ? five : one)
        p.fillRect(QRect(x + at(cell.x()), y + at(cell.y()), pip, pip), kPip);
}

void drawSheet(QPainter &p, const QPolygonF &page, const QPolygonF &fold, qreal stroke) {
    const QPen edge(kOliveDark, stroke, Qt::SolidLine, Qt::FlatCap, stroke > 1 ? Qt::RoundJoin : Qt::MiterJoin);
    p.setPen(edge);
    p.setBrush(kPaper);
    p.drawPolygon(page);
    p.setBrush(kPaperFold);
    p.drawPolygon(fold);
}

void drawAppIcon(QPainter &p, int size) {
    if (size == 16) {
        drawPixelHex(p, QRectF(0.5, 1.5, 15, 13));
        drawPixelDie(p, 3, 3, 0, 1, 2, 1, true);
    } else if (size == 24) {
        drawPixelHex(p, QRectF(0.5, 2.5, 23, 19));
        drawPixelDie(p, 5, 5, 1, 1, 2, 2, true);
    } else {
        p.scale(size / 256.0, size / 256.0);
        drawHexDieMark(p, QPointF(128, 128), 1.0, true);
    }
}

void drawScenarioIcon(QPainter &p, int size) {
    if (size == 16) {
        drawSheet(p,
                  QPolygonF({QPointF(0.5, 0.5), QPointF(10.5, 0.5), QPointF(14.5, 4.5), QPointF(14.5, 15.5),
                             QPointF(0.5, 15.5)}),
                  QPolygonF({QPointF(10.5, 0.5), QPointF(10.5, 4.5), QPointF(14.5, 4.5)}), 1);
        drawPixelHex(p, QRectF(2.5, 5.5, 10, 8));
        drawPixelDie(p, 5, 7, 0, 1, 1, 0, false);
        return;
    }
    if (size == 24) {
        drawSheet(p,
                  QPolygonF({QPointF(2.5, 0.5), QPointF(16.5, 0.5), QPointF(21.5, 5.5), QPointF(21.5, 23.5),
                             QPointF(2.5, 23.5)}),
                  QPolygonF({QPointF(16.5, 0.5), QPointF(16.5, 5.5), QPointF(21.5, 5.5)}), 1);
        p.fillRect(QRect(6, 4, 8, 1), kPaperLine);
        p.fillRect(QRect(6, 7, 12, 1), kPaperLine);
        drawPixelHex(p, QRectF(4.5, 9.5, 14, 12));
        drawPixelDie(p, 8, 12, 0, 1, 1, 1, true);
        return;
    }
    if (size == 32) {
        drawSheet(p,
                  QPolygonF({QPointF(4.5, 0.5), QPointF(21.5, 0.5), QPointF(27.5, 6.5), QPointF(27.5, 31.5),
                             QPointF(4.5, 31.5)}),
                  QPolygonF({QPointF(21.5, 0.5), QPointF(21.5, 6.5), QPointF(27.5, 6.5)}), 1);
        p.fillRect(QRect(8, 5, 10, 1), kPaperLine);
        p.fillRect(QRect(8, 8, 15, 1), kPaperLine);
        p.fillRect(QRect(8, 11, 13, 1), kPaperLine);
        drawPixelHex(p, QRectF(6.5, 13.5, 18, 16));
        drawPixelDie(p, 11, 17, 1, 1, 1, 1, true);
        return;
    }
    p.scale(size / 256.0, size / 256.0);
    drawSheet(p, QPolygonF({QPointF(52, 12), QPointF(168, 12), QPointF(212, 56), QPointF(212, 244), QPointF(52, 244)}),
              QPolygonF({QPointF(168, 12), QPointF(168, 56), QPointF(212, 56)}), 8);
    p.setPen(Qt::NoPen);
    p.setBrush(kPaperLine);
    p.drawRoundedRect(QRectF(76, 40, 72, 10), 3, 3);
    p.drawRoundedRect(QRectF(76, 64, 112, 10), 3, 3);
    p.drawRoundedRect(QRectF(76, 88, 96, 10), 3, 3);
    drawHexDieMark(p, QPointF(132, 170), 0.5, false);
}

// ------------------------------------------------------------------ output

struct Writer {
    QDir dir;
    int failures = 0;
    QStringList written;

    void save(const QImage &img, const QString &name) {
        const QString path = dir.filePath(name);
        if (img.save(path, "PNG")) {
            written << name;
        } else {
            std::fprintf(stderr, "draw-pictures: cannot write %s\n", qPrintable(path));
            ++failures;
        }
    }

    static QImage canvas(int w, int h, qreal scale) {
        QImage img(qRound(w * scale), qRound(h * scale), QImage::Format_ARGB32_Premultiplied);
        img.setDevicePixelRatio(scale);
        img.fill(Qt::transparent);
        return img;
    }

    static void prepare(QPainter &p) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
    }

    // `<id>.png` at 1x and `<id>@2x.png` at 2x, both drawn from scratch.
    void picture(const QString &id, int w, int h, const std::function<void(QPainter &, qreal)> &draw) {
        for (const qreal scale : {1.0, 2.0}) {
            QImage img = canvas(w, h, scale);
            {
                QPainter p(&img);
                prepare(p);
                draw(p, scale);
            }
            img.setDevicePixelRatio(1);
            save(img, scale == 1.0 ? id + QStringLiteral(".png") : id + QStringLiteral("@2x.png"));
        }
    }

    // `<id>-<size>.png` for every icon size.
    void icon(const QString &id, const std::function<void(QPainter &, int)> &draw) {
        for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
            QImage img = canvas(size, size, 1.0);
            {
                QPainter p(&img);
                prepare(p);
                draw(p, size);
            }
            save(img, QStringLiteral("%1-%2.png").arg(id).arg(size));
        }
    }
};

} // namespace

int main(int argc, char **argv) {
    // Nothing is shown on screen; don't require a display to run.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: draw-pictures <output-folder>\n");
        return 2;
    }
    Writer out;
    out.dir = QDir(args.at(1));
    if (!out.dir.exists() && !QDir().mkpath(out.dir.path())) {
        std::fprintf(stderr, "draw-pictures: cannot create %s\n", qPrintable(out.dir.path()));
        return 1;
    }

    const auto plain = [](void (*fn)(QPainter &)) { return [fn](QPainter &p, qreal) { fn(p); }; };

    out.picture(QStringLiteral("118"), 92, 58, [](QPainter &p, qreal) { drawFlatDirection(p, -1, {}); });
    out.picture(QStringLiteral("120"), 92, 58, [](QPainter &p, qreal) { drawFlatDirection(p, 0, {}); });
    out.picture(QStringLiteral("121"), 92, 58, [](QPainter &p, qreal) { drawFlatDirection(p, 1, {}); });
    out.picture(QStringLiteral("122"), 92, 58, [](QPainter &p, qreal) { drawFlatDirection(p, 2, {}); });
    out.picture(QStringLiteral("119"), 92, 58, [](QPainter &p, qreal) { drawPointedDirection(p, -1, {}); });
    out.picture(QStringLiteral("123"), 92, 58,
                [](QPainter &p, qreal) { drawPointedDirection(p, 0, QStringLiteral("\u22643")); });
    out.picture(QStringLiteral("125"), 92, 58,
                [](QPainter &p, qreal) { drawPointedDirection(p, 1, QStringLiteral("\u22654")); });
    out.picture(QStringLiteral("110"), 84, 56, plain(drawFlatCluster));
    out.picture(QStringLiteral("109"), 84, 56, plain(drawPointedCluster));
    out.picture(QStringLiteral("129"), 336, 48, plain(drawToolbar));
    out.picture(QStringLiteral("117"), 157, 157, plain(drawPortrait));
    out.picture(QStringLiteral("127"), 92, 74, [](QPainter &p, qreal scale) { drawBetaStamp(p, scale); });
    out.icon(QStringLiteral("106"), drawAppIcon);
    out.icon(QStringLiteral("131"), drawScenarioIcon);

    for (const QString &family : std::as_const(g_missingFonts))
        std::fprintf(stderr, "draw-pictures: font \"%s\" not installed, a substitute was used\n", qPrintable(family));
    std::printf("draw-pictures: wrote %lld files to %s\n", static_cast<long long>(out.written.size()),
                qPrintable(out.dir.path()));
    return out.failures == 0 ? 0 : 1;
}
