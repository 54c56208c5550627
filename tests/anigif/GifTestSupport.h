#pragma once

// Helpers for the anigif tests: a small GIF writer for hand-made test files
// (frames of colour indices, with graphic control extensions, local tables,
// loops), rendering what the control shows into an image, and reading the
// conformance suite's .conf and .rgba files.

#include "FileHelpers.h"
#include "anigif/GifLzw.h"
#include "anigif/ucAniGIF.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QList>
#include <QMap>
#include <QPainter>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace giftest {

inline QString dataPath(const QString& relative) {
    return QStringLiteral(SKYGLANCE_TESTDATA "/") + relative;
}

struct TestFrame {
    int left = 0;
    int top = 0;
    int width = 1;
    int height = 1;
    std::vector<uint8_t> pixels; // width x height indices, row by row
    bool gce = true;
    int disposal = 0;
    int delayCs = 0; // hundredths of a second
    bool transparent = false;
    int transparentIndex = 0;
    QList<uint32_t> localTable; // 0x00RRGGBB; empty = none
    bool interlaced = false;
};

inline void putWord(QByteArray& out, int v) {
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>((v >> 8) & 0xFF));
}

inline int tableBits(qsizetype entries) {
    int bits = 1;
    while ((qsizetype(1) << bits) < entries && bits < 8) {
        ++bits;
    }
    return bits;
}

inline void putTable(QByteArray& out, const QList<uint32_t>& table, int bits) {
    for (int i = 0; i < (1 << bits); ++i) {
        const uint32_t c = i < table.size() ? table[i] : 0;
        out.append(static_cast<char>((c >> 16) & 0xFF));
        out.append(static_cast<char>((c >> 8) & 0xFF));
        out.append(static_cast<char>(c & 0xFF));
    }
}

// Builds a GIF89a file. screen: logical screen size; global: the global
// table (empty = none); loops: a NETSCAPE2.0 block when >= 0.
inline QByteArray buildGif(int screenW, int screenH, const QList<uint32_t>& global,
                           const std::vector<TestFrame>& frames, int loops = -1) {
    QByteArray out("GIF89a");
    putWord(out, screenW);
    putWord(out, screenH);
    const int gbits = global.isEmpty() ? 0 : tableBits(global.size());
    out.append(static_cast<char>(global.isEmpty() ? 0 : (0x80 | 0x70 | (gbits - 1))));
    out.append('\0');
    out.append('\0');
    if (!global.isEmpty()) {
        putTable(out, global, gbits);
    }
    if (loops >= 0) {
        out.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16);
        putWord(out, loops);
        out.append('\0');
    }
    for (const TestFrame& f : frames) {
        if (f.gce) {
            out.append("\x21\xF9\x04", 3);
            out.append(static_cast<char>((f.disposal << 2) | (f.transparent ? 1 : 0)));
            putWord(out, f.delayCs);
            out.append(static_cast<char>(f.transparentIndex));
            out.append('\0');
        }
        out.append('\x2C');
        putWord(out, f.left);
        putWord(out, f.top);
        putWord(out, f.width);
        putWord(out, f.height);
        int packed = f.interlaced ? 0x40 : 0;
        const int lbits = f.localTable.isEmpty() ? 0 : tableBits(f.localTable.size());
        if (!f.localTable.isEmpty()) {
            packed |= 0x80 | (lbits - 1);
        }
        out.append(static_cast<char>(packed));
        if (!f.localTable.isEmpty()) {
            putTable(out, f.localTable, lbits);
        }
        out.append('\x08');
        // Rows in file order (interlaced files store the passes in turn).
        std::vector<uint8_t> rows;
        if (f.interlaced) {
            static const int start[4] = {0, 4, 2, 1};
            static const int step[4] = {8, 8, 4, 2};
            for (int p = 0; p < 4; ++p) {
                for (int y = start[p]; y < f.height; y += step[p]) {
                    rows.insert(rows.end(), f.pixels.begin() + y * f.width,
                                f.pixels.begin() + (y + 1) * f.width);
                }
            }
        } else {
            rows = f.pixels;
        }
        anigif::LzwEncode8(rows.data(), f.width, f.height, f.width, out);
    }
    out.append('\x3B');
    return out;
}

inline TestFrame solidFrame(int left, int top, int w, int h, uint8_t index) {
    TestFrame f;
    f.left = left;
    f.top = top;
    f.width = w;
    f.height = h;
    f.pixels.assign(static_cast<std::size_t>(w) * h, index);
    return f;
}

// What the control shows, painted into a transparent image of w x h.
inline QImage renderControl(ucAniGIF& control, int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        control.PaintTo(painter);
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}

inline QRgb pixelAt(const QImage& image, int x, int y) {
    return image.pixel(x, y);
}

// ---- The conformance suite

struct SuiteFrame {
    QString pixels;
    std::optional<int> delay;
};

struct SuiteCase {
    QString name;
    QString input;
    int width = 0;
    int height = 0;
    QString loopCount;
    QList<SuiteFrame> frames;
};

inline SuiteCase readSuiteCase(const QString& name) {
    SuiteCase c;
    c.name = name;
    const QString text =
        QString::fromUtf8(readFile(dataPath(QStringLiteral("gif-suite/%1.conf").arg(name))));
    QString section;
    QMap<QString, QMap<QString, QString>> values;
    for (QString line : text.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        if (line.startsWith('[') && line.endsWith(']')) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (eq < 0) {
            continue;
        }
        values[section][line.left(eq).trimmed()] = line.mid(eq + 1).trimmed();
    }
    const auto& cfg = values.value("config");
    c.input = cfg.value("input");
    c.width = cfg.value("width").toInt();
    c.height = cfg.value("height").toInt();
    c.loopCount = cfg.value("loop-count");
    for (const QString& f : cfg.value("frames").split(',', Qt::SkipEmptyParts)) {
        SuiteFrame sf;
        sf.pixels = values.value(f.trimmed()).value("pixels");
        if (values.value(f.trimmed()).contains("delay")) {
            sf.delay = values.value(f.trimmed()).value("delay").toInt();
        }
        c.frames.append(sf);
    }
    return c;
}

// The expected RGBA bytes of a suite frame as an ARGB32 image.
inline QImage readRgba(const QString& file, int w, int h) {
    const QByteArray bytes = readFile(dataPath(QStringLiteral("gif-suite/") + file));
    QImage image(w, h, QImage::Format_ARGB32);
    if (bytes.size() != qsizetype(w) * h * 4) {
        return {};
    }
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData());
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x, p += 4) {
            row[x] = qRgba(p[0], p[1], p[2], p[3]);
        }
    }
    return image;
}

// Pixel-for-pixel comparison; two fully transparent pixels are equal
// whatever colour they carry. Returns the number of differing pixels.
inline qint64 countDifferences(const QImage& a, const QImage& b, QString* first = nullptr) {
    if (a.size() != b.size()) {
        if (first) {
            *first = QStringLiteral("size %1x%2 vs %3x%4")
                         .arg(a.width())
                         .arg(a.height())
                         .arg(b.width())
                         .arg(b.height());
        }
        return -1;
    }
    qint64 diff = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const bool same = ra[x] == rb[x] || (qAlpha(ra[x]) == 0 && qAlpha(rb[x]) == 0);
            if (!same) {
                if (diff == 0 && first) {
                    *first = QStringLiteral("(%1,%2) got %3 want %4")
                                 .arg(x)
                                 .arg(y)
                                 .arg(ra[x], 8, 16, QChar('0'))
                                 .arg(rb[x], 8, 16, QChar('0'));
                }
                ++diff;
            }
        }
    }
    return diff;
}

} // namespace giftest
